// The folder chooser and the new-folder dialog, driven through the headless
// backend under Wine against the real file system.
//
// Drives under Wine: C: is the prefix's drive_c and Z: maps the Unix root;
// Wine reports both as fixed (3), so both are roots of the tree. A fresh
// prefix has no CD-ROM and no network drive; the drive filter is checked
// against what the system reports for every drive it has.

#include "base/Jezyki.h"
#include "base/Narzedzia.h"
#include "base/Przelaczniki.h"
#include "base/StronyKodowe.h"
#include "base/Teksty.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "app/untKatalog.h"
#include "app/untKatalogDodaj.h"
#include "sys/drives.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

namespace {

// A folder of the test's own holding:
//   Program Files\Zelpax\Dane    (Zelpax has a subfolder)
//   Program Files\Pusty\plik.txt (a folder with a file only)
//   plik.txt
class DrzewoTestowe : public pomocnicy::KatalogTymczasowy {
public:
    DrzewoTestowe() : KatalogTymczasowy("velt-katalog") {
        for (const char* k : {"Program Files", "Program Files\\Zelpax", "Program Files\\Zelpax\\Dane",
                              "Program Files\\Pusty"})
            EXPECT_TRUE(sys::CreateFolder(*this / k)) << k;
        EXPECT_TRUE(sys::WriteWholeFile(*this / "plik.txt", "x"));
        EXPECT_TRUE(sys::WriteWholeFile(*this / "Program Files\\Pusty\\plik.txt", "x"));
    }
};

class Katalog : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = std::make_unique<ui::Application>(backend_);
        glowne_ = &app_->CreateForm<ui::Form>("frmMain");
        glowne_->SetBorderStyle(ui::BorderStyle::Single);
        glowne_->SetBounds(100, 60, 600, 420);
        glowne_->Show();
        frmKatalog = &app_->CreateForm<TfrmKatalog>();
        frmKatalogDodaj = &app_->CreateForm<TfrmKatalogDodaj>();
        frmPytanie = &app_->CreateForm<TfrmPytanie>();
        for (std::uint8_t j : {JezykPolski}) {
            frmKatalog->UstawJezyk(j);
            frmKatalogDodaj->UstawJezyk(j);
            frmPytanie->UstawJezyk(j);
        }
        siec_ = SiecDozwolona;
        SiecDozwolona = false;
        // Every modal form goes to the handler that the test sets for it.
        backend_.SetModalHandler([this](ui::Form& f) {
            if (&f == frmKatalog && naKatalog_) naKatalog_();
            else if (&f == frmKatalogDodaj && naDodaj_) naDodaj_();
            else if (&f == frmPytanie) {
                pytania_.push_back(frmPytanie->lblPytanie.Caption());
                frmPytanie->btnTak.Click();
            }
        });
    }
    void TearDown() override {
        SiecDozwolona = siec_;
        app_->DestroyForms();
        app_.reset();
        frmKatalog = nullptr;
        frmKatalogDodaj = nullptr;
        frmPytanie = nullptr;
    }

    // Shows the chooser as WybierzKatalog does, without a modal loop.
    TfrmKatalog& Pokaz(const std::string& sciezka) {
        frmKatalog->edtKatalog.SetText(sciezka);
        frmKatalog->FormShow();
        return *frmKatalog;
    }
    static std::string Wybrany() { return TfrmKatalog::SciezkaWezla(frmKatalog->trvKatalog.Selected()); }
    static ui::TreeNode* Wezel(const std::string& sciezka) {
        ui::TreeNode* wynik = nullptr;
        frmKatalog->trvKatalog.ForEach([&](ui::TreeNode& w) {
            if (TfrmKatalog::SciezkaWezla(&w) == sciezka) wynik = &w;
        });
        return wynik;
    }
    // What the new-folder dialog does when shown: type `nazwa` and confirm.
    void WpiszNazwe(const std::string& nazwa) {
        naDodaj_ = [nazwa] {
            EXPECT_EQ(frmKatalogDodaj->edtDodaj.Text(), "") << "emptied on every showing";
            EXPECT_FALSE(frmKatalogDodaj->btnDodaj.Enabled());
            EXPECT_TRUE(frmKatalogDodaj->edtDodaj.Focused());
            frmKatalogDodaj->edtDodaj.UserEdited(nazwa);
            frmKatalogDodaj->btnDodaj.Click();
        };
    }

    ui::headless::HeadlessBackend backend_;
    std::unique_ptr<ui::Application> app_;
    ui::Form* glowne_ = nullptr;
    std::function<void()> naKatalog_;
    std::function<void()> naDodaj_;
    std::vector<std::string> pytania_;
    bool siec_ = false;
};

