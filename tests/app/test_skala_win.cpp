// The wizard's windows at the display's resolution (LogPixels of the Wine
// prefix; scripts run this at 96, 144 and 192 dpi): each client area is its
// layout's scaled, fonts have their point size at that resolution, and every
// label and button shows its whole text, in Polish and in English; and the
// main form moved to a monitor of another resolution.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

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

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace {

std::string NameOf(HWND hwnd) { return sys::FromWide(pomocnicy::NazwaOkna(hwnd), 1252); }

HWND FindForm(const std::string& name) { return pomocnicy::ZnajdzOknoWatku(sys::ToWide(name, 1252)); }

int Px(int design, int dpi) { return MulDiv(design, dpi, 96); }

// Font, and text within the window, of one label or button of `form`.
void CheckText(const ui::Form& form, HWND hwnd, int dpi) {
    ui::Control* control = const_cast<ui::Form&>(form).FindControl(NameOf(hwnd));
    if (control == nullptr || !IsWindowVisible(hwnd)) return;
    const ui::ControlKind kind = control->Kind();
    if (kind != ui::ControlKind::Label && kind != ui::ControlKind::Button && kind != ui::ControlKind::CheckBox &&
        kind != ui::ControlKind::RadioButton)
        return;
    SCOPED_TRACE(control->Name());
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    ASSERT_TRUE(font != nullptr && GetObjectW(font, sizeof lf, &lf) == sizeof lf);
    EXPECT_EQ(lf.lfHeight, -MulDiv(control->Font().Size, dpi, 72));

    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    if (text.empty()) return;
    RECT client;
    GetClientRect(hwnd, &client);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    // Room the control keeps for itself: a push button's edges, a check
    // box's box.
    int room = 0;
    UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    if (kind == ui::ControlKind::Label) {
        if ((style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP) flags |= DT_WORDBREAK;
    } else {
        flags |= DT_SINGLELINE;
        room = kind == ui::ControlKind::Button ? Px(4, dpi) : Px(16, dpi);
    }
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, font);
    RECT extent{0, 0, client.right - room, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, flags);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    // A word wider than a wrapping label makes the extent wider than it.
    EXPECT_LE(extent.right, client.right - room) << sys::FromWide(text, 1250);
    EXPECT_LE(extent.bottom, client.bottom) << sys::FromWide(text, 1250);
}

BOOL CALLBACK CheckChild(HWND child, LPARAM param) {
    const auto& [form, dpi] = *reinterpret_cast<std::pair<const ui::Form*, int>*>(param);
    CheckText(*form, child, dpi);
    return TRUE;
}

// The client size and the texts of a form being shown.
void CheckForm(const ui::Form& form, int designWidth, int designHeight, int expectedDpi) {
    SCOPED_TRACE(form.Name());
    // Labels that change often show their latest text a moment later.
    Sleep(ui::win32::kPaceInterval + 20);
    ui::Application::Current().ProcessMessages();
    HWND hwnd = FindForm(form.Name());
    ASSERT_NE(hwnd, nullptr);
    HDC screen = GetDC(hwnd);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(hwnd, screen);
    ASSERT_EQ(dpi, expectedDpi) << "the prefix's LogPixels";
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_NEAR(client.right, Px(designWidth, dpi), 1);
    EXPECT_NEAR(client.bottom, Px(designHeight, dpi), 1);
    std::pair<const ui::Form*, int> what{&form, dpi};
    EnumChildWindows(hwnd, &CheckChild, reinterpret_cast<LPARAM>(&what));
}

struct Skala : Formularze<ui::win32::Win32Backend> {
    void SetUp() override {
        Formularze::SetUp();
        app->SetMainForm(frmMain);
    }
};

TEST_F(Skala, EveryWindowAtTheDisplaysResolution) {
    int dpi = 0;
    if (const char* wanted = std::getenv("VELT_DPI")) {
        dpi = std::atoi(wanted);
    } else {
        HDC screen = GetDC(nullptr);
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    // The main form on the options page, its other pages' texts set too.
    frmMain->KatalogZrodlowy = sys::TempFolder().value();
    frmMain->Show();
    struct Window {
        const char* name;
        std::function<void()> showAndCheck;
    };
    auto shown = [&](ui::Form& form, int w, int h) {
        form.Show();
        CheckForm(form, w, h, dpi);
        if (&form != frmMain) form.Hide();
    };
    const Window windows[] = {
        {"main form on the options page",
         [&] {
             frmMain->ZmienStrone(StronaOpcje - frmMain->Strona);
             frmMain->lblKoniec.SetCaption(PobierzTekst(frmMain->JezykInterfejsu, TekstInstalacjaBlad));
             shown(*frmMain, 623, 353);
             frmMain->ZmienStrone(StronaWstep - frmMain->Strona);
         }},
        {"close question",
         [&] {
             frmPytanie->OnShow = [&](ui::Form& f) {
                 CheckForm(f, f.ClientWidth(), f.ClientHeight(), dpi);
                 f.SetModalResult(ui::mrNo);
             };
             EXPECT_EQ(Zapytaj(*frmPytanie, *frmMain,
                               PobierzTekst(frmMain->JezykInterfejsu, TekstCzyPrzerwacInstalacje), PytanieTakNie),
                       ui::mrNo);
         }},
        {"CD dialog", [&] { shown(*frmCD, 372, 196); }},
        {"folder chooser", [&] { shown(*frmKatalog, 360, 374); }},
        {"new folder", [&] { shown(*frmKatalogDodaj, 300, 82); }},
    };
    for (std::uint8_t jezyk : {JezykPolski, JezykAngielski}) {
        frmMain->UstawJezyk(jezyk);
        for (const Window& w : windows) {
            SCOPED_TRACE(std::string(w.name) + (jezyk == JezykPolski ? " in Polish" : " in English"));
            w.showAndCheck();
        }
    }
    // Moved to a monitor of another resolution, the wizard lays itself out
    // again there, in the rectangle the system suggests.
    HWND main = FindForm("frmMain");
    const int other = dpi == 96 ? 144 : 96;
    RECT before, suggested;
    GetWindowRect(main, &before);
    suggested = before;
    suggested.right = suggested.left + MulDiv(before.right - before.left, other, dpi);
    suggested.bottom = suggested.top + MulDiv(before.bottom - before.top, other, dpi);
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
    RECT now;
    GetWindowRect(main, &now);
    EXPECT_EQ(now.right - now.left, suggested.right - suggested.left);
    HWND dalej = pomocnicy::ZnajdzKontrolke(main, L"btnDalej");
    ASSERT_NE(dalej, nullptr);
    RECT button;
    GetClientRect(dalej, &button);
    EXPECT_EQ(button.right, Px(92, other));
    CheckText(*frmMain, dalej, other);
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&before));

    // The main form at 150 % and 200 %.
    if (dpi == 144 || dpi == 192) {
        RECT client;
        GetClientRect(FindForm("frmMain"), &client);
        EXPECT_EQ(client.right, dpi == 144 ? 935 : 1246);
        EXPECT_EQ(client.bottom, dpi == 144 ? 530 : 706);
    }
}

}  // namespace
