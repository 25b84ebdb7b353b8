// The wizard for those who do not see it as a mouse user does: what a screen
// reader learns of every control that can take the focus (through Active
// Accessibility, as a reader asks it), and the self-painted parts under a
// high-contrast scheme. The windows are the program's own, on the Win32
// backend.

#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Przelaczniki.h"
#include "base/Teksty.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "base/Wydania.h"
#include "app/untCD.h"
#include "app/untKatalog.h"
#include "app/untKatalogDodaj.h"
#include "sys/folders.h"
#include "sys/text.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

#include "../NazwyOkien.h"
#include "Formularze.h"

namespace {

HWND OknoFormularza(const ui::Form& form) { return pomocnicy::ZnajdzOknoWatku(sys::ToWide(form.Name(), 1252)); }

HWND OknoKontrolki(const ui::Form& form, const ui::Control& kontrolka) {
    return pomocnicy::ZnajdzKontrolke(OknoFormularza(form), sys::ToWide(kontrolka.Name(), 1252));
}

struct Dostepnosc : Formularze<ui::win32::Win32Backend> {
    void SetUp() override {
        Formularze::SetUp();
        app->SetMainForm(frmMain);
        // A medium already known: no CD dialog before the first page.
        frmMain->KatalogZrodlowy = sys::TempFolder().value();
        frmMain->Show();
    }
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

// ---- high contrast ----

// Lets the windows show what changed (labels are paced).
void Odswiez() {
    Sleep(ui::win32::kPaceInterval + 20);
    ui::Application::Current().ProcessMessages();
}

// A window as it is drawn, frame included, pixel by pixel.
class Obraz {
public:
    explicit Obraz(HWND okno) : okno_(okno) {
        RECT r;
        GetWindowRect(okno, &r);
        szerokosc_ = r.right - r.left;
        wysokosc_ = r.bottom - r.top;
        HDC dc = GetDCEx(okno, nullptr, DCX_WINDOW | DCX_CACHE);
        HDC pamiec = CreateCompatibleDC(dc);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = szerokosc_;
        info.bmiHeader.biHeight = -wysokosc_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bity = nullptr;
        HBITMAP obraz = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bity, nullptr, 0);
        HGDIOBJ stary = SelectObject(pamiec, obraz);
        BitBlt(pamiec, 0, 0, szerokosc_, wysokosc_, dc, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bity);
        if (p != nullptr) piksele_.assign(p, p + static_cast<std::size_t>(szerokosc_) * wysokosc_);
        SelectObject(pamiec, stary);
        DeleteObject(obraz);
        DeleteDC(pamiec);
        ReleaseDC(okno, dc);
    }

    // The colours inside a child window, with how many pixels have each.
    [[nodiscard]] std::map<COLORREF, int> Kolory(HWND kontrolka) const {
        RECT okno, r;
        GetWindowRect(okno_, &okno);
        GetWindowRect(kontrolka, &r);
        std::map<COLORREF, int> wynik;
        for (int y = r.top - okno.top; y < r.bottom - okno.top; ++y)
            for (int x = r.left - okno.left; x < r.right - okno.left; ++x) ++wynik[Kolor(x, y)];
        return wynik;
    }

    // The colour most of a child window shows: its background.
    [[nodiscard]] COLORREF Tlo(HWND kontrolka) const {
        COLORREF tlo = 0;
        int najwiecej = -1;
        for (const auto& [kolor, ile] : Kolory(kontrolka)) {
            if (ile > najwiecej) tlo = kolor, najwiecej = ile;
        }
        return tlo;
    }

    // The pixels of a child window, row by row.
    [[nodiscard]] std::vector<COLORREF> Wycinek(HWND kontrolka) const {
        RECT okno, r;
        GetWindowRect(okno_, &okno);
        GetWindowRect(kontrolka, &r);
        std::vector<COLORREF> wynik;
        for (int y = r.top - okno.top; y < r.bottom - okno.top; ++y)
            for (int x = r.left - okno.left; x < r.right - okno.left; ++x) wynik.push_back(Kolor(x, y));
        return wynik;
    }

