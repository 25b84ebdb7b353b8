#include "install/WpisyDziennika.h"

#include "app/Narzedzia.h"

#include <zlib.h>

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
    return r >= static_cast<std::uint8_t>(RodzajWpisu::Poczatek) && r <= static_cast<std::uint8_t>(RodzajWpisu::Wartosc);
}

}  // namespace

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

std::vector<std::size_t> KolejnoscCofania(const std::vector<WpisDziennika>& wpisy) {
    std::vector<std::size_t> kolejnosc;
    for (std::size_t i = wpisy.size(); i-- > 0;)
        if (wpisy[i].rodzaj != RodzajWpisu::Poczatek && wpisy[i].rodzaj != RodzajWpisu::Katalog) kolejnosc.push_back(i);
    for (std::size_t i = wpisy.size(); i-- > 0;)
        if (wpisy[i].rodzaj == RodzajWpisu::Katalog) kolejnosc.push_back(i);
    return kolejnosc;
}

std::vector<std::string> BiezaceKopieZapasowe(const std::vector<WpisDziennika>& wpisy) {
    std::vector<std::string> kopie;
    for (const WpisDziennika& w : wpisy) {
        if (w.rodzaj != RodzajWpisu::Zastapiony || w.pola.size() < 2) continue;
        // Setting aside a file that is itself a backup moves that backup.
        bool przeniesiona = false;
        for (std::string& k : kopie) {
            if (RowneBezWielkosciLiter(k, w.pola[0])) {
                k = w.pola[1];
                przeniesiona = true;
            }
        }
        if (!przeniesiona) kopie.push_back(w.pola[1]);
    }
    return kopie;
}
