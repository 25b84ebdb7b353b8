// The wizard for those who do not see it as a mouse user does: what a screen
// reader learns of every control that can take the focus (through Active
// Accessibility, as a reader asks it). The windows are the program's own,
// on the Win32 backend.

#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Przelaczniki.h"
#include "app/Teksty.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "setup/Wydania.h"
#include "setup/untCD.h"
#include "setup/untKatalog.h"
#include "setup/untKatalogDodaj.h"
#include "sys/folders.h"
#include "sys/text.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

#include "../NazwyOkien.h"

namespace {

HWND OknoFormularza(const ui::Form& form) { return pomocnicy::ZnajdzOknoWatku(sys::ToWide(form.Name(), 1252)); }

HWND OknoKontrolki(const ui::Form& form, const ui::Control& kontrolka) {
    return pomocnicy::ZnajdzKontrolke(OknoFormularza(form), sys::ToWide(kontrolka.Name(), 1252));
}

struct Dostepnosc : ::testing::Test {
    void SetUp() override {
        UstawAppConst(RekordWydaniaInstalatora());
        app = std::make_unique<ui::Application>(backend);
        UtworzFormularze(*app);
        app->SetMainForm(frmMain);
        PytajOCD = true;
        CzyscFlageInstalacji = true;
        // A medium already known: no CD dialog before the first page.
        frmMain->KatalogZrodlowy = sys::TempFolder().value();
        frmMain->Show();
    }
    void TearDown() override {
        ZniszczFormularze(*app);
        app.reset();
    }

    ui::win32::Win32Backend backend;
    std::unique_ptr<ui::Application> app;
};

// ---- what a screen reader learns ----

struct Odczyt {
    HRESULT wynik = E_FAIL;
    std::wstring nazwa;
    long rola = 0;
    long stan = 0;
};

// What a screen reader asks of a window; the function is looked up, as the
// import library of oleacc and the system's uuid library both define the
// interface's identifier.
Odczyt Odczytaj(HWND okno) {
    using Zapytanie = decltype(&AccessibleObjectFromWindow);
    static const auto zapytaj = reinterpret_cast<Zapytanie>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
    Odczyt o;
    if (zapytaj == nullptr) return o;
    IAccessible* obiekt = nullptr;
    o.wynik = zapytaj(okno, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&obiekt));
    if (FAILED(o.wynik) || obiekt == nullptr) return o;
    VARIANT ja;
    ja.vt = VT_I4;
    ja.lVal = CHILDID_SELF;
    BSTR nazwa = nullptr;
    if (SUCCEEDED(obiekt->get_accName(ja, &nazwa)) && nazwa != nullptr) o.nazwa = nazwa;
    SysFreeString(nazwa);
    VARIANT wartosc;
    VariantInit(&wartosc);
    if (SUCCEEDED(obiekt->get_accRole(ja, &wartosc)) && wartosc.vt == VT_I4) o.rola = wartosc.lVal;
    VariantClear(&wartosc);
    if (SUCCEEDED(obiekt->get_accState(ja, &wartosc)) && wartosc.vt == VT_I4) o.stan = wartosc.lVal;
    VariantClear(&wartosc);
    obiekt->Release();
    return o;
}

std::wstring TekstOkna(HWND okno) {
    std::wstring tekst(static_cast<std::size_t>(GetWindowTextLengthW(okno)) + 1, L'\0');
    tekst.resize(static_cast<std::size_t>(GetWindowTextW(okno, tekst.data(), static_cast<int>(tekst.size()))));
    return tekst;
}

// Every control the keyboard can reach now: a Tab stop (a group's members
// included) that can take input.
void Osiagalne(ui::Control& rodzic, std::vector<ui::Control*>& wynik) {
    for (ui::Control* c : rodzic.Children()) {
        if (c->TabStop() && c->CanTakeInput()) wynik.push_back(c);
        Osiagalne(*c, wynik);
    }
}

struct Oczekiwane {
    long rola;
    const wchar_t* nazwa;  // nullptr: the control's own text
    long stan = 0;         // bits that must be set
};

