#include "base/Sciezki.h"
#include "base/StronyKodowe.h"
#include "setup/Zrodlo.h"

#include "app/WierszPolecen.h"

#include <gtest/gtest.h>

namespace {

TEST(Zrodlo, DriveRoots) {
    struct Przypadek {
        const char* sciezka;
        const char* dysk;
        const char* korzen;
    };
    const Przypadek przypadki[] = {
        {"C:\\Program Files\\VeltAng", "C:", "C:\\"},
        {"d:\\instal.exe", "d:", "d:\\"},
        {"D:", "D:", "D:\\"},
        {"\\\\serwer\\udzial\\instal.exe", "\\\\serwer\\udzial", "\\\\serwer\\udzial\\"},
        {"\\\\serwer\\udzial", "\\\\serwer\\udzial", "\\\\serwer\\udzial\\"},
        {"\\\\serwer", "", ""},
        {"\\\\\\x", "", ""},
        {"\\\\serwer\\\\x", "", ""},
        {"instal.exe", "", ""},
        {"", "", ""},
        {"C", "", ""},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(CzescDyskuSciezki(p.sciezka), p.dysk) << p.sciezka;
        EXPECT_EQ(KatalogGlownyDysku(p.sciezka), p.korzen) << p.sciezka;
    }
}

TEST(Zrodlo, SourceFolderWithoutBackslash) {
    EXPECT_EQ(BezKoncowegoUkosnika("D:\\"), "D:");
    EXPECT_EQ(BezKoncowegoUkosnika("C:\\CD\\Velt\\"), "C:\\CD\\Velt");
    EXPECT_EQ(BezKoncowegoUkosnika("C:\\CD"), "C:\\CD");
    EXPECT_EQ(BezKoncowegoUkosnika(""), "");
    EXPECT_EQ(KatalogPliku("D:\\instal.exe"), "D:\\");
    EXPECT_EQ(KatalogPliku("C:\\a\\b\\instal.exe"), "C:\\a\\b\\");
    EXPECT_EQ(KatalogPliku("instal.exe"), "");
    EXPECT_EQ(KatalogPliku("C:instal.exe"), "");
    EXPECT_EQ(KatalogPlikuLubDysk("C:instal.exe"), "C:");
    EXPECT_EQ(KatalogPlikuLubDysk("C:\\a\\instal.exe"), "C:\\a\\");
    EXPECT_EQ(KatalogPlikuLubDysk("instal.exe"), "");
    EXPECT_EQ(BezKoncowegoUkosnikaPozaKorzeniem("C:\\a\\"), "C:\\a");
    EXPECT_EQ(BezKoncowegoUkosnikaPozaKorzeniem("C:\\"), "C:\\");
    EXPECT_EQ(BezKoncowegoUkosnikaPozaKorzeniem("\\"), "\\");
    EXPECT_EQ(BezKoncowegoUkosnikaPozaKorzeniem("C:\\a\\\\"), "C:\\a\\");
    EXPECT_EQ(ZUkosnikiem("C:\\a"), "C:\\a\\");
    EXPECT_EQ(ZUkosnikiem("C:\\"), "C:\\");
    EXPECT_EQ(ZUkosnikiem(""), "\\");
    EXPECT_EQ(ZJednymUkosnikiem("C:\\a"), "C:\\a\\");
    EXPECT_EQ(ZJednymUkosnikiem("C:\\a\\\\"), "C:\\a\\");
    EXPECT_EQ(ZJednymUkosnikiem(""), "");
    EXPECT_EQ(DyskKatalogu("d:\\temp\\"), "D:\\");
    EXPECT_EQ(DyskKatalogu("ł:\\"_cp1250), "Ł:\\"_cp1250);
}

TEST(Zrodlo, TypedTargetFolders) {
    struct Przypadek {
        const char* wpisany;
        bool bezwzgledny;
        const char* katalog;  // as the options page keeps it
    };
    const Przypadek przypadki[] = {
        {"C:\\Program Files\\VeltAng", true, "C:\\Program Files\\VeltAng"},
        {"C:\\Velt\\", true, "C:\\Velt"},
        {"C:\\Velt\\\\", true, "C:\\Velt"},
        {"C:\\", true, "C:\\"},
        {"e:\\", true, "e:\\"},
        {"\\\\serwer\\udzial\\Velt\\", true, "\\\\serwer\\udzial\\Velt"},
        {"\\\\serwer\\udzial", true, "\\\\serwer\\udzial"},
        // Relative to the current folder or drive.
        {"Velt", false, "Velt"},
        {"Velt\\", false, "Velt"},
        {"\\Velt", false, "\\Velt"},
        {"C:Velt", false, "C:Velt"},
        {"C:", false, "C:"},
        {"..\\Velt", false, "..\\Velt"},
        {"\\\\serwer", false, "\\\\serwer"},
        {"1:\\Velt", false, "1:\\Velt"},
        {"", false, ""},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(SciezkaBezwzgledna(p.wpisany), p.bezwzgledny) << p.wpisany;
        EXPECT_EQ(BezKoncowychUkosnikow(p.wpisany), p.katalog) << p.wpisany;
    }
}

}  // namespace
