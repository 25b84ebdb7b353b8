// The packer and the decompressor together: round trips, and the limits the
// packer must respect so that the installer reads its blocks.
#include "payload/Dekompresja.h"
#include "payload/SumaPliku.h"

#include "DekodowanieLiniowe.h"
#include "Kompresja.h"
#include "base/Blad.h"

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using Bajty = std::vector<std::uint8_t>;

// Bytes shaped like a 32-bit executable: a header, code made of a few
// recurring instruction shapes with varying operands, a string table and
// zero padding between sections.
Bajty JakProgram(std::size_t rozmiar, unsigned ziarno) {
    std::mt19937 los(ziarno);
    auto bajt = [&] { return static_cast<std::uint8_t>(los()); };
    Bajty d{'M', 'Z', 0x90, 0x00, 0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};
    d.resize(0x400, 0);
    const Bajty ksztalty[] = {
        {0x55, 0x8B, 0xEC},        // frame set-up
        {0x83, 0xEC},              // stack space + imm8
        {0x8B, 0x45},              // load from frame + disp8
        {0x89, 0x45},              // store to frame + disp8
        {0xE8},                    // call + rel32
        {0xFF, 0x15},              // indirect call + abs32
        {0x8B, 0xE5, 0x5D, 0xC3},  // frame tear-down and return
        {0x6A},                    // push imm8
        {0x33, 0xC0},              // clear a register
    };
    const char* nazwy[] = {"GetProcAddress", "LoadLibraryA", "CreateFileA", "ReadFile", "WriteFile",
                           "CloseHandle", "RegOpenKeyExA", "MessageBoxA", "GetWindowTextA"};
    while (d.size() < rozmiar) {
        const unsigned co = los() % 100;
        if (co < 85) {
            const Bajty& k = ksztalty[los() % std::size(ksztalty)];
            d.insert(d.end(), k.begin(), k.end());
            if (k.size() <= 2)
                d.push_back(bajt());
            if (k[0] == 0xE8 || k[0] == 0xFF)
                for (int j = 0; j < 3; ++j)
                    d.push_back(j == 2 ? static_cast<std::uint8_t>(los() % 3 == 0 ? 0xFF : 0x00) : bajt());
        } else if (co < 95) {
            const std::string n = nazwy[los() % std::size(nazwy)];
            d.insert(d.end(), n.begin(), n.end());
            d.push_back(0);
        } else {
            d.insert(d.end(), los() % 300, 0);
        }
    }
    d.resize(rozmiar);
    return d;
}

Bajty Losowe(std::size_t rozmiar, unsigned ziarno) {
    std::mt19937 los(ziarno);
    Bajty d(rozmiar);
    for (auto& b : d)
        b = static_cast<std::uint8_t>(los());
    return d;
}

struct Wejscie {
    const char* nazwa;
    Bajty dane;
};

