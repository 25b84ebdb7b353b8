// Unpacking the wizard's resources into files, under Wine. The packed blocks
// are resources of this test program (tests/payload/zasoby_testowe.rc.in):
// slices of one text packed at build time, the text itself, and two damaged
// blocks.

#include "payload/Rozpakowanie.h"

#include "app/Blad.h"
#include "app/Przelaczniki.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "payload/Dekompresja.h"
#include "setup/Wydania.h"
#include "setup/untCD.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/result.h"
#include "sys/resources.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <memory>
#include <optional>
#include <tuple>
#include <string>
#include <vector>

namespace {

// As tools/packer/CMakeLists.txt slices the text: TESTA holds its first
// kDlugoscA bytes, TESTB2 the next kDlugoscB2, TESTB and TESTC2 the rest from
// where TESTA and TESTB2 end.
constexpr std::size_t kDlugoscA = 8000;
constexpr std::size_t kDlugoscB2 = 6000;

constexpr std::size_t kNajwiekszyPlik = 1 << 20;

std::string Zasob(std::string_view nazwa) {
    const auto bajty = sys::OwnResource(nazwa);
    if (!bajty) return {};
    return std::string(bajty->begin(), bajty->end());
}

const std::string& Tekst() {
    static const std::string tekst = Zasob("TESTSUROWE");
    return tekst;
}

// The prefix code of a resource alone, as an old edition writes a later part.
std::string PierwszyEtap(std::string_view nazwa) {
    const auto wynik = HuffmanDecode(*sys::OwnResource(nazwa));
    return std::string(wynik.begin(), wynik.end());
}

// An update item of the test's own, named "d.dat".
TDodatek Pozycja(std::string_view zasob1, std::string_view zasob2, std::uint8_t rodzaj = DodatekSpakowany) {
    return {"d.dat", zasob1, zasob2, rodzaj, "Velt", "1.0"};
}

// A target folder of the test's own under the temporary folder.
class Rozpakowanie : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Tekst().empty()) << "win_tests.exe lacks the test resources";
        ASSERT_GT(Tekst().size(), kDlugoscA + kDlugoscB2);
    }

    std::string P(const std::string& nazwa) const { return tmp_ / nazwa; }
    std::optional<std::string> Plik(const std::string& nazwa) const {
        return sys::ReadWholeFile(P(nazwa), kNajwiekszyPlik);
    }

    pomocnicy::KatalogTymczasowy tmp_{"velt rozpakowanie"};
    const std::string katalog_ = tmp_.Sciezka();
};

TEST_F(Rozpakowanie, ProgramIsItsPartsWithTheEditionsStages) {
    const std::string& t = Tekst();
    struct Przypadek {
        const char* opis;
        ZasobyProgramu zasoby;
        std::int32_t wydanie;
        std::string oczekiwany;
    };
    const Przypadek przypadki[] = {
        {"two parts, the second by prefix code alone", {"TESTA", "TESTB", ""}, 3, t},
        {"the same in edition 1", {"TESTA", "TESTB", ""}, 1, t},
        {"three parts, all with both stages", {"TESTA", "TESTB2", "TESTC2"}, 17, t},
        {"edition 4 unpacks later parts fully", {"TESTA", "TESTB2", "TESTC2"}, 4, t},
        {"edition 3 writes a later part's LZ stream unchanged", {"TESTA", "TESTB2", ""}, 3,
         t.substr(0, kDlugoscA) + PierwszyEtap("TESTB2")},
        // Shorter than what the cases before left: the file is replaced.
        {"first part alone", {"TESTA", "", ""}, 3, t.substr(0, kDlugoscA)},
        {"an empty second entry is skipped", {"TESTA", "", "TESTC2"}, 17,
         t.substr(0, kDlugoscA) + t.substr(kDlugoscA + kDlugoscB2)},
        {"a block that is no LZ stream is fine by prefix code alone", {"TESTA", "TESTLZZLY", ""}, 2,
         t.substr(0, kDlugoscA) + std::string("\x00\x01", 2)},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        std::vector<std::string> zapisane;
        ZlozProgram(p.zasoby, p.wydanie, P("VeltEn.exe"), zapisane);
        EXPECT_EQ(zapisane, std::vector<std::string>{P("VeltEn.exe")});
        const auto plik = Plik("VeltEn.exe");
        ASSERT_TRUE(plik);
        EXPECT_EQ(plik->size(), p.oczekiwany.size());
        EXPECT_TRUE(*plik == p.oczekiwany);
    }
}

