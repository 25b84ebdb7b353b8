// The wizard's forms driven through the headless backend, under Wine (the
// forms read the real registry, files and locale).

#include "base/Przelaczniki.h"
#include "base/StronyKodowe.h"
#include "base/Teksty.h"
#include "app/Nienadzorowana.h"
#include "app/WierszPolecen.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "setup/Opcje.h"
#include "base/Wydania.h"
#include "app/untCD.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/security.h"
#include "sys/text.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"
#include "Formularze.h"

#include <aclapi.h>
#include <sddl.h>

#include <memory>

namespace {

const std::string kTytul = "Velt 1.5 Translator angielsko-polski";

// A folder standing in for the CD root.
class KatalogTestowy : public pomocnicy::KatalogTymczasowy {
public:
    KatalogTestowy() : KatalogTymczasowy("velt-kreator") {}
    void Zapisz(const std::string& nazwa, std::string_view tresc) {
        EXPECT_TRUE(sys::WriteWholeFile(*this / nazwa, tresc));
    }
    // With a trailing backslash, as the wizard keeps the medium's root.
    std::string Korzen() const { return Sciezka() + "\\"; }
};

class Kreator : public Formularze<ui::headless::HeadlessBackend> {
protected:
    // Shows the wizard with the medium already known, as after the CD dialog.
    TfrmMain& Pokaz(const std::string& zrodlo) {
        frmMain->KatalogZrodlowy = zrodlo;
        app->Run(*frmMain);
        return *frmMain;
    }
    // The same, moved on to the options page with the agreement accepted.
    TfrmMain& PokazOpcje(const std::string& zrodlo) {
        TfrmMain& m = Pokaz(zrodlo);
        m.rdbUmowaAkceptuje.SetChecked(true);
        m.btnDalej.Click();
        m.btnDalej.Click();
        return m;
    }
};

TEST_F(Kreator, StartsInPolishOnTheFirstPage) {
    KatalogTestowy cd;
    TfrmMain& m = Pokaz(cd.Korzen());
    EXPECT_EQ(m.JezykInterfejsu, 0);
    EXPECT_EQ(m.Caption(), kTytul + " - Instalator");
    EXPECT_EQ(m.lblTytul.Caption(), kTytul + " - Instalacja");
    EXPECT_EQ(m.lblKrok.Caption(), "Krok 1 z 5: Wstęp"_cp1250);
    EXPECT_EQ(m.Strona, StronaWstep);
    EXPECT_TRUE(m.btnDalej.Enabled());
    EXPECT_FALSE(m.btnWstecz.Enabled());
    EXPECT_TRUE(m.btnPolski.Visible() && m.btnPolski.Down());
    EXPECT_TRUE(m.btnAngielski.Visible());
    for (auto* b : {&m.btnNiemiecki, &m.btnFrancuski, &m.btnWloski}) EXPECT_FALSE(b->Visible()) << b->Name();
    EXPECT_FALSE(m.chbSkrotyAllUsers.Visible()) << "never for this edition";
    EXPECT_EQ(m.ZrodloPlikow + "\\", cd.Korzen());
    EXPECT_NE(m.lblKatalog.Caption().find("\\VeltAng"), std::string::npos);
}

TEST_F(Kreator, LanguageButtonsSwitchEveryCaption) {
    KatalogTestowy cd;
    TfrmMain& m = Pokaz(cd.Korzen());
    m.btnAngielski.Click();
    EXPECT_EQ(m.JezykInterfejsu, 1);
    EXPECT_EQ(m.Caption(), kTytul + " - Installer");
    EXPECT_EQ(m.btnZamknij.Caption(), "Close");
    EXPECT_EQ(m.lblKrok.Caption(), "Step 1 of 5: Intro");
    EXPECT_EQ(frmPytanie->btnTak.Caption(), "Yes");
    EXPECT_EQ(frmCD->btnAnuluj.Caption(), "Cancel");
    // A click on the language already shown releases its button and changes
    // nothing.
    m.btnAngielski.Click();
    EXPECT_EQ(m.JezykInterfejsu, 1);
    EXPECT_EQ(m.btnZamknij.Caption(), "Close");
    m.btnPolski.Click();
    EXPECT_EQ(m.btnZamknij.Caption(), "Zamknij");
}

TEST_F(Kreator, AgreementMustBeAccepted) {
    KatalogTestowy cd;
    cd.Zapisz("UmowaPol.txt", "Umowa\r\nŁódź"_cp1250);
    TfrmMain& m = Pokaz(cd.Korzen());
    m.btnDalej.Click();
    ASSERT_EQ(m.Strona, StronaUmowa);
    EXPECT_EQ(m.lblKrok.Caption(), "Krok 2 z 5: Umowa licencyjna");
    EXPECT_FALSE(m.btnDalej.Enabled());
    EXPECT_TRUE(m.btnWstecz.Enabled());
    m.rdbUmowaAkceptuje.Click();
    EXPECT_TRUE(m.btnDalej.Enabled());
    m.rdbUmowaNieAkceptuje.Click();
    EXPECT_FALSE(m.btnDalej.Enabled());
    m.rdbUmowaAkceptuje.Click();
    m.btnDalej.Click();
    ASSERT_EQ(m.Strona, StronaOpcje);
    EXPECT_EQ(m.lblKrok.Caption(), "Krok 3 z 5: Opcje instalacji");
    m.btnWstecz.Click();
    EXPECT_EQ(m.Strona, StronaUmowa);
    EXPECT_TRUE(m.btnDalej.Enabled()) << "the acceptance stays";
    // The language buttons live on the first page.
    m.btnAngielski.Click();
    EXPECT_EQ(m.JezykInterfejsu, 0);
    m.btnWstecz.Click();
    m.btnAngielski.Click();
    m.btnDalej.Click();
    m.btnDalej.Click();
    EXPECT_EQ(m.lblKrok.Caption(), "Step 3 of 5: Installation options");
    EXPECT_TRUE(m.btnDalej.Enabled());
}

TEST_F(Kreator, AgreementLinesEndWithLineBreaks) {
    KatalogTestowy cd;
    // Polish only: the English interface shows it too. The last line has no
    // line break and still shows; every line gets one.
    cd.Zapisz("UmowaPol.txt", "Umowa licencyjna\r\n\r\nŁódź i święty"_cp1250);
    TfrmMain& m = Pokaz(cd.Korzen());
    m.btnAngielski.Click();
    m.btnDalej.Click();
    EXPECT_EQ(m.redUmowa.Text(), "Umowa licencyjna\r\n\r\nŁódź i święty\r\n"_cp1250);
    EXPECT_TRUE(m.redUmowa.ReadOnly());
    EXPECT_EQ(m.redUmowa.SelStart(), 0u);
    // The Polish letters carry the Central European character set.
    EXPECT_EQ(m.redUmowa.CharsetAt(20), 238);
}

TEST_F(Kreator, CloseAsksOnTheFirstPages) {
    KatalogTestowy cd;
    TfrmMain& m = Pokaz(cd.Korzen());
    std::string pytanie;
    int odpowiedz = ui::mrNo;
    backend.SetModalHandler([&](ui::Form& f) {
        pytanie = frmPytanie->lblPytanie.Caption();
        f.SetModalResult(odpowiedz);
    });
    m.btnZamknij.Click();
    EXPECT_EQ(pytanie, PobierzTekst(0, TekstCzyPrzerwacInstalacje));
    EXPECT_FALSE(app->Terminated());
    EXPECT_EQ(m.Strona, StronaWstep);
    odpowiedz = ui::mrYes;
    m.btnZamknij.Click();
    EXPECT_TRUE(app->Terminated());
}

TEST_F(Kreator, CancelledCdDialogClosesTheWizard) {
    int pokazy = 0;
    backend.SetModalHandler([&](ui::Form& f) {
        ++pokazy;
        EXPECT_EQ(&f, frmCD);
        // The dialog's flag switches the whole wizard.
        frmCD->btnAngielski.Click();
        f.SetModalResult(ui::mrCancel);
    });
    Pokaz("");
    EXPECT_EQ(pokazy, 1);
    EXPECT_TRUE(app->Terminated());
    EXPECT_EQ(frmMain->KatalogZrodlowy, "");
    EXPECT_EQ(frmMain->JezykInterfejsu, 1);
    EXPECT_EQ(frmCD->btnOK.Caption(), "OK");
    EXPECT_EQ(frmCD->Caption(), kTytul + " - Instalator");
}

TEST_F(Kreator, CdDialogRepeatsUntilAnAcceptableDrive) {
    // OK with no drive chosen (as with no CD-ROM drive at all) accepts
    // nothing, and the dialog comes back, with its list read anew, until the
    // user cancels.
    int pokazy = 0;
    backend.SetModalHandler([&](ui::Form& f) {
        frmCD->cmbDrive.SetItemIndex(-1);
        f.SetModalResult(++pokazy < 3 ? ui::mrOk : ui::mrCancel);
    });
    Pokaz("");
    EXPECT_EQ(pokazy, 3);
    EXPECT_TRUE(app->Terminated());
}

TEST_F(Kreator, OptionsPageShowsRequiredAndFreeSpace) {
    KatalogTestowy cd;
    cd.Zapisz("UmowaPol.txt", "Umowa");            // the wizard's own: not counted
    cd.Zapisz("Velt.hlp", std::string(1000, 'h'));
    cd.Zapisz("lexoren.exe", std::string(3000, 'd'));  // a dictionary program
    cd.Zapisz("lexorpl.dat", std::string(500, 'd'));   // a dictionary data file
    cd.Zapisz("angpol.dat", std::string(700, 'x'));    // the edition's own skip list
    TfrmMain& m = PokazOpcje(cd.Korzen());
    ASSERT_EQ(m.Strona, StronaOpcje);
    EXPECT_EQ(m.MiejsceWymagane, 1000 + 3000 + 500 + kMiejsceNaZasoby);
    EXPECT_GT(m.MiejsceWolne, 0);
    EXPECT_EQ(m.lblMiejsceWolne.Font().Colour, ui::clWindowText);
    EXPECT_EQ(m.lblMiejsceWymagane.Caption().rfind("Miejsce potrzebne do instalacji: 2", 0), 0u)
        << m.lblMiejsceWymagane.Caption();
    EXPECT_NE(m.lblMiejsceWymagane.Caption().find(" MB"), std::string::npos);

    m.chbInstalujSlowniki.Click();
    EXPECT_EQ(m.MiejsceWymagane, 1000 + kMiejsceNaZasoby) << "the dictionaries are left out";
    m.chbInstalujSlowniki.Click();
    EXPECT_EQ(m.MiejsceWymagane, 1000 + 3000 + 500 + kMiejsceNaZasoby);
}

TEST_F(Kreator, TargetOnMissingDriveCannotBeCreated) {
    KatalogTestowy cd;
    TfrmMain& m = PokazOpcje(cd.Korzen());
    m.lblKatalog.SetCaption("Q:\\Łódź"_cp1250);
    m.KatalogDocelowy = m.lblKatalog.Caption();
    EXPECT_FALSE(m.SprawdzWolneMiejsce());
    EXPECT_EQ(m.lblMiejsceWolne.Font().Colour, ui::clRed);
    std::vector<std::string> pytania;
    backend.SetModalHandler([&](ui::Form& f) {
        pytania.push_back(frmPytanie->lblPytanie.Caption());
        EXPECT_FALSE(frmPytanie->btnNie.Visible()) << "a message, not a question";
        f.SetModalResult(ui::mrYes);
    });
    EXPECT_FALSE(m.SprawdzOpcje());
    ASSERT_EQ(pytania.size(), 1u);
    EXPECT_EQ(pytania[0], "Nie można utworzyć katalogu \"Q:\\Łódź\".\r\nWybierz inny katalog."_cp1250);
    EXPECT_TRUE(m.UtworzoneKatalogi.empty());
}

// The owner and DACL of `sciezka` as SDDL; empty when they cannot be read.
std::wstring Deskryptor(const std::string& sciezka) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    const SECURITY_INFORMATION co = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    if (GetNamedSecurityInfoW(sys::ToWide(sciezka).c_str(), SE_FILE_OBJECT, co, nullptr, nullptr, nullptr, nullptr,
                              &sd) != ERROR_SUCCESS)
        return {};
    LPWSTR tekst = nullptr;
    std::wstring wynik;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1, co, &tekst, nullptr)) wynik = tekst;
    LocalFree(tekst);
    LocalFree(sd);
    return wynik;
}

