#include "install/WpisyDziennika.h"

#include "base/Narzedzia.h"

#include <zlib.h>

#include <charconv>
#include <unordered_map>

namespace {

// Bounds a torn length field so that it cannot ask for more than the file has.
constexpr std::size_t kNaglowek = 8;

void Dopisz32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t Czytaj32(std::span<const std::uint8_t> b, std::size_t poz) {
    return static_cast<std::uint32_t>(b[poz]) | static_cast<std::uint32_t>(b[poz + 1]) << 8 |
           static_cast<std::uint32_t>(b[poz + 2]) << 16 | static_cast<std::uint32_t>(b[poz + 3]) << 24;
}

std::uint32_t Suma(std::span<const std::uint8_t> b) {
    return static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), b.data(), static_cast<uInt>(b.size())));
}

bool ZnanyRodzaj(std::uint8_t r) {
    return r >= static_cast<std::uint8_t>(RodzajWpisu::Poczatek) && r <= static_cast<std::uint8_t>(RodzajWpisu::CzasKlucza);
}

template <class T>
std::optional<T> Liczba(std::string_view tekst, int podstawa) {
    T v{};
    const auto [koniec, blad] = std::from_chars(tekst.data(), tekst.data() + tekst.size(), v, podstawa);
    if (tekst.empty() || blad != std::errc{} || koniec != tekst.data() + tekst.size()) return std::nullopt;
    return v;
}

constexpr std::string_view kMaszyny = "HKLM";
constexpr std::string_view kUzytkownika = "HKCU";

// The records that name a file at field 0 and change what is at that path.
bool ZmieniaPlik(RodzajWpisu r) {
    return r == RodzajWpisu::Plik || r == RodzajWpisu::Tymczasowy || r == RodzajWpisu::Zastapiony;
}

}  // namespace

namespace {
std::string ZPrzyrostkiem(std::string_view plik, std::string_view przyrostek, unsigned numer) {
    std::string nazwa(plik);
    nazwa += przyrostek;
    if (numer > 1) nazwa += std::to_string(numer);
    return nazwa;
}
}  // namespace

std::string NazwaKopiiZapasowej(std::string_view plik, unsigned numer) {
    return ZPrzyrostkiem(plik, kPrzyrostekKopiiZapasowej, numer);
}

std::string NazwaTymczasowa(std::string_view plik, unsigned numer) {
    return ZPrzyrostkiem(plik, kPrzyrostekTymczasowego, numer);
}

std::string KodujWpis(const WpisDziennika& wpis) {
    std::string cialo;
    cialo.push_back(static_cast<char>(wpis.rodzaj));
    for (const std::string& pole : wpis.pola) {
        Dopisz32(cialo, static_cast<std::uint32_t>(pole.size()));
        cialo += pole;
    }
    std::string wynik;
    wynik.reserve(kNaglowek + cialo.size());
    Dopisz32(wynik, static_cast<std::uint32_t>(cialo.size()));
    Dopisz32(wynik, Suma(std::span(reinterpret_cast<const std::uint8_t*>(cialo.data()), cialo.size())));
    return wynik + cialo;
}

OdczytDziennika CzytajDziennik(std::span<const std::uint8_t> bajty) {
    OdczytDziennika wynik;
    std::size_t poz = 0;
    while (poz < bajty.size()) {
        if (bajty.size() - poz < kNaglowek) break;
        const std::uint32_t dlugosc = Czytaj32(bajty, poz);
        const std::uint32_t suma = Czytaj32(bajty, poz + 4);
        if (dlugosc == 0 || dlugosc > bajty.size() - poz - kNaglowek) break;
        const auto cialo = bajty.subspan(poz + kNaglowek, dlugosc);
        if (Suma(cialo) != suma || !ZnanyRodzaj(cialo[0])) break;
        WpisDziennika wpis{static_cast<RodzajWpisu>(cialo[0]), {}};
        std::size_t p = 1;
        bool caly = true;
        while (p < cialo.size()) {
            if (cialo.size() - p < 4) {
                caly = false;
                break;
            }
            const std::uint32_t n = Czytaj32(cialo, p);
            p += 4;
            if (n > cialo.size() - p) {
                caly = false;
                break;
            }
            wpis.pola.emplace_back(reinterpret_cast<const char*>(cialo.data() + p), n);
            p += n;
        }
        if (!caly) break;
        wynik.wpisy.push_back(std::move(wpis));
        poz += kNaglowek + dlugosc;
    }
    wynik.urwany = poz < bajty.size();
    return wynik;
}