// A program short of a part cannot run: the run must end with the error
// outcome, and the unfinished file is the run's to remove on a cancellation.
TEST_F(Rozpakowanie, MissingOrDamagedPartIsAnError) {
    struct Przypadek {
        const char* opis;
        ZasobyProgramu zasoby;
        std::int32_t wydanie;
        std::string zapisano;
    };
    const std::string a = Tekst().substr(0, kDlugoscA);
    const Przypadek przypadki[] = {
        {"first part missing", {"BRAK", "TESTB", ""}, 3, ""},
        {"second part missing", {"TESTA", "BRAK", ""}, 3, a},
        {"third part missing", {"TESTA", "TESTB2", "BRAK"}, 17, a + Tekst().substr(kDlugoscA, kDlugoscB2)},
        {"first part damaged", {"TESTZLY", "", ""}, 3, ""},
        {"second part's prefix code damaged", {"TESTA", "TESTZLY", ""}, 3, a},
        {"second part's LZ stream damaged", {"TESTA", "TESTLZZLY", ""}, 4, a},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        std::vector<std::string> zapisane;
        EXPECT_THROW(ZlozProgram(p.zasoby, p.wydanie, P("VeltEn.exe"), zapisane), BladProgramu);
        EXPECT_EQ(zapisane, std::vector<std::string>{P("VeltEn.exe")});
        EXPECT_EQ(Plik("VeltEn.exe"), p.zapisano);
    }
}

TEST_F(Rozpakowanie, NoFileWithoutAProgramOrAFolder) {
    std::vector<std::string> zapisane;
    EXPECT_THROW(ZlozProgram({"", "", ""}, 0, P("VeltEn.exe"), zapisane), BladProgramu);
    EXPECT_THROW(ZlozProgram({"TESTA", "", ""}, 3, P("brak\\VeltEn.exe"), zapisane), BladProgramu);
    EXPECT_TRUE(zapisane.empty());
    EXPECT_FALSE(sys::FileExists(P("VeltEn.exe")));
}

TEST_F(Rozpakowanie, ResourceIsAppendedWhenItUnpacks) {
    struct Przypadek {
        const char* zasob;
        bool wynik;
        std::string dopisane;
    };
    const Przypadek przypadki[] = {
        {"TESTA", true, Tekst().substr(0, kDlugoscA)},
        {"TESTB2", true, Tekst().substr(kDlugoscA, kDlugoscB2)},
        {"BRAK", false, ""},
        {"TESTZLY", false, ""},
        {"TESTLZZLY", false, ""},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.zasob);
        {
            sys::File plik = sys::File::Create(P("dodatek.dat"));
            ASSERT_TRUE(plik);
            ASSERT_EQ(plik.Write("abc", 3).bytes, 3u);
            EXPECT_EQ(UnpackResourceToFile(p.zasob, plik), p.wynik);
            ASSERT_TRUE(plik.Close());
        }
        EXPECT_EQ(Plik("dodatek.dat"), "abc" + p.dopisane);
    }
}

TEST_F(Rozpakowanie, ResourceIntoAFileThatCannotBeWritten) {
    ASSERT_TRUE(sys::WriteWholeFile(P("dodatek.dat"), "abc"));
    sys::File plik = sys::File::OpenRead(P("dodatek.dat"));
    ASSERT_TRUE(plik);
    EXPECT_FALSE(UnpackResourceToFile("TESTA", plik));
}

TEST_F(Rozpakowanie, PackedItemIsItsResourcesInOrder) {
    const std::string& t = Tekst();
    struct Przypadek {
        const char* opis;
        TDodatek dodatek;
        bool wynik;
        std::optional<std::string> plik;  // nullopt: no file made
    };
    const Przypadek przypadki[] = {
        {"two parts", Pozycja("TESTA", "TESTB2"), true, t.substr(0, kDlugoscA + kDlugoscB2)},
        {"one part", Pozycja("TESTB2", ""), true, t.substr(kDlugoscA, kDlugoscB2)},
        {"first resource missing", Pozycja("BRAK", "TESTA"), false, std::nullopt},
        {"second resource missing", Pozycja("TESTA", "BRAK"), false, std::nullopt},
        {"first part damaged", Pozycja("TESTZLY", "TESTA"), false, ""},
        {"second part damaged", Pozycja("TESTA", "TESTLZZLY"), false, t.substr(0, kDlugoscA)},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        std::vector<std::string> zapisane;
        EXPECT_EQ(InstallItem(p.dodatek, P("d.dat"), zapisane), p.wynik);
        EXPECT_EQ(Plik("d.dat"), p.plik);
        EXPECT_EQ(zapisane, p.plik ? std::vector<std::string>{P("d.dat")} : std::vector<std::string>{});
        sys::Ignore(sys::RemoveFile(P("d.dat")), "the next case starts without it");
    }
}

TEST_F(Rozpakowanie, ItemsThatCannotBeInstalledTouchNothing) {
    ASSERT_TRUE(sys::WriteWholeFile(P("d.dat"), "stary"));
    std::vector<std::string> zapisane;
    // No archive can be read yet.
    EXPECT_FALSE(InstallItem(Pozycja("TESTA", "", DodatekZArchiwum), P("d.dat"), zapisane));
    EXPECT_FALSE(InstallItem(Pozycja("TESTA", "", 7), P("d.dat"), zapisane));
    EXPECT_FALSE(InstallItem(Pozycja("TESTA", "", 255), P("d.dat"), zapisane));
    // Items outside the table, and a packed one whose resources this program
    // does not carry.
    EXPECT_FALSE(InstallItem(0, P("d.dat"), zapisane));
    EXPECT_FALSE(InstallItem(LiczbaDodatkow + 1, P("d.dat"), zapisane));
    EXPECT_FALSE(InstallItem(4, P("d.dat"), zapisane));
    EXPECT_TRUE(zapisane.empty());
    EXPECT_EQ(Plik("d.dat"), "stary");
}

