#include "DekodowanieLiniowe.h"

#include "base/Blad.h"

#include <utility>

namespace {

class Bity {
public:
    explicit Bity(std::span<const std::uint8_t> blok) : blok_(blok) {}

    unsigned Bit() {
        if (poz_ >= blok_.size())
            throw BladProgramu("Packed block: read past the end");
        const unsigned bit = (blok_[poz_] >> (zostalo_ - 1)) & 1u;
        if (--zostalo_ == 0) {
            zostalo_ = 8;
            ++poz_;
        }
        return bit;
    }

    std::uint32_t Liczba(unsigned ile) {
        std::uint32_t v = 0;
        while (ile-- > 0)
            v = v * 2 + Bit();
        return v;
    }

    std::uint8_t Bajt() {
        if (poz_ >= blok_.size())
            throw BladProgramu("Packed block: read past the end");
        return blok_[poz_++];
    }

    void DoGranicyBajtu() {
        if (zostalo_ != 8) {
            zostalo_ = 8;
            ++poz_;
        }
    }

private:
    std::span<const std::uint8_t> blok_;
    std::size_t poz_ = 0;
    unsigned zostalo_ = 8;
};

struct Pozycja {
    unsigned dlugosc;
    std::uint32_t kod;
    std::uint8_t bajt;
};

}  // namespace

std::vector<std::uint8_t> HuffmanDecodeLiniowo(std::span<const std::uint8_t> blok) {
    Bity czytaj(blok);
    std::vector<Pozycja> tablica;
    for (unsigned b = 0; b < 256; ++b) {
        if (czytaj.Bit() == 0)
            continue;
        unsigned dlugosc = czytaj.Liczba(4);
        if (dlugosc == 0)
            dlugosc = 16;
        tablica.push_back({dlugosc, czytaj.Liczba(dlugosc), static_cast<std::uint8_t>(b)});
    }
    for (std::size_t przebieg = 1; przebieg < tablica.size(); ++przebieg)
        for (std::size_t k = 0; k + 1 < tablica.size(); ++k)
            if (tablica[k].dlugosc > tablica[k + 1].dlugosc)
                std::swap(tablica[k], tablica[k + 1]);

    czytaj.DoGranicyBajtu();
    std::uint32_t n = 0;
    for (unsigned k = 0; k < 4; ++k)
        n |= std::uint32_t{czytaj.Bajt()} << (8 * k);

    // Grown byte by byte: a hostile N runs out of bits long before memory.
    std::vector<std::uint8_t> wynik;
    for (std::uint32_t k = 0; k < n; ++k) {
        std::size_t e = 0;
        if (tablica.empty())
            throw BladProgramu("Packed block: no codes");
        unsigned dlugosc = tablica[0].dlugosc;
        std::uint32_t v = czytaj.Liczba(dlugosc);
        while (tablica[e].kod != v) {
            if (++e == tablica.size())
                throw BladProgramu("Packed block: bits match no code");
            while (tablica[e].dlugosc > dlugosc) {
                v = v * 2 + czytaj.Bit();
                ++dlugosc;
            }
        }
        wynik.push_back(tablica[e].bajt);
    }
    return wynik;
}

std::vector<std::uint8_t> LzDecodeBajtami(std::span<const std::uint8_t> strumien, std::size_t pojemnosc) {
    std::vector<std::uint8_t> wynik;
    auto dopisz = [&](std::uint8_t b) {
        if (wynik.size() == pojemnosc)
            throw BladProgramu("Packed stream: result exceeds the capacity");
        wynik.push_back(b);
    };
    std::size_t p = 0;
    while (p < strumien.size()) {
        const unsigned c = strumien[p++];
        if (c >= 0x80) {
            for (unsigned k = 0; k <= (c & 0x7F); ++k) {
                if (p >= strumien.size())
                    throw BladProgramu("Packed stream: ends inside a literal run");
                dopisz(strumien[p++]);
            }
        } else {
            if (p >= strumien.size())
                throw BladProgramu("Packed stream: ends inside a match");
            const unsigned dlugosc = ((c & 0x70) >> 4) + 3;
            const std::size_t odleglosc = (c & 0x0F) * 256 + strumien[p++];
            if (odleglosc == 0 || odleglosc > wynik.size())
                throw BladProgramu("Packed stream: match outside the output");
            for (unsigned k = 0; k < dlugosc; ++k)
                dopisz(wynik[wynik.size() - odleglosc]);
        }
    }
    return wynik;
}