// A letter that names no drive, or 0.
char WolnaLitera() {
    const std::uint32_t zajete = sys::LogicalDrives();
    for (int n = 25; n >= 3; --n)
        if ((zajete & (1u << n)) == 0) return static_cast<char>('A' + n);
    return 0;
}

TEST_F(Katalog, PathOfANode) {
    ui::TreeView& t = frmKatalog->trvKatalog;
    ui::TreeNode& c = t.AddChild(nullptr, "C:\\");
    ui::TreeNode& pf = t.AddChild(&c, "Program Files");
    ui::TreeNode& przyklad = t.AddChild(&pf, "Example");
    ui::TreeNode& bezUkosnika = t.AddChild(nullptr, "D:");
    struct Przypadek {
        const ui::TreeNode* wezel;
        const char* sciezka;
    };
    for (const Przypadek& p : {Przypadek{&c, "C:\\"}, Przypadek{&pf, "C:\\Program Files"},
                               Przypadek{&przyklad, "C:\\Program Files\\Example"},
                               Przypadek{&bezUkosnika, "D:\\"}, Przypadek{nullptr, ""}})
        EXPECT_EQ(TfrmKatalog::SciezkaWezla(p.wezel), p.sciezka);
}

TEST_F(Katalog, RootsAreTheFixedDrivesInUpperCase) {
    for (const bool siec : {false, true}) {
        SiecDozwolona = siec;
        frmKatalog->WczytajDyski();
        std::vector<std::string> oczekiwane;
        for (const std::string& k : sys::LogicalDriveRoots()) {
            const sys::DriveKind typ = sys::DriveType(k);
            if (typ == sys::DriveKind::Fixed || (siec && typ == sys::DriveKind::Remote))
                oczekiwane.push_back(NaDuze(k));
        }
        std::vector<std::string> korzenie;
        for (std::size_t i = 0; i < frmKatalog->trvKatalog.Count(); ++i) {
            const ui::TreeNode* w = frmKatalog->trvKatalog.Item(i);
            korzenie.push_back(w->Text());
            EXPECT_EQ(w->ImageIndex(), 0);
            EXPECT_EQ(w->Count(), 0u) << "read only when selected";
        }
        EXPECT_EQ(korzenie, oczekiwane);
        EXPECT_NE(std::find(korzenie.begin(), korzenie.end(), "C:\\"), korzenie.end());
        EXPECT_NE(std::find(korzenie.begin(), korzenie.end(), "Z:\\"), korzenie.end()) << "Wine's Unix root";
    }
}

TEST_F(Katalog, ExpandButtonsOnlyWhereThereAreSubfolders) {
    DrzewoTestowe d;
    Pokaz(d.Sciezka());
    ASSERT_EQ(Wybrany(), d.Sciezka());
    ui::TreeNode* baza = frmKatalog->trvKatalog.Selected();
    ASSERT_EQ(baza->Count(), 1u) << "the file is no node";
    ui::TreeNode* pf = baza->Item(0);
    EXPECT_EQ(pf->Text(), "Program Files");
    EXPECT_TRUE(pf->HasChildren());
    EXPECT_EQ(pf->Count(), 0u) << "not read before it is opened";
    EXPECT_EQ(pf->ImageIndex(), 1);
    EXPECT_EQ(pf->SelectedIndex(), 2);

    // Opening with the expand button reads the folder.
    pf->Expand();
    ASSERT_EQ(pf->Count(), 2u);
    for (std::size_t i = 0; i < pf->Count(); ++i) {
        const ui::TreeNode* w = pf->Item(i);
        EXPECT_EQ(w->HasChildren(), w->Text() == "Zelpax") << w->Text();
    }
}

