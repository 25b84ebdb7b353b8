#include "payload/Dodatki.h"

#include "base/Wydania.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RozpakowanieEtapy, LaterPartsOfOldEditionsSkipTheLzStage) {
    struct Przypadek {
        std::int32_t wydanie;
        int czesc;
        bool tylkoPierwszy;
    };
    const Przypadek przypadki[] = {
        {3, 0, false}, {3, 1, true},   {3, 2, true},   {1, 0, false},  {1, 1, true},
        {2, 2, true},  {4, 0, false},  {4, 1, false},  {4, 2, false},  {17, 1, false},
        {17, 2, false}, {21, 1, false},
    };
    for (const auto& p : przypadki)
        EXPECT_EQ(CzescTylkoPierwszymEtapem(p.wydanie, p.czesc), p.tylkoPierwszy)
            << "edition " << p.wydanie << ", part " << p.czesc;
}

// The parts that this build's edition names are unpacked as its resources
// were packed: the first with both stages, the second with the prefix code.
TEST(RozpakowanieEtapy, ThisEditionsPartsMatchTheirPacking) {
    EXPECT_EQ(WpisWydania(ZasobyA, WydanieInstalatora), "VELTEN15A");
    EXPECT_EQ(WpisWydania(ZasobyB, WydanieInstalatora), "VELTEN15B");
    EXPECT_EQ(WpisWydania(ZasobyC, WydanieInstalatora), "");
    EXPECT_FALSE(CzescTylkoPierwszymEtapem(WydanieInstalatora, 0));
    EXPECT_TRUE(CzescTylkoPierwszymEtapem(WydanieInstalatora, 1));
}

TEST(DodatkiTabela, NumberedFromOneToFortyNine) {
    for (const std::int32_t numer : {-1, 0, 50, 1000})
        EXPECT_EQ(Dodatek(numer), nullptr) << numer;
    ASSERT_NE(Dodatek(1), nullptr);
    ASSERT_NE(Dodatek(49), nullptr);
    EXPECT_NE(Dodatek(1), Dodatek(49));
}

TEST(DodatkiListy, EditionsOneFourAndSixHaveLists) {
    struct Przypadek {
        std::int32_t wydanie;
        std::int32_t wariant;
        std::vector<std::int32_t> pozycje;
    };
    const Przypadek przypadki[] = {
        {1, 1, {4, 5, 6, 7}},
        {4, 1, {8}},
        {4, 0, {8, 9, 10, 11, 12}},
        {4, 2, {8, 9, 10, 11, 12}},
        {6, 3, {13, 14}},
        {3, 5, {}},
        {2, 1, {}},
        {5, 1, {}},
        {21, 6, {}},
        {0, 1, {}},
        {-4, 1, {}},
        {22, 1, {}},
    };
    for (const auto& p : przypadki) {
        const auto lista = ListaDodatkow(p.wydanie, p.wariant);
        EXPECT_EQ(std::vector<std::int32_t>(lista.begin(), lista.end()), p.pozycje)
            << "edition " << p.wydanie << ", variant " << p.wariant;
    }
}

}  // namespace
