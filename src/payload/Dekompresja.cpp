#include "payload/Dekompresja.h"

#include "base/Blad.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

static_assert(std::endian::native == std::endian::little, "the fast loads assume a little-endian host");

namespace {

struct Wpis {
    std::uint8_t dlugosc;  // 1..16
    std::uint16_t kod;
    std::uint8_t bajt;
};

// Bounded MSB-first reader for the code table, which is at most 672 bytes:
// one bit at a time is fast enough there.
class CzytnikTablicy {
public:
    explicit CzytnikTablicy(std::span<const std::uint8_t> blok) : blok_(blok) {}

    std::uint32_t Czytaj(unsigned ile) {
        std::uint32_t v = 0;
        for (unsigned k = 0; k < ile; ++k) {
            if (bit_ >= blok_.size() * 8)
                throw BladProgramu("Packed block: ends inside the code table");
            v = (v << 1) | ((blok_[bit_ >> 3] >> (7 - (bit_ & 7))) & 1u);
            ++bit_;
        }
        return v;
    }

    // The first byte after the table: a table ending inside a byte skips the rest of it.
    std::size_t BajtPoTablicy() const { return (bit_ + 7) / 8; }

private:
    std::span<const std::uint8_t> blok_;
    std::size_t bit_ = 0;
};

// Entries in ascending byte order, then stably sorted by length: the order in
// which the linear walk tries them.
std::vector<Wpis> CzytajTabliceKodow(CzytnikTablicy& czytnik) {
    std::vector<Wpis> wpisy;
    for (unsigned bajt = 0; bajt < 256; ++bajt) {
        if (czytnik.Czytaj(1) == 0)
            continue;
        unsigned dlugosc = czytnik.Czytaj(4);
        if (dlugosc == 0)
            dlugosc = 16;
        const auto kod = static_cast<std::uint16_t>(czytnik.Czytaj(dlugosc));
        wpisy.push_back({static_cast<std::uint8_t>(dlugosc), kod, static_cast<std::uint8_t>(bajt)});
    }
    std::stable_sort(wpisy.begin(), wpisy.end(),
                     [](const Wpis& a, const Wpis& b) { return a.dlugosc < b.dlugosc; });
    return wpisy;
}

// Two-level lookup: the next BityGlowne bits index the primary tables; codes
// longer than that continue in a subtable per primary prefix, sized for the
// longest code under that prefix.
//
// A leaf holds in bits 0-4 the number of bits it takes, in bits 8-15 its
// byte, in bits 16-23 a second byte and in bits 24-25 how many bytes it gives
// (1 or 2). A pair leaf is two whole codes that fit in the index bits: the
// lookups are one chain of dependent loads and take most of the time, so each
// one saved counts.
// Entries with the top bit set are either Brak or a subtable reference
// (offset << 5 | the subtable's index bits).
constexpr unsigned BityGlowne = 13;
constexpr std::uint32_t MaskaGlowna = (1u << BityGlowne) - 1;
constexpr std::uint32_t Specjalny = 0x8000'0000u;
constexpr std::uint32_t Brak = 0xFFFF'FFFFu;  // no code matches these bits

constexpr std::uint32_t Lisc(unsigned dlugosc, std::uint8_t bajt) {
    return (1u << 24) | (std::uint32_t{bajt} << 8) | dlugosc;
}

struct TablicaDekodowania {
    std::vector<std::uint32_t> pojedyncze;  // one code per slot
    std::vector<std::uint32_t> pary;        // the same, or two codes where both fit
    std::vector<std::uint32_t> podtablice;
};

void Wypelnij(std::vector<std::uint32_t>& t, std::size_t od, std::size_t ile, std::uint32_t wartosc) {
    std::fill(t.begin() + static_cast<std::ptrdiff_t>(od), t.begin() + static_cast<std::ptrdiff_t>(od + ile),
              wartosc);
}

TablicaDekodowania ZbudujTabliceDekodowania(const std::vector<Wpis>& wpisy) {
    TablicaDekodowania t;
    std::array<std::uint8_t, 1u << BityGlowne> bityPodtablicy{};
    for (const Wpis& w : wpisy) {
        if (w.dlugosc <= BityGlowne)
            continue;
        const unsigned reszta = w.dlugosc - BityGlowne;
        auto& b = bityPodtablicy[w.kod >> reszta];
        b = std::max<std::uint8_t>(b, static_cast<std::uint8_t>(reszta));
    }
    t.pojedyncze.assign(std::size_t{1} << BityGlowne, Brak);
    std::uint32_t rozmiar = 0;
    for (std::uint32_t p = 0; p <= MaskaGlowna; ++p) {
        if (bityPodtablicy[p] != 0) {
            t.pojedyncze[p] = Specjalny | (rozmiar << 5) | bityPodtablicy[p];
            rozmiar += 1u << bityPodtablicy[p];
        }
    }
    t.podtablice.assign(rozmiar, Brak);

    // Filled from the last entry of the walk to the first, each overwriting
    // what it covers: every slot ends up with the first entry of the walk that
    // matches it. Longer codes come first, so the short ones may still cover a
    // subtable's primary slot, which is what the walk does as well.
    for (auto w = wpisy.rbegin(); w != wpisy.rend(); ++w) {
        const std::uint32_t lisc = Lisc(w->dlugosc, w->bajt);
        if (w->dlugosc <= BityGlowne) {
            const unsigned wolne = BityGlowne - w->dlugosc;
            Wypelnij(t.pojedyncze, std::size_t{w->kod} << wolne, std::size_t{1} << wolne, lisc);
        } else {
            const unsigned reszta = w->dlugosc - BityGlowne;
            const std::uint32_t odnosnik = t.pojedyncze[w->kod >> reszta];
            const unsigned wolne = (odnosnik & 31) - reszta;
            const std::uint32_t dol = w->kod & ((1u << reszta) - 1);
            Wypelnij(t.podtablice, ((odnosnik & ~Specjalny) >> 5) + (dol << wolne), std::size_t{1} << wolne,
                     lisc);
        }
    }

    // A second code is taken only when the bits left in the index decide it
    // whatever follows: then no entry before it in the walk can match either.
    t.pary = t.pojedyncze;
    for (std::uint32_t s = 0; s <= MaskaGlowna; ++s) {
        const std::uint32_t e = t.pojedyncze[s];
        if (e & Specjalny)
            continue;
        const unsigned pierwsza = e & 31;
        if (pierwsza == BityGlowne)
            continue;
        const std::uint32_t e2 = t.pojedyncze[(s << pierwsza) & MaskaGlowna];
        if ((e2 & Specjalny) || (e2 & 31) > BityGlowne - pierwsza)
            continue;
        t.pary[s] = (2u << 24) | (e2 & 0xFF00) << 8 | (e & 0xFF00) | (pierwsza + (e2 & 31));
    }
    return t;
}

[[noreturn]] void BrakKodu() {
    throw BladProgramu("Packed block: bits match no code");
}

// The single leaf for a special primary entry, from the bits at the top of
// `bufor` (at least 16 valid bits there).
inline std::uint32_t Rozwin(const TablicaDekodowania& t, std::uint32_t e, std::uint64_t bufor) {
    if (e == Brak)
        BrakKodu();
    const unsigned bity = e & 31;
    e = t.podtablice[((e & ~Specjalny) >> 5) + ((bufor << BityGlowne) >> (64 - bity))];
    if (e == Brak)
        BrakKodu();
    return e;
}

inline std::uint64_t Czytaj64BE(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

inline std::uint64_t Czytaj64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline void Zapisz64(std::uint8_t* p, std::uint64_t v) { std::memcpy(p, &v, 8); }

inline void Zapisz16(std::uint8_t* p, std::uint16_t v) { std::memcpy(p, &v, 2); }

struct Naglowek {
    std::vector<Wpis> wpisy;  // in the order of the walk
    std::uint32_t n;
    std::span<const std::uint8_t> kody;
};

// The code table, N and the code stream. For N > 0 it also makes sure that
// the stream can hold N codes, before anyone allocates N of anything.
Naglowek CzytajNaglowek(std::span<const std::uint8_t> blok) {
    CzytnikTablicy czytnik(blok);
    Naglowek h;
    h.wpisy = CzytajTabliceKodow(czytnik);
    const std::size_t pozycjaN = czytnik.BajtPoTablicy();
    if (blok.size() - pozycjaN < 4)
        throw BladProgramu("Packed block: ends inside the output count");
    h.n = std::uint32_t{blok[pozycjaN]} | std::uint32_t{blok[pozycjaN + 1]} << 8 |
          std::uint32_t{blok[pozycjaN + 2]} << 16 | std::uint32_t{blok[pozycjaN + 3]} << 24;
    h.kody = blok.subspan(pozycjaN + 4);
    if (h.n == 0)
        return h;
    if (h.wpisy.empty())
        throw BladProgramu("Packed block: empty code table with a non-zero output count");
    if (std::uint64_t{h.n} * h.wpisy.front().dlugosc > std::uint64_t{h.kody.size()} * 8)
        throw BladProgramu("Packed block: code stream ends before N bytes");
    return h;
}

// Bit reader over the code stream. Valid bits sit at the top of `bufor`;
// bits below them may hold the bits that follow in the stream, never anything
// else. Members are plain so that the decoding loops keep them in registers.
struct Bity {
    const std::uint8_t* we;
    std::size_t rozmiar;
    std::uint64_t bufor = 0;
    unsigned ile = 0;   // valid bits in its low 6 bits; see Zjedz
    std::size_t i = 0;  // next byte not yet (wholly) in the buffer

    // Whether `kodow` more codes, each after a refill or up to 16 bits after
    // one, leave every refill inside the stream: i stays within 8 bytes of
    // the bits used, and a code takes at most 2 bytes.
    bool Starczy(std::size_t kodow) const { return i <= rozmiar && rozmiar - i >= 2 * kodow + 16; }

    // Leaves 56..63 valid bits. Needs 8 bytes of the stream from i.
    void Uzupelnij() {
        ile &= 63;
        bufor |= Czytaj64BE(we + i) >> ile;
        i += (63 - ile) >> 3;
        ile |= 56;
    }

    // Near the end: zeros stand in for bits past it, and Koniec() tells
    // whether a code used them. Leaves at least 57 valid bits.
    void UzupelnijBezpiecznie() {
        ile &= 63;
        while (ile <= 56) {
            const std::uint64_t b = i < rozmiar ? we[i] : 0;
            bufor |= b << (56 - ile);
            ile += 8;
            ++i;
        }
    }

    // The single leaf of the code at the top; needs 16 valid bits.
    std::uint32_t Jeden(const TablicaDekodowania& t) {
        std::uint32_t e = t.pojedyncze[bufor >> (64 - BityGlowne)];
        if (e & Specjalny) [[unlikely]]
            e = Rozwin(t, e, bufor);
        Zjedz(e);
        return e;
    }

    void Zjedz(std::uint32_t lisc) {
        // Bits 5-7 of a leaf are clear: `& 63` is the length, and lets the
        // compiler use a plain 64-bit shift. The bits above them only
        // disturb `ile` above its low 6 bits (a borrow runs upwards only),
        // and those are cleared once per refill rather than per code.
        bufor <<= (lisc & 63);
        ile -= lisc;
    }

    void Koniec() const {
        if (std::uint64_t{i} * 8 - (ile & 63) > std::uint64_t{rozmiar} * 8)
            throw BladProgramu("Packed block: code stream ends before N bytes");
    }
};

[[noreturn]] void ZaDuzo(std::size_t pojemnosc) {
    throw BladProgramu("Packed stream: result exceeds the capacity of " + std::to_string(pojemnosc) + " bytes");
}

// The output buffer of the LZ stage. No token yields more than five times its
// own size (two bytes give at most ten), so the stream's length bounds the
// output as well as the capacity does. Slack past `limit` lets copies move
// whole 8-byte words.
constexpr std::size_t Zapas = 16;

// Capped so that the slack never wraps a 32-bit size: no result that large
// could be held anyway, and one that tries is refused as too large.
std::size_t Limit(std::size_t dlugoscStrumienia, std::size_t pojemnosc) {
    pojemnosc = std::min(pojemnosc, SIZE_MAX - Zapas);
    return dlugoscStrumienia >= pojemnosc / 5 ? pojemnosc : dlugoscStrumienia * 5;
}

// One LZ token from `we`, with every check; advances `we` and `poz`. The
// output has Zapas bytes of slack past `limit`. Inlined into both loops that
// use it, so that their state stays in registers.
[[gnu::always_inline]] inline void Token(const std::uint8_t*& we, const std::uint8_t* weKoniec, std::uint8_t* wy,
                                         std::size_t& poz, std::size_t limit, std::size_t pojemnosc) {
    const unsigned c = *we++;
    const auto zostalo = static_cast<std::size_t>(weKoniec - we);
    if (c >= 0x80) {
        const std::size_t ile = (c & 0x7F) + 1;
        if (zostalo < ile)
            throw BladProgramu("Packed stream: ends inside a literal run");
        if (limit - poz < ile)
            ZaDuzo(pojemnosc);
        if (zostalo >= 128 + 16) {
            // Whole 16-byte chunks: reads stay inside the input, and the
            // overshoot lands in the slack or in bytes written later.
            for (std::size_t k = 0; k < ile; k += 16) {
                Zapisz64(wy + poz + k, Czytaj64(we + k));
                Zapisz64(wy + poz + k + 8, Czytaj64(we + k + 8));
            }
        } else {
            std::memcpy(wy + poz, we, ile);
        }
        we += ile;
        poz += ile;
        return;
    }
    if (zostalo == 0)
        throw BladProgramu("Packed stream: ends inside a match");
    const std::size_t ile = (c >> 4) + 3;
    const std::size_t odleglosc = ((c & 0x0F) << 8) | *we++;
    if (odleglosc == 0)
        throw BladProgramu("Packed stream: match distance 0");
    if (odleglosc > poz)
        throw BladProgramu("Packed stream: match reaches before the start of the output");
    if (limit - poz < ile)
        ZaDuzo(pojemnosc);
    std::uint8_t* const cel = wy + poz;
    const std::uint8_t* const zrodlo = cel - odleglosc;
    if (odleglosc >= 8) {
        // Each 8-byte step reads only bytes already final, so the overlap of
        // a match with itself comes out as byte by byte.
        Zapisz64(cel, Czytaj64(zrodlo));
        Zapisz64(cel + 8, Czytaj64(zrodlo + 8));
    } else {
        for (std::size_t k = 0; k < ile; ++k)
            cel[k] = zrodlo[k];
    }
    poz += ile;
}

// Input a token may take: its control byte, up to 128 literal bytes, and the
// 16-byte chunks that copy them.
constexpr std::size_t ZasiegTokenu = 1 + 128 + 16;

// One LZ token where nothing can run out: ZasiegTokenu bytes of input at
// `we`, room in the output for what it yields (a literal run's last chunk
// may overshoot into the slack) and at least 8 bytes of output behind. Only
// a match from less than 8 back, or a faulty one, needs Token's checks.
[[gnu::always_inline]] inline void TokenWStrefie(const std::uint8_t*& we, std::uint8_t* wy, std::size_t& poz,
                                                 std::size_t limit, std::size_t pojemnosc) {
    const std::size_t c = we[0];
    if (c >= 0x80) {
        const std::size_t ile = c - 0x7F;
        Zapisz64(wy + poz, Czytaj64(we + 1));
        Zapisz64(wy + poz + 8, Czytaj64(we + 9));
        for (std::size_t k = 16; k < ile; k += 16) [[unlikely]] {
            Zapisz64(wy + poz + k, Czytaj64(we + 1 + k));
            Zapisz64(wy + poz + k + 8, Czytaj64(we + 1 + k + 8));
        }
        we += 1 + ile;
        poz += ile;
        return;
    }
    const std::size_t odleglosc = ((c & 0x0F) << 8) | we[1];
    if (odleglosc - 8 > poz - 8) [[unlikely]] {
        Token(we, we + ZasiegTokenu, wy, poz, limit, pojemnosc);
        return;
    }
    const std::uint8_t* const zrodlo = wy + poz - odleglosc;
    Zapisz64(wy + poz, Czytaj64(zrodlo));
    Zapisz64(wy + poz + 8, Czytaj64(zrodlo + 8));
    we += 2;
    poz += (c >> 4) + 3;
}

// The tokens of [we, weKoniec), each with the checks that its place needs.
[[gnu::always_inline]] inline void Tokeny(const std::uint8_t*& we, const std::uint8_t* weKoniec, std::uint8_t* wy,
                                          std::size_t& poz, std::size_t limit, std::size_t pojemnosc) {
    while (weKoniec - we >= static_cast<std::ptrdiff_t>(ZasiegTokenu)) {
        if (poz >= 8 && limit - poz >= 128)
            TokenWStrefie(we, wy, poz, limit, pojemnosc);
        else
            Token(we, we + ZasiegTokenu, wy, poz, limit, pojemnosc);
    }
    while (we < weKoniec)
        Token(we, weKoniec, wy, poz, limit, pojemnosc);
}

// The first stage's fast loop body: one refill and four lookups, each
// writing two bytes of which it keeps one or two. A refill leaves at least 56
// valid bits and a primary leaf takes at most BityGlowne of them, so the
// fourth lookup still has the 16 bits that a long code needs; a long code is
// followed by a refill of its own.
constexpr int KodowNaKrok = 4;
static_assert(56 - (KodowNaKrok - 1) * BityGlowne >= 16);

[[gnu::always_inline]] inline void Krok(Bity& bity, const TablicaDekodowania& tablica, std::uint8_t*& wy) {
    bity.Uzupelnij();
#pragma GCC unroll 4
    for (int r = 0; r < KodowNaKrok; ++r) {
        const std::uint32_t e = tablica.pary[bity.bufor >> (64 - BityGlowne)];
        if (e & Specjalny) [[unlikely]] {
            *wy++ = static_cast<std::uint8_t>(bity.Jeden(tablica) >> 8);
            bity.Uzupelnij();
            continue;
        }
        Zapisz16(wy, static_cast<std::uint16_t>(e >> 8));
        wy += e >> 24;
        bity.Zjedz(e);
    }
}

// The fast loops check their bounds once per block of steps: the input for
// all its codes, the room for two bytes per code, and in the second stage the
// room for every token that the block may take.
constexpr int KrokowNaBlok = 64;
constexpr std::size_t KodowNaBlok = KrokowNaBlok * KodowNaKrok;

bool BlokSzybki(const Bity& bity, const std::uint8_t* wy, const std::uint8_t* wyKoniec) {
    return bity.Starczy(KodowNaBlok) && static_cast<std::size_t>(wyKoniec - wy) >= 2 * KodowNaBlok;
}

}  // namespace

std::vector<std::uint8_t> HuffmanDecode(std::span<const std::uint8_t> blok) {
    const Naglowek h = CzytajNaglowek(blok);
    if (h.n == 0)
        return {};
    const TablicaDekodowania tablica = ZbudujTabliceDekodowania(h.wpisy);

    std::vector<std::uint8_t> wynik(h.n);
    std::uint8_t* wy = wynik.data();
    std::uint8_t* const wyKoniec = wy + h.n;
    Bity bity{h.kody.data(), h.kody.size()};
    while (BlokSzybki(bity, wy, wyKoniec))
        for (int k = 0; k < KrokowNaBlok; ++k)
            Krok(bity, tablica, wy);
    while (wy < wyKoniec) {
        bity.UzupelnijBezpiecznie();
        *wy++ = static_cast<std::uint8_t>(bity.Jeden(tablica) >> 8);
    }
    bity.Koniec();
    return wynik;
}

std::vector<std::uint8_t> LzDecode(std::span<const std::uint8_t> strumien, std::size_t pojemnosc) {
    const std::size_t limit = Limit(strumien.size(), pojemnosc);
    std::vector<std::uint8_t> wynik(limit + Zapas);
    std::size_t poz = 0;
    const std::uint8_t* we = strumien.data();
    Tokeny(we, we + strumien.size(), wynik.data(), poz, limit, pojemnosc);
    wynik.resize(poz);
    return wynik;
}

namespace {

// Tokens of the second stage per step: about 5 bytes of its stream, about
// what a step decodes. (A third slows the loop more than it saves; the few
// tokens left behind at the end run on their own.)
constexpr int TokenowNaKrok = 2;

// One block of the interleaved loop, the tokens without their bounds checks
// where the block cannot reach a bound.
template <bool WStrefie>
[[gnu::always_inline]] inline void BlokDwochEtapow(Bity& bity, const TablicaDekodowania& tablica, std::uint8_t*& sw,
                                                   const std::uint8_t*& we, const std::uint8_t* granica,
                                                   std::uint8_t* wy, std::size_t& poz, std::size_t limit,
                                                   std::size_t pojemnosc) {
    for (int k = 0; k < KrokowNaBlok; ++k) {
        Krok(bity, tablica, sw);
#pragma GCC unroll 4
        for (int t = 0; t < TokenowNaKrok; ++t) {
            if (we < granica) {
                if constexpr (WStrefie)
                    TokenWStrefie(we, wy, poz, limit, pojemnosc);
                else
                    Token(we, we + ZasiegTokenu, wy, poz, limit, pojemnosc);
            }
        }
    }
}

}  // namespace

// Both stages interleaved in one loop: the same bytes and the same faults as
// LzDecode(HuffmanDecode(blok)), in little more than the time of the first
// stage. The first stage is one chain of dependent table loads. The second
// runs a block behind it and takes only the tokens that start before
// `granica`, the point the first stage had reached (less a margin) when the
// block began: that bound does not wait for the loads in flight, so the
// second stage's branches resolve early and their mispredictions are repaired
// while the chain is still busy. (Bounding it by the first stage's current
// position instead costs those mispredictions in full.)
std::vector<std::uint8_t> RozpakujBlok(std::span<const std::uint8_t> blok, std::size_t pojemnosc) {
    const Naglowek h = CzytajNaglowek(blok);
    if (h.n == 0)
        return {};
    // Every whole token yields at least half its length, so a stream more
    // than twice the capacity fails either way: refused before its N bytes
    // are allocated.
    if (h.n / 2 > pojemnosc)
        ZaDuzo(pojemnosc);
    const TablicaDekodowania tablica = ZbudujTabliceDekodowania(h.wpisy);

    // Every byte of it is written before it is read.
    const auto strumien = std::make_unique_for_overwrite<std::uint8_t[]>(h.n);
    std::uint8_t* const swPoczatek = strumien.get();
    std::uint8_t* sw = swPoczatek;  // the first stage writes here
    std::uint8_t* const swKoniec = sw + h.n;
    Bity bity{h.kody.data(), h.kody.size()};

    const std::size_t limit = Limit(h.n, pojemnosc);
    std::vector<std::uint8_t> wynik(limit + Zapas);
    std::uint8_t* const wy = wynik.data();
    std::size_t poz = 0;
    const std::uint8_t* we = swPoczatek;  // the second stage reads here

    // A token that starts before `granica` ends inside what is decoded, with
    // the room to copy a literal run in whole 16-byte chunks. It yields at
    // most 128 bytes, and at most five times its own bytes: so a block's
    // tokens cannot pass the capacity where the room left holds the smaller
    // of those bounds.
    const std::uint8_t* granica = swPoczatek;
    constexpr std::size_t NajwiecejNaBlok = KrokowNaBlok * TokenowNaKrok * 128;
    while (BlokSzybki(bity, sw, swKoniec)) {
        const std::size_t doGranicy = we < granica ? static_cast<std::size_t>(granica - we) + ZasiegTokenu : 0;
        if (poz >= 8 && limit - poz >= std::min(5 * doGranicy, NajwiecejNaBlok))
            BlokDwochEtapow<true>(bity, tablica, sw, we, granica, wy, poz, limit, pojemnosc);
        else
            BlokDwochEtapow<false>(bity, tablica, sw, we, granica, wy, poz, limit, pojemnosc);
        if (static_cast<std::size_t>(sw - swPoczatek) > ZasiegTokenu)
            granica = sw - ZasiegTokenu;
    }
    while (sw < swKoniec) {
        bity.UzupelnijBezpiecznie();
        *sw++ = static_cast<std::uint8_t>(bity.Jeden(tablica) >> 8);
    }
    bity.Koniec();
    Tokeny(we, swKoniec, wy, poz, limit, pojemnosc);
    wynik.resize(poz);
    return wynik;
}