TEST_F(Katalog, NodeIsReadOnce) {
    DrzewoTestowe d;
    Pokaz(d / "Program Files");
    ui::TreeNode* pf = frmKatalog->trvKatalog.Selected();
    ASSERT_EQ(Wybrany(), d / "Program Files");
    ASSERT_EQ(pf->Count(), 2u);
    ASSERT_TRUE(sys::CreateFolder(d / "Program Files\\Nowszy"));
    frmKatalog->trvKatalog.UserSelected(pf->Parent());
    frmKatalog->trvKatalog.UserSelected(pf);
    EXPECT_EQ(pf->Count(), 2u) << "later changes on disk show on the next showing";
    Pokaz(d / "Program Files");
    EXPECT_EQ(frmKatalog->trvKatalog.Selected()->Count(), 3u);
}

TEST_F(Katalog, WalksTheTypedPath) {
    DrzewoTestowe d;
    const char wolna = WolnaLitera();
    ASSERT_NE(wolna, 0);
    struct Przypadek {
        std::string wpisana;
        std::string wybrana;  // "" for no selection
    };
    const Przypadek przypadki[] = {
        {d / "Program Files\\Zelpax", d / "Program Files\\Zelpax"},
        // Letter case does not matter; the nodes keep the folders' own.
        {NaDuze(d / "program files\\zelpax\\dane"), d / "Program Files\\Zelpax\\Dane"},
        {NaMale(d / "Program Files\\"), d / "Program Files"},
        // A tail that does not exist yet stays typed; the existing part is selected.
        {d / "Program Files\\Example", d / "Program Files"},
        {d / "Program Files\\Example\\Dane", d / "Program Files"},
        // The walk stops where the path leaves the tree, even when a later
        // component has a namesake elsewhere.
        {d / "Program Files\\Brak\\Pusty", d / "Program Files"},
        {d / "Program Files\\\\Zelpax", d / "Program Files"},
        {"C:\\", "C:\\"},
        {"c:", ""},
        {std::string(1, wolna) + ":\\Program Files\\VeltAng", ""},
        {"\\\\serwer\\udzial\\katalog", ""},
        {"", ""},
    };
    for (const Przypadek& p : przypadki) {
        Pokaz(p.wpisana);
        EXPECT_EQ(Wybrany(), p.wybrana) << p.wpisana;
        EXPECT_EQ(frmKatalog->edtKatalog.Text(), p.wpisana);
        EXPECT_EQ(frmKatalog->btnUtworz.Enabled(), !p.wybrana.empty()) << p.wpisana;
        EXPECT_FALSE(frmKatalog->Zajety);
        // The existing components were read on the way and their parents opened.
        if (const ui::TreeNode* w = frmKatalog->trvKatalog.Selected()) {
            for (const ui::TreeNode* r = w->Parent(); r != nullptr; r = r->Parent()) {
                EXPECT_TRUE(r->Expanded()) << r->Text();
                EXPECT_GT(r->Count(), 0u);
            }
        }
    }
}

TEST_F(Katalog, ResultOfTheDialog) {
    DrzewoTestowe d;
    const std::string start = d / "Program Files\\VeltAng";
    struct Przypadek {
        const char* nazwa;
        std::function<void()> uzytkownik;
        std::string wynik;
    };
    const Przypadek przypadki[] = {
        {"cancel", [] { frmKatalog->btnAnuluj.Click(); }, start},
        {"close box", [] {}, start},
        {"OK as shown", [] { frmKatalog->btnOK.Click(); }, start},
        {"typed path",
         [] {
             frmKatalog->edtKatalog.UserEdited("D:\\Inny");
             frmKatalog->PressDefault();
         },
         "D:\\Inny"},
        {"picked node",
         [&] {
             ui::TreeNode* w = Wezel(d / "Program Files\\Pusty");
             ASSERT_NE(w, nullptr);
             frmKatalog->trvKatalog.UserSelected(w);
             frmKatalog->btnOK.Click();
         },
         d / "Program Files\\Pusty"},
        {"picked, then cancelled",
         [] {
             frmKatalog->trvKatalog.UserSelected(frmKatalog->trvKatalog.FirstNode());
             EXPECT_EQ(frmKatalog->edtKatalog.Text(), "C:\\");
             frmKatalog->PressCancel();
         },
         start},
    };
    for (const Przypadek& p : przypadki) {
        naKatalog_ = p.uzytkownik;
        EXPECT_EQ(frmKatalog->WybierzKatalog(start), p.wynik) << p.nazwa;
    }
}

