#include "setup/Opcje.h"

#include "base/Narzedzia.h"
#include "base/StronyKodowe.h"
#include "base/Wydania.h"

#include <gtest/gtest.h>

namespace {

TEST(ListaPominietych, PiecesInOrder) {
    const std::string z = ListaPominietych(3, true, "Instal.EXE");
    EXPECT_EQ(z.rfind("<.><..><umowapol.txt>", 0), 0u);
    EXPECT_TRUE(JestNaLiscie("instal.exe", z));
    EXPECT_TRUE(JestNaLiscie("velten.exe", z));
    EXPECT_TRUE(JestNaLiscie("SyntezaMowy.exe", z));
    EXPECT_FALSE(JestNaLiscie("lexoren.exe", z)) << "dictionaries are installed";
    const std::string bez = ListaPominietych(3, false, "instal.exe");
    EXPECT_TRUE(JestNaLiscie("lexoren.exe", bez));
    EXPECT_TRUE(JestNaLiscie("lexorpl.exe", bez));
    EXPECT_EQ(bez.substr(0, z.size()), z);
    EXPECT_EQ(ListaPominietych(0, false, "x.exe"), std::string(kPlikiInstalatora) + "<x.exe>");
}

TEST(NumerDysku, LettersToNumbers) {
    EXPECT_EQ(NumerDysku(""), 0);
    EXPECT_EQ(NumerDysku("C:\\Program Files"), 3);
    EXPECT_EQ(NumerDysku("c:\\"), 3);
    EXPECT_EQ(NumerDysku("a:"), 1);
    EXPECT_EQ(NumerDysku("Z:\\"), 26);
}

TEST(FormatujMegabajty, PatternWithSeparators) {
    struct Przypadek {
        std::int64_t bajty;
        const char* tys;
        const char* dzies;
        const char* wynik;
    };
    const Przypadek przypadki[] = {
        {0, ",", ".", "0.0 MB"},
        {2100000, ",", ".", "2.0 MB"},
        {1048576LL * 1234 + 524288, ",", ".", "1,234.5 MB"},
        {1048576LL * 1234567, "\xA0", ",", "1\xA0" "234\xA0" "567,0 MB"},
        {1048576LL * 999, ".", ",", "999,0 MB"},
        {-1048576LL * 2, ",", ".", "-2.0 MB"},
        {INT64_MAX, ",", ".", "8,796,093,022,208.0 MB"},
    };
    for (const auto& p : przypadki) EXPECT_EQ(FormatujMegabajty(p.bajty, p.tys, p.dzies), p.wynik) << p.bajty;
}

}  // namespace
