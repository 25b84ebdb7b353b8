#include "base/Narzedzia.h"

#include "base/StronyKodowe.h"

#include <gtest/gtest.h>

namespace {

// Windows-1250 bytes, as the program holds its texts.
const std::string lodz = "łódź"_cp1250;
const std::string LODZ = "ŁÓDŹ"_cp1250;
const std::string SWIETY = "ŚWIĘTY"_cp1250;
const std::string swiety = "święty"_cp1250;

TEST(WielkoscLiter, PolishWordsConvertBothWays) {
    EXPECT_EQ(NaDuze(lodz), LODZ);
    EXPECT_EQ(NaMale(SWIETY), swiety);
    EXPECT_EQ(NaMale(LODZ), lodz);
    EXPECT_TRUE(RowneBezWielkosciLiter("Program Files\\" + LODZ, "PROGRAM FILES\\" + lodz));
    EXPECT_FALSE(RowneBezWielkosciLiter("abc", "abcd"));
}

TEST(WielkoscLiter, BytesWithoutPartnerStay) {
    // Sharp s, division sign, dot above and the L-with-caron pair have no
    // counterpart in this mapping.
    for (int c : {223, 247, 255, 190, 188, 49, 60, 0, 128}) EXPECT_EQ(NaDuzy(static_cast<unsigned char>(c)), c) << c;
    for (int c : {215, 223, 188, 190, 49, 60, 0, 128}) EXPECT_EQ(NaMaly(static_cast<unsigned char>(c)), c) << c;
}

TEST(WielkoscLiter, MappingsArePairedInverses) {
    int upper = 0, lower = 0;
    for (int i = 0; i < 256; ++i) {
        const auto c = static_cast<unsigned char>(i);
        SCOPED_TRACE(i);
        if (NaDuzy(c) != c) {
            ++upper;
            EXPECT_EQ(NaMaly(NaDuzy(c)), c);
        }
        if (NaMaly(c) != c) {
            ++lower;
            EXPECT_EQ(NaDuzy(NaMaly(c)), c);
        }
    }
    // 26 ASCII letters, 9 irregular pairs, 30 in the regular block.
    EXPECT_EQ(upper, 26 + 9 + 30);
    EXPECT_EQ(lower, 26 + 9 + 30);
}

TEST(BezCyfrNaKoncu, KeepsAtLeastOneCharacter) {
    struct Przypadek { const char* wejscie; const char* wynik; };
    for (auto [wejscie, wynik] : std::initializer_list<Przypadek>{
             {"abc123", "abc"}, {"123", "1"}, {"7", "7"}, {"", ""}, {"a1b2", "a1b"}, {"abc", "abc"}}) {
        EXPECT_EQ(BezCyfrNaKoncu(wejscie), wynik) << wejscie;
    }
}

TEST(ZaczynaSieOd, CaseFlag) {
    EXPECT_TRUE(ZaczynaSieOd("Program Files", "PROGRAM", false));
    EXPECT_FALSE(ZaczynaSieOd("Program Files", "PROGRAM", true));
    EXPECT_TRUE(ZaczynaSieOd("Program Files", "Program", true));
    EXPECT_TRUE(ZaczynaSieOd("abc", "", true));
    EXPECT_FALSE(ZaczynaSieOd("ab", "abc", false));
    EXPECT_TRUE(ZaczynaSieOd(LODZ + "x", lodz, false));
}

TEST(ZbioryZnakow, MembershipAtPositions) {
    const ZbiorZnakow cyfry = Zbior({}, {{'0', '9'}});
    EXPECT_FALSE(ZnakZeZbioru(cyfry, "1a2", 0));
    EXPECT_TRUE(ZnakZeZbioru(cyfry, "1a2", 1));
    EXPECT_FALSE(ZnakZeZbioru(cyfry, "1a2", 2));
    EXPECT_TRUE(ZnakZeZbioru(cyfry, "1a2", 3));
    EXPECT_FALSE(ZnakZeZbioru(cyfry, "1a2", 4));
    EXPECT_FALSE(ZnakZeZbioru(cyfry, "1a2", -5));
    EXPECT_TRUE(ZawieraZnakZeZbioru("ab7", cyfry));
    EXPECT_FALSE(ZawieraZnakZeZbioru("abc", cyfry));
    EXPECT_FALSE(ZawieraZnakZeZbioru("", cyfry));
    EXPECT_TRUE(ZawieraZnakZeZbioru(lodz, Zbior({0x9F})));
}

TEST(SzukajZnaku, WalksAndStops) {
    const ZbiorZnakow ukosnik = Zbior({'\\'});
    const std::string sciezka = "C:\\a\\b";
    struct Przypadek {
        std::int64_t start;
        bool wstecz;
        bool wynik;
        std::int64_t koniec;
    };
    for (auto p : std::initializer_list<Przypadek>{
             {1, false, true, 3},   // first separator
             {4, false, true, 5},   // next one
             {6, false, false, 7},  // runs past the end
             {6, true, true, 5},    // backwards finds the last one
             {2, true, false, 0},   // backwards runs off the start
             {0, false, false, 0},  // 0 fails at once
             {-3, true, false, -3}, // negative fails at once, unchanged
             {9, false, false, 9},  // beyond the end
         }) {
        std::int64_t pozycja = p.start;
        SCOPED_TRACE(p.start);
        EXPECT_EQ(SzukajZnaku(sciezka, pozycja, ukosnik, p.wstecz), p.wynik);
        EXPECT_EQ(pozycja, p.koniec);
    }
    std::int64_t pozycja = 1;
    EXPECT_FALSE(SzukajZnaku("abc", pozycja, ukosnik, false));
    EXPECT_EQ(pozycja, 4);
}

TEST(WZakresie, InclusiveSigned64) {
    EXPECT_TRUE(WZakresie(5, 5, 5));
    EXPECT_TRUE(WZakresie(-1, INT64_MIN, 0));
    EXPECT_FALSE(WZakresie(4, 5, 9));
    EXPECT_FALSE(WZakresie(INT64_MAX, 0, INT64_MAX - 1));
}

TEST(JestNaLiscie, WholeEntriesInAnyCase) {
    const std::string lista = "<.><..><UmowaPol.txt><velten.exe><Łódź.txt>"_cp1250;
    for (const char* nazwa : {".", "..", "umowapol.txt", "UMOWAPOL.TXT", "VeltEn.exe", "łódź.TXT"_cp1250})
        EXPECT_TRUE(JestNaLiscie(nazwa, lista)) << nazwa;
    // An entry that merely contains the name does not count.
    for (const char* nazwa : {"velt", "en.exe", "umowa", "", "...", "<.>"})
        EXPECT_FALSE(JestNaLiscie(nazwa, lista)) << nazwa;
    EXPECT_FALSE(JestNaLiscie("a", ""));
}

}  // namespace