TEST_F(Katalog, CreatesAFolderUnderTheSelectedNode) {
    DrzewoTestowe d;
    struct Przypadek {
        std::string nazwa;  // Windows-1250
        bool powstaje;
    };
    const Przypadek przypadki[] = {
        {"Nowy", true},
        {"Żółw i ślimak"_cp1250, true},  // Polish letters reach the disk as typed
        {"Zelpax", false},                    // exists
        {"ZELPAX", false},                    // exists, in another case
        {"a\\b", false},                      // one name, not a path
        {"Zelpax\\Nowy", false},
        {"c:x", false},
        {"a*b", false},
        {"Kropka.", false},  // the system would make "Kropka"
        {"Spacja ", false},
    };
    for (const Przypadek& p : przypadki) {
        Pokaz(d / "Program Files");
        ui::TreeNode* pf = frmKatalog->trvKatalog.Selected();
        ASSERT_NE(pf, nullptr);
        const std::size_t dzieci = pf->Count();
        pytania_.clear();
        WpiszNazwe(p.nazwa);
        frmKatalog->btnUtworz.Click();
        const std::string nowa = d / ("Program Files\\" + p.nazwa);
        if (p.powstaje) {
            EXPECT_TRUE(sys::FolderExists(nowa)) << p.nazwa;
            EXPECT_EQ(frmKatalog->edtKatalog.Text(), nowa);
            EXPECT_EQ(Wybrany(), nowa);
            EXPECT_EQ(pf->Count(), dzieci + 1);
            EXPECT_EQ(frmKatalog->trvKatalog.Selected()->ImageIndex(), 1);
            EXPECT_EQ(frmKatalog->trvKatalog.Selected()->SelectedIndex(), 2);
            EXPECT_TRUE(pytania_.empty());
        } else {
            ASSERT_EQ(pytania_.size(), 1u) << p.nazwa;
            EXPECT_EQ(pytania_[0], "Nie można utworzyć katalogu \""_cp1250 + p.nazwa + "\".");
            EXPECT_EQ(frmKatalog->edtKatalog.Text(), d / "Program Files");
            EXPECT_EQ(Wybrany(), d / "Program Files");
            EXPECT_EQ(pf->Count(), dzieci);
            EXPECT_FALSE(sys::FolderExists(d / "Program Files\\Zelpax\\Nowy"));
        }
    }
    EXPECT_FALSE(sys::FolderExists(d / "Program Files\\Kropka"));
    EXPECT_FALSE(sys::FolderExists(d / "Program Files\\Spacja"));
}

TEST_F(Katalog, CancelledNameCreatesNothing) {
    DrzewoTestowe d;
    Pokaz(d / "Program Files");
    const std::size_t dzieci = frmKatalog->trvKatalog.Selected()->Count();
    naDodaj_ = [] {
        frmKatalogDodaj->edtDodaj.UserEdited("Nowy");
        EXPECT_TRUE(frmKatalogDodaj->btnDodaj.Enabled());
        frmKatalogDodaj->edtDodaj.UserEdited("");
        EXPECT_FALSE(frmKatalogDodaj->btnDodaj.Enabled());
        frmKatalogDodaj->edtDodaj.UserEdited("Nowy");
        frmKatalogDodaj->PressCancel();
    };
    frmKatalog->btnUtworz.Click();
    EXPECT_FALSE(sys::FolderExists(d / "Program Files\\Nowy"));
    EXPECT_EQ(frmKatalog->trvKatalog.Selected()->Count(), dzieci);
    EXPECT_TRUE(pytania_.empty());
    // Enter does nothing while the box is empty.
    naDodaj_ = [] { frmKatalogDodaj->PressDefault(); };
    frmKatalog->btnUtworz.Click();
    EXPECT_EQ(frmKatalog->trvKatalog.Selected()->Count(), dzieci);
}

