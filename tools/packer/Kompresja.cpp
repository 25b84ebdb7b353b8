#include "Kompresja.h"

#include "base/Blad.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t NajdalszaOdleglosc = 4095;
constexpr std::size_t NajkrotszeDopasowanie = 3;
constexpr std::size_t NajdluzszeDopasowanie = 10;
constexpr std::size_t NajdluzszyCiagLiteralow = 128;
constexpr unsigned NajdluzszyKod = 16;

// Hash chains over the last 4096 positions: a ring suffices because no match
// reaches further back, and a ring slot is only overwritten by a position
// 4096 later, which is out of reach by then.
class Wyszukiwarka {
public:
    explicit Wyszukiwarka(std::span<const std::uint8_t> dane)
        : dane_(dane), glowy_(std::size_t{1} << BityGlow, Pusta), poprzednie_(Maska + 1, Pusta) {}

    struct Dopasowanie {
        std::size_t dlugosc = 0;
        std::size_t odleglosc = 0;
    };

    // The longest match for `poz` (closest on ties) among the positions
    // already added; length 0 when there is none of at least 3 bytes.
    Dopasowanie Najlepsze(std::size_t poz) const {
        Dopasowanie wynik;
        const std::size_t najwiecej = std::min(NajdluzszeDopasowanie, dane_.size() - poz);
        if (najwiecej < NajkrotszeDopasowanie)
            return wynik;
        const std::uint8_t* const tu = dane_.data() + poz;
        std::uint32_t kandydat = glowy_[Skrot(poz)];
        for (unsigned krok = 0; kandydat != Pusta && krok < DlugoscLancucha; ++krok) {
            const std::size_t odleglosc = poz - kandydat;
            if (odleglosc > NajdalszaOdleglosc)
                break;
            const std::uint8_t* const tam = dane_.data() + kandydat;
            // Only a candidate that beats the best so far is worth comparing.
            if (tam[wynik.dlugosc] == tu[wynik.dlugosc] || wynik.dlugosc == 0) {
                std::size_t d = 0;
                while (d < najwiecej && tam[d] == tu[d])
                    ++d;
                if (d > wynik.dlugosc && d >= NajkrotszeDopasowanie) {
                    wynik = {d, odleglosc};
                    if (d == najwiecej)
                        break;
                }
            }
            kandydat = poprzednie_[kandydat & Maska];
        }
        return wynik;
    }

    void Dodaj(std::size_t poz) {
        if (dane_.size() - poz < NajkrotszeDopasowanie)
            return;
        const std::uint32_t h = Skrot(poz);
        poprzednie_[poz & Maska] = glowy_[h];
        glowy_[h] = static_cast<std::uint32_t>(poz);
    }

private:
    static constexpr unsigned BityGlow = 15;
    static constexpr std::size_t Maska = 4095;
    static constexpr std::uint32_t Pusta = std::numeric_limits<std::uint32_t>::max();
    // Matches are at most 10 bytes: past a few hundred candidates a longer
    // chain finds almost nothing better (measured on executables).
    static constexpr unsigned DlugoscLancucha = 256;

    std::uint32_t Skrot(std::size_t poz) const {
        const std::uint32_t v = std::uint32_t{dane_[poz]} << 16 | std::uint32_t{dane_[poz + 1]} << 8 |
                                dane_[poz + 2];
        return (v * 2654435761u) >> (32 - BityGlow);
    }

    std::span<const std::uint8_t> dane_;
    std::vector<std::uint32_t> glowy_;        // newest position per hash
    std::vector<std::uint32_t> poprzednie_;  // the one before, per position mod 4096
};

void DopiszLiteraly(std::vector<std::uint8_t>& wy, const std::uint8_t* od, std::size_t ile) {
    while (ile > 0) {
        const std::size_t kawalek = std::min(ile, NajdluzszyCiagLiteralow);
        wy.push_back(static_cast<std::uint8_t>(0x80 | (kawalek - 1)));
        wy.insert(wy.end(), od, od + kawalek);
        od += kawalek;
        ile -= kawalek;
    }
}

