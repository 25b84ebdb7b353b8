#include "payload/Dekompresja.h"

#include "DekodowanieLiniowe.h"
#include "Kompresja.h"
#include "base/Blad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using Bajty = std::vector<std::uint8_t>;

Bajty Z(const std::string& s) { return Bajty(s.begin(), s.end()); }

// Blocks made by hand, bit by bit, MSB first.
class Pisarz {
public:
    Pisarz& Bity(std::uint32_t v, unsigned ile) {
        while (ile-- > 0) {
            bajt_ = static_cast<std::uint8_t>(bajt_ << 1 | ((v >> ile) & 1u));
            if (++zajete_ == 8)
                Wypchnij();
        }
        return *this;
    }
    Pisarz& Wyrownaj() {
        while (zajete_ != 0)
            Bity(0, 1);
        return *this;
    }
    Pisarz& N(std::uint32_t n) {
        for (int k = 0; k < 4; ++k)
            Bity((n >> (8 * k)) & 0xFF, 8);
        return *this;
    }
    Bajty Wynik() {
        Wyrownaj();
        return dane_;
    }
    std::size_t IleBitow() const { return dane_.size() * 8 + zajete_; }

private:
    void Wypchnij() {
        dane_.push_back(bajt_);
        bajt_ = 0;
        zajete_ = 0;
    }
    Bajty dane_;
    std::uint8_t bajt_ = 0;
    unsigned zajete_ = 0;
};

struct Kod {
    std::uint8_t bajt;
    unsigned dlugosc;  // 1..16
    std::uint32_t kod;
};

// Table entries in ascending byte order (repeated bytes are the caller's
// business: the table has one slot per byte value).
void PiszTablice(Pisarz& p, const std::vector<Kod>& kody) {
    std::size_t k = 0;
    for (unsigned b = 0; b < 256; ++b) {
        if (k < kody.size() && kody[k].bajt == b) {
            p.Bity(1, 1).Bity(kody[k].dlugosc & 15, 4).Bity(kody[k].kod, kody[k].dlugosc);
            ++k;
        } else {
            p.Bity(0, 1);
        }
    }
}

// A whole block: table, padding, N and the codes of `tresc`, each encoded
// by its byte's first entry.
Bajty Blok(const std::vector<Kod>& kody, const Bajty& tresc, std::optional<std::uint32_t> n = {}) {
    Pisarz p;
    PiszTablice(p, kody);
    p.Wyrownaj().N(n.value_or(static_cast<std::uint32_t>(tresc.size())));
    for (std::uint8_t b : tresc)
        for (const Kod& k : kody)
            if (k.bajt == b) {
                p.Bity(k.kod, k.dlugosc);
                break;
            }
    return p.Wynik();
}

std::optional<Bajty> Sprobuj(const std::function<Bajty()>& f) {
    try {
        return f();
    } catch (const BladProgramu&) {
        return std::nullopt;
    }
}

// Fast decoders against the plain walk: both refuse, or both give the same bytes.
void PorownajZWzorcem(const Bajty& blok, std::size_t pojemnosc = PojemnoscCzesciProgramu) {
    const auto wzorzec = Sprobuj([&] { return HuffmanDecodeLiniowo(blok); });
    EXPECT_EQ(Sprobuj([&] { return HuffmanDecode(blok); }), wzorzec);
    const auto wzorzecLz = wzorzec ? Sprobuj([&] { return LzDecodeBajtami(*wzorzec, pojemnosc); }) : std::nullopt;
    EXPECT_EQ(Sprobuj([&] { return RozpakujBlok(blok, pojemnosc); }), wzorzecLz);
    if (wzorzec) {
        EXPECT_EQ(Sprobuj([&] { return LzDecode(*wzorzec, pojemnosc); }), wzorzecLz);
    }
}

