#include "base/Sciezki.h"
#include "base/StronyKodowe.h"
#include "install/TabelaSkrotow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Pliki(std::int64_t wydanie, std::int64_t jezyk, std::uint8_t rodzaj) {
    std::vector<std::string> wynik;
    for (const TWierszSkrotu* w : WybierzSkroty(wydanie, jezyk, rodzaj)) wynik.emplace_back(w->Plik);
    return wynik;
}

const std::vector<std::string> kPlikiWydania3 = {"VeltEn.exe",   "VeltPl.exe", "VeltInt.exe",
                                                 "LexorEn.exe",  "LexorPl.exe", "Ang_Gram.hlp",
                                                 "Velt.hlp",     "Lex_or.hlp", "Deinstalator.exe"};

TEST(TabelaSkrotow, Edition3GroupHasItsNineRowsInOrder) {
    ASSERT_EQ(TabelaSkrotow.size(), 256u);
    EXPECT_EQ(Pliki(3, 0, SkrotGrupy), kPlikiWydania3);
    EXPECT_EQ(Pliki(3, 1, SkrotGrupy), kPlikiWydania3);
    const auto wiersze = WybierzSkroty(3, 0, SkrotGrupy);
    for (const TWierszSkrotu* w : wiersze) EXPECT_EQ(w->Rodzaj, SkrotGrupy) << w->Plik;
    // Names as stored: Windows-1250.
    EXPECT_EQ(wiersze[5]->Nazwa, "Gramatyka angielska");
    EXPECT_EQ(wiersze[6]->Nazwa, "Pomoc do translatora");
    EXPECT_EQ(wiersze[7]->Nazwa, "Pomoc do słownika"_cp1250);
    EXPECT_EQ(wiersze[8]->Nazwa, "Deinstalator");
}

// Membership of the edition and language sets, and the kind bits.
TEST(TabelaSkrotow, ScansSelectByEditionLanguageAndKind) {
    struct Przypadek {
        std::int64_t wydanie, jezyk;
        std::uint8_t rodzaj;
        std::vector<std::string> pliki;
    };
    const Przypadek przypadki[] = {
        // Edition 3 has no desktop link.
        {3, 0, SkrotPulpituTranslatora, {}},
        {3, 0, SkrotPulpituSlownika, {}},
        // Languages outside a row's set: edition 3 in German keeps only the
        // uninstaller, in French the two help files.
        {3, 3, SkrotGrupy, {"Deinstalator.exe"}},
        {3, 2, SkrotGrupy, {"Velt.hlp", "Lex_or.hlp"}},
        {3, 4, SkrotGrupy, {}},
        // Rows shared with other editions.
        {1, 0, SkrotGrupy, {"Velt.hlp", "Lex_or.hlp", "Velt.exe", "Lexor.exe", "DeInstal.exe"}},
        {4, 1, SkrotGrupy, {"Velt.hlp", "Lex_or.hlp", "Deinstalator.exe"}},
        // A row with a desktop bit and the group bit is found by both scans.
        {1, 0, SkrotPulpituTranslatora, {"Velt.exe"}},
        {1, 1, SkrotPulpituSlownika, {"Lexor.exe"}},
        {9, 0, SkrotPulpituSlownika, {"LexorEn.exe", "LexorPl.exe"}},
        {9, 1, SkrotPulpituTranslatora, {}},
        // The values the wizard does not act on are still in the table.
        {6, 3, SkrotKonfiguracji, {"Konfig.exe"}},
        // Numbers outside the sets' ranges are never members.
        {3 + 256, 0, SkrotGrupy, {}},
        {-253, 0, SkrotGrupy, {}},
        {3, 16, SkrotGrupy, {}},
        {3, -16, SkrotGrupy, {}},
        {0, 0, SkrotGrupy, {}},
        {255, 0, SkrotGrupy, {}},
        {3, 0, 0, {}},
    };
    for (const auto& p : przypadki)
        EXPECT_EQ(Pliki(p.wydanie, p.jezyk, p.rodzaj), p.pliki)
            << "edition " << p.wydanie << ", language " << p.jezyk << ", kind " << int(p.rodzaj);
}

TEST(TabelaSkrotow, EveryListedEditionHasGroupRowsInItsLanguages) {
    const std::pair<int, int> wydaniaJezyki[] = {{1, 0}, {2, 1}, {4, 3}, {6, 3}, {8, 2},  {9, 1},
                                                 {10, 3}, {11, 4}, {12, 4}, {14, 5}, {15, 6}};
    for (auto [wydanie, jezyk] : wydaniaJezyki) {
        EXPECT_FALSE(WybierzSkroty(wydanie, 0, SkrotGrupy).empty()) << wydanie;
        EXPECT_FALSE(WybierzSkroty(wydanie, jezyk, SkrotGrupy).empty()) << wydanie;
    }
    for (int wydanie : {5, 7, 13, 16, 17, 21})
        for (int jezyk = 0; jezyk < 16; ++jezyk)
            for (std::uint8_t bit = 1; bit <= 16; bit <<= 1) EXPECT_TRUE(WybierzSkroty(wydanie, jezyk, bit).empty());
    // Rows past the used ones match nothing.
    EXPECT_EQ(TabelaSkrotow.back().Rodzaj, 0);
    EXPECT_TRUE(TabelaSkrotow.back().Plik.empty());
}

TEST(NazwaGrupy, Edition3NamesOneGroupForItsFirstFourColumns) {
    const std::string_view nazwa = NazwaGrupyWydania(3, 0);
    EXPECT_FALSE(nazwa.empty());
    EXPECT_LT(nazwa.size(), std::string_view("Velt 1.5 Translator angielsko-polski").size());
    for (int j = 1; j < 4; ++j) EXPECT_EQ(NazwaGrupyWydania(3, j), nazwa);
    for (int j = 4; j < 13; ++j) EXPECT_TRUE(NazwaGrupyWydania(3, j).empty()) << j;
    EXPECT_EQ(NazwaGrupyWydania(9, 0), "Słownik Lexor angielski"_cp1250);
    EXPECT_EQ(NazwaGrupyWydania(8, 2), "Velt 1.5 Français"_cp1250);
    // Outside the table.
    for (auto [w, j] : {std::pair{0, 0}, {22, 0}, {3, 13}, {3, -1}, {-1, 0}})
        EXPECT_TRUE(NazwaGrupyWydania(w, j).empty()) << w << "," << j;
}

TEST(DolaczDoKatalogu, OneBackslashBetween) {
    EXPECT_EQ(DolaczDoKatalogu("C:\\Velt", "a.exe"), "C:\\Velt\\a.exe");
    EXPECT_EQ(DolaczDoKatalogu("C:\\", "a.exe"), "C:\\a.exe");
    EXPECT_EQ(DolaczDoKatalogu("", "a.exe"), "\\a.exe");
}

}  // namespace
