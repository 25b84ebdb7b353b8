// Unpacking the wizard's resources into files, under Wine. The packed blocks
// are resources of this test program (tests/payload/zasoby_testowe.rc.in):
// slices of one text packed at build time, the text itself, and two damaged
// blocks.

#include "install/Rozpakowanie.h"

#include "base/Blad.h"
#include "base/Przelaczniki.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "payload/Dekompresja.h"
#include "base/Wydania.h"
#include "app/untCD.h"
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
// kDlugoscA bytes, TESTB2 the next kDlugoscB2, TESTB and TESTRESZTA the rest
// from where TESTA ends, TESTC2 the rest from where TESTB2 ends. TESTA_SUMA is
// the digest of the whole text; TESTB2_SUMA one that no slice matches.
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
        {"first part alone", {"TESTA", "", ""}, 3, t.substr(0, kDlugoscA)},
        {"an empty second entry is skipped", {"TESTA", "", "TESTC2"}, 17,
         t.substr(0, kDlugoscA) + t.substr(kDlugoscA + kDlugoscB2)},
        {"a block that is no LZ stream is fine by prefix code alone", {"TESTA", "TESTLZZLY", ""}, 2,
         t.substr(0, kDlugoscA) + std::string("\x00\x01", 2)},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        const std::vector<std::uint8_t> program = RozpakujCzesci(p.zasoby, p.wydanie);
        EXPECT_EQ(program.size(), p.oczekiwany.size());
        EXPECT_TRUE(std::string(program.begin(), program.end()) == p.oczekiwany);
    }
}

// The program goes in whole, matching its digest, or not at all: a missing,
// damaged or mismatched part is an error of the run, and a program that is
// there (a reinstallation) stays as it was.
TEST_F(Rozpakowanie, MissingDamagedOrMismatchedPartIsAnError) {
    struct Przypadek {
        const char* opis;
        ZasobyProgramu zasoby;
        std::int32_t wydanie;
        bool zapisany;
    };
    const Przypadek przypadki[] = {
        {"whole, as the digest says", {"TESTA", "TESTB", ""}, 3, true},
        {"whole by three parts", {"TESTA", "TESTB2", "TESTC2"}, 17, true},
        {"first part missing", {"BRAK", "TESTB", ""}, 3, false},
        {"second part missing", {"TESTA", "BRAK", ""}, 3, false},
        {"third part missing", {"TESTA", "TESTB2", "BRAK"}, 17, false},
        {"first part damaged", {"TESTZLY", "", ""}, 3, false},
        {"second part's prefix code damaged", {"TESTA", "TESTZLY", ""}, 3, false},
        {"second part's LZ stream damaged", {"TESTA", "TESTLZZLY", ""}, 4, false},
        {"parts that unpack but are not the file", {"TESTA", "TESTB2", ""}, 3, false},
        {"a part short", {"TESTA", "", ""}, 3, false},
        {"a digest that does not match", {"TESTB2", "", ""}, 17, false},
        {"no digest", {"TESTC2", "", ""}, 17, false},
    };
    for (const bool byl : {false, true}) {
        for (const auto& p : przypadki) {
            SCOPED_TRACE(std::string(p.opis) + (byl ? ", over an older program" : ""));
            if (byl) ASSERT_TRUE(sys::WriteWholeFile(P("VeltEn.exe"), "stary program"));
            else sys::Ignore(sys::RemoveFile(P("VeltEn.exe")), "each case starts without it");
            std::vector<std::string> zapisane;
            if (p.zapisany) {
                ZlozProgram(p.zasoby, p.wydanie, P("VeltEn.exe"), zapisane);
                EXPECT_TRUE(Plik("VeltEn.exe") == Tekst());
                EXPECT_EQ(zapisane, std::vector<std::string>{P("VeltEn.exe")});
            } else {
                EXPECT_THROW(ZlozProgram(p.zasoby, p.wydanie, P("VeltEn.exe"), zapisane), BladProgramu);
                EXPECT_EQ(Plik("VeltEn.exe"), byl ? std::optional<std::string>("stary program") : std::nullopt);
                EXPECT_TRUE(zapisane.empty());
            }
            // Nothing else is left beside it.
            auto lista = sys::DirectoryEnumeration::Open(katalog_ + "\\*");
            while (auto e = lista.Next())
                EXPECT_TRUE(e->name == "." || e->name == ".." || e->name == "VeltEn.exe") << e->name;
        }
    }
}