// MSB-first bit writer, as the decoder reads.
class PisarzBitow {
public:
    explicit PisarzBitow(std::vector<std::uint8_t>& wy) : wy_(wy) {}

    void Pisz(std::uint32_t wartosc, unsigned ile) {
        for (unsigned k = ile; k-- > 0;) {
            biezacy_ = static_cast<std::uint8_t>(biezacy_ << 1 | ((wartosc >> k) & 1u));
            if (++bity_ == 8)
                Wypchnij();
        }
    }

    // Zero bits up to the next byte boundary (none when already on one).
    void Wyrownaj() {
        if (bity_ > 0) {
            biezacy_ = static_cast<std::uint8_t>(biezacy_ << (8 - bity_));
            Wypchnij();
        }
    }

private:
    void Wypchnij() {
        wy_.push_back(biezacy_);
        biezacy_ = 0;
        bity_ = 0;
    }

    std::vector<std::uint8_t>& wy_;
    std::uint8_t biezacy_ = 0;
    unsigned bity_ = 0;
};

}  // namespace

std::vector<std::uint8_t> LzEncode(std::span<const std::uint8_t> dane) {
    if (dane.size() >= std::numeric_limits<std::uint32_t>::max())
        throw BladProgramu("Packer: input too large for one block");
    std::vector<std::uint8_t> wy;
    wy.reserve(dane.size() + dane.size() / 64 + 16);
    Wyszukiwarka szukaj(dane);
    std::size_t literalyOd = 0;  // start of the literals not yet written
    std::size_t poz = 0;
    auto dobierz = szukaj.Najlepsze(0);
    while (poz < dane.size()) {
        const auto tu = dobierz;
        szukaj.Dodaj(poz);
        if (tu.dlugosc == 0) {
            ++poz;
            dobierz = szukaj.Najlepsze(poz);
            continue;
        }
        // One step of lazy matching: a longer match one byte on is worth a literal.
        if (tu.dlugosc < NajdluzszeDopasowanie) {
            const auto dalej = szukaj.Najlepsze(poz + 1);
            if (dalej.dlugosc > tu.dlugosc) {
                ++poz;
                dobierz = dalej;
                continue;
            }
        }
        DopiszLiteraly(wy, dane.data() + literalyOd, poz - literalyOd);
        wy.push_back(static_cast<std::uint8_t>((tu.dlugosc - NajkrotszeDopasowanie) << 4 | tu.odleglosc >> 8));
        wy.push_back(static_cast<std::uint8_t>(tu.odleglosc & 0xFF));
        for (std::size_t k = 1; k < tu.dlugosc; ++k)
            szukaj.Dodaj(poz + k);
        poz += tu.dlugosc;
        literalyOd = poz;
        dobierz = szukaj.Najlepsze(poz);
    }
    DopiszLiteraly(wy, dane.data() + literalyOd, dane.size() - literalyOd);
    return wy;
}

