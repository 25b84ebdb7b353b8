#include "app/WierszPolecen.h"

#include "base/Jezyki.h"
#include "base/Narzedzia.h"
#include "base/StronyKodowe.h"

TWierszPolecen PrzelacznikiWiersza;

namespace {

enum class Rodzaj : std::uint8_t { Flaga, Katalog, Zrodlo, Plik, Uchwyt, Jezyk };

struct TPrzelacznik {
    std::string_view nazwa;  // without the slash
    Rodzaj rodzaj;
    bool TWierszPolecen::*flaga;
    std::optional<std::string> TWierszPolecen::*plik = nullptr;
};

constexpr TPrzelacznik Przelaczniki[] = {
    {"SILENT", Rodzaj::Flaga, nullptr},
    {"VERYSILENT", Rodzaj::Flaga, nullptr},
    {"DIR", Rodzaj::Katalog, nullptr},
    {"SOURCE", Rodzaj::Zrodlo, nullptr},
    {"LOG", Rodzaj::Plik, nullptr, &TWierszPolecen::Protokol},
    {"LOGHANDLE", Rodzaj::Uchwyt, nullptr},
    {"SAVEINF", Rodzaj::Plik, nullptr, &TWierszPolecen::ZapisOdpowiedzi},
    {"LOADINF", Rodzaj::Plik, nullptr, &TWierszPolecen::OdczytOdpowiedzi},
    {"LANG", Rodzaj::Jezyk, nullptr},
    {"NODICTIONARIES", Rodzaj::Flaga, &TWierszPolecen::BezSlownikow},
    {"NOGROUP", Rodzaj::Flaga, &TWierszPolecen::BezGrupy},
    {"NODESKTOP", Rodzaj::Flaga, &TWierszPolecen::BezPulpitu},
    {"ALLUSERS", Rodzaj::Flaga, &TWierszPolecen::DlaWszystkich},
    {"NORESTART", Rodzaj::Flaga, &TWierszPolecen::BezRestartu},
    {"?", Rodzaj::Flaga, &TWierszPolecen::Pomoc},
    {"HELP", Rodzaj::Flaga, &TWierszPolecen::Pomoc},
    // Only exact and first it marks the copy (read before this table); in any
    // other place or case it means nothing, as it always did.
    {"DOIT", Rodzaj::Flaga, nullptr},
};

bool Litera(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A path the system would not take as one name, or would read as something
// else (a quote left over from unbalanced quoting, a wildcard, a device).
bool ZnakiSciezki(std::string_view s) noexcept {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == '"' || c == '<' || c == '>' || c == '|' || c == '*' || c == '?') return false;
        if (c == ':' && i != 1) return false;
    }
    return true;
}

// Slashes as backslashes, and no trailing backslash but at a drive root;
// trailing spaces, which the system drops from a name, go too (so that an
// answer file, whose values lose them, gives the same folder back).
std::string Folder(std::string_view wartosc) {
    std::string s(wartosc);
    for (char& c : s)
        if (c == '/') c = '\\';
    while (s.size() > 3 && (s.back() == '\\' || s.back() == ' ')) s.pop_back();
    // "D:" alone is taken as the drive's root, as administrators write it.
    if (s.size() == 2 && Litera(s[0]) && s[1] == ':') s += '\\';
    return s;
}

bool PotrzebaCytowania(std::string_view a) noexcept {
    return a.empty() || a.find_first_of(" \t\"") != std::string_view::npos;
}

}  // namespace

bool SciezkaBezwzgledna(std::string_view s) noexcept {
    if (!ZnakiSciezki(s)) return false;
    if (s.size() >= 3 && Litera(s[0]) && s[1] == ':' && s[2] == '\\') return true;
    if (s.size() < 5 || s[0] != '\\' || s[1] != '\\') return false;
    const std::string_view reszta = s.substr(2);
    const auto ukosnik = reszta.find('\\');
    if (ukosnik == 0 || ukosnik == std::string_view::npos) return false;
    const std::string_view serwer = reszta.substr(0, ukosnik);
    const std::string_view udzial = reszta.substr(ukosnik + 1);
    // "\\.\x" names a device, not a share.
    return serwer != "." && !udzial.empty() && udzial.front() != '\\';
}

