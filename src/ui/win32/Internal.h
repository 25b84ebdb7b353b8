#pragma once
// Inside the Win32 backend: owning handle types, the shared context (fonts,
// brushes, the rich-edit library, measurement) and what the backend and the
// window peers need from each other. Nothing here leaves src/ui/win32.

#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "sys/handle.h"
#include "sys/result.h"
#include "sys/systemdll.h"
#include "ui/Backend.h"
#include "ui/Bitmap.h"
#include "ui/Types.h"
#include "ui/win32/Win32Backend.h"

namespace ui {
class Form;
}

namespace ui::win32::detail {

// The GDI numbers that Types.h spells out must be the system's.
static_assert(static_cast<int>(SystemColor::Window) == COLOR_WINDOW);
static_assert(static_cast<int>(SystemColor::WindowText) == COLOR_WINDOWTEXT);
static_assert(static_cast<int>(SystemColor::Highlight) == COLOR_HIGHLIGHT);
static_assert(static_cast<int>(SystemColor::HighlightText) == COLOR_HIGHLIGHTTEXT);
static_assert(static_cast<int>(SystemColor::BtnFace) == COLOR_BTNFACE);
static_assert(static_cast<int>(SystemColor::BtnShadow) == COLOR_BTNSHADOW);
static_assert(static_cast<int>(SystemColor::GrayText) == COLOR_GRAYTEXT);
static_assert(static_cast<int>(SystemColor::BtnText) == COLOR_BTNTEXT);
static_assert(static_cast<int>(SystemColor::BtnHighlight) == COLOR_BTNHIGHLIGHT);
static_assert(kCharsetAnsi == ANSI_CHARSET && kCharsetDefault == DEFAULT_CHARSET);
static_assert(kCharsetTurkish == TURKISH_CHARSET && kCharsetRussian == RUSSIAN_CHARSET);
static_assert(kCharsetEastEurope == EASTEUROPE_CHARSET);
static_assert(mrOk == IDOK && mrCancel == IDCANCEL && mrYes == IDYES && mrNo == IDNO);

using UniqueFont = sys::NullHandle<HFONT, &DeleteObject>;
using UniqueBrush = sys::NullHandle<HBRUSH, &DeleteObject>;
using UniqueBitmap = sys::NullHandle<HBITMAP, &DeleteObject>;
using UniqueImageList = sys::NullHandle<HIMAGELIST, &sys::dll::ImageList_Destroy>;
using UniqueModule = sys::NullHandle<HMODULE, &FreeLibrary>;
using UniqueMemoryDc = sys::NullHandle<HDC, &DeleteDC>;

inline constexpr wchar_t kFormClass[] = L"ui.Form";
inline constexpr wchar_t kPanelClass[] = L"ui.Panel";
inline constexpr wchar_t kGroupBoxClass[] = L"ui.GroupBox";
inline constexpr wchar_t kNameProperty[] = L"ui.name";

// Newer than the system the headers are set for.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// Layouts are made for 96 dpi; windows show them at their own resolution.
inline constexpr int kDesignDpi = 96;
// A design length in pixels at `dpi`.
[[nodiscard]] inline int ToPixels(int design, int dpi) noexcept { return MulDiv(design, dpi, kDesignDpi); }
// Pixels at `dpi` as design units, rounded up, so that what was measured
// fits again once scaled back.
[[nodiscard]] inline int ToDesign(int pixels, int dpi) noexcept {
    return pixels <= 0 ? pixels : static_cast<int>((int64_t{pixels} * kDesignDpi + dpi - 1) / dpi);
}

// The per-monitor resolution calls of newer systems, looked up at run time;
// each falls back to what older systems offer.
namespace dpi {
// Makes the thread's new windows follow their monitor's resolution.
void BecomeAware() noexcept;
// The resolution windows are made at before they know their monitor.
[[nodiscard]] int SystemDpi() noexcept;
[[nodiscard]] int OfWindow(HWND hwnd) noexcept;
// The outer size for a client rectangle at `dpi`; false when the system
// knows only its own resolution and gave the frame at that one.
bool AdjustRect(RECT& r, DWORD style, DWORD exStyle, int dpi) noexcept;
}  // namespace dpi

// What the backend shares with its windows. Handles handed out stay owned by
// the context and live as long as it does.
class Context {
public:
    Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    [[nodiscard]] HINSTANCE Instance() const noexcept { return instance_; }
    // The resolution at which text is measured for layouts: that of the
    // monitor the forms were last shown on.
    [[nodiscard]] int Dpi() const noexcept { return dpi_; }
    void SetDpi(int dpi) noexcept { dpi_ = dpi > 0 ? dpi : kDesignDpi; }
    // The font at `dpi`: its point size in that resolution's pixels.
    [[nodiscard]] HFONT FontFor(const Font& font, int dpi);
    // System colours give the system's shared brushes.
    [[nodiscard]] HBRUSH BrushFor(Color colour);
    [[nodiscard]] static COLORREF ToColorRef(Color colour) noexcept;
    // The rich-edit window class, loading its library on first use; nullptr
    // when neither library is present.
    [[nodiscard]] const wchar_t* RichEditClass();
    // In design units at Dpi(); `wrapWidth` too.
    [[nodiscard]] Size Measure(const Font& font, unsigned codePage, std::string_view text, int wrapWidth);

