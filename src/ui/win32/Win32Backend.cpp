#include "ui/win32/Win32Backend.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "sys/process.h"
#include "sys/text.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/win32/Internal.h"

namespace ui::win32 {

namespace detail {

namespace {

void RegisterOwnClass(HINSTANCE instance, const wchar_t* name, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &ControlProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = name;
    // A second backend in the same process finds the class registered already.
    sys::Ignore(RegisterClassExW(&wc), "the class may exist from an earlier backend");
}

}  // namespace

namespace dpi {

namespace {

// DPI_AWARENESS_CONTEXT values, which the headers of the targeted system lack.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

template <class F>
F User32(const char* name) noexcept {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 != nullptr ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int ScreenDpi() noexcept {
    int result = 0;
    if (HDC screen = GetDC(nullptr)) {
        result = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return result > 0 ? result : kDesignDpi;
}

}  // namespace

void BecomeAware() noexcept {
    using SetContext = HANDLE(WINAPI*)(HANDLE);
    if (auto set = User32<SetContext>("SetThreadDpiAwarenessContext")) {
        if (set(kPerMonitorAwareV2) == nullptr) sys::Ignore(set(kPerMonitorAware), "older systems scale by themselves");
    }
}

int SystemDpi() noexcept {
    using GetForSystem = UINT(WINAPI*)();
    static const auto get = User32<GetForSystem>("GetDpiForSystem");
    const int result = get != nullptr ? static_cast<int>(get()) : 0;
    return result > 0 ? result : ScreenDpi();
}

int OfWindow(HWND hwnd) noexcept {
    using GetForWindow = UINT(WINAPI*)(HWND);
    static const auto get = User32<GetForWindow>("GetDpiForWindow");
    const int result = get != nullptr && hwnd != nullptr ? static_cast<int>(get(hwnd)) : 0;
    return result > 0 ? result : SystemDpi();
}

bool AdjustRect(RECT& r, DWORD style, DWORD exStyle, int dpi) noexcept {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = User32<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (adjust != nullptr && adjust(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) return true;
    // Older systems have one resolution for every frame.
    sys::Ignore(AdjustWindowRectEx(&r, style, FALSE, exStyle), "a failure leaves the client size");
    return false;
}

}  // namespace dpi

Context::Context() : instance_(GetModuleHandleW(nullptr)) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                             ICC_TREEVIEW_CLASSES};
    sys::Ignore(sys::dll::InitCommonControlsEx(&icc), "the classes of the old library remain usable");
    RegisterOwnClass(instance_, kFormClass, CS_DBLCLKS);
    RegisterOwnClass(instance_, kPanelClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
    RegisterOwnClass(instance_, kGroupBoxClass, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
    measureDc_.reset(CreateCompatibleDC(nullptr));
    SetDpi(dpi::SystemDpi());
}

HFONT Context::FontFor(const Font& font, int dpi) {
    FontKey key{font.Name, font.Charset, font.Size, font.Bold, font.Italic, font.Underline, dpi};
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(font.Size, dpi, 72);
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.Italic ? TRUE : FALSE;
    lf.lfUnderline = font.Underline ? TRUE : FALSE;
    lf.lfCharSet = font.Charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    // Face names are ASCII; a longer one is cut to what LOGFONT holds.
    const std::wstring face = sys::ToWide(font.Name, 1252);
    std::wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    UniqueFont created(CreateFontIndirectW(&lf));
    HFONT handle = created.get();
    if (handle == nullptr) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts_.emplace(std::move(key), std::move(created));
    return handle;
}

COLORREF Context::ToColorRef(Color colour) noexcept {
    return colour.IsSystem() ? GetSysColor(static_cast<int>(colour.SystemIndex())) : colour.ColorRef();
}

HBRUSH Context::BrushFor(Color colour) {
    if (colour.IsSystem()) return GetSysColorBrush(static_cast<int>(colour.SystemIndex()));
    const COLORREF ref = colour.ColorRef();
    auto it = brushes_.find(ref);
    if (it != brushes_.end()) return it->second.get();
    UniqueBrush brush(CreateSolidBrush(ref));
    HBRUSH handle = brush.get();
    if (handle == nullptr) return GetSysColorBrush(COLOR_BTNFACE);
    brushes_.emplace(ref, std::move(brush));
    return handle;
}

bool Context::SystemHighContrast() noexcept {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof setting;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

const wchar_t* Context::RichEditClass() {
    if (!richEditTried_) {
        richEditTried_ = true;
        richEditModule_.reset(sys::LoadSystemLibrary(L"msftedit.dll").release());
        if (richEditModule_) {
            richEditClass_ = L"RICHEDIT50W";
        } else {
            richEditModule_.reset(sys::LoadSystemLibrary(L"riched20.dll").release());
            if (richEditModule_) richEditClass_ = L"RichEdit20W";
        }
    }
    return richEditClass_;
}

Size Context::Measure(const Font& font, unsigned codePage, std::string_view text, int wrapWidth) {
    HDC dc = measureDc_.get();
    if (dc == nullptr) return {};
    HGDIOBJ old = SelectObject(dc, FontFor(font, dpi_));
    Size result;
    if (text.empty()) {
        TEXTMETRICW tm{};
        sys::Ignore(GetTextMetricsW(dc, &tm), "a failure measures as zero");
        result = {0, static_cast<int>(tm.tmHeight)};
    } else {
        const std::wstring wide = sys::ToWide(text, codePage);
        RECT r{0, 0, wrapWidth > 0 ? ToPixels(wrapWidth, dpi_) : 0, 0};
        const UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (wrapWidth > 0 ? DT_WORDBREAK : 0);
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, flags);
        result = {static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)};
    }
    SelectObject(dc, old);
    return {ToDesign(result.cx, dpi_), ToDesign(result.cy, dpi_)};
}

FormStyles StylesOf(const Form& form) noexcept {
    FormStyles s{WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    const BorderIcons icons = form.BorderIcons();
    switch (form.BorderStyle()) {
    case BorderStyle::None:
        s.style |= WS_POPUP;
        return s;
    case BorderStyle::Single:
        s.style |= WS_OVERLAPPED | WS_CAPTION;
        break;
    case BorderStyle::Sizeable:
        s.style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
        break;
    case BorderStyle::Dialog:
        s.style |= WS_POPUP | WS_CAPTION;
        s.exStyle |= WS_EX_DLGMODALFRAME;
        break;
    }
    if (icons.SystemMenu) {
        s.style |= WS_SYSMENU;
        // Dialog frames carry no minimise or maximise box.
        if (form.BorderStyle() != BorderStyle::Dialog) {
            if (icons.Minimize) s.style |= WS_MINIMIZEBOX;
            if (icons.Maximize && form.BorderStyle() == BorderStyle::Sizeable) s.style |= WS_MAXIMIZEBOX;
        }
    }
    return s;
}

// An uninitialised top-down DIB section of the picture's size; `bits` points
// at its pixels. Empty for an empty picture or when the system refuses.
UniqueBitmap MakeTopDownDib(const Bitmap& picture, WORD bitCount, void*& bits) {
    bits = nullptr;
    if (picture.Empty()) return {};
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = picture.Width();
    bi.bmiHeader.biHeight = -picture.Height();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = bitCount;
    bi.bmiHeader.biCompression = BI_RGB;
    UniqueBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || bits == nullptr) return {};
    return dib;
}

UniqueBitmap MakePremultipliedDib(const Bitmap& picture) {
    void* bits = nullptr;
    UniqueBitmap dib = MakeTopDownDib(picture, 32, bits);
    if (!dib) return {};
    auto* out = static_cast<uint32_t*>(bits);
    for (uint32_t argb : picture.Pixels()) {
        const uint32_t a = argb >> 24;
        const uint32_t r = ((argb >> 16) & 0xFF) * a / 255;
        const uint32_t g = ((argb >> 8) & 0xFF) * a / 255;
        const uint32_t b = (argb & 0xFF) * a / 255;
        *out++ = (a << 24) | (r << 16) | (g << 8) | b;
    }
    return dib;
}

UniqueBitmap MakeOpaqueDib(const Bitmap& picture, COLORREF background) {
    void* bits = nullptr;
    UniqueBitmap dib = MakeTopDownDib(picture, 24, bits);
    if (!dib) return {};
    const std::size_t stride = (static_cast<std::size_t>(picture.Width()) * 3 + 3) & ~std::size_t{3};
    const uint32_t bgR = GetRValue(background), bgG = GetGValue(background), bgB = GetBValue(background);
    for (int y = 0; y < picture.Height(); ++y) {
        auto* row = static_cast<uint8_t*>(bits) + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < picture.Width(); ++x) {
            const uint32_t argb = picture.Pixel(x, y);
            const uint32_t a = argb >> 24;
            auto mix = [a](uint32_t fg, uint32_t bg) { return static_cast<uint8_t>((fg * a + bg * (255 - a)) / 255); };
            row[x * 3 + 0] = mix(argb & 0xFF, bgB);
            row[x * 3 + 1] = mix((argb >> 8) & 0xFF, bgG);
            row[x * 3 + 2] = mix((argb >> 16) & 0xFF, bgR);
        }
    }
    return dib;
}

namespace {
std::exception_ptr g_pending;
bool g_windowsChanged = true;
// GetTickCount when ProcessMessages last looked at the queue.
DWORD g_lastPump = 0;
}  // namespace

void WindowsChanged() noexcept { g_windowsChanged = true; }

void KeepPendingException() noexcept {
    if (!g_pending) g_pending = std::current_exception();
}

void RethrowPendingException() {
    if (g_pending) std::rethrow_exception(std::exchange(g_pending, nullptr));
}

}  // namespace detail

namespace {

using namespace detail;

// Keyboard messages of our forms go through the dialog manager first, which
// gives Tab, Enter and Esc their dialog meaning.
void Dispatch(MSG& msg) {
    HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root == nullptr || !IsFormWindow(root) || !IsDialogMessageW(root, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    RethrowPendingException();
}

struct EnumState {
    HWND modal;
    std::vector<HWND> disabled;
};

BOOL CALLBACK DisableOthers(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    if (hwnd != state->modal && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        state->disabled.push_back(hwnd);
    }
    return TRUE;
}

}  // namespace

// Windows follow their monitor's resolution, also in programs that declare
// nothing (the program's manifest declares it for the process).
Win32Backend::Win32Backend() : context_((detail::dpi::BecomeAware(), std::make_unique<detail::Context>())) {}

Win32Backend::~Win32Backend() = default;

std::unique_ptr<Peer> Win32Backend::CreatePeer(Control& control) { return MakePeer(*context_, control); }

void Win32Backend::RunModal(Application& app, Form& form) {
    HWND hwnd = WindowOf(form);
    if (hwnd == nullptr) {
        form.SetModalResult(mrCancel);
        return;
    }
    // The window that was active owns the dialog, which keeps it above.
    HWND previous = GetActiveWindow();
    if (previous != nullptr && previous != hwnd && IsFormWindow(previous)) {
        SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(previous));
    }
    EnumState state{hwnd, {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOthers, reinterpret_cast<LPARAM>(&state));
    // The owners come back before the dialog goes, so that activation returns
    // to them and not to another program.
    struct Reenable {
        std::vector<HWND>& windows;
        ~Reenable() {
            for (HWND w : windows) {
                if (IsWindow(w)) EnableWindow(w, TRUE);
            }
        }
    } reenable{state.disabled};
    SetActiveWindow(hwnd);

    for (;;) {
        if (form.ModalResult() != mrNone && form.ConfirmModalClose()) break;
        if (app.Terminated()) {
            form.SetModalResult(mrCancel);
            break;
        }
        ShowPostponed(true);
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT ends the application, and so every loop.
            app.Terminate();
            form.SetModalResult(mrCancel);
            break;
        }
        Dispatch(msg);
    }
}

void Win32Backend::Run(Application& app) {
    while (!app.Terminated()) {
        ShowPostponed(true);
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            app.Terminate();
            break;
        }
        Dispatch(msg);
    }
}

void Win32Backend::ProcessMessages(Application& app) {
    ShowPostponed(false);
    // Busy work calls here per file and per block; under Wine every look at
    // the queue is a round trip to the server. Unless a window of ours has
    // changed, the queue is looked at once an interval, which no one feels.
    const DWORD now = GetTickCount();
    if (!g_windowsChanged && now - g_lastPump < kPumpInterval) return;
    g_windowsChanged = false;
    g_lastPump = now;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            app.Terminate();
            break;
        }
        Dispatch(msg);
    }
    RethrowPendingException();
}