std::string TekstStempla(const StempelPliku& s) { return std::to_string(s.rozmiar) + ":" + std::to_string(s.czas); }

std::optional<StempelPliku> CzytajStempel(std::string_view pole) {
    const auto dwukropek = pole.find(':');
    if (dwukropek == std::string_view::npos) return std::nullopt;
    const auto rozmiar = Liczba<std::int64_t>(pole.substr(0, dwukropek), 10);
    const auto czas = Liczba<std::uint64_t>(pole.substr(dwukropek + 1), 10);
    if (!rozmiar || !czas || *rozmiar < 0) return std::nullopt;
    return StempelPliku{*rozmiar, *czas};
}

std::string TekstNumeru(std::uint64_t numer) {
    char bufor[17];
    const auto [koniec, blad] = std::to_chars(bufor, bufor + sizeof bufor, numer, 16);
    return std::string(bufor, koniec);
}

std::optional<std::uint64_t> CzytajNumer(std::string_view pole) { return Liczba<std::uint64_t>(pole, 16); }

const std::string& Pole(const WpisDziennika& wpis, std::size_t i) noexcept {
    static const std::string pusty;
    return i < wpis.pola.size() ? wpis.pola[i] : pusty;
}

bool Wspolny(const WpisDziennika& wpis) noexcept {
    if (wpis.rodzaj == RodzajWpisu::Czcionka) return true;
    return (wpis.rodzaj == RodzajWpisu::Plik || wpis.rodzaj == RodzajWpisu::Wartosc) && !wpis.pola.empty() &&
           wpis.pola.back() == kWspolny;
}

std::vector<std::size_t> KolejnoscCofania(const std::vector<WpisDziennika>& wpisy) {
    const auto zmiana = [](RodzajWpisu r) {
        return r != RodzajWpisu::Poczatek && r != RodzajWpisu::Numer && r != RodzajWpisu::Cofanie &&
               r != RodzajWpisu::CzasKlucza && r != RodzajWpisu::Katalog;
    };
    std::vector<std::size_t> kolejnosc;
    for (std::size_t i = wpisy.size(); i-- > 0;)
        if (zmiana(wpisy[i].rodzaj)) kolejnosc.push_back(i);
    for (std::size_t i = wpisy.size(); i-- > 0;)
        if (wpisy[i].rodzaj == RodzajWpisu::Katalog) kolejnosc.push_back(i);
    return kolejnosc;
}

std::string PoleKorzenia(bool maszyny, std::string_view sid) {
    if (maszyny) return std::string(kMaszyny);
    std::string pole(kUzytkownika);
    if (!sid.empty()) (pole += ':') += sid;
    return pole;
}

bool KorzenMaszyny(std::string_view pole) noexcept { return pole == kMaszyny; }

bool KorzenDoOdtworzenia(std::string_view pole, std::string_view sid) {
    if (KorzenMaszyny(pole)) return true;
    return !sid.empty() && pole.size() == kUzytkownika.size() + 1 + sid.size() &&
           pole.compare(0, kUzytkownika.size(), kUzytkownika) == 0 && pole[kUzytkownika.size()] == ':' &&
           pole.substr(kUzytkownika.size() + 1) == sid;
}

std::vector<std::optional<ZapisanyPlik>> ZapisanePliki(const std::vector<WpisDziennika>& wpisy) {
    std::vector<std::optional<ZapisanyPlik>> pliki(wpisy.size());
    for (std::size_t i = 0; i < wpisy.size(); ++i) {
        if (wpisy[i].rodzaj != RodzajWpisu::Plik && wpisy[i].rodzaj != RodzajWpisu::Tymczasowy) continue;
        const std::string& plik = Pole(wpisy[i], 0);
        for (std::size_t j = i + 1; j < wpisy.size(); ++j) {
            const WpisDziennika& w = wpisy[j];
            if (!RowneBezWielkosciLiter(Pole(w, 0), plik)) continue;
            if (ZmieniaPlik(w.rodzaj)) break;
            if (w.rodzaj != RodzajWpisu::Numer) continue;
            const auto numer = CzytajNumer(Pole(w, 1));
            // The first gives the number, a later one of that number its stamp.
            if (!pliki[i]) {
                if (!numer) break;
                pliki[i] = ZapisanyPlik{*numer, std::nullopt, std::nullopt};
                if (const auto wolumin = CzytajNumer(Pole(w, 2)); wolumin && *wolumin <= 0xFFFFFFFFu)
                    pliki[i]->wolumin = static_cast<std::uint32_t>(*wolumin);
            } else if (numer != pliki[i]->numer) {
                continue;
            }
            if (const auto stempel = CzytajStempel(Pole(w, 3))) pliki[i]->stempel = stempel;
        }
    }
    return pliki;
}