TEST(LzDecode, WorkedExamplesAndTokenEdges) {
    struct Przypadek {
        const char* nazwa;
        Bajty strumien;
        Bajty wynik;
    };
    Bajty run128(128);
    for (int k = 0; k < 128; ++k)
        run128[k] = static_cast<std::uint8_t>(k * 7);
    Bajty zRun128{0xFF};
    zRun128.insert(zRun128.end(), run128.begin(), run128.end());
    const Przypadek przypadki[] = {
        {"literal run then match at distance 3", {0x82, 0x61, 0x62, 0x63, 0x00, 0x03}, Z("abcabc")},
        {"one literal then overlapping match", {0x80, 0x61, 0x10, 0x01}, Bajty(5, 0x61)},
        {"distance 1 length 10", {0x80, 0x7A, 0x70, 0x01}, Bajty(11, 0x7A)},
        {"0xFF copies 128 bytes", zRun128, run128},
        {"0x80 copies one byte", {0x80, 0x00}, {0x00}},
        {"empty stream", {}, {}},
        {"distance 7 overlapping length 10", {0x86, 1, 2, 3, 4, 5, 6, 7, 0x70, 0x07},
         {1, 2, 3, 4, 5, 6, 7, 1, 2, 3, 4, 5, 6, 7, 1, 2, 3}},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        EXPECT_EQ(LzDecode(p.strumien, PojemnoscCzesciProgramu), p.wynik);
        EXPECT_EQ(LzDecodeBajtami(p.strumien, PojemnoscCzesciProgramu), p.wynik);
    }

    // 4095 bytes, then a match of 3 from 4095 back.
    Bajty dlugi, oczekiwany;
    for (int k = 0; k < 4095; k += 128) {
        const int ile = std::min(128, 4095 - k);
        dlugi.push_back(static_cast<std::uint8_t>(0x80 | (ile - 1)));
        for (int j = 0; j < ile; ++j) {
            dlugi.push_back(static_cast<std::uint8_t>((k + j) * 13));
            oczekiwany.push_back(static_cast<std::uint8_t>((k + j) * 13));
        }
    }
    dlugi.insert(dlugi.end(), {0x0F, 0xFF});
    oczekiwany.insert(oczekiwany.end(), oczekiwany.begin(), oczekiwany.begin() + 3);
    EXPECT_EQ(LzDecode(dlugi, PojemnoscCzesciProgramu), oczekiwany);
}

