#include "install/WpisyRejestru.h"

#include "base/Blad.h"
#include "base/Wydania.h"
#include "install/KodowanieSciezki.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using W = TWartoscRejestru;

std::vector<std::string_view> Nazwy(const std::vector<W>& wartosci) {
    std::vector<std::string_view> wynik;
    for (const auto& w : wartosci) wynik.push_back(w.nazwa);
    return wynik;
}

TEST(WpisyRejestru, EditionKeyValuesInTheirOrder) {
    struct Przypadek {
        std::int32_t wydanie;
        std::vector<std::string_view> nazwy;
    };
    const Przypadek przypadki[] = {
        {1, {"Katalog", "CD", "Wersja"}},
        {2, {"Katalog", "Wersja", "JezykInterfejsu", "AllUsers"}},
        {3, {"Katalog", "Wersja", "JezykInterfejsu", "AllUsers"}},
        {4, {"Wersja", "JezykInterfejsu", "AllUsers"}},
        {21, {"Wersja", "JezykInterfejsu", "AllUsers"}},
    };
    for (const auto& p : przypadki) {
        TDaneRejestru dane{p.wydanie, "C:\\Velt", "D:\\", 1, false};
        EXPECT_EQ(Nazwy(WartosciKluczaWydania(dane)), p.nazwy) << p.wydanie;
    }
}

TEST(WpisyRejestru, Edition3Values) {
    const TDaneRejestru dane{3, "C:\\Program Files\\VeltAng", "D:\\", 0, false};
    const auto w = WartosciKluczaWydania(dane);
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(OdkodujSciezke(std::get<std::string>(w[0].wartosc), 3), dane.katalogDocelowy);
    EXPECT_EQ(w[1], (W{"Wersja", std::string("1.5")}));
    EXPECT_EQ(w[2], (W{"JezykInterfejsu", 0u}));
    EXPECT_EQ(w[3], (W{"AllUsers", 0u}));

    const auto dlaWszystkich = WartosciKluczaWydania({3, "C:\\V", "D:\\", 1, true});
    EXPECT_EQ(dlaWszystkich[2], (W{"JezykInterfejsu", 1u}));
    EXPECT_EQ(dlaWszystkich[3], (W{"AllUsers", 1u}));

    const auto wydanie1 = WartosciKluczaWydania({1, "C:\\V", "D:\\", 0, false});
    EXPECT_EQ(OdkodujSciezke(std::get<std::string>(wydanie1[1].wartosc), 1), "D:\\");
    EXPECT_EQ(wydanie1[2], (W{"Wersja", std::string("1.0")}));
}

TEST(WpisyRejestru, UninstallEntryRootAndCommand) {
    EXPECT_TRUE(PrzebiegDeinstalacji(KorzenRejestru::BiezacyUzytkownik, false));
    EXPECT_FALSE(PrzebiegDeinstalacji(KorzenRejestru::LokalnaMaszyna, false));
    EXPECT_FALSE(PrzebiegDeinstalacji(KorzenRejestru::BiezacyUzytkownik, true));
    EXPECT_TRUE(PrzebiegDeinstalacji(KorzenRejestru::LokalnaMaszyna, true));

    EXPECT_EQ(KluczDeinstalacji(3), "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\EngVelt");
    EXPECT_EQ(PolecenieDeinstalacji("C:\\Program Files\\VeltAng", 3),
              "\"C:\\Program Files\\VeltAng\\DeInstalator.exe\"");
    EXPECT_EQ(PolecenieDeinstalacji("E:\\", 3), "\"E:\\DeInstalator.exe\"");
    EXPECT_EQ(PolecenieDeinstalacji("C:\\Lexor", 9), "\"C:\\Lexor\\Odinstaluj.exe\"");
}

// What the system's list of programs and deployment tools read: the values
// in their order, with the types they read them as.
TEST(WpisyRejestru, UninstallEntryValues) {
    UstawAppConst(RekordWydaniaInstalatora());
    const std::string tytul = "Velt 1.5 Translator angielsko-polski";
    EXPECT_EQ(WartosciDeinstalacji({3, "C:\\Program Files\\VeltAng", "D:\\", 1, true, "Zelpax", 2345, "20261209"}),
              (std::vector<W>{
                  {"DisplayName", tytul},
                  {"UninstallString", std::string("\"C:\\Program Files\\VeltAng\\DeInstalator.exe\"")},
                  {"DisplayVersion", std::string("1.5")},
                  {"Publisher", std::string("Zelpax")},
                  {"DisplayIcon", std::string("\"C:\\Program Files\\VeltAng\\VeltEn.exe\"")},
                  {"InstallLocation", std::string("C:\\Program Files\\VeltAng")},
                  {"EstimatedSize", 2345u},
                  {"InstallDate", std::string("20261209")},
                  {"NoModify", 1u},
                  {"NoRepair", 1u},
              }));
    // No maker known: no Publisher; a drive root gets no second backslash.
    const auto w = WartosciDeinstalacji({3, "E:\\", "D:\\", 0, false, "", 0, "20270101"});
    EXPECT_EQ(Nazwy(w), (std::vector<std::string_view>{"DisplayName", "UninstallString", "DisplayVersion", "DisplayIcon",
                                                       "InstallLocation", "EstimatedSize", "InstallDate", "NoModify",
                                                       "NoRepair"}));
    EXPECT_EQ(w[3], (W{"DisplayIcon", std::string("\"E:\\VeltEn.exe\"")}));
}

// A failing pass ends alone; the other still runs, in order.
TEST(WpisyRejestru, EachPassIsGuardedOnItsOwn) {
    struct Przypadek {
        int nieudany;  // -1: none
        std::array<bool, 2> ukonczone;
    };
    for (const auto& p : {Przypadek{-1, {true, true}}, Przypadek{0, {false, true}}, Przypadek{1, {true, false}}}) {
        std::vector<KorzenRejestru> przebiegi;
        std::vector<int> zapisane;
        const auto wynik = WykonajPrzebiegi([&](KorzenRejestru k) {
            const int i = static_cast<int>(przebiegi.size());
            przebiegi.push_back(k);
            zapisane.push_back(10 * i);
            if (i == p.nieudany) throw BladProgramu("odmowa");
            zapisane.push_back(10 * i + 1);
        });
        EXPECT_EQ(wynik, p.ukonczone) << p.nieudany;
        EXPECT_EQ(przebiegi, (std::vector{KorzenRejestru::BiezacyUzytkownik, KorzenRejestru::LokalnaMaszyna}));
        // What came before the failure stays done.
        EXPECT_EQ(zapisane.size(), p.nieudany < 0 ? 4u : 3u);
    }
    const auto oba = WykonajPrzebiegi([](KorzenRejestru) { throw std::runtime_error("x"); });
    EXPECT_EQ(oba, (std::array{false, false}));
}

}  // namespace