std::array<std::uint8_t, 256> DlugosciKodow(const std::array<std::uint64_t, 256>& czestosci,
                                            unsigned najdluzszy) {
    std::array<std::uint8_t, 256> dlugosci{};
    std::vector<unsigned> symbole;
    for (unsigned b = 0; b < 256; ++b)
        if (czestosci[b] > 0)
            symbole.push_back(b);
    if (symbole.empty())
        return dlugosci;
    if (symbole.size() == 1) {
        dlugosci[symbole[0]] = 1;
        return dlugosci;
    }
    if (najdluzszy < 1 || najdluzszy > NajdluzszyKod || symbole.size() > (std::size_t{1} << najdluzszy))
        throw BladProgramu("Packer: code lengths cannot be limited that far");
    std::stable_sort(symbole.begin(), symbole.end(),
                     [&](unsigned a, unsigned b) { return czestosci[a] < czestosci[b]; });

    // Package-merge: a node is a leaf (one symbol) or a package of two nodes of
    // the previous list. Each symbol's code length is the number of times it
    // occurs in the 2n - 2 lightest items of the last list.
    struct Wezel {
        std::uint64_t waga;
        int lewy, prawy;  // -1 for a leaf
        unsigned symbol;
    };
    std::vector<Wezel> wezly;
    std::vector<int> liscie;
    for (unsigned s : symbole) {
        liscie.push_back(static_cast<int>(wezly.size()));
        wezly.push_back({czestosci[s], -1, -1, s});
    }
    std::vector<int> lista = liscie;
    for (unsigned poziom = 1; poziom < najdluzszy; ++poziom) {
        std::vector<int> paczki;
        for (std::size_t k = 0; k + 1 < lista.size(); k += 2) {
            paczki.push_back(static_cast<int>(wezly.size()));
            const std::uint64_t waga = wezly[lista[k]].waga + wezly[lista[k + 1]].waga;
            wezly.push_back({waga, lista[k], lista[k + 1], 0});
        }
        std::vector<int> nowa;
        std::merge(liscie.begin(), liscie.end(), paczki.begin(), paczki.end(), std::back_inserter(nowa),
                   [&](int a, int b) { return wezly[a].waga < wezly[b].waga; });
        lista = std::move(nowa);
    }
    std::vector<int> stos(lista.begin(), lista.begin() + static_cast<std::ptrdiff_t>(2 * symbole.size() - 2));
    while (!stos.empty()) {
        const Wezel& w = wezly[stos.back()];
        stos.pop_back();
        if (w.lewy < 0) {
            ++dlugosci[w.symbol];
        } else {
            stos.push_back(w.lewy);
            stos.push_back(w.prawy);
        }
    }
    return dlugosci;
}

std::vector<std::uint8_t> HuffmanEncode(std::span<const std::uint8_t> dane) {
    if (dane.size() > std::numeric_limits<std::uint32_t>::max())
        throw BladProgramu("Packer: input too large for one block");
    std::array<std::uint64_t, 256> czestosci{};
    for (std::uint8_t b : dane)
        ++czestosci[b];
    const std::array<std::uint8_t, 256> dlugosci = DlugosciKodow(czestosci, NajdluzszyKod);

    // Canonical codes: ascending by length, then by byte value.
    std::array<std::uint16_t, 256> kody{};
    std::uint32_t kod = 0;
    for (unsigned dlugosc = 1; dlugosc <= NajdluzszyKod; ++dlugosc) {
        for (unsigned b = 0; b < 256; ++b) {
            if (dlugosci[b] == dlugosc)
                kody[b] = static_cast<std::uint16_t>(kod++);
        }
        kod <<= 1;
    }

    std::vector<std::uint8_t> wy;
    std::uint64_t bityDanych = 0;
    for (unsigned b = 0; b < 256; ++b)
        bityDanych += czestosci[b] * dlugosci[b];
    wy.reserve(700 + 4 + static_cast<std::size_t>(bityDanych / 8) + 1);
    {
        PisarzBitow pisz(wy);
        for (unsigned b = 0; b < 256; ++b) {
            if (dlugosci[b] == 0) {
                pisz.Pisz(0, 1);
                continue;
            }
            pisz.Pisz(1, 1);
            pisz.Pisz(dlugosci[b] & 0x0F, 4);  // 16 is written as 0
            pisz.Pisz(kody[b], dlugosci[b]);
        }
        pisz.Wyrownaj();
    }
    const auto n = static_cast<std::uint32_t>(dane.size());
    for (unsigned k = 0; k < 4; ++k)
        wy.push_back(static_cast<std::uint8_t>(n >> (8 * k)));
    PisarzBitow pisz(wy);
    for (std::uint8_t b : dane)
        pisz.Pisz(kody[b], dlugosci[b]);
    pisz.Wyrownaj();
    return wy;
}

std::vector<std::uint8_t> SpakujBlok(std::span<const std::uint8_t> dane) {
    return HuffmanEncode(LzEncode(dane));
}
