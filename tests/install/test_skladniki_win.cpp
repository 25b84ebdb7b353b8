#include "install/Skladniki.h"

#include "install/Wersje.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/version.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <string>
#include <utility>

#include <windows.h>

namespace {


// The stand-in components the build makes, each in a folder of its own:
// comctl32.dll 5.81.4704.1100 and comctl32.ocx 6.0 (the medium's), and for
// these tests comctl32.ocx stating "6, 0, 2900, 0" and comctl32.dll 6.0
// whose translation (Polish, 1250) names a string table it lacks.
std::string Skladnik(const std::string& wariant) {
    const auto self = sys::ModuleFileName();
    if (!self) return {};
    const std::string tests = self->substr(0, self->find_last_of('\\'));
    return tests.substr(0, tests.find_last_of('\\') + 1) + "medium-files\\velt_comctl32_" + wariant + "\\";
}

std::string Zawartosc(const std::string& plik) { return sys::ReadWholeFile(plik, 1 << 22).value_or("<none>"); }

// Wine answers for any file named comctl32.dll with the version of its own
// library, so the stand-ins are examined under other names.
TEST(WersjaCoNajmniej, StandInComponents) {
    pomocnicy::KatalogTymczasowy tmp("velt wersje");
    const std::string katalog = tmp.Sciezka() + "\\";
    const std::pair<const char*, std::string> kopie[] = {
        {"5.81.dll", Skladnik("dll") + "comctl32.dll"},
        {"6.0.ocx", Skladnik("ocx") + "comctl32.ocx"},
        {"przecinki.ocx", Skladnik("commas") + "comctl32.ocx"},
        {"inna tabela.dll", Skladnik("other_table") + "comctl32.dll"},
        {"tekst.dll", ""},
    };
    for (const auto& [nazwa, zrodlo] : kopie) {
        if (zrodlo.empty()) {
            ASSERT_TRUE(sys::WriteWholeFile(katalog + nazwa, "To nie jest biblioteka."));
        } else {
            ASSERT_TRUE(sys::CopyFileTo(zrodlo, katalog + nazwa, false)) << zrodlo;
        }
    }

    struct Przypadek {
        const char* plik;
        std::int32_t glowna, poboczna;
        bool wynik;
    };
    const Przypadek przypadki[] = {
        {"5.81.dll", 4, 72, true},
        {"5.81.dll", 5, 81, true},
        {"5.81.dll", 5, 82, false},
        {"5.81.dll", 6, 0, false},
        {"6.0.ocx", 5, 1, true},
        {"6.0.ocx", 6, 0, true},
        {"6.0.ocx", 6, 1, false},
        // "6, 0, 2900, 0" reads as 0.0, older than both required versions.
        {"przecinki.ocx", 4, 72, false},
        {"przecinki.ocx", 5, 1, false},
        {"przecinki.ocx", 0, 0, true},
        // Versions that cannot be read count as older than anything.
        {"inna tabela.dll", 0, 0, false},
        {"tekst.dll", 0, 0, false},
        {"brak.dll", 0, 0, false},
        {"", 0, 0, false},
    };
    for (const auto& p : przypadki)
        EXPECT_EQ(WersjaCoNajmniej(katalog + p.plik, p.glowna, p.poboczna), p.wynik)
            << p.plik << " >= " << p.glowna << "." << p.poboczna;

    // The fixed part says 6.0 as well; the text is what counts.
    const auto info = sys::VersionInfo::Read(katalog + "przecinki.ocx");
    ASSERT_TRUE(info);
    ASSERT_TRUE(info->FileVersion());
    EXPECT_EQ(info->FileVersion()->major, 6u);
}

TEST(WersjaCoNajmniej, SystemLibrary) {
    const auto system = sys::SystemFolder();
    ASSERT_TRUE(system);
    const std::string plik = *system + "comctl32.dll";
    const auto info = sys::VersionInfo::Read(plik);
    ASSERT_TRUE(info);
    const auto tekst = info->StringValue(info->Translations().at(0), "FileVersion");
    ASSERT_TRUE(tekst);
    const WersjaPliku wersja = RozbierzWersje(*tekst);
    EXPECT_TRUE(JestCoNajmniej(wersja, 4, 72)) << *tekst;
    EXPECT_TRUE(WersjaCoNajmniej(plik, 4, 72));
    EXPECT_TRUE(WersjaCoNajmniej(plik, wersja.glowna, wersja.poboczna));
    EXPECT_FALSE(WersjaCoNajmniej(plik, wersja.glowna, wersja.poboczna + 1));
    EXPECT_FALSE(WersjaCoNajmniej(plik, wersja.glowna + 1, 0));
}

class SkladnikiTest : public ::testing::Test {
protected:
    pomocnicy::KatalogTymczasowy tmp_{"velt system"};
    const std::string system_ = tmp_.Sciezka() + "\\";
};

TEST_F(SkladnikiTest, OnlyAMissingFileIsSupplied) {
    struct Przypadek {
        const char* opis;
        std::string plik;
        std::string obecny;  // the file's content already there; empty for none
        std::string zrodlo;
        std::int32_t glowna, poboczna;
        bool wynik;
        std::string potem;  // the file's content afterwards
    };
    const std::string dll = Zawartosc(Skladnik("dll") + "comctl32.dll");
    const std::string ocx = Zawartosc(Skladnik("ocx") + "comctl32.ocx");
    const std::string przecinki = Zawartosc(Skladnik("commas") + "comctl32.ocx");
    ASSERT_NE(dll, "<none>");
    ASSERT_NE(ocx, "<none>");
    const Przypadek przypadki[] = {
        {"missing, copied", "comctl32.dll", "", Skladnik("dll"), 4, 72, true, dll},
        {"missing, copied", "comctl32.ocx", "", Skladnik("ocx"), 5, 1, true, ocx},
        {"new enough, kept", "comctl32.ocx", ocx, Skladnik("commas"), 5, 1, true, ocx},
        {"older, kept", "comctl32.ocx", przecinki, Skladnik("ocx"), 5, 1, false, przecinki},
        {"no version, kept", "comctl32.ocx", "tekst", Skladnik("ocx"), 5, 1, false, "tekst"},
        {"missing on the medium too", "comctl32.ocx", "", Skladnik("dll"), 5, 1, false, "<none>"},
    };
    for (const auto& p : przypadki) {
        const std::string cel = system_ + p.plik;
        sys::Ignore(sys::RemoveFile(cel), "may not be there");
        if (!p.obecny.empty()) {
            ASSERT_TRUE(sys::WriteWholeFile(cel, p.obecny));
        }
        EXPECT_EQ(InstalujSkladnik(system_, p.plik, p.zrodlo, p.glowna, p.poboczna), p.wynik) << p.opis;
        EXPECT_EQ(Zawartosc(cel), p.potem) << p.opis;
    }
    // A system folder given without its backslash; none known at all.
    sys::Ignore(sys::RemoveFile(system_ + "comctl32.dll"), "may not be there");
    EXPECT_TRUE(InstalujSkladnik(system_.substr(0, system_.size() - 1), "comctl32.dll", Skladnik("dll"), 4, 72));
    EXPECT_EQ(Zawartosc(system_ + "comctl32.dll"), dll);
    EXPECT_TRUE(InstalujSkladnik("", "comctl32.dll", system_ + "brak\\", 4, 72));
}

// Wine's own system folder: its comctl32.dll is new enough and stays; a
// missing comctl32.ocx is supplied.
TEST(Skladniki, SystemFolder) {
    const auto system = sys::SystemFolder();
    ASSERT_TRUE(system);
    const std::string dll = *system + "comctl32.dll";
    const std::string przed = Zawartosc(dll);
    EXPECT_TRUE(InstalujSkladnik("comctl32.dll", Skladnik("dll"), 4, 72));
    EXPECT_EQ(Zawartosc(dll), przed);

    const std::string ocx = *system + "comctl32.ocx";
    sys::Ignore(sys::RemoveFile(ocx), "a previous run's copy");
    EXPECT_TRUE(InstalujSkladnik("comctl32.ocx", Skladnik("ocx"), 5, 1));
    EXPECT_EQ(Zawartosc(ocx), Zawartosc(Skladnik("ocx") + "comctl32.ocx"));
    EXPECT_TRUE(WersjaCoNajmniej(ocx, 5, 1));
    EXPECT_TRUE(sys::RemoveFile(ocx));
}

// Nothing is started from the current folder, whatever lies there.
TEST(Skladniki, SpeechInstallerOnlyFromTheMedium) {
    ASSERT_TRUE(sys::WriteWholeFile("SyntezaMowy.exe", "MZ planted"));
    EXPECT_FALSE(InstalujSyntezeMowy("SyntezaMowy.exe"));
    EXPECT_FALSE(InstalujSyntezeMowy("C:\\SyntezaMowy nie istnieje.exe"));
    EXPECT_TRUE(sys::RemoveFile("SyntezaMowy.exe"));
}

}  // namespace
