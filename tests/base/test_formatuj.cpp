#include "base/Formatuj.h"

#include <gtest/gtest.h>

namespace {

TEST(Formatuj, PlaceholdersInOrder) {
    EXPECT_EQ(Formatuj("Krok %d z %d: %s", 3, 5, "Opcje instalacji"), "Krok 3 z 5: Opcje instalacji");
    EXPECT_EQ(Formatuj("%s - Instalator", std::string("Velt")), "Velt - Instalator");
    EXPECT_EQ(Formatuj("100%% %s", "gotowe"), "100% gotowe");
    EXPECT_EQ(Formatuj("Instalator", "Velt"), "Instalator") << "surplus arguments are ignored";
}

TEST(Formatuj, HostileTemplatesStayInside) {
    EXPECT_EQ(Formatuj("%s %s %d", "a"), "a  ") << "missing arguments give nothing";
    EXPECT_EQ(Formatuj("50% %x %", 1), "50% %x %");
    EXPECT_EQ(Formatuj("%", "a"), "%");
    EXPECT_EQ(Formatuj("%d", "tekst"), "tekst");
    EXPECT_EQ(Formatuj("%s", -7), "-7");
    EXPECT_EQ(Formatuj(""), "");
}

}  // namespace
