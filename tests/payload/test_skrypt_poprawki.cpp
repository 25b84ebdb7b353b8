// Patch lists and difference scripts over memory, and the patch maker against
// them.

#include "payload/SkryptPoprawki.h"

#include "TworzeniePoprawek.h"
#include "base/Blad.h"
#include "base/StronyKodowe.h"
#include "payload/Dekompresja.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using Bajty = std::vector<std::uint8_t>;

Bajty Tekst(std::string_view s) { return Bajty(s.begin(), s.end()); }

Bajty Dopelnij(Bajty b) {
    for (auto& x : b) x = static_cast<std::uint8_t>(~x);
    return b;
}

// A script header for `stara` with escape byte `e`, then `polecenia`.
Bajty Skrypt(const Bajty& stara, std::uint8_t e, const Bajty& polecenia) {
    const std::uint32_t s = SumaBajtow(stara);
    Bajty w{static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(s >> 8), static_cast<std::uint8_t>(s >> 16),
            static_cast<std::uint8_t>(s >> 24), e};
    for (const std::uint8_t b : polecenia) w.push_back(b);
    return w;
}

Bajty Kolejne(std::size_t n, std::uint8_t od = 0) {
    Bajty b(n);
    std::iota(b.begin(), b.end(), od);
    return b;
}

TEST(ListaPoprawek, RoundTripOfEntries) {
    const std::vector<WpisPoprawki> wpisy{
        {"a.pat", "readme.txt", 1234, 99, 1300},
        {"", "", 0, 0, 0},
        {"pąę.pat"_cp1250, "Przyklady\\list.txt", 0xFFFFFFFF, 0x80000000, 7},
        {std::string(300, 'x'), "b", 1, 2, 3},
    };
    Bajty plik;
    for (const auto& w : wpisy) {
        const auto b = ZakodujWpis(w);
        plik.insert(plik.end(), b.begin(), b.end());
    }
    const auto lista = CzytajListePoprawek(plik);
    EXPECT_FALSE(lista.Urwana);
    EXPECT_EQ(lista.Wpisy, wpisy);
}

TEST(ListaPoprawek, BytesAreComplemented) {
    const auto b = ZakodujWpis({"ab", "c", 0x01020304, 5, 0x100});
    const Bajty oczekiwane = Dopelnij({2, 0, 'a', 'b', 1, 0, 'c', 4, 3, 2, 1, 5, 0, 0, 0, 0, 1, 0, 0});
    EXPECT_EQ(b, oczekiwane);
}

TEST(ListaPoprawek, EmptyAndTruncatedLists) {
    const auto caly = ZakodujWpis({"ab", "c", 1, 2, 3});
    EXPECT_TRUE(CzytajListePoprawek({}).Wpisy.empty());
    EXPECT_FALSE(CzytajListePoprawek({}).Urwana);
    // Cut at every byte inside the second entry: the first one survives.
    Bajty dwa = caly;
    dwa.insert(dwa.end(), caly.begin(), caly.end());
    for (std::size_t n = caly.size() + 1; n < dwa.size(); ++n) {
        const auto lista = CzytajListePoprawek(std::span(dwa).first(n));
        EXPECT_TRUE(lista.Urwana) << n;
        ASSERT_EQ(lista.Wpisy.size(), 1u) << n;
    }
    // A name length far beyond the bytes.
    const auto lista = CzytajListePoprawek(Dopelnij({0xFF, 0xFF, 'a'}));
    EXPECT_TRUE(lista.Urwana);
    EXPECT_TRUE(lista.Wpisy.empty());
    EXPECT_THROW((void)ZakodujWpis({std::string(65536, 'a'), "b", 0, 0, 0}), BladProgramu);
}

TEST(ListaPoprawek, NamesInsideTheFolder) {
    const struct {
        const char* nazwa;
        bool dobra;
    } przypadki[] = {
        {"readme.txt", true},         {"Przyklady\\list.txt", true}, {"a/b.txt", true},
        {".\\a.txt", true},           {"a..b.txt", true},            {"..a", true},
        {"", false},                  {"\\Windows\\win.ini", false}, {"/etc/passwd", false},
        {"C:\\x.txt", false},         {"C:x.txt", false},            {"\\\\serwer\\udzial\\x", false},
        {"..\\x.txt", false},         {"a\\..\\..\\x", false},       {"a/../x", false},
        {"..", false},                {"a\\..", false},              {"... \\x", false},
        {".. \\x", false},            {"x.txt:strumien", false},     {"*.txt", false},
        {"readme.tx?", false},        {std::string_view("a\0b", 3).data(), true},
    };
    for (const auto& p : przypadki) EXPECT_EQ(NazwaWKatalogu(p.nazwa), p.dobra) << p.nazwa;
    EXPECT_FALSE(NazwaWKatalogu(std::string_view("a\0b", 3)));
}

