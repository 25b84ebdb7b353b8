// Shortcuts under Wine: real link files, read back through the shell's own
// link object, with the special folders redirected in the registry.

#include "install/Skroty.h"

#include "../PomocnicyWin.h"
#include "base/Narzedzia.h"
#include "base/Przelaczniki.h"
#include "base/StronyKodowe.h"
#include "base/Teksty.h"
#include "app/OknoKreatora.h"
#include "app/untMain.h"
#include "base/Wydania.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"
#include "install/TabelaSkrotow.h"
#include "sys/folders.h"
#include "sys/registry.h"
#include "sys/shell.h"
#include "sys/text.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <thread>

namespace {

using pomocnicy::ZmienionyFolder;

struct Skrot {
    std::string cel, katalogRoboczy, opis;
};

std::optional<Skrot> CzytajSkrot(const std::string& plik) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return std::nullopt;
    std::optional<Skrot> wynik;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        if (SUCCEEDED(persist->Load(sys::ToWide(plik).c_str(), STGM_READ))) {
            wchar_t cel[MAX_PATH] = {}, roboczy[MAX_PATH] = {}, opis[MAX_PATH] = {};
            link->GetPath(cel, MAX_PATH, nullptr, 0);
            link->GetWorkingDirectory(roboczy, MAX_PATH);
            link->GetDescription(opis, MAX_PATH);
            wynik = Skrot{sys::FromWide(cel), sys::FromWide(roboczy), sys::FromWide(opis)};
        }
        persist->Release();
    }
    link->Release();
    return wynik;
}

// Names of the entries of a folder, without "." and "..".
std::set<std::string> Wpisy(const std::string& katalog) {
    std::set<std::string> wynik;
    auto e = sys::DirectoryEnumeration::Open(katalog + "\\*");
    while (auto w = e.Next())
        if (w->name != "." && w->name != "..") wynik.insert(w->name);
    return wynik;
}

class Skroty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(com_.ok());
        for (const char* k : {"\\cel", "\\programy", "\\pulpit", "\\wspolne", "\\wspolnyPulpit"})
            ASSERT_TRUE(sys::CreateFolder(root_ + k));
        // Every target of editions 1 and 3.
        for (const TWierszSkrotu& w : TabelaSkrotow)
            if (w.Wydania.Zawiera(1) || w.Wydania.Zawiera(3)) {
                ASSERT_TRUE(sys::WriteWholeFile(Cel(w.Plik), "MZ"));
            }
        opcje_.wydanie = 3;
        opcje_.katalogDocelowy = root_ + "\\cel";
        opcje_.grupa = opcje_.translatory = opcje_.slowniki = true;
    }
    std::string Cel(std::string_view plik) const { return root_ + "\\cel\\" + std::string(plik); }
    std::string Grupa(const std::string& programy) const {
        return root_ + "\\" + programy + "\\" + std::string(NazwaGrupyWydania(opcje_.wydanie, opcje_.jezyk));
    }

    sys::ComInitialization com_;
    pomocnicy::KatalogTymczasowy tmp_{"velt-skroty"};
    const std::string root_ = tmp_.Sciezka();
    TOpcjeSkrotow opcje_;
};

// The folders the test points the system at; the common ones only when asked.
struct Foldery {
    Foldery(const std::string& root, bool wspolne)
        : programy(sys::RegistryRoot::CurrentUser, "Programs", root + "\\programy"),
          pulpit(sys::RegistryRoot::CurrentUser, "Desktop", root + "\\pulpit"),
          wspolneProgramy(sys::RegistryRoot::LocalMachine, "Common Programs",
                          wspolne ? std::optional(root + "\\wspolne") : std::nullopt),
          wspolnyPulpit(sys::RegistryRoot::LocalMachine, "Common Desktop",
                        wspolne ? std::optional(root + "\\wspolnyPulpit") : std::nullopt) {}
    ZmienionyFolder programy, pulpit, wspolneProgramy, wspolnyPulpit;
};

