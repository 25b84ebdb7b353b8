#include "install/KodowanieSciezki.h"

#include "base/StronyKodowe.h"

#include <gtest/gtest.h>

namespace {

TEST(KodowanieSciezki, RoundTripsEveryPathAndEdition) {
    std::string wszystkieBajty;
    for (int b = 1; b < 256; ++b) wszystkieBajty += static_cast<char>(b);
    const std::string sciezki[] = {"", "C:\\", "C:\\Program Files\\VeltAng",
                                   "D:\\Łódź\\Zaż"_cp1250, "\\\\serwer\\udział\\velt"_cp1250,
                                   std::string(300, 'x'), wszystkieBajty};
    for (int wydanie : {1, 2, 3, 21, 0, -5, 1 << 30})
        for (const auto& s : sciezki) {
            const std::string zapis = ZakodujSciezke(s, wydanie);
            EXPECT_EQ(zapis.size(), 2 * s.size());
            EXPECT_EQ(zapis.find_first_not_of("0123456789ABCDEF"), std::string::npos);
            EXPECT_EQ(OdkodujSciezke(zapis, wydanie), s) << wydanie;
        }
}

TEST(KodowanieSciezki, StoredFormDependsOnTheEdition) {
    const std::string s = "C:\\Program Files\\VeltAng";
    EXPECT_NE(ZakodujSciezke(s, 1), ZakodujSciezke(s, 3));
    EXPECT_NE(ZakodujSciezke(s, 3), s);
    EXPECT_NE(OdkodujSciezke(ZakodujSciezke(s, 1), 3), s);
    // Known value: 'C' ^ (0x5A + 39) = 0x43 ^ 0x81.
    EXPECT_EQ(ZakodujSciezke("C", 3), "C2");
    EXPECT_EQ(OdkodujSciezke("c2", 3), "C") << "lower-case digits are read too";
}

TEST(KodowanieSciezki, RejectsWhatNoPathEncodesTo) {
    for (std::string_view zly : std::initializer_list<std::string_view>{"A", "ABC", "G0", "0G", " 0", "0x", std::string_view("\0\0", 2), "C2C"})
        EXPECT_FALSE(OdkodujSciezke(zly, 3)) << zly;
}

}  // namespace