TEST_F(Kreator, ValidationCreatesTheTargetFolder) {
    KatalogTestowy cd;
    TfrmMain& m = PokazOpcje(cd.Korzen());
    const std::string cel = cd.Korzen() + "Cel";
    m.lblKatalog.SetCaption(cel);
    backend.SetModalHandler([&](ui::Form&) { ADD_FAILURE() << frmPytanie->lblPytanie.Caption(); });
    EXPECT_TRUE(m.SprawdzOpcje());
    EXPECT_TRUE(sys::FolderExists(cel));
    ASSERT_EQ(m.UtworzoneKatalogi, std::vector<std::string>{cel});
    // For administrators alone, whatever the folder above lets others do.
    const std::string wzor = cd.Korzen() + "Wzor";
    ASSERT_TRUE(sys::CreateAdminFolder(wzor));
    EXPECT_FALSE(Deskryptor(cel).empty());
    EXPECT_EQ(Deskryptor(cel), Deskryptor(wzor));
    EXPECT_TRUE(m.SprawdzOpcje()) << "an existing folder is fine";
    EXPECT_EQ(m.UtworzoneKatalogi.size(), 1u) << "and is not listed again";
    EXPECT_TRUE(sys::RemoveFolder(cel));
}

// Edition 3 offers no all-users box: /ALLUSERS and the system account (the
// seam that plays it, as Wine runs everything as one account) decide alone.
TEST_F(Kreator, AllUsersComeFromTheSwitchOrTheSystemAccount) {
    KatalogTestowy cd;
    TfrmMain& m = PokazOpcje(cd.Korzen());
    m.lblKatalog.SetCaption(cd.Korzen() + "Cel");
    const struct {
        bool konto, przelacznik, wszyscy;
    } przypadki[] = {{false, false, false}, {true, false, true}, {false, true, true}};
    for (const auto& p : przypadki) {
        KontoSystemowe = p.konto;
        PrzelacznikiWiersza.DlaWszystkich = p.przelacznik;
        EXPECT_TRUE(m.SprawdzOpcje());
        EXPECT_EQ(SkrotyDlaWszystkich, p.wszyscy) << p.konto << p.przelacznik;
        EXPECT_FALSE(m.chbSkrotyAllUsers.Visible()) << "the page stays as the edition has it";
    }
    KontoSystemowe = PrzelacznikiWiersza.DlaWszystkich = SkrotyDlaWszystkich = false;
    EXPECT_TRUE(sys::RemoveFolder(cd.Korzen() + "Cel"));
}