TEST_F(Katalog, CaptionsFollowTheLanguage) {
    struct Przypadek {
        std::uint8_t jezyk;
        const char* tytul;
        const char* nowy;
        const char* anuluj;
        const char* tytulDodaj;
        const char* dodaj;
        const char* anulujDodaj;
    };
    for (const Przypadek& p : {
             Przypadek{JezykPolski, "Wybierz katalog", "Nowy katalog", "Anuluj", "Nowy katalog", "Utwórz"_cp1250, "Anuluj"},
             Przypadek{JezykAngielski, "Select directory", "New folder", "Cancel", "New folder", "Create", "Cancel"},
             Przypadek{JezykNiemiecki, "Ordner wählen"_cp1252, "Neuer Ordner", "Abbrechen", "Neuer Ordner", "Erstellen",
                       "Abbrechen"},
         }) {
        frmKatalog->UstawJezyk(p.jezyk);
        frmKatalogDodaj->UstawJezyk(p.jezyk);
        EXPECT_EQ(frmKatalog->Jezyk, p.jezyk);
        EXPECT_EQ(frmKatalog->Caption(), p.tytul);
        EXPECT_EQ(frmKatalog->btnOK.Caption(), "OK");
        EXPECT_EQ(frmKatalog->btnAnuluj.Caption(), p.anuluj);
        EXPECT_EQ(frmKatalog->btnUtworz.Caption(), p.nowy);
        EXPECT_EQ(frmKatalogDodaj->Caption(), p.tytulDodaj);
        EXPECT_EQ(frmKatalogDodaj->btnDodaj.Caption(), p.dodaj);
        EXPECT_EQ(frmKatalogDodaj->btnAnuluj.Caption(), p.anulujDodaj);
    }
    // A caption given by the caller wins; none gives the language's text.
    naKatalog_ = [] {};
    sys::Ignore(frmKatalog->WybierzKatalog("C:\\", "Inny tytuł"_cp1250), "only the caption matters");
    EXPECT_EQ(frmKatalog->Caption(), "Inny tytuł"_cp1250);
    sys::Ignore(frmKatalog->WybierzKatalog("C:\\"), "only the caption matters");
    EXPECT_EQ(frmKatalog->Caption(), "Ordner wählen"_cp1252);

    // The Russian font does not turn the paths into Cyrillic.
    frmKatalog->UstawJezyk(JezykRosyjski);
    frmKatalogDodaj->UstawJezyk(JezykRosyjski);
    EXPECT_EQ(frmKatalog->Font().Charset, 204);
    EXPECT_EQ(frmKatalog->edtKatalog.TextCodePage(), 1250u);
    EXPECT_EQ(frmKatalog->trvKatalog.TextCodePage(), 1250u);
    EXPECT_EQ(frmKatalogDodaj->edtDodaj.TextCodePage(), 1250u);
}

TEST_F(Katalog, DialogsSitOverTheMainWindow) {
    ui::Rect katalog, dodaj;
    naKatalog_ = [&] {
        katalog = frmKatalog->Bounds();
        naDodaj_ = [&] { dodaj = frmKatalogDodaj->Bounds(); };
        frmKatalog->btnUtworz.Click();
    };
    sys::Ignore(frmKatalog->WybierzKatalog("C:\\"), "only the placement matters");
    const ui::Rect g = glowne_->Bounds();
    for (const ui::Rect& r : {katalog, dodaj}) {
        EXPECT_GT(r.Width, 0);
        EXPECT_EQ(r.Left, g.Left + (g.Width - r.Width) / 2);
        EXPECT_EQ(r.Top, g.Top + (g.Height - r.Height) / 2);
    }
    EXPECT_EQ(frmKatalog->BorderStyle(), ui::BorderStyle::Single);
    EXPECT_EQ(frmKatalog->BorderIcons(), (ui::BorderIcons{true, false, false}));
    EXPECT_EQ(frmKatalogDodaj->BorderIcons(), (ui::BorderIcons{false, false, false}));
}

}  // namespace
