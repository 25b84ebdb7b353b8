#include "app/WierszPolecen.h"

#include "base/Jezyki.h"
#include "base/Narzedzia.h"

TWierszPolecen PrzelacznikiWiersza;

namespace {

enum class Rodzaj : std::uint8_t { Flaga, Katalog, Zrodlo, Plik, Uchwyt, Jezyk };

struct TPrzelacznik {
    std::string_view nazwa;  // without the slash
    Rodzaj rodzaj;
    bool TWierszPolecen::*flaga;
};

constexpr TPrzelacznik Przelaczniki[] = {
    {"SILENT", Rodzaj::Flaga, nullptr},
    {"VERYSILENT", Rodzaj::Flaga, nullptr},
    {"DIR", Rodzaj::Katalog, nullptr},
    {"SOURCE", Rodzaj::Zrodlo, nullptr},
    {"LOG", Rodzaj::Plik, nullptr},
    {"LOGHANDLE", Rodzaj::Uchwyt, nullptr},
    {"LANG", Rodzaj::Jezyk, nullptr},
    {"NODICTIONARIES", Rodzaj::Flaga, &TWierszPolecen::BezSlownikow},
    {"NOGROUP", Rodzaj::Flaga, &TWierszPolecen::BezGrupy},
    {"NODESKTOP", Rodzaj::Flaga, &TWierszPolecen::BezPulpitu},
    {"ALLUSERS", Rodzaj::Flaga, &TWierszPolecen::DlaWszystkich},
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

// Slashes as backslashes, and no trailing backslash but at a drive root.
std::string Folder(std::string_view wartosc) {
    std::string s(wartosc);
    for (char& c : s)
        if (c == '/') c = '\\';
    while (s.size() > 3 && s.back() == '\\') s.pop_back();
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
            if (w.UchwytProtokolu || !ZnakiSciezki(wartosc) || wartosc.back() == '\\' || wartosc.back() == '/')
                return blad();
            w.Protokol = std::string(wartosc);
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