void Win32Backend::Refresh(Application& app) {
    ShowPostponed(true);
    // The queue is looked at now, whatever the interval.
    WindowsChanged();
    ProcessMessages(app);
}

uint64_t Win32Backend::Milliseconds() { return GetTickCount64(); }

void Win32Backend::Terminating() {
    // Wakes a loop waiting in GetMessage; it then sees the application
    // terminated. A thread message has no window and is dropped unseen.
    sys::Ignore(PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0), "a full queue wakes the loop anyway");
}

Size Win32Backend::MeasureText(const Font& font, unsigned codePage, std::string_view text, int wrapWidth) {
    return context_->Measure(font, codePage, text, wrapWidth);
}

// The frame in design units, as at 96 dpi whatever the monitor, so that a
// form's client size stays what its layout was made for.
Size Win32Backend::FrameSize(const Form& form) {
    const FormStyles s = StylesOf(form);
    RECT r{0, 0, 0, 0};
    if (dpi::AdjustRect(r, s.style, s.exStyle, kDesignDpi)) {
        return {static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)};
    }
    static const int systemDpi = dpi::SystemDpi();
    return {MulDiv(r.right - r.left, kDesignDpi, systemDpi), MulDiv(r.bottom - r.top, kDesignDpi, systemDpi)};
}

bool Win32Backend::HighContrast() const noexcept { return context_->HighContrast(); }

void Win32Backend::SetHighContrast(bool on) {
    context_->SetHighContrast(on);
    RepaintAll();
}

// In design units, like the forms placed in it.
Rect Win32Backend::WorkArea() {
    RECT r{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) {
        r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const int dpi = context_->Dpi();
    return {MulDiv(r.left, kDesignDpi, dpi), MulDiv(r.top, kDesignDpi, dpi), MulDiv(r.right - r.left, kDesignDpi, dpi),
            MulDiv(r.bottom - r.top, kDesignDpi, dpi)};
}

}  // namespace ui::win32
