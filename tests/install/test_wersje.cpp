#include "install/NazwyCzcionek.h"
#include "install/Wersje.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(Wersje, NumbersOfTheText) {
    struct Przypadek {
        const char* tekst;
        std::int32_t liczba;
    };
    const Przypadek przypadki[] = {
        {"0", 0},
        {"72", 72},
        {"  81", 81},
        {"+5", 5},
        {"-3", -3},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        // Not numbers, or not only numbers: 0.
        {"", 0},
        {" ", 0},
        {"-", 0},
        {"81 ", 0},
        {"0 (xpsp", 0},
        {"6, 0, 2900, 0", 0},
        {"0x10", 0},
        {"1e3", 0},
        {"2147483648", 0},
        {"-2147483649", 0},
        {"99999999999999999999999", 0},
    };
    for (const auto& p : przypadki) EXPECT_EQ(LiczbaLubZero(p.tekst), p.liczba) << '"' << p.tekst << '"';
}

TEST(Wersje, MajorAndMinorOfVersionTexts) {
    struct Przypadek {
        const char* tekst;
        WersjaPliku wersja;
    };
    const Przypadek przypadki[] = {
        {"5.81.4704.1100", {5, 81}},
        {"6.0", {6, 0}},
        {"4.72", {4, 72}},
        {"5.82.2900.6028", {5, 82}},
        {"6.0 (xpsp.080413-2105)", {6, 0}},
        {"6.10.7600.16385 (win7_rtm)", {6, 10}},
        // Commas: no "." at all, so the major part is empty.
        {"6, 0, 2900, 0", {0, 0}},
        {"5", {0, 5}},
        {"", {0, 0}},
        {".", {0, 0}},
        {"5.", {5, 0}},
        {".7", {0, 7}},
        {"..", {0, 0}},
        {"a.b", {0, 0}},
        {"7.x.1", {7, 0}},
        {"99999999999.1", {0, 1}},
    };
    for (const auto& p : przypadki) EXPECT_EQ(RozbierzWersje(p.tekst), p.wersja) << '"' << p.tekst << '"';
}

TEST(Wersje, AtLeastComparesMajorThenMinor) {
    struct Przypadek {
        WersjaPliku wersja;
        std::int32_t glowna, poboczna;
        bool wynik;
    };
    const Przypadek przypadki[] = {
        {{5, 81}, 4, 72, true},  {{5, 81}, 5, 81, true}, {{5, 81}, 5, 82, false}, {{5, 81}, 6, 0, false},
        {{6, 0}, 5, 1, true},    {{5, 0}, 5, 1, false},  {{4, 72}, 4, 72, true},  {{4, 71}, 4, 72, false},
        {{0, 0}, 4, 72, false},  {{0, 0}, 5, 1, false},  {{0, 0}, 0, 0, true},    {{4, 100}, 5, 1, false},
    };
    for (const auto& p : przypadki)
        EXPECT_EQ(JestCoNajmniej(p.wersja, p.glowna, p.poboczna), p.wynik)
            << p.wersja.glowna << "." << p.wersja.poboczna << " >= " << p.glowna << "." << p.poboczna;
}

TEST(NazwyCzcionek, ZeroGoesBeforeTheFirstPoint) {
    const std::pair<const char*, const char*> przypadki[] = {
        {"Stedt.ttf", "Stedt0.ttf"}, {"Stedt0.ttf", "Stedt00.ttf"}, {"a.b.c", "a0.b.c"},
        {"Stedt", "Stedt0"},         {".ttf", "0.ttf"},             {"", "0"},
    };
    for (const auto& [nazwa, wynik] : przypadki) EXPECT_EQ(NazwaZZerem(nazwa), wynik) << nazwa;
}

TEST(NazwyCzcionek, FirstFreeName) {
    struct Przypadek {
        std::set<std::string> zajete;
        const char* wynik;
    };
    const Przypadek przypadki[] = {
        {{}, "Stedt.ttf"},
        {{"Stedt.ttf"}, "Stedt0.ttf"},
        {{"Stedt.ttf", "Stedt0.ttf"}, "Stedt00.ttf"},
        // Only the chain counts; other names are no obstacle.
        {{"Stedt0.ttf", "Stedt1.ttf"}, "Stedt.ttf"},
        {{"Stedt.ttf", "Stedt00.ttf"}, "Stedt0.ttf"},
    };
    for (const auto& p : przypadki) {
        const auto nazwa = WolnaNazwa("Stedt.ttf", [&](const std::string& n) { return p.zajete.count(n) > 0; });
        ASSERT_TRUE(nazwa);
        EXPECT_EQ(*nazwa, p.wynik);
    }
}

TEST(NazwyCzcionek, EveryNameTakenEndsTheSearch) {
    int pytania = 0;
    const auto wszystko = [&](const std::string&) { return ++pytania, true; };
    EXPECT_FALSE(WolnaNazwa("Stedt.ttf", wszystko));
    // "Stedt.ttf" is 9 characters; 246 zeros bring it to 255.
    EXPECT_EQ(pytania, 247);
    EXPECT_FALSE(WolnaNazwa(std::string(300, 'x'), [](const std::string&) { return false; }));
}

TEST(NazwyCzcionek, CharacterSetNames) {
    const std::pair<int, const char*> przypadki[] = {
        {0, "ANSI_CHARSET"},       {1, "DEFAULT_CHARSET"},     {2, "SYMBOL_CHARSET"},
        {77, "MAC_CHARSET"},       {128, "SHIFTJIS_CHARSET"},  {162, "TURKISH_CHARSET"},
        {186, "BALTIC_CHARSET"},   {204, "RUSSIAN_CHARSET"},   {238, "EASTEUROPE_CHARSET"},
        {255, "OEM_CHARSET"},      {3, "Unknown charset 3"},   {237, "Unknown charset 237"},
        {-1, "Unknown charset -1"}, {256, "Unknown charset 256"},
    };
    for (const auto& [numer, nazwa] : przypadki) EXPECT_EQ(NazwaZestawuZnakow(numer), nazwa) << numer;

    // Each number and each name once.
    std::set<int> numery;
    std::set<std::string_view> nazwy;
    for (const auto& z : kZestawyZnakow) {
        EXPECT_TRUE(numery.insert(z.numer).second) << int(z.numer);
        EXPECT_TRUE(nazwy.insert(z.nazwa).second) << z.nazwa;
    }
}

}  // namespace