std::vector<Wejscie> Wejscia() {
    std::vector<Wejscie> w;
    w.push_back({"empty", {}});
    w.push_back({"one byte", {0x42}});
    w.push_back({"one byte value repeated", Bajty(1000, 0x00)});
    w.push_back({"two byte values", {1, 2, 2, 1, 1, 1, 2}});
    w.push_back({"three bytes", {7, 8, 9}});
    w.push_back({"every byte value once", [] {
                     Bajty d(256);
                     std::iota(d.begin(), d.end(), 0);
                     return d;
                 }()});
    w.push_back({"random", Losowe(40'000, 1)});
    w.push_back({"highly repetitive", [] {
                     Bajty d;
                     for (int k = 0; d.size() < 150'000; ++k)
                         d.insert(d.end(), {'a', 'b', 'c', static_cast<std::uint8_t>(k % 3 == 0 ? 'd' : 'a')});
                     return d;
                 }()});
    w.push_back({"period longer than the window", [] {
                     const Bajty okres = Losowe(5000, 2);
                     Bajty d;
                     for (int k = 0; k < 6; ++k)
                         d.insert(d.end(), okres.begin(), okres.end());
                     return d;
                 }()});
    w.push_back({"executable-like", JakProgram(300'000, 3)});
    return w;
}

// Every token of an LZ stream within the format's limits, and what they add up to.
std::size_t SprawdzTokeny(const Bajty& s) {
    std::size_t poz = 0;
    for (std::size_t p = 0; p < s.size();) {
        const unsigned c = s[p];
        if (c >= 0x80) {
            const std::size_t ile = (c & 0x7F) + 1;
            EXPECT_LE(p + 1 + ile, s.size());
            p += 1 + ile;
            poz += ile;
        } else {
            EXPECT_LT(p + 1, s.size());
            const std::size_t odleglosc = ((c & 0x0F) << 8) | s[p + 1];
            EXPECT_GE(odleglosc, 1u);
            EXPECT_LE(odleglosc, poz);
            p += 2;
            poz += (c >> 4) + 3;
        }
    }
    return poz;
}

TEST(Kompresja, RoundTrips) {
    for (const auto& [nazwa, dane] : Wejscia()) {
        SCOPED_TRACE(nazwa);
        const Bajty lz = LzEncode(dane);
        EXPECT_EQ(SprawdzTokeny(lz), dane.size());
        EXPECT_EQ(LzDecode(lz, dane.size()), dane);

        const Bajty blok = SpakujBlok(dane);
        EXPECT_EQ(RozpakujBlok(blok, dane.size()), dane);
        EXPECT_EQ(LzDecode(HuffmanDecode(blok), PojemnoscCzesciProgramu), dane);
        EXPECT_EQ(HuffmanDecodeLiniowo(blok), lz);
        if (!dane.empty()) {
            // The capacity is exact: one byte less is refused.
            EXPECT_THROW((void)RozpakujBlok(blok, dane.size() - 1), BladProgramu);
        }

        const Bajty surowy = HuffmanEncode(dane);  // first stage only
        EXPECT_EQ(HuffmanDecode(surowy), dane);
        EXPECT_EQ(HuffmanDecodeLiniowo(surowy), dane);
    }
}

TEST(Kompresja, PacksWhatIsWorthPacking) {
    const auto w = Wejscia();
    const auto rozmiar = [&](const char* nazwa, bool dwaEtapy) {
        for (const auto& [n, dane] : w)
            if (std::string(n) == nazwa)
                return static_cast<double>((dwaEtapy ? SpakujBlok(dane) : HuffmanEncode(dane)).size()) /
                       static_cast<double>(dane.size());
        return 0.0;
    };
    // Matches of 10 bytes at distance 1 take 2 bytes, each coded in 1 bit or so.
    EXPECT_LT(rozmiar("one byte value repeated", true), 0.1);
    EXPECT_LT(rozmiar("highly repetitive", true), 0.1);
    EXPECT_LT(rozmiar("executable-like", true), 0.6);
    EXPECT_LT(rozmiar("executable-like", false), 0.9);
    // Random bytes cost little more than themselves, plus the table.
    EXPECT_LT(rozmiar("random", false), 1.02);
    EXPECT_LT(rozmiar("random", true), 1.04);
    // Zero bytes: the table's 256 flag bits and N.
    EXPECT_EQ(SpakujBlok({}).size(), 32u + 4u);
}

TEST(DlugosciKodow, CompleteAndLimited) {
    auto kraft = [](const std::array<std::uint8_t, 256>& d) {
        std::uint64_t suma = 0;  // in units of 2^-16
        for (auto l : d)
            if (l)
                suma += std::uint64_t{1} << (16 - l);
        return suma;
    };
    struct Przypadek {
        const char* nazwa;
        std::array<std::uint64_t, 256> czestosci;
        unsigned najdluzszy;
    };
    std::array<std::uint64_t, 256> fibonacci{}, rowne{}, dwa{}, skosne{};
    std::uint64_t a = 1, b = 1;
    for (int k = 0; k < 40; ++k) {
        fibonacci[k] = a;  // plain Huffman would need 39 bits here
        b = a + b;
        a = b - a;
    }
    rowne.fill(5);
    dwa[0] = 1;
    dwa[255] = 1'000'000;
    for (int k = 0; k < 256; ++k)
        skosne[k] = std::uint64_t{1} << (k % 40);
    const Przypadek przypadki[] = {
        {"fibonacci", fibonacci, 16},
        {"fibonacci, 8 bits", fibonacci, 8},
        {"all equal", rowne, 16},
        {"all equal, 8 bits", rowne, 8},
        {"two values", dwa, 16},
        {"skewed over all values", skosne, 16},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        const auto d = DlugosciKodow(p.czestosci, p.najdluzszy);
        EXPECT_EQ(kraft(d), std::uint64_t{1} << 16);
        for (int k = 0; k < 256; ++k) {
            EXPECT_EQ(d[k] == 0, p.czestosci[k] == 0) << k;
            EXPECT_LE(d[k], p.najdluzszy) << k;
            for (int j = 0; j < 256; ++j) {
                if (p.czestosci[k] > p.czestosci[j] && p.czestosci[j] > 0) {
                    EXPECT_LE(d[k], d[j]) << k << " " << j;
                }
            }
        }
    }
    std::array<std::uint64_t, 256> jeden{};
    jeden[9] = 3;
    EXPECT_EQ(DlugosciKodow(jeden, 16)[9], 1);
    EXPECT_EQ(kraft(DlugosciKodow({}, 16)), 0u);
    EXPECT_THROW((void)DlugosciKodow(rowne, 7), BladProgramu);  // 256 values need 8 bits
}

// The digest the packer writes beside a file's parts, read as the installer
// reads it: a file summed in parts sums as the whole, and only an exact
// record is taken.
TEST(SumaPliku, PartsSumAsTheWholeAndOnlyAWholeRecordIsRead) {
    const Bajty plik = JakProgram(300'000, 7);
    const SumaPliku calosc = PoliczSume(plik);
    EXPECT_EQ(calosc.rozmiar, plik.size());
    const std::span<const std::uint8_t> b(plik);
    EXPECT_EQ(DoliczSume(PoliczSume(b.first(150'000)), b.subspan(150'000)), calosc);
    EXPECT_NE(PoliczSume(b.first(plik.size() - 1)), calosc);
    Bajty inny = plik;
    inny[200'000] ^= 0x01;
    EXPECT_NE(PoliczSume(inny).crc, calosc.crc) << "one flipped bit";
    // The CRC-32 of ZIP, which anyone can recompute.
    const std::string abc = "123456789";
    EXPECT_EQ(PoliczSume(std::span(reinterpret_cast<const std::uint8_t*>(abc.data()), abc.size())).crc, 0xCBF43926u);

    const std::string rekord = KodujSume(calosc);
    const auto bajty = [](const std::string& s) { return std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()); };
    ASSERT_EQ(rekord.size(), kRozmiarSumy);
    EXPECT_EQ(CzytajSume(bajty(rekord)), calosc);
    std::string innyZnacznik = rekord;
    innyZnacznik[0] = 'W';
    for (const std::string& zly : {rekord.substr(0, 15), rekord + '\0', innyZnacznik, std::string()})
        EXPECT_EQ(CzytajSume(bajty(zly)), std::nullopt) << zly.size();
    EXPECT_EQ(ZasobSumy("VELTEN15A"), "VELTEN15A_SUMA");
}

}  // namespace