// An archive item whose archive is missing stops the step, and the run.
TEST_F(Rozpakowanie, ArchiveItemWithoutItsArchiveIsAnError) {
    std::vector<std::string> zapisane;
    EXPECT_THROW(sys::Ignore(InstallItem(Pozycja("BRAK", "", DodatekZArchiwum), P("d.dat"), zapisane), "the call throws"),
                 BladProgramu);
    EXPECT_THROW(sys::Ignore(InstallItem(37, P("d.dat"), zapisane), "the call throws"), BladProgramu);
    EXPECT_TRUE(zapisane.empty());
    EXPECT_FALSE(sys::FileExists(P("d.dat")));
}

// The two steps as the wizard runs them, on the headless forms.
class RozpakowanieOkna : public Rozpakowanie {
protected:
    void SetUp() override {
        Rozpakowanie::SetUp();
        UstawAppConst(RekordWydaniaInstalatora());
        app_ = std::make_unique<ui::Application>(backend_);
        UtworzFormularze(*app_);
        frmMain->KatalogZrodlowy = "D:\\";
        frmMain->KatalogDocelowy = katalog_;
    }
    void TearDown() override {
        DodatkiWydania1 = DodatkiWydania4 = DodatkiWydania6 = false;
        UstawAppConst(RekordWydaniaInstalatora());
        ZniszczFormularze(*app_);
        app_.reset();
    }

    ui::headless::HeadlessBackend backend_;
    std::unique_ptr<ui::Application> app_;
};

// This program carries no VELTEN15A: the step names what it writes, then
// fails, and the run knows of the file.
TEST_F(RozpakowanieOkna, ProgramStepShowsSourceAndTargetThenFailsWithoutItsResources) {
    TfrmMain& m = *frmMain;
    for (const auto& [jezyk, z, doCelu] : {std::tuple<std::uint8_t, std::string, std::string>{0, "Z: ", "Do: "},
                                           {1, "From: ", "To: "}}) {
        m.JezykInterfejsu = jezyk;
        m.SkopiowanePliki.clear();
        EXPECT_THROW(m.RozpakujProgram(), BladProgramu);
        EXPECT_EQ(m.lblPlikZ.Caption(), z + "D:\\");
        EXPECT_EQ(m.lblPlikDo.Caption(), doCelu + P("VeltEn.exe"));
        EXPECT_EQ(m.SkopiowanePliki, std::vector<std::string>{P("VeltEn.exe")});
        EXPECT_FALSE(Plik("VeltEn.exe")) << "no half-written program stays";
    }
    // A program already there (a reinstallation) survives a failed unpacking.
    ASSERT_TRUE(sys::WriteWholeFile(P("VeltEn.exe"), "stary program"));
    EXPECT_THROW(m.RozpakujProgram(), BladProgramu);
    EXPECT_EQ(Plik("VeltEn.exe"), "stary program");
    EXPECT_TRUE(m.KopieZapasowe.empty());
    ASSERT_TRUE(sys::RemoveFile(P("VeltEn.exe")));
    // A drive root already ends in its backslash.
    m.KatalogDocelowy = "C:\\";
    m.SkopiowanePliki.clear();
    EXPECT_THROW(m.RozpakujProgram(), BladProgramu);
    EXPECT_EQ(m.SkopiowanePliki, std::vector<std::string>{"C:\\VeltEn.exe"});
    sys::Ignore(sys::RemoveFile("C:\\VeltEn.exe"), "test clean-up");
}

TEST_F(RozpakowanieOkna, UpdateListsFollowTheirSwitches) {
    TfrmMain& m = *frmMain;
    // Off in this build: nothing for any edition, not even an archive item
    // whose archive is missing.
    for (const std::int32_t wydanie : {1, 3, 4, 6}) {
        NumerWydania = wydanie;
        m.RozpakujDodatki();
    }
    // On: the listed items are tried, and without their resources none is
    // started.
    DodatkiWydania1 = DodatkiWydania4 = DodatkiWydania6 = true;
    for (const std::int32_t wydanie : {1, 4, 6}) {
        NumerWydania = wydanie;
        m.RozpakujDodatki();
    }
    EXPECT_TRUE(m.SkopiowanePliki.empty());
    auto lista = sys::DirectoryEnumeration::Open(katalog_ + "\\*");
    while (auto e = lista.Next()) EXPECT_TRUE(e->name == "." || e->name == "..") << e->name;
}

}  // namespace