// A target that others may change, or one made in a folder where they may
// rename it, is named in a question: No stays on the page, leaving nothing
// made; Yes goes on.
TEST_F(Kreator, TargetOthersMayChangeIsAsked) {
    KatalogTestowy cd;
    TfrmMain& m = PokazOpcje(cd.Korzen());
    const std::string otwarty = cd.Korzen() + "Otwarty";
    ASSERT_TRUE(sys::CreateFolder(otwarty));
    ASSERT_TRUE(pomocnicy::OtworzDlaWszystkich(otwarty));
    for (const std::string& cel : {otwarty, otwarty + "\\Velt"}) {
        SCOPED_TRACE(cel);
        m.lblKatalog.SetCaption(cel);
        for (const int odpowiedz : {ui::mrNo, ui::mrYes}) {
            std::vector<std::string> pytania;
            backend.SetModalHandler([&](ui::Form& f) {
                pytania.push_back(frmPytanie->lblPytanie.Caption());
                f.SetModalResult(odpowiedz);
            });
            m.UtworzoneKatalogi.clear();
            EXPECT_EQ(m.SprawdzOpcje(), odpowiedz == ui::mrYes);
            EXPECT_EQ(pytania, std::vector<std::string>{"Użytkownicy bez uprawnień administratora mogą zmieniać "
                                                        "katalog \""_cp1250 + otwarty +
                                                        "\" i zainstalowane w nim programy. Czy mimo to "
                                                        "kontynuować?"_cp1250});
            EXPECT_EQ(sys::FolderExists(cel), cel == otwarty || odpowiedz == ui::mrYes);
            EXPECT_EQ(m.UtworzoneKatalogi.size(), cel != otwarty && odpowiedz == ui::mrYes ? 1u : 0u);
        }
    }
}

