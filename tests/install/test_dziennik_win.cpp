// The journal's own files on the real file system under Wine: what a user
// could plant in or beside them.

#include "install/Dziennik.h"
#include "sys/files.h"
#include "sys/text.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <windows.h>

namespace {

const std::vector<WpisDziennika> kWpisy = {
    {RodzajWpisu::Poczatek, {"3", "C:\\V"}},
    {RodzajWpisu::Cofanie, {}},
    {RodzajWpisu::Katalog, {"C:\\V"}},
};

bool DrugaNazwa(const std::string& nowa, const std::string& plik) {
    return CreateHardLinkW(sys::ToWide(nowa).c_str(), sys::ToWide(plik).c_str(), nullptr) != FALSE;
}

// A hard link is as good as the file it names: the journal is never written
// through one planted under the name it writes to, nor read through one
// whose file another folder names too.
TEST(PlikDziennika, NeverWrittenOrReadThroughAHardLink) {
    pomocnicy::KatalogTymczasowy tmp{"velt dziennik"};
    const std::string dziennik = tmp / "instal.dzn", ofiara = tmp / "ofiara";
    ASSERT_TRUE(ZapiszDziennik(dziennik, kWpisy));
    ASSERT_TRUE(sys::WriteWholeFile(ofiara, "nietknieta"));
    ASSERT_TRUE(DrugaNazwa(NazwaTymczasowa(dziennik, 1), ofiara));
    ASSERT_TRUE(ZapiszDziennik(dziennik, {kWpisy[0]}));
    EXPECT_EQ(sys::ReadWholeFile(ofiara, 100), "nietknieta");
    const auto odczyt = WczytajDziennik(dziennik);
    ASSERT_TRUE(odczyt);
    EXPECT_EQ(odczyt->wpisy, std::vector<WpisDziennika>{kWpisy[0]});
    EXPECT_NE(odczyt->czas, 0u) << "the journal's last write comes with its records";

    // A second name: whoever holds the other one may change it.
    ASSERT_TRUE(DrugaNazwa(tmp / "drugi", dziennik));
    EXPECT_FALSE(WczytajDziennik(dziennik));
    EXPECT_FALSE(sys::EntryExists(dziennik));
    EXPECT_TRUE(sys::FileExists(dziennik + ".niezaufany")) << "set aside for an administrator";
}

// The machine's journal folder: it stays once made, and only a process with
// an administrator's full token replays what it holds.
TEST(PlikDziennika, FolderStaysAndIsReplayedOnlyWithAdministratorRights) {
    ASSERT_TRUE(PrzygotujKatalogDziennikow());
    std::string sciezka;
    {
        Dziennik d;
        ASSERT_TRUE(d.Rozpocznij(NowaSciezkaDziennika(), 3, "C:\\V"));
        sciezka = d.Sciezka();
        d.Zapisz(RodzajWpisu::Katalog, {"C:\\V"});
        // Destroyed without Zakoncz: a run that died.
    }
    EXPECT_TRUE(PozostawioneDzienniki(false).empty());
    EXPECT_TRUE(sys::FileExists(sciezka)) << "left for a start with the rights";
    const auto dzienniki = PozostawioneDzienniki(true);
    EXPECT_NE(std::find(dzienniki.begin(), dzienniki.end(), sciezka), dzienniki.end());
    UsunDziennik(sciezka);
    EXPECT_FALSE(sys::EntryExists(sciezka));
    EXPECT_TRUE(sys::FolderExists(KatalogDziennikow())) << "an empty folder stays, so that no user makes it first";
}

}  // namespace