TEST_F(Skroty, Edition3MakesItsNineGroupLinksAndNothingOnTheDesktop) {
    Foldery f(root_, true);
    UtworzSkroty(opcje_);

    const std::string grupa = Grupa("programy");
    std::set<std::string> oczekiwane;
    for (const TWierszSkrotu* w : WybierzSkroty(3, 0, SkrotGrupy)) {
        const std::string lnk = grupa + "\\" + std::string(w->Nazwa) + ".lnk";
        oczekiwane.insert(std::string(w->Nazwa) + ".lnk");
        const auto s = CzytajSkrot(lnk);
        ASSERT_TRUE(s) << lnk;
        EXPECT_TRUE(RowneBezWielkosciLiter(s->cel, Cel(w->Plik))) << s->cel;
        EXPECT_EQ(s->katalogRoboczy, root_ + "\\cel\\");
        EXPECT_EQ(s->opis, w->Nazwa);
    }
    EXPECT_EQ(oczekiwane.size(), 9u);
    EXPECT_EQ(Wpisy(grupa), oczekiwane);
    EXPECT_TRUE(oczekiwane.count("Pomoc do słownika.lnk"_cp1250)) << "Polish letters in link names";
    EXPECT_TRUE(Wpisy(root_ + "\\pulpit").empty());
    EXPECT_TRUE(Wpisy(root_ + "\\wspolne").empty()) << "not for all users";
}

TEST_F(Skroty, AMissingTargetSkipsOnlyItsLink) {
    Foldery f(root_, false);
    ASSERT_TRUE(sys::RemoveFile(Cel("Velt.hlp")));
    UtworzSkroty(opcje_);
    const auto wpisy = Wpisy(Grupa("programy"));
    EXPECT_EQ(wpisy.size(), 8u);
    EXPECT_FALSE(wpisy.count("Pomoc do translatora.lnk"));
}

TEST_F(Skroty, OptionsDecideWhatIsMade) {
    struct Przypadek {
        const char* nazwa;
        std::int32_t wydanie;
        bool grupa, translatory, slowniki, dlaWszystkich, wspolne;
        const char* katalogGrupy;  // where the group must be; nullptr: nowhere
        std::set<std::string> pulpit, wspolnyPulpit;
    };
    const Przypadek przypadki[] = {
        {"no group option", 3, false, true, true, false, true, nullptr, {}, {}},
        {"all users", 3, true, false, false, true, true, "wspolne", {}, {}},
        {"all users, no common folder", 3, true, false, false, true, false, "programy", {}, {}},
        {"translators on the desktop", 1, false, true, false, false, true, nullptr,
         {"Translator angielsko-polski.lnk"}, {}},
        {"dictionaries on the desktop", 1, false, false, true, false, true, nullptr,
         {"Słownik angielsko-polski.lnk"_cp1250}, {}},
        {"both, for all users", 1, false, true, true, true, true, nullptr, {},
         {"Translator angielsko-polski.lnk", "Słownik angielsko-polski.lnk"_cp1250}},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        for (const char* k : {"\\programy", "\\pulpit", "\\wspolne", "\\wspolnyPulpit"}) {
            pomocnicy::UsunDrzewo(root_ + k);
            ASSERT_TRUE(sys::CreateFolder(root_ + k));
        }
        Foldery f(root_, p.wspolne);
        TOpcjeSkrotow o = opcje_;
        o.wydanie = p.wydanie;
        o.grupa = p.grupa;
        o.translatory = p.translatory;
        o.slowniki = p.slowniki;
        o.dlaWszystkich = p.dlaWszystkich;
        UtworzSkroty(o);

        for (const char* k : {"programy", "wspolne"}) {
            const auto wpisy = Wpisy(root_ + "\\" + k);
            if (p.katalogGrupy && std::string_view(k) == p.katalogGrupy) {
                ASSERT_EQ(wpisy.size(), 1u) << k;
                EXPECT_EQ(Wpisy(root_ + "\\" + k + "\\" + *wpisy.begin()).size(), 9u);
            } else {
                EXPECT_TRUE(wpisy.empty()) << k;
            }
        }
        EXPECT_EQ(Wpisy(root_ + "\\pulpit"), p.pulpit);
        EXPECT_EQ(Wpisy(root_ + "\\wspolnyPulpit"), p.wspolnyPulpit);
    }
}