TEST(JestProgramNaDysku, NeedsProgramAndAgreement) {
    KatalogTestowy cd;
    EXPECT_FALSE(JestProgramNaDysku(""));
    EXPECT_FALSE(JestProgramNaDysku(cd.Korzen()));
    cd.Zapisz("VeltPl2.exe", "MZ");
    EXPECT_FALSE(JestProgramNaDysku(cd.Korzen()));
    cd.Zapisz("UmowaPol.txt", "Umowa");
    EXPECT_TRUE(JestProgramNaDysku(cd.Korzen()));
}

class Pytanie : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = std::make_unique<ui::Application>(backend_);
        wlasciciel_ = &app_->CreateForm<TfrmMain>();
        pytanie_ = &app_->CreateForm<TfrmPytanie>();
        pytanie_->UstawJezyk(0);
        wlasciciel_->SetBounds(100, 100, 629, 375);
        backend_.SetModalHandler([this](ui::Form& f) {
            szerokosc_ = f.ClientWidth();
            wysokosc_ = f.ClientHeight();
            lewo_ = f.Left();
            f.PressCancel();  // Esc: the kinds decide whether it answers
            if (f.ModalResult() == ui::mrNone) pytanie_->btnTak.Click();
        });
    }
    void TearDown() override {
        app_->DestroyForms();
        app_.reset();
    }
    ui::headless::HeadlessBackend backend_;
    std::unique_ptr<ui::Application> app_;
    TfrmMain* wlasciciel_ = nullptr;
    TfrmPytanie* pytanie_ = nullptr;
    int szerokosc_ = 0, wysokosc_ = 0, lewo_ = 0;
};