    // High contrast: self-painted parts show only the system's colours.
    [[nodiscard]] bool HighContrast() const noexcept { return highContrast_; }
    void SetHighContrast(bool on) noexcept { highContrast_ = on; }
    // The system's setting; off where the system cannot tell.
    [[nodiscard]] static bool SystemHighContrast() noexcept;

private:
    using FontKey = std::tuple<std::string, int, int, bool, bool, bool, int>;

    HINSTANCE instance_;
    int dpi_ = 96;
    UniqueMemoryDc measureDc_;
    std::map<FontKey, UniqueFont> fonts_;
    std::map<COLORREF, UniqueBrush> brushes_;
    UniqueModule richEditModule_;
    const wchar_t* richEditClass_ = nullptr;
    bool richEditTried_ = false;
    bool highContrast_ = SystemHighContrast();
};

struct FormStyles {
    DWORD style;
    DWORD exStyle;
};
[[nodiscard]] FormStyles StylesOf(const Form& form) noexcept;

// A top-down 32-bit DIB section of `picture`, premultiplied for AlphaBlend.
[[nodiscard]] UniqueBitmap MakePremultipliedDib(const Bitmap& picture);
// A 24-bit DIB section of `picture` laid over `background`.
[[nodiscard]] UniqueBitmap MakeOpaqueDib(const Bitmap& picture, COLORREF background);

// The window procedure of every control window (own classes and subclassed
// system classes alike).
LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

[[nodiscard]] std::unique_ptr<Peer> MakePeer(Context& context, Control& control);
// The window of a control; nullptr when it has none.
[[nodiscard]] HWND WindowOf(const Control& control) noexcept;
// Whether `hwnd` is the window of one of our forms.
[[nodiscard]] bool IsFormWindow(HWND hwnd) noexcept;

// Shows the paced changes whose interval has passed; all of them when forced
// (the loops force it before they wait).
void ShowPostponed(bool force);

// Every window of ours drawn again, each picture remade over its background:
// the system's colours or its high-contrast setting changed.
void RepaintAll();

// What a window tells a screen reader about its client area beyond what the
// system's object for its class says. A name left unset and a role of 0
// keep the system's; the state bits are added to and taken from the system's.
struct AccessibleFacts {
    std::optional<std::wstring> name;
    long role = 0;
    long stateOn = 0;
    long stateOff = 0;
};
// The facts of a window of ours; false when it is no longer one.
[[nodiscard]] bool AccessibleFactsOf(HWND hwnd, AccessibleFacts& facts);
// Does the default action the control's own way (a flag is chosen); false
// when the system's object is to do it.
[[nodiscard]] bool DoDefaultActionOf(HWND hwnd);
// The answer to WM_GETOBJECT for the client area of one of our windows
// (`wParam` as the message gives it); 0 lets the system answer.
[[nodiscard]] LRESULT AccessibleObjectFor(HWND hwnd, WPARAM wParam) noexcept;

// A window of ours was made or changed: the next ProcessMessages pumps
// whatever time has passed since the last one.
void WindowsChanged() noexcept;

// Exceptions thrown by event handlers must not unwind through the system's
// frames: the window procedure keeps the first one and the loops rethrow it
// once the system has returned.
void KeepPendingException() noexcept;
void RethrowPendingException();

}  // namespace ui::win32::detail
