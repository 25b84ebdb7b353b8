#include "app/Umowa.h"

#include "base/StronyKodowe.h"

#include <gtest/gtest.h>

namespace {

using Linie = std::vector<std::string>;

TEST(PodzielNaLinie, EveryKindOfLineBreak) {
    struct Przypadek {
        std::string tekst;
        Linie linie;
    };
    const Przypadek przypadki[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},  // the last line without its break still counts
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
        {"\r", {""}},
        {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}},
    };
    for (const auto& p : przypadki) EXPECT_EQ(PodzielNaLinie(p.tekst), p.linie) << p.tekst;
}

TEST(ZnakiAgreement, SetsHaveTheirMembers) {
    EXPECT_EQ(ZnakiKlawiszowe().count(), 78u);
    // ą ę ł ń ó ś ź ż and their capitals, and the sharp s.
    for (int c : {185, 234, 179, 241, 243, 156, 159, 191, 165, 202, 163, 209, 211, 140, 143, 175, 223})
        EXPECT_TRUE(ZnakiKlawiszowe().test(c)) << c;
    for (int c : {97, 37, 215, 247, 190, 188, 128, 137})
        EXPECT_FALSE(ZnakiKlawiszowe().test(c)) << c;
    EXPECT_EQ(ZnakiWymuszajace().count(), 2u);
}

TEST(SciezkaKlawiszy, DecidedByLocaleSystemAndLetters) {
    const std::string zwykla = "Umowa licencyjna łącznie"_cp1250;  // no ě or ń
    const std::string zN = "Zgodnie z niń"_cp1250;             // holds ń
    struct Przypadek {
        std::uint8_t jezyk;
        std::uint32_t lokalizacja;
        bool nt5;
        const std::string* linia;
        bool klawisze;
    };
    const Przypadek przypadki[] = {
        {0, 1045, true, &zwykla, false},  // Polish file on a Polish locale: one piece
        {0, 1033, true, &zwykla, true},   // on an English locale: keystrokes
        {0, 1045, true, &zN, true},       // ń forces keystrokes even on a Polish locale
        {0, 1033, false, &zwykla, false}, // never before Windows 2000
        {2, 1036, true, &zwykla, false},
        {2, 1045, true, &zwykla, true},
        {1, 1033, true, &zwykla, false},  // English files match every locale
        {3, 1045, true, &zN, true},
    };
    for (const auto& p : przypadki)
        EXPECT_EQ(SciezkaKlawiszy(p.jezyk, p.lokalizacja, p.nt5, *p.linia), p.klawisze)
            << int(p.jezyk) << " " << p.lokalizacja << " " << p.nt5;
    EXPECT_EQ(UkladKlawiaturyDlaJezyka(2), "0000040c");
    EXPECT_EQ(UkladKlawiaturyDlaJezyka(0), "00000415");
    EXPECT_EQ(UkladKlawiaturyDlaJezyka(1), "00000415");
}

TEST(PodzielNaKawalki, RunsAndKeystrokes) {
    using K = KawalekLinii;
    EXPECT_EQ(PodzielNaKawalki(""), std::vector<K>{});
    EXPECT_EQ(PodzielNaKawalki("abc"), (std::vector<K>{{false, "abc"}}));
    // "Łódź i ok": Ł ó ź are keystrokes, d and " i ok" are runs.
    EXPECT_EQ(PodzielNaKawalki("Łódź i ok"_cp1250),
              (std::vector<K>{{true, "Ł"_cp1250}, {true, "ó"_cp1250}, {false, "d"}, {true, "ź"_cp1250}, {false, " i ok"}}));
    EXPECT_EQ(PodzielNaKawalki("aß"_cp1250), (std::vector<K>{{false, "a"}, {true, "ß"_cp1250}}));
}

}  // namespace