TEST_F(Pytanie, OneWordMessageIsAsWideAsItsButton) {
    EXPECT_EQ(Zapytaj(*pytanie_, *wlasciciel_, "Uwaga", PytanieOK), ui::mrYes) << "Esc does nothing, OK answers";
    EXPECT_EQ(szerokosc_, 16 + 97 + 16);
    EXPECT_EQ(pytanie_->btnTak.Left(), 16);
    EXPECT_EQ(lewo_, 100 + (629 - pytanie_->Width()) / 2);
    EXPECT_FALSE(pytanie_->btnNie.Visible());
    // The captions that the kind overwrote come back for the next call.
    EXPECT_EQ(pytanie_->btnTak.Caption(), "Tak");
    EXPECT_EQ(Zapytaj(*pytanie_, *wlasciciel_, "Czy?", PytanieTakNie), ui::mrNo) << "Esc answers no";
    EXPECT_TRUE(pytanie_->btnNie.Visible());
    EXPECT_EQ(pytanie_->btnNie.Left(), pytanie_->btnTak.Left() + 97 + 8);
    // A question that may be put off: Esc answers neither, on the same two
    // buttons, and the next kind's Esc is its own again.
    EXPECT_EQ(Zapytaj(*pytanie_, *wlasciciel_, "Czy?", PytanieTakNieOdloz), ui::mrCancel) << "Esc puts it off";
    EXPECT_TRUE(pytanie_->btnNie.Visible());
    EXPECT_FALSE(pytanie_->btnAnuluj.Visible());
    EXPECT_EQ(Zapytaj(*pytanie_, *wlasciciel_, "Uwaga", PytanieOK), ui::mrYes) << "Esc does nothing again";
}

TEST_F(Pytanie, LongTextWrapsAndGrowsInHeight) {
    const std::string dlugi(30, 'x');
    std::string tekst;
    for (int i = 0; i < 12; ++i) tekst += dlugi + " ";
    EXPECT_EQ(Zapytaj(*pytanie_, *wlasciciel_, tekst, PytanieTakNieAnuluj), ui::mrCancel);
    EXPECT_LE(szerokosc_, 16 + 400 + 16);
    EXPECT_GT(szerokosc_, 16 + 300 + 16);
    const int jednaLinia = 2 * 16 + 13 + 25 + 8;
    EXPECT_GE(wysokosc_, jednaLinia + 5 * 13) << "six lines of two words";
}

}  // namespace