// Every focusable control of every page and dialog, in Polish.
const std::map<std::string, Oczekiwane> kOczekiwane = {
    {"btnWstecz", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
    {"btnDalej", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
    {"btnZamknij", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
    // The flags: a choice among languages, each named in its own language.
    {"btnPolski", {ROLE_SYSTEM_RADIOBUTTON, L"Polski", STATE_SYSTEM_CHECKED}},
    {"btnAngielski", {ROLE_SYSTEM_RADIOBUTTON, L"English"}},
    {"redUmowa", {ROLE_SYSTEM_DOCUMENT, L"Umowa licencyjna", STATE_SYSTEM_READONLY}},
    {"rdbUmowaAkceptuje", {ROLE_SYSTEM_RADIOBUTTON, nullptr}},
    {"rdbUmowaNieAkceptuje", {ROLE_SYSTEM_RADIOBUTTON, nullptr}},
    {"btnKatalog", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
    {"chbInstalujSlowniki", {ROLE_SYSTEM_CHECKBUTTON, nullptr, STATE_SYSTEM_CHECKED}},
    {"chbUtworzGrupe", {ROLE_SYSTEM_CHECKBUTTON, nullptr, STATE_SYSTEM_CHECKED}},
    {"chbUtworzSkrotyTranslatorow", {ROLE_SYSTEM_CHECKBUTTON, nullptr, STATE_SYSTEM_CHECKED}},
    {"chbUtworzSkrotySlownikow", {ROLE_SYSTEM_CHECKBUTTON, nullptr, STATE_SYSTEM_CHECKED}},
    {"cmbDrive", {ROLE_SYSTEM_COMBOBOX, L"Nap\u0119d CD-ROM"}},
    {"btnOK", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
    {"btnAnuluj", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
    {"trvKatalog", {ROLE_SYSTEM_OUTLINE, L"Wybierz katalog"}},
    {"edtKatalog", {ROLE_SYSTEM_TEXT, L"Zainstaluj w katalogu:"}},
    {"btnUtworz", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
    {"edtDodaj", {ROLE_SYSTEM_TEXT, L"Nowy katalog"}},
    {"btnDodaj", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
    {"btnTak", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
    {"btnNie", {ROLE_SYSTEM_PUSHBUTTON, nullptr}},
};

// The focusable controls of a form as it is now, each against the table.
void SprawdzFormularz(ui::Form& form) {
    ASSERT_NE(OknoFormularza(form), nullptr);
    std::vector<ui::Control*> kontrolki;
    Osiagalne(form, kontrolki);
    EXPECT_FALSE(kontrolki.empty());
    for (ui::Control* c : kontrolki) {
        SCOPED_TRACE(c->Name());
        HWND h = OknoKontrolki(form, *c);
        ASSERT_NE(h, nullptr);
        const auto oczekiwane = kOczekiwane.find(c->Name());
        ASSERT_NE(oczekiwane, kOczekiwane.end()) << "a focusable control nobody expects";
        const Odczyt o = Odczytaj(h);
        ASSERT_EQ(o.wynik, S_OK);
        EXPECT_EQ(o.rola, oczekiwane->second.rola);
        EXPECT_FALSE(o.nazwa.empty());
        const std::wstring nazwa = oczekiwane->second.nazwa ? oczekiwane->second.nazwa : TekstOkna(h);
        EXPECT_EQ(o.nazwa, nazwa) << sys::FromWide(o.nazwa, 1250);
        EXPECT_EQ(o.stan & oczekiwane->second.stan, oczekiwane->second.stan) << std::hex << o.stan;
        EXPECT_EQ(o.stan & STATE_SYSTEM_INVISIBLE, 0) << std::hex << o.stan;
    }
}

TEST_F(Dostepnosc, EveryFocusableControlHasANameAndItsRole) {
    TfrmMain& m = *frmMain;
    {
        SCOPED_TRACE("introduction");
        SprawdzFormularz(m);
        // The picture strip carries nothing to say, nor do the pages stacked
        // under the one shown.
        for (ui::Control* c : {static_cast<ui::Control*>(&m.imgPasek), static_cast<ui::Control*>(&m.lblKoniec)}) {
            const Odczyt o = Odczytaj(OknoKontrolki(m, *c));
            EXPECT_NE(o.stan & STATE_SYSTEM_INVISIBLE, 0) << c->Name();
        }
        EXPECT_EQ(Odczytaj(OknoKontrolki(m, m.imgPasek)).nazwa, L"");
        EXPECT_EQ(Odczytaj(OknoKontrolki(m, m.lblIntro)).stan & STATE_SYSTEM_INVISIBLE, 0);
    }
    {
        SCOPED_TRACE("agreement");
        m.ZmienStrone(+1);
        SprawdzFormularz(m);
    }
    {
        SCOPED_TRACE("options");
        m.ZmienStrone(+1);
        SprawdzFormularz(m);
    }
    {
        // The end page without running an installation.
        SCOPED_TRACE("end");
        m.Strona = StronaInstalacja;
        m.ZmienStrone(+1);
        SprawdzFormularz(m);
    }
    for (ui::Form* dialog : {static_cast<ui::Form*>(frmCD), static_cast<ui::Form*>(frmKatalog),
                             static_cast<ui::Form*>(frmKatalogDodaj)}) {
        SCOPED_TRACE(dialog->Name());
        dialog->Show();
        // A name typed in makes the new folder's button reachable too.
        if (dialog == frmKatalogDodaj) frmKatalogDodaj->edtDodaj.SetText("Nowy");
        SprawdzFormularz(*dialog);
        dialog->Hide();
    }
    frmPytanie->OnShow = [](ui::Form& f) {
        SCOPED_TRACE("question");
        SprawdzFormularz(f);
        f.SetModalResult(ui::mrNo);
    };
    EXPECT_EQ(Zapytaj(*frmPytanie, m, PobierzTekst(JezykPolski, TekstCzyPrzerwacInstalacje), PytanieTakNie), ui::mrNo);
}

}  // namespace