TEST(LzDecode, HostileStreamsThrow) {
    struct Przypadek {
        const char* nazwa;
        Bajty strumien;
        std::size_t pojemnosc;
    };
    // Many blocks of the fast loops long: the capacity is passed far from
    // either end, where the tokens run without checks of their own.
    Bajty dlugi{0xFF};
    for (int k = 0; k < 128; ++k)
        dlugi.push_back(static_cast<std::uint8_t>(k * 7));
    for (int k = 0; k < 6000; ++k) {
        dlugi.push_back(static_cast<std::uint8_t>((k * 5 % 8) << 4));  // a match of 3 to 10 bytes
        dlugi.push_back(static_cast<std::uint8_t>(8 + k * 37 % 120));  // from 8 to 127 back
    }
    const Przypadek przypadki[] = {
        {"distance 0", {0x80, 0x61, 0x00, 0x00}, 100},
        {"match before any output", {0x00, 0x01}, 100},
        {"distance past the start", {0x82, 1, 2, 3, 0x00, 0x04}, 100},
        {"distance 4095 into 10 bytes", {0x89, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x0F, 0xFF}, 100},
        {"literal run cut short", {0x83, 0x61, 0x62}, 100},
        {"match without its distance byte", {0x80, 0x61, 0x10}, 100},
        {"literal run over the capacity", {0x82, 1, 2, 3}, 2},
        {"match over the capacity", {0x80, 0x61, 0x70, 0x01}, 10},
        {"capacity 0", {0x80, 0x61}, 0},
        {"capacity passed deep inside a long stream", dlugi, 7'000},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        EXPECT_THROW((void)LzDecode(p.strumien, p.pojemnosc), BladProgramu);
        EXPECT_THROW((void)LzDecodeBajtami(p.strumien, p.pojemnosc), BladProgramu);
        // The same stream behind a prefix code fails the same way in one pass.
        EXPECT_THROW((void)RozpakujBlok(HuffmanEncode(p.strumien), p.pojemnosc), BladProgramu);
    }
    // Exactly at the capacity is fine.
    EXPECT_EQ(LzDecode(Bajty{0x80, 0x61, 0x70, 0x01}, 11).size(), 11u);
}

TEST(HuffmanDecode, HandMadeBlocks) {
    // Sixteen 4-bit codes: the table takes 256 + 16 * 8 bits, ends on a byte
    // boundary, and N follows at once.
    std::vector<Kod> szesnascie;
    for (unsigned k = 0; k < 16; ++k)
        szesnascie.push_back({static_cast<std::uint8_t>('A' + k), 4, 15 - k});
    // Length 16 is stored as 0; the long codes take the slow path of the table.
    const std::vector<Kod> dlugie{{'x', 1, 0}, {'y', 16, 0xFFFF}, {'z', 16, 0x8000}, {0xFF, 15, 0x4001}};
    // Non-canonical: codes out of byte and length order.
    const std::vector<Kod> nieKanoniczne{{0x00, 3, 0b111}, {0x10, 1, 0b0}, {0x20, 3, 0b110}, {0xF0, 2, 0b10}};
    // A single entry is a code like any other.
    const std::vector<Kod> jeden{{'q', 3, 0b101}};

    struct Przypadek {
        const char* nazwa;
        Bajty blok;
        Bajty wynik;
    };
    Pisarz bezWyrownania;  // 256 + 5 + 5 bits, then 6 bits of padding before N
    PiszTablice(bezWyrownania, {{'a', 1, 0}, {'b', 1, 1}});
    bezWyrownania.Bity(0b101101, 6).N(3).Bity(0b010, 3);

    const Przypadek przypadki[] = {
        {"table ends on a byte boundary", Blok(szesnascie, Z("HELLOPANDA")), Z("HELLOPANDA")},
        {"padding bits are skipped whatever they hold", bezWyrownania.Wynik(), Z("aba")},
        {"length 16 stored as 0", Blok(dlugie, Z("xyzx\xFFzy")), Z("xyzx\xFFzy")},
        {"non-canonical codes", Blok(nieKanoniczne, {0x00, 0x10, 0x20, 0xF0, 0x10, 0x00}),
         {0x00, 0x10, 0x20, 0xF0, 0x10, 0x00}},
        {"one entry", Blok(jeden, Z("qqqq")), Z("qqqq")},
        {"N = 0 with codes", Blok(jeden, Z("qqqq"), 0), {}},
        {"N = 0 and no table entries", Blok({}, {}), {}},
        {"N below the codes present", Blok(jeden, Z("qqqq"), 2), Z("qq")},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        EXPECT_EQ(HuffmanDecode(p.blok), p.wynik);
        EXPECT_EQ(HuffmanDecodeLiniowo(p.blok), p.wynik);
    }
}

// Codes that are not prefix-free decode as the walk over the sorted table
// does: the first entry that matches wins, shorter codes before longer ones
// and lower bytes before higher ones of the same length.
TEST(HuffmanDecode, AmbiguousTablesFollowTheWalk) {
    struct Przypadek {
        const char* nazwa;
        std::vector<Kod> kody;
        std::vector<std::pair<std::uint32_t, unsigned>> bity;
        std::uint32_t n;
        Bajty wynik;
    };
    const Przypadek przypadki[] = {
        {"equal codes: the lower byte", {{'p', 3, 0b101}, {'q', 3, 0b101}}, {{0b101101, 6}}, 2, Z("pp")},
        {"a prefix of a longer code wins", {{'a', 2, 0b01}, {'b', 4, 0b0110}, {'c', 2, 0b10}}, {{0b0110, 4}}, 2,
         Z("ac")},
        {"shorter wins although its byte is higher", {{0x01, 5, 0b11111}, {0xFE, 1, 0b1}}, {{0b11111, 5}}, 5,
         Bajty(5, 0xFE)},
        {"equal long codes", {{'m', 16, 0x1234}, {'n', 16, 0x1234}, {'o', 1, 1}}, {{0x1234, 16}, {1, 1}}, 2,
         Z("mo")},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        Pisarz w;
        PiszTablice(w, p.kody);
        w.Wyrownaj().N(p.n);
        for (auto [v, ile] : p.bity)
            w.Bity(v, ile);
        const Bajty blok = w.Wynik();
        EXPECT_EQ(HuffmanDecodeLiniowo(blok), p.wynik);
        EXPECT_EQ(HuffmanDecode(blok), p.wynik);
    }
}

TEST(HuffmanDecode, HostileBlocksThrow) {
    const std::vector<Kod> niepelny{{'a', 2, 0b00}, {'b', 2, 0b01}};  // 1x matches nothing
    Pisarz uciety;  // every flag set, then nothing
    uciety.Bity(0xFFFF, 16);
    Pisarz bezN;
    PiszTablice(bezN, niepelny);
    Bajty tylkoTablica = bezN.Wynik();
    Bajty czescN = tylkoTablica;
    czescN.insert(czescN.end(), {3, 0});
    Pisarz bezKodu;
    PiszTablice(bezKodu, niepelny);
    bezKodu.Wyrownaj().N(2).Bity(0b0010, 4);
    // The last code's bits that are cut off are zeros, as the fast decoder
    // reads past the end: only the count of bits used can catch it.
    Bajty dlugiZaKoncem = Blok({{'x', 1, 0}, {'y', 16, 0xFF00}}, Z("xxxxxxxy"));
    dlugiZaKoncem.pop_back();

    struct Przypadek {
        const char* nazwa;
        Bajty blok;
    };
    const Przypadek przypadki[] = {
        {"empty", {}},
        {"table cut short", uciety.Wynik()},
        {"no N", tylkoTablica},
        {"N cut short", czescN},
        {"bits that match no code", bezKodu.Wynik()},
        {"N one more than the codes", Blok(niepelny, Z("abab"), 5)},
        {"N of 4 GB", Blok(niepelny, Z("abab"), 0xFFFF'FFFFu)},
        {"N huge, one-bit codes", Blok({{'a', 1, 0}}, Bajty(64, 'a'), 0x8000'0000u)},
        {"no entries but N > 0", Blok({}, {}, 1)},
        {"long code past the end", dlugiZaKoncem},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        EXPECT_THROW((void)HuffmanDecode(p.blok), BladProgramu);
        EXPECT_THROW((void)HuffmanDecodeLiniowo(p.blok), BladProgramu);
        EXPECT_THROW((void)RozpakujBlok(p.blok, PojemnoscCzesciProgramu), BladProgramu);
    }
}

TEST(HuffmanDecode, EveryTruncationOfAValidBlockThrows) {
    Bajty dane;
    for (int k = 0; k < 600; ++k)
        dane.push_back(static_cast<std::uint8_t>((k * k) % 251 ^ (k >> 3)));
    for (const Bajty& blok : {SpakujBlok(dane), HuffmanEncode(dane)}) {
        for (std::size_t dl = 0; dl < blok.size(); ++dl) {
            const Bajty uciety(blok.begin(), blok.begin() + static_cast<std::ptrdiff_t>(dl));
            SCOPED_TRACE(dl);
            EXPECT_THROW((void)HuffmanDecode(uciety), BladProgramu);
            EXPECT_THROW((void)RozpakujBlok(uciety, PojemnoscCzesciProgramu), BladProgramu);
        }
    }
}

// Random prefix codes with codes assigned at random (not canonical), random
// incomplete and ambiguous tables, and blocks of the packer with bits
// flipped: the fast decoders agree with the plain walk on all of them.
TEST(HuffmanDecode, AgreesWithThePlainWalk) {
    std::mt19937 los(20240611);
    auto liczba = [&](unsigned od, unsigned dod) { return std::uniform_int_distribution<unsigned>(od, dod)(los); };

    for (int proba = 0; proba < 60; ++proba) {
        SCOPED_TRACE(proba);
        // A complete code: split random leaves of a binary tree.
        std::vector<std::pair<std::uint32_t, unsigned>> liscie{{0, 1}, {1, 1}};
        const unsigned ile = liczba(2, 256);
        while (liscie.size() < ile) {
            const std::size_t k = liczba(0, static_cast<unsigned>(liscie.size() - 1));
            if (liscie[k].second == 16)
                continue;
            const auto [kod, dl] = liscie[k];
            liscie[k] = {kod << 1, dl + 1};
            liscie.push_back({kod << 1 | 1, dl + 1});
        }
        std::vector<unsigned> bajty(256);
        for (unsigned b = 0; b < 256; ++b)
            bajty[b] = b;
        std::shuffle(bajty.begin(), bajty.end(), los);
        std::vector<Kod> kody;
        for (std::size_t k = 0; k < liscie.size(); ++k)
            kody.push_back({static_cast<std::uint8_t>(bajty[k]), liscie[k].second, liscie[k].first});
        std::sort(kody.begin(), kody.end(), [](const Kod& a, const Kod& b) { return a.bajt < b.bajt; });
        Bajty tresc;
        for (int k = 0; k < 3000; ++k)
            tresc.push_back(kody[liczba(0, static_cast<unsigned>(kody.size() - 1))].bajt);
        const Bajty blok = Blok(kody, tresc);
        EXPECT_EQ(HuffmanDecode(blok), tresc);
        PorownajZWzorcem(blok);
    }

    for (int proba = 0; proba < 300; ++proba) {
        SCOPED_TRACE(proba);
        // Any table: random lengths and codes, duplicates and prefixes welcome.
        std::vector<Kod> kody;
        const unsigned krok = liczba(1, 40);
        for (unsigned b = liczba(0, 10); b < 256; b += liczba(1, krok)) {
            const unsigned dl = liczba(1, proba % 2 ? 16 : 5);
            kody.push_back({static_cast<std::uint8_t>(b), dl, liczba(0, (1u << dl) - 1)});
        }
        Pisarz w;
        PiszTablice(w, kody);
        w.Wyrownaj().N(liczba(0, 400));
        for (unsigned k = liczba(0, 300); k > 0; --k)
            w.Bity(liczba(0, 255), 8);
        PorownajZWzorcem(w.Wynik(), liczba(0, 1) ? 200 : PojemnoscCzesciProgramu);
    }

    Bajty dane;
    for (int k = 0; k < 3000; ++k)
        dane.push_back(static_cast<std::uint8_t>(k % 7 == 0 ? liczba(0, 255) : "MZ\x90\0PE\0\0"[k % 8]));
    const Bajty wzor = SpakujBlok(dane);
    for (int proba = 0; proba < 300; ++proba) {
        SCOPED_TRACE(proba);
        Bajty blok = wzor;
        for (unsigned k = liczba(1, 4); k > 0; --k)
            blok[liczba(0, static_cast<unsigned>(blok.size() - 1))] ^= static_cast<std::uint8_t>(1u << liczba(0, 7));
        PorownajZWzorcem(blok);
    }
}

}  // namespace
