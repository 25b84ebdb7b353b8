#include "base/Wydania.h"

#include "base/Blad.h"
#include "base/Narzedzia.h"
#include "base/StronyKodowe.h"

#include <gtest/gtest.h>

namespace {

class Wydania : public ::testing::Test {
protected:
    void SetUp() override { UstawAppConst(RekordWydaniaInstalatora()); }
};

int LiczbaWpisow(std::string_view lista) {
    int n = 0;
    for (char c : lista) n += c == '<';
    return n;
}

TEST_F(Wydania, CurrentEditionIsThree) {
    EXPECT_EQ(NumerWydania, 3);
    EXPECT_EQ(AktualnyLang1, 1);
    EXPECT_EQ(AktualnyLang2, 0);
    EXPECT_EQ(AktualnyAppConst.Variant, 5);
    EXPECT_EQ(AktualnyAppConst.RegistryKey, "SOFTWARE\\Zelpax\\EngVelt");
}

TEST_F(Wydania, RegistryKeysByEditionNumber) {
    EXPECT_EQ(KluczRejestruWydania(3), "SOFTWARE\\Zelpax\\EngVelt");
    EXPECT_EQ(KluczRejestruWydania(2), KluczRejestruWydania(3));
    EXPECT_TRUE(ZaczynaSieOd(KluczRejestruWydania(1), "SOFTWARE\\Zelpax\\", true));
    EXPECT_NE(KluczRejestruWydania(1), KluczRejestruWydania(3));
    for (int n : {0, 22, -1, INT32_MIN, INT32_MAX}) EXPECT_EQ(KluczRejestruWydania(n), "") << n;
    for (int n : {9, 10, 12, 14, 15, 16, 17, 18, 19, 20, 21})
        EXPECT_TRUE(ZaczynaSieOd(KluczRejestruWydania(n), "SOFTWARE\\Zelpax\\", true)) << n;
}

TEST_F(Wydania, EditionsWithoutRecordRaise) {
    for (int n : {1, 4, 5, 6, 7, 8, 11, 13}) {
        TZPXAppConst wynik;
        wynik.AppIndex = 77;
        try {
            PobierzAppConst(n, wynik);
            ADD_FAILURE() << "no error for edition " << n;
        } catch (const BladProgramu& e) {
            EXPECT_STREQ(e.komunikat(), "Error !");
        }
        EXPECT_EQ(wynik.AppIndex, 77) << "output changed for edition " << n;
        if (n != 1) {
            EXPECT_THROW((void)KluczRejestruWydania(n), BladProgramu);
        }
    }
}

TEST_F(Wydania, LookupCopiesOrLeavesOutput) {
    TZPXAppConst wynik;
    PobierzAppConst(2, wynik);
    EXPECT_EQ(wynik.AppIndex, 3);
    for (int n : {9, 10, 12, 14, 15, 16, 17, 18, 19, 20, 21}) {
        PobierzAppConst(n, wynik);
        EXPECT_EQ(wynik.AppIndex, n);
        EXPECT_FALSE(wynik.Title1.empty());
        EXPECT_FALSE(wynik.Title2.empty());
        EXPECT_EQ(wynik.Lang2, 0);
    }
    wynik.AppIndex = 55;
    PobierzAppConst(0, wynik);
    PobierzAppConst(22, wynik);
    EXPECT_EQ(wynik.AppIndex, 55);
}

TEST_F(Wydania, TitleFollowsLanguagePair) {
    EXPECT_EQ(ZPXAppFunctions.Tytul(0), ZPXAppFunctions.Tytul(1));
    EXPECT_FALSE(ZPXAppFunctions.Tytul(1).empty());

    TZPXAppConst inne;
    PobierzAppConst(17, inne);
    UstawAppConst(inne);
    EXPECT_EQ(ZPXAppFunctions.Tytul(inne.Lang1), std::string(inne.Title1));
    EXPECT_EQ(ZPXAppFunctions.Tytul(0), std::string(inne.Title2));
    EXPECT_EQ(ZPXAppFunctions.Tytul(5), std::string(inne.Title2));
    EXPECT_NE(inne.Title1, inne.Title2);
}

TEST_F(Wydania, ProgramKinds) {
    EXPECT_EQ(ZPXAppFunctions.KluczRodzaju(RodzajTranslator), "SOFTWARE\\Zelpax\\EngVelt\\Velt");
    EXPECT_EQ(ZPXAppFunctions.KluczRodzaju(3), "SOFTWARE\\Zelpax\\EngVelt\\VeltInt");
    EXPECT_EQ(ZPXAppFunctions.KluczRodzaju(5), "SOFTWARE\\Zelpax\\EngVelt\\ExtDict");
    EXPECT_EQ(ZPXAppFunctions.KluczRodzaju(7), "SOFTWARE\\Zelpax\\EngVelt\\VeltFile");
    for (int rodzaj : {0, 2, 4, 6, 8, -1}) {
        try {
            (void)ZPXAppFunctions.NazwaRodzaju(rodzaj);
            ADD_FAILURE() << rodzaj;
        } catch (const BladProgramu& e) {
            EXPECT_STREQ(e.komunikat(), "Błąd !!!"_cp1250);
        }
    }
    TZPXAppConst zUkosnikiem = RekordWydaniaInstalatora();
    zUkosnikiem.RegistryKey = "SOFTWARE\\Zelpax\\EngVelt\\";
    UstawAppConst(zUkosnikiem);
    EXPECT_EQ(ZPXAppFunctions.KluczRodzaju(1), "SOFTWARE\\Zelpax\\EngVelt\\Velt");
}

TEST_F(Wydania, EditionThreeTables) {
    EXPECT_EQ(WpisWydania(KatalogiDomyslne, 3), "VeltAng");
    EXPECT_EQ(WpisWydania(NazwyDeinstalacji, 3), "EngVelt");
    EXPECT_EQ(WpisWydania(WersjeWydan, 3), "1.5");
    EXPECT_EQ(WpisWydania(ProgramyGlowne, 3), "VeltEn.exe");
    EXPECT_EQ(WpisWydania(Deinstalatory, 3), "DeInstalator.exe");
    EXPECT_EQ(WpisWydania(ZasobyA, 3), "VELTEN15A");
    EXPECT_EQ(WpisWydania(ZasobyB, 3), "VELTEN15B");
    EXPECT_EQ(WpisWydania(ZasobyC, 3), "");
    EXPECT_EQ(LiczbaWpisow(WpisWydania(PlikiWydania, 3)), 5);
    EXPECT_NE(WpisWydania(PlikiWydania, 3).find("<velten.exe>"), std::string_view::npos);
    const auto slowniki = WpisWydania(PlikiSlownikow, 3);
    EXPECT_EQ(LiczbaWpisow(slowniki), 4);
    EXPECT_NE(slowniki.find("<lexoren.exe>"), std::string_view::npos);
    EXPECT_NE(slowniki.find("<lexorpl.exe>"), std::string_view::npos);
    EXPECT_FALSE(WpisWydania(MaSyntezeMowy, 3));
    EXPECT_TRUE(WpisWydania(MaCzcionke, 3));
    EXPECT_EQ(WpisWydania(KatalogiDomyslne, 0), "");
    EXPECT_EQ(WpisWydania(KatalogiDomyslne, 22), "");
    EXPECT_FALSE(WpisWydania(MaCzcionke, 0));
}

TEST_F(Wydania, FamilyTablesHangTogether) {
    for (int n = 1; n <= LiczbaWydan; ++n) {
        SCOPED_TRACE(n);
        for (const TabelaWydan* t : {&KatalogiDomyslne, &NazwyDeinstalacji, &WersjeWydan, &ProgramyGlowne,
                                     &Deinstalatory, &ZasobyA, &PlikiWydania})
            EXPECT_FALSE(WpisWydania(*t, n).empty());
        // The main program is unpacked from resources, never copied from the medium.
        std::string wpis = NaMale(WpisWydania(ProgramyGlowne, n));
        wpis.insert(wpis.begin(), '<');
        wpis.push_back('>');
        EXPECT_NE(NaMale(WpisWydania(PlikiWydania, n)).find(wpis), std::string::npos);
        // A third part only follows a second one.
        if (!WpisWydania(ZasobyC, n).empty()) {
            EXPECT_FALSE(WpisWydania(ZasobyB, n).empty());
        }
        for (auto lista : {WpisWydania(PlikiWydania, n), WpisWydania(PlikiSlownikow, n)}) {
            if (lista.empty()) continue;
            EXPECT_EQ(lista.front(), '<');
            EXPECT_EQ(lista.back(), '>');
            EXPECT_EQ(LiczbaWpisow(lista), static_cast<int>(std::count(lista.begin(), lista.end(), '>')));
        }
    }
}

}  // namespace

namespace {

TEST(BladProgramu, KnowsWhereItWasRaised) {
    try {
        TZPXAppConst wynik;
        PobierzAppConst(4, wynik);
        FAIL();
    } catch (const BladProgramu& e) {
        EXPECT_NE(e.gdzie().find("Wydania.cpp"), std::string::npos) << e.gdzie();
    }
}

}  // namespace