std::vector<std::optional<std::uint64_t>> NumeryPlikow(const std::vector<WpisDziennika>& wpisy) {
    std::vector<std::optional<std::uint64_t>> numery;
    numery.reserve(wpisy.size());
    for (const auto& p : ZapisanePliki(wpisy)) numery.push_back(p ? std::optional(p->numer) : std::nullopt);
    return numery;
}

WpisDziennika WpisNumeru(const std::string& plik, const ZapisanyPlik& zapisany) {
    WpisDziennika w{RodzajWpisu::Numer, {plik, TekstNumeru(zapisany.numer)}};
    if (zapisany.wolumin || zapisany.stempel) w.pola.push_back(zapisany.wolumin ? TekstNumeru(*zapisany.wolumin) : "");
    if (zapisany.stempel) w.pola.push_back(TekstStempla(*zapisany.stempel));
    return w;
}

OcenaPliku OcenPlik(const std::optional<ZapisanyPlik>& zapisany, const ZastanyPlik& zastany,
                    const std::optional<std::uint64_t>& czasDziennika) {
    if (zastany.obcy) return OcenaPliku::Inny;
    if (zapisany) {
        if (zapisany->wolumin && *zapisany->wolumin != zastany.wolumin) return OcenaPliku::InnyWolumin;
        if (zapisany->numer != zastany.numer) return OcenaPliku::Inny;
        if (zapisany->stempel && *zapisany->stempel != zastany.stempel) return OcenaPliku::Przepisany;
    } else if (zastany.stempel.rozmiar != 0) {
        // The run died right after creating it; whatever came later has content.
        return OcenaPliku::Inny;
    }
    if (czasDziennika && zastany.stempel.czas > *czasDziennika) return OcenaPliku::Przepisany;
    return OcenaPliku::Runu;
}

namespace {

// One pass over the records: every backup's current name, and which records
// only moved a backup on.
struct Kopie {
    std::vector<KopiaZapasowa> kopie;
    std::vector<bool> przenosi;
};

Kopie PrzejdzKopie(const std::vector<WpisDziennika>& wpisy) {
    Kopie wynik;
    wynik.przenosi.assign(wpisy.size(), false);
    // Current name (lower case) -> its backup.
    std::unordered_map<std::string, std::size_t> poNazwie;
    for (std::size_t i = 0; i < wpisy.size(); ++i) {
        const WpisDziennika& w = wpisy[i];
        if (w.rodzaj != RodzajWpisu::Zastapiony || Pole(w, 1).empty()) continue;
        // Setting aside a file that is itself a backup moves that backup.
        const auto it = poNazwie.find(NaMale(Pole(w, 0)));
        if (it != poNazwie.end()) {
            const std::size_t k = it->second;
            poNazwie.erase(it);
            wynik.kopie[k].nazwa = Pole(w, 1);
            poNazwie[NaMale(Pole(w, 1))] = k;
            wynik.przenosi[i] = true;
            continue;
        }
        poNazwie[NaMale(Pole(w, 1))] = wynik.kopie.size();
        wynik.kopie.push_back({i, Pole(w, 1)});
    }
    return wynik;
}

}  // namespace

std::vector<KopiaZapasowa> BiezaceKopieZapasowe(const std::vector<WpisDziennika>& wpisy) {
    return PrzejdzKopie(wpisy).kopie;
}

std::vector<bool> PrzenoszaceKopie(const std::vector<WpisDziennika>& wpisy) { return PrzejdzKopie(wpisy).przenosi; }

bool MaZmiany(const std::vector<WpisDziennika>& wpisy) { return !KolejnoscCofania(wpisy).empty(); }

bool CofanieZdecydowane(const std::vector<WpisDziennika>& wpisy) {
    for (const WpisDziennika& w : wpisy)
        if (w.rodzaj == RodzajWpisu::Cofanie) return true;
    return false;
}

std::vector<WpisDziennika> DoPonowienia(const std::vector<WpisDziennika>& wpisy,
                                        const std::vector<WpisDziennika>& pozostale) {
    std::vector<WpisDziennika> wynik;
    if (!wpisy.empty() && wpisy.front().rodzaj == RodzajWpisu::Poczatek) wynik.push_back(wpisy.front());
    wynik.push_back({RodzajWpisu::Cofanie, {}});
    wynik.insert(wynik.end(), pozostale.begin(), pozostale.end());
    return wynik;
}