TWynikWiersza CzytajWierszPolecen(const std::vector<std::string>& argumenty) {
    TWynikWiersza wynik;
    TWierszPolecen& w = wynik.Przelaczniki;
    for (std::size_t i = 0; i < argumenty.size(); ++i) {
        const std::string& arg = argumenty[i];
        if (i == 0 && arg == "/doit") {
            w.Doit = true;
            continue;
        }
        const auto blad = [&] {
            wynik.Blad = arg;
            return wynik;
        };
        if (arg.size() < 2 || arg[0] != '/') return blad();
        const auto rownosc = arg.find('=');
        const std::string_view nazwa = std::string_view(arg).substr(1, rownosc == std::string::npos ? arg.npos : rownosc - 1);
        const TPrzelacznik* p = nullptr;
        for (const TPrzelacznik& kandydat : Przelaczniki)
            if (RowneBezWielkosciLiter(kandydat.nazwa, nazwa)) p = &kandydat;
        if (!p) return blad();
        const bool zWartoscia = rownosc != std::string::npos;
        const std::string_view wartosc = zWartoscia ? std::string_view(arg).substr(rownosc + 1) : std::string_view();
        if ((p->rodzaj == Rodzaj::Flaga) == zWartoscia) return blad();
        if (zWartoscia && wartosc.empty()) return blad();

        switch (p->rodzaj) {
        case Rodzaj::Flaga:
            if (p->flaga) w.*(p->flaga) = true;
            else if (p->nazwa == "VERYSILENT") w.Tryb = TrybPracy::BardzoCichy;
            else if (p->nazwa == "SILENT" && w.Tryb == TrybPracy::Kreator) w.Tryb = TrybPracy::Cichy;
            break;
        case Rodzaj::Katalog:
        case Rodzaj::Zrodlo: {
            std::string folder = Folder(wartosc);
            if (!SciezkaBezwzgledna(folder)) return blad();
            if (p->rodzaj == Rodzaj::Katalog) {
                w.Katalog = std::move(folder);
            } else {
                if (folder.back() != '\\') folder += '\\';
                w.Zrodlo = std::move(folder);
            }
            break;
        }
        case Rodzaj::Plik:
            // Relative to the current folder, which the caller resolves.
            if ((p->plik == &TWierszPolecen::Protokol && w.UchwytProtokolu) || !ZnakiSciezki(wartosc) ||
                wartosc.back() == '\\' || wartosc.back() == '/')
                return blad();
            w.*(p->plik) = std::string(wartosc);
            break;
        case Rodzaj::Uchwyt: {
            // Handle values fit in 32 bits; none is 0.
            if (!w.Doit || w.Protokol || wartosc.size() > 10) return blad();
            std::uint64_t numer = 0;
            for (const char c : wartosc) {
                if (c < '0' || c > '9') return blad();
                numer = numer * 10 + static_cast<std::uint64_t>(c - '0');
            }
            if (numer == 0 || numer > 0xFFFFFFFFu) return blad();
            w.UchwytProtokolu = numer;
            break;
        }
        case Rodzaj::Jezyk:
            if (RowneBezWielkosciLiter(wartosc, "PL")) w.Jezyk = JezykPolski;
            else if (RowneBezWielkosciLiter(wartosc, "EN")) w.Jezyk = JezykAngielski;
            else return blad();
            break;
        }
    }
    return wynik;
}

std::string CytujArgument(std::string_view a) {
    if (!PotrzebaCytowania(a)) return std::string(a);
    // Backslashes count only before a quote: there they are doubled, and one
    // more escapes the quote itself.
    std::string wynik = "\"";
    std::size_t ukosniki = 0;
    for (const char c : a) {
        if (c == '\\') {
            ++ukosniki;
            continue;
        }
        if (c == '"') wynik.append(ukosniki * 2 + 1, '\\');
        else wynik.append(ukosniki, '\\');
        ukosniki = 0;
        wynik += c;
    }
    wynik.append(ukosniki * 2, '\\');
    wynik += '"';
    return wynik;
}

std::string ArgumentyKopii(const std::vector<std::string>& argumenty) {
    std::string wynik = "/doit";
    for (std::size_t i = 0; i < argumenty.size(); ++i) {
        if (i == 0 && argumenty[i] == "/doit") continue;
        wynik += ' ';
        wynik += CytujArgument(argumenty[i]);
    }
    return wynik;
}