TEST_F(Rozpakowanie, NoFileWithoutAProgramOrAFolder) {
    std::vector<std::string> zapisane;
    EXPECT_THROW(ZlozProgram({"", "", ""}, 0, P("VeltEn.exe"), zapisane), BladProgramu);
    EXPECT_THROW(ZlozProgram({"TESTA", "TESTB", ""}, 3, P("brak\\VeltEn.exe"), zapisane), BladProgramu);
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

TEST_F(Rozpakowanie, PackedItemIsItsResourcesInOrderCheckedWhole) {
    enum class Wynik { Zainstalowany, NieRozpoczety, Blad };
    struct Przypadek {
        const char* opis;
        TDodatek dodatek;
        Wynik wynik;
    };
    const Przypadek przypadki[] = {
        {"two parts", Pozycja("TESTA", "TESTRESZTA"), Wynik::Zainstalowany},
        {"first resource missing", Pozycja("BRAK", "TESTA"), Wynik::NieRozpoczety},
        {"second resource missing", Pozycja("TESTA", "BRAK"), Wynik::NieRozpoczety},
        {"first part damaged", Pozycja("TESTZLY", "TESTA"), Wynik::Blad},
        {"second part damaged", Pozycja("TESTA", "TESTLZZLY"), Wynik::Blad},
        {"parts that are not the whole file", Pozycja("TESTA", "TESTB2"), Wynik::Blad},
        {"a digest that does not match", Pozycja("TESTB2", ""), Wynik::Blad},
    };
    for (const bool byl : {false, true}) {
        for (const auto& p : przypadki) {
            SCOPED_TRACE(std::string(p.opis) + (byl ? ", over an older file" : ""));
            if (byl) ASSERT_TRUE(sys::WriteWholeFile(P("d.dat"), "stary"));
            else sys::Ignore(sys::RemoveFile(P("d.dat")), "each case starts without it");
            const std::optional<std::string> przed = Plik("d.dat");
            std::vector<std::string> zapisane;
            switch (p.wynik) {
            case Wynik::Zainstalowany:
                EXPECT_TRUE(InstallItem(p.dodatek, P("d.dat"), zapisane));
                EXPECT_TRUE(Plik("d.dat") == Tekst());
                break;
            case Wynik::NieRozpoczety:
                EXPECT_FALSE(InstallItem(p.dodatek, P("d.dat"), zapisane));
                EXPECT_EQ(Plik("d.dat"), przed);
                break;
            case Wynik::Blad:
                EXPECT_THROW(sys::Ignore(InstallItem(p.dodatek, P("d.dat"), zapisane), "the call throws"), BladProgramu);
                EXPECT_EQ(Plik("d.dat"), przed) << "nothing replaced";
                break;
            }
            // Only a file it created is the run's to remove.
            EXPECT_EQ(zapisane, p.wynik == Wynik::Zainstalowany && !byl ? std::vector<std::string>{P("d.dat")}
                                                                         : std::vector<std::string>{});
        }
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
// fails, writing nothing.
TEST_F(RozpakowanieOkna, ProgramStepShowsSourceAndTargetThenFailsWithoutItsResources) {
    TfrmMain& m = *frmMain;
    for (const auto& [jezyk, z, doCelu] : {std::tuple<std::uint8_t, std::string, std::string>{0, "Z: ", "Do: "},
                                           {1, "From: ", "To: "}}) {
        m.JezykInterfejsu = jezyk;
        EXPECT_THROW(m.RozpakujProgram(), BladProgramu);
        EXPECT_EQ(m.lblPlikZ.Caption(), z + "D:\\");
        EXPECT_EQ(m.lblPlikDo.Caption(), doCelu + P("VeltEn.exe"));
        EXPECT_TRUE(m.SkopiowanePliki.empty());
        EXPECT_FALSE(Plik("VeltEn.exe")) << "no half-written program stays";
    }
    // A program already there (a reinstallation) survives a failed unpacking.
    ASSERT_TRUE(sys::WriteWholeFile(P("VeltEn.exe"), "stary program"));
    EXPECT_THROW(m.RozpakujProgram(), BladProgramu);
    EXPECT_EQ(Plik("VeltEn.exe"), "stary program");
    ASSERT_TRUE(sys::RemoveFile(P("VeltEn.exe")));
    // A drive root already ends in its backslash.
    m.KatalogDocelowy = "C:\\";
    EXPECT_THROW(m.RozpakujProgram(), BladProgramu);
    EXPECT_EQ(m.lblPlikDo.Caption(), "To: C:\\VeltEn.exe");
    EXPECT_FALSE(sys::FileExists("C:\\VeltEn.exe"));
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