    // As a 32-bit .bmp file, every pixel opaque.
    void Zapisz(const std::wstring& plik) const {
        std::vector<std::uint32_t> nieprzezroczyste = piksele_;
        for (std::uint32_t& p : nieprzezroczyste) p |= 0xFF000000u;
        BITMAPINFOHEADER info{};
        info.biSize = sizeof info;
        info.biWidth = szerokosc_;
        info.biHeight = -wysokosc_;
        info.biPlanes = 1;
        info.biBitCount = 32;
        const DWORD rozmiar = static_cast<DWORD>(piksele_.size() * 4);
        BITMAPFILEHEADER naglowek{};
        naglowek.bfType = 0x4D42;
        naglowek.bfOffBits = sizeof naglowek + sizeof info;
        naglowek.bfSize = naglowek.bfOffBits + rozmiar;
        HANDLE f = CreateFileW(plik.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD zapisane = 0;
        WriteFile(f, &naglowek, sizeof naglowek, &zapisane, nullptr);
        WriteFile(f, &info, sizeof info, &zapisane, nullptr);
        WriteFile(f, nieprzezroczyste.data(), rozmiar, &zapisane, nullptr);
        CloseHandle(f);
    }

private:
    [[nodiscard]] COLORREF Kolor(int x, int y) const {
        if (x < 0 || y < 0 || x >= szerokosc_ || y >= wysokosc_) return CLR_INVALID;
        const std::uint32_t v = piksele_[static_cast<std::size_t>(y) * szerokosc_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

    HWND okno_;
    int szerokosc_ = 0;
    int wysokosc_ = 0;
    std::vector<std::uint32_t> piksele_;
};

// A scheme of system colours for the test's life; the scheme before it
// comes back at the end.
class Schemat {
public:
    struct Kolor {
        int indeks;
        COLORREF kolor;
    };
    explicit Schemat(std::initializer_list<Kolor> kolory) {
        for (const Kolor& k : kolory) poprzednie_.push_back({k.indeks, GetSysColor(k.indeks)});
        Ustaw(kolory);
    }
    ~Schemat() { Ustaw(poprzednie_); }
    Schemat(const Schemat&) = delete;
    Schemat& operator=(const Schemat&) = delete;

    template <class Kolory>
    static void Ustaw(const Kolory& kolory) {
        std::vector<int> indeksy;
        std::vector<COLORREF> wartosci;
        for (const Kolor& k : kolory) {
            indeksy.push_back(k.indeks);
            wartosci.push_back(k.kolor);
        }
        SetSysColors(static_cast<int>(indeksy.size()), indeksy.data(), wartosci.data());
        Odswiez();
    }

private:
    std::vector<Kolor> poprzednie_;
};

// Both schemes differ in every colour the wizard uses; in the first the
// highlight text is the window text, so that the header's own colours (a
// highlight-text background under window-text letters) would show nothing.
const std::initializer_list<Schemat::Kolor> kCiemny = {
    {COLOR_WINDOW, RGB(0, 0, 0)},          {COLOR_WINDOWTEXT, RGB(255, 255, 0)},
    {COLOR_BTNFACE, RGB(0, 0, 128)},       {COLOR_BTNTEXT, RGB(255, 255, 255)},
    {COLOR_HIGHLIGHT, RGB(0, 255, 255)},   {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 0)},
    {COLOR_GRAYTEXT, RGB(0, 255, 0)},
};
const std::initializer_list<Schemat::Kolor> kJasny = {
    {COLOR_WINDOW, RGB(255, 255, 255)},    {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
    {COLOR_BTNFACE, RGB(224, 224, 224)},   {COLOR_BTNTEXT, RGB(0, 0, 0)},
    {COLOR_HIGHLIGHT, RGB(55, 0, 110)},    {COLOR_HIGHLIGHTTEXT, RGB(240, 240, 160)},
    {COLOR_GRAYTEXT, RGB(96, 0, 0)},
};

TEST_F(Dostepnosc, HighContrastDrawsTheSelfPaintedPartsInSystemColours) {
    TfrmMain& m = *frmMain;
    m.ZmienStrone(+1);
    m.ZmienStrone(+1);
    // Too little space: the program's own red.
    m.lblMiejsceWolne.SetFontColor(ui::clRed);
    Schemat schemat(kCiemny);
    HWND okno = OknoFormularza(m);
    const auto h = [&](const ui::Control& c) { return OknoKontrolki(m, c); };
    const Obraz przed(okno);

    backend.SetHighContrast(true);
    Odswiez();
    const Obraz opcje(okno);
    // The header is a window of its own: window text on the window colour.
    EXPECT_EQ(opcje.Tlo(h(m.pnlNaglowek)), RGB(0, 0, 0));
    EXPECT_GT(opcje.Kolory(h(m.lblTytul))[RGB(255, 255, 0)], 0) << "the title's letters";
    // The page, its group and the button bar are faces, with button text.
    for (const ui::Control* c : {static_cast<const ui::Control*>(&m.gbxKatalog), static_cast<const ui::Control*>(&m.pnlPrzyciski)})
        EXPECT_EQ(opcje.Tlo(h(*c)), RGB(0, 0, 128)) << c->Name();
    auto wolne = opcje.Kolory(h(m.lblMiejsceWolne));
    EXPECT_EQ(wolne.count(RGB(255, 0, 0)), 0u) << "the program's red stays";
    EXPECT_GT(wolne[RGB(255, 255, 255)], 0);
    EXPECT_GT(opcje.Kolory(h(m.chbUtworzGrupe))[RGB(255, 255, 255)], 0);
    // The picture strip stays as it is.
    EXPECT_TRUE(opcje.Wycinek(h(m.imgPasek)) == przed.Wycinek(h(m.imgPasek)));

    // The chosen flag is the highlighted one.
    m.ZmienStrone(StronaWstep - m.Strona);
    Odswiez();
    const Obraz wstep(okno);
    EXPECT_GT(wstep.Kolory(h(m.btnPolski))[RGB(0, 255, 255)], 0);
    EXPECT_EQ(wstep.Kolory(h(m.btnAngielski)).count(RGB(0, 255, 255)), 0u);
    EXPECT_EQ(wstep.Tlo(h(m.lblIntro)), RGB(0, 0, 128));

    if (const char* folder = std::getenv("VELT_ZRZUTY_KONTRASTU")) {
        const std::wstring f = sys::ToWide(folder, 1252);
        wstep.Zapisz(f + L"\\kontrast-wstep.bmp");
        opcje.Zapisz(f + L"\\kontrast-opcje.bmp");
    }

    // Another scheme while the wizard runs: it is drawn again in it.
    Schemat::Ustaw(kJasny);
    EXPECT_EQ(Obraz(okno).Tlo(h(m.pnlNaglowek)), RGB(255, 255, 255));
    // The system says the setting changed: the wizard follows the system.
    SendMessageW(okno, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    Odswiez();
    HIGHCONTRASTW system{};
    system.cbSize = sizeof system;
    const bool wlaczony =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof system, &system, 0) && (system.dwFlags & HCF_HIGHCONTRASTON);
    EXPECT_EQ(backend.HighContrast(), wlaczony);
    EXPECT_EQ(Obraz(okno).Tlo(h(m.pnlNaglowek)), wlaczony ? RGB(255, 255, 255) : RGB(240, 240, 160));
}

}  // namespace