TEST_F(Skroty, DesktopThatIsNotAFolderIsLeftAlone) {
    Foldery f(root_, false);
    ZmienionyFolder brak(sys::RegistryRoot::CurrentUser, "Desktop", root_ + "\\nie-ma");
    opcje_.wydanie = 1;
    opcje_.grupa = false;
    UtworzSkroty(opcje_);
    EXPECT_FALSE(sys::EntryExists(root_ + "\\nie-ma"));
}

TEST_F(Skroty, ExistingLinkIsReplaced) {
    const std::string lnk = root_ + "\\programy\\a.lnk";
    ASSERT_TRUE(sys::WriteWholeFile(lnk, "not a link"));
    EXPECT_TRUE(UtworzSkrot(Cel("Velt.hlp"), lnk, "Pomoc"));
    const auto s = CzytajSkrot(lnk);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->opis, "Pomoc");
}

// A save that fails is a link not made: the run then keeps the link that is
// there instead of putting its unwritten file in its place.
TEST_F(Skroty, ALinkThatCannotBeSavedIsNotMadeAndTheOldOneStays) {
    const std::string lnk = root_ + "\\programy\\a.lnk";
    ASSERT_TRUE(UtworzSkrot(Cel("Velt.hlp"), lnk, "Pomoc"));
    const auto stary = sys::ReadWholeFile(lnk, 1 << 16);
    ASSERT_TRUE(stary && !stary->empty());
    // Held open by another program.
    HANDLE zajety = CreateFileW(sys::ToWide(lnk).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(zajety, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(UtworzSkrot(Cel("VeltEn.exe"), lnk, "Translator"));
    CloseHandle(zajety);
    EXPECT_EQ(sys::ReadWholeFile(lnk, 1 << 16), stary);
    // In a folder that is not there.
    EXPECT_FALSE(UtworzSkrot(Cel("Velt.hlp"), root_ + "\\nie-ma\\a.lnk", "Pomoc"));
    EXPECT_FALSE(sys::EntryExists(root_ + "\\nie-ma"));
}

TEST_F(Skroty, WithoutComTheLinkIsNotMade) {
    const std::string lnk = root_ + "\\programy\\a.lnk";
    bool wynik = true;
    std::thread([&] { wynik = UtworzSkrot(Cel("Velt.hlp"), lnk, "Pomoc"); }).join();
    EXPECT_FALSE(wynik);
    EXPECT_FALSE(sys::EntryExists(lnk));
}

// The step as the run calls it: the wizard's options, language and target.
TEST_F(Skroty, StepReadsTheWizard) {
    Foldery f(root_, false);
    UstawAppConst(RekordWydaniaInstalatora());
    ui::headless::HeadlessBackend backend;
    auto app = std::make_unique<ui::Application>(backend);
    TfrmMain& m = app->CreateForm<TfrmMain>();
    m.JezykInterfejsu = 1;
    m.KatalogDocelowy = root_ + "\\cel";
    m.chbUtworzGrupe.SetChecked(true);
    SkrotyDlaWszystkich = false;
    UtworzSkroty(m);
    EXPECT_EQ(m.lblInstalacjaOpis.Caption(), PobierzTekst(1, TekstTworzenieSkrotow));
    EXPECT_EQ(Wpisy(root_ + "\\programy\\" + std::string(NazwaGrupyWydania(3, 1))).size(), 9u);

    pomocnicy::UsunDrzewo(root_ + "\\programy");
    ASSERT_TRUE(sys::CreateFolder(root_ + "\\programy"));
    m.chbUtworzGrupe.SetChecked(false);
    UtworzSkroty(m);
    EXPECT_TRUE(Wpisy(root_ + "\\programy").empty());
    app->DestroyForms();
}

}  // namespace