TEST(SkryptPoprawki, Commands) {
    const Bajty stara = Kolejne(600);
    const std::uint8_t e = 0xE5;
    const struct {
        const char* opis;
        Bajty polecenia;
        Bajty nowa;
    } przypadki[] = {
        {"nothing", {}, {}},
        {"literals", {1, 2, 3}, {1, 2, 3}},
        {"E E is one E", {7, e, e, 8}, {7, e, 8}},
        {"copy at 0", {e, 0, 0, 0, 0}, Kolejne(256)},
        {"copy at 344 (the last one)", {e, 0x58, 1, 0, 0, 9}, [] {
             Bajty b = Kolejne(256, 0x58);
             b.push_back(9);
             return b;
         }()},
    };
    for (const auto& p : przypadki) {
        const auto w = UruchomSkrypt(Skrypt(stara, e, p.polecenia), stara, 10'000);
        EXPECT_TRUE(w.SumaZgodna) << p.opis;
        EXPECT_EQ(w.Nowa, p.nowa) << p.opis;
    }
}

TEST(SkryptPoprawki, ChecksAndHostileScripts) {
    const Bajty stara = Kolejne(300);
    const std::uint8_t e = 0;
    // A sum that differs: refused, nothing run (even a broken command).
    Bajty zlaSuma = Skrypt(stara, e, {e});
    zlaSuma[0] ^= 1;
    const auto w = UruchomSkrypt(zlaSuma, stara, 100);
    EXPECT_FALSE(w.SumaZgodna);
    EXPECT_TRUE(w.Nowa.empty());

    const struct {
        const char* opis;
        Bajty skrypt;
        std::size_t pojemnosc;
    } wrogie[] = {
        {"empty", {}, 100},
        {"short header", Bajty(4, 0), 100},
        {"ends after E", Skrypt(stara, e, {1, e}), 100},
        {"ends inside a copy", Skrypt(stara, e, {e, 1, 0, 0}), 100},
        {"copy past the end", Skrypt(stara, e, {e, 45, 0, 0, 0}), 1000},
        {"copy at 4 GiB - 1", Skrypt(stara, e, {e, 0xFF, 0xFF, 0xFF, 0xFF}), 1000},
        {"literal over capacity", Skrypt(stara, e, {1, 2, 3}), 2},
        {"copy over capacity", Skrypt(stara, e, {e, 1, 0, 0, 0}), 255},
    };
    for (const auto& p : wrogie) EXPECT_THROW((void)UruchomSkrypt(p.skrypt, stara, p.pojemnosc), BladProgramu) << p.opis;
}

TEST(TworzeniePoprawek, RoundTrips) {
    std::mt19937 los(7);
    Bajty program(20'000);
    for (auto& b : program) b = static_cast<std::uint8_t>(los() % 7 == 0 ? los() : 0);
    Bajty programNowy = program;
    programNowy.insert(programNowy.begin() + 5000, 77, 0xCC);  // code inserted
    programNowy.erase(programNowy.begin() + 12000, programNowy.begin() + 12500);
    for (std::size_t i = 15000; i < 15040; ++i) programNowy[i] ^= 0x5A;

    const Bajty tekst = Tekst(std::string(2000, 'a') + "Velt readme\r\nline two\r\n" + std::string(700, 'b'));
    const Bajty tekstNowy = Tekst(std::string(2000, 'a') + "Velt readme, edition 3\r\nline two\r\n" +
                                  std::string(700, 'b') + "more\r\n");
    Bajty wszystkie(2048);
    for (std::size_t i = 0; i < wszystkie.size(); ++i) wszystkie[i] = static_cast<std::uint8_t>(i * 7);

    const struct {
        const char* opis;
        Bajty stara, nowa;
        bool kopie;  // whether copies must have been used
    } przypadki[] = {
        {"executable", program, programNowy, true},
        {"text", tekst, tekstNowy, true},
        {"same", tekst, tekst, true},
        {"from nothing", {}, tekst, false},
        {"to nothing", tekst, {}, false},
        {"every byte value", Kolejne(100), wszystkie, false},
        {"reversed", wszystkie, Bajty(wszystkie.rbegin(), wszystkie.rend()), false},
    };
    for (const auto& p : przypadki) {
        const auto skrypt = TworzSkrypt(p.stara, p.nowa);
        const auto w = UruchomSkrypt(skrypt, p.stara, p.nowa.size());
        ASSERT_TRUE(w.SumaZgodna) << p.opis;
        EXPECT_EQ(w.Nowa, p.nowa) << p.opis;
        if (p.kopie) {
            EXPECT_LT(skrypt.size(), p.nowa.size() / 4 + 200) << p.opis;
        }

        const auto popr = TworzPoprawke(p.stara, p.nowa, "x.pat", "x.txt");
        EXPECT_EQ(popr.Wpis.StaryRozmiar, p.stara.size()) << p.opis;
        EXPECT_EQ(popr.Wpis.NowaPojemnosc, p.nowa.size()) << p.opis;
        EXPECT_EQ(RozpakujBlok(popr.Plik, popr.Wpis.PojemnoscSkryptu), skrypt) << p.opis;
    }
}

TEST(TworzeniePoprawek, EscapeIsTheRarestByteAndCopiesAvoidIt) {
    // Every byte value occurs in the new content but 0x42 least; the only
    // match in the old content sits at an offset whose low byte is 0x42.
    Bajty nowa;
    for (int r = 0; r < 3; ++r)
        for (int b = 0; b < 256; ++b)
            if (b != 0x42 || r == 0) nowa.push_back(static_cast<std::uint8_t>(b));
    Bajty stara(0x42 + 256, 0xEE);
    std::copy(nowa.begin(), nowa.begin() + 256, stara.begin() + 0x42);
    const auto skrypt = TworzSkrypt(stara, nowa);
    EXPECT_EQ(skrypt[4], 0x42);
    // No copy: the escape byte is written twice once, every other byte once.
    EXPECT_EQ(skrypt.size(), NaglowekSkryptu + nowa.size() + 1);
    EXPECT_EQ(UruchomSkrypt(skrypt, stara, nowa.size()).Nowa, nowa);
}

}  // namespace