namespace {

// The switches an answer file may give: the choices of the options page.
constexpr std::string_view KluczeOdpowiedzi[] = {"Dir", "Lang", "NoDictionaries", "NoGroup", "NoDesktop", "AllUsers"};
constexpr std::size_t kFlagiOdpowiedzi = 2;  // the keys from here on take 0 or 1
constexpr std::string_view kSekcjaOdpowiedzi = "Setup";

std::string_view BezOdstepow(std::string_view s) noexcept {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A line of UTF-8 in Windows-1250; nullopt for bytes that are not UTF-8, a
// control character or a character the code page lacks.
std::optional<std::string> Linia1250(std::string_view linia) {
    std::string wynik;
    for (std::size_t i = 0; i < linia.size();) {
        const ZnakUtf8 z = CzytajZnakUtf8(linia, i);
        if (!z.poprawny) return std::nullopt;
        i += z.dlugosc;
        if ((z.znak < 0x20 && z.znak != '\t') || (z.znak >= 0x7F && z.znak < 0xA0)) return std::nullopt;
        const std::optional<std::uint8_t> bajt = BajtZnaku(StronaKodowa::Windows1250, z.znak);
        if (!bajt) return std::nullopt;
        wynik += static_cast<char>(*bajt);
    }
    return wynik;
}

void DopiszUtf8(std::string& cel, std::string_view tekst1250) {
    for (const char c : tekst1250) {
        const char32_t z = ZnakBajtu(StronaKodowa::Windows1250, static_cast<std::uint8_t>(c));
        if (z < 0x80) {
            cel += static_cast<char>(z);
        } else if (z < 0x800) {
            cel += static_cast<char>(0xC0 | (z >> 6));
            cel += static_cast<char>(0x80 | (z & 0x3F));
        } else {
            cel += static_cast<char>(0xE0 | (z >> 12));
            cel += static_cast<char>(0x80 | ((z >> 6) & 0x3F));
            cel += static_cast<char>(0x80 | (z & 0x3F));
        }
    }
}

}  // namespace

TOdczytOdpowiedzi CzytajOdpowiedzi(std::string_view tekst) {
    TOdczytOdpowiedzi wynik;
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (tekst.substr(0, bom.size()) == bom) tekst.remove_prefix(bom.size());
    std::vector<std::string> argumenty;
    bool sekcja = false;
    bool podane[std::size(KluczeOdpowiedzi)] = {};
    std::size_t numer = 0;
    const auto blad = [&] {
        wynik = TOdczytOdpowiedzi{};
        wynik.BlednyWiersz = numer;
        return wynik;
    };
    while (!tekst.empty()) {
        ++numer;
        const std::size_t koniec = tekst.find('\n');
        std::string_view surowa = tekst.substr(0, koniec);
        tekst.remove_prefix(koniec == std::string_view::npos ? tekst.size() : koniec + 1);
        if (!surowa.empty() && surowa.back() == '\r') surowa.remove_suffix(1);

        const std::optional<std::string> linia1250 = Linia1250(surowa);
        if (!linia1250) return blad();
        const std::string_view linia = BezOdstepow(*linia1250);
        if (linia.empty() || linia.front() == ';') continue;
        if (linia.front() == '[') {
            // One section, once, first.
            if (sekcja || linia.back() != ']' ||
                !RowneBezWielkosciLiter(BezOdstepow(linia.substr(1, linia.size() - 2)), kSekcjaOdpowiedzi))
                return blad();
            sekcja = true;
            continue;
        }
        const std::size_t rownosc = linia.find('=');
        if (!sekcja || rownosc == std::string_view::npos) return blad();
        const std::string_view klucz = BezOdstepow(linia.substr(0, rownosc));
        const std::string_view wartosc = BezOdstepow(linia.substr(rownosc + 1));
        std::size_t k = 0;
        while (k < std::size(KluczeOdpowiedzi) && !RowneBezWielkosciLiter(KluczeOdpowiedzi[k], klucz)) ++k;
        if (k == std::size(KluczeOdpowiedzi) || podane[k]) return blad();
        podane[k] = true;
        // The value goes through its switch, which judges it as on the
        // command line.
        std::string argument = "/";
        argument += KluczeOdpowiedzi[k];
        if (k < kFlagiOdpowiedzi) {
            argument += '=';
            argument += wartosc;
        } else if (wartosc == "0") {
            continue;
        } else if (wartosc != "1") {
            return blad();
        }
        if (!CzytajWierszPolecen({argument}).Poprawny()) return blad();
        argumenty.push_back(std::move(argument));
    }
    wynik.Przelaczniki = CzytajWierszPolecen(argumenty).Przelaczniki;
    return wynik;
}

std::string TekstOdpowiedzi(const TOdpowiedzi& o) {
    std::string t = "[";
    t += kSekcjaOdpowiedzi;
    t += "]\r\nDir=";
    DopiszUtf8(t, o.Katalog);
    t += "\r\nLang=";
    t += o.Jezyk == JezykAngielski ? "EN" : "PL";
    const auto flaga = [&t](std::string_view klucz, bool ustawiona) {
        t += "\r\n";
        t += klucz;
        t += ustawiona ? "=1" : "=0";
    };
    flaga("NoDictionaries", !o.Slowniki);
    flaga("NoGroup", !o.Grupa);
    flaga("NoDesktop", !o.Pulpit);
    flaga("AllUsers", o.DlaWszystkich);
    t += "\r\n";
    return t;
}

TWierszPolecen ZOdpowiedziami(const TWierszPolecen& wiersz, const TWierszPolecen& plik) {
    TWierszPolecen w = wiersz;
    if (!w.Katalog) w.Katalog = plik.Katalog;
    if (!w.Jezyk) w.Jezyk = plik.Jezyk;
    w.BezSlownikow = w.BezSlownikow || plik.BezSlownikow;
    w.BezGrupy = w.BezGrupy || plik.BezGrupy;
    w.BezPulpitu = w.BezPulpitu || plik.BezPulpitu;
    w.DlaWszystkich = w.DlaWszystkich || plik.DlaWszystkich;
    return w;
}
