// A stand-in for one of the product's programs: a small window with the
// program's title, a line about it, the folder it was started from with that
// folder's drive type, and a button that closes it. The demo CD and the
// installed tree carry these in place of the real programs.
//
// Built once per program; the compile definitions say which:
//   STANDIN_NAME   window class and ui.name of the main window, "VeltPl"
//   STANDIN_TITLE  caption and title line (UTF-8 string literal)
//   STANDIN_TEXT   the line below the title (UTF-8 string literal)

#include <windows.h>

#include <string>

#if !defined(STANDIN_NAME) || !defined(STANDIN_TITLE) || !defined(STANDIN_TEXT)
#error "STANDIN_NAME, STANDIN_TITLE and STANDIN_TEXT must be defined"
#endif

#define STANDIN_WIDEN2(s) L##s
#define STANDIN_WIDEN(s) STANDIN_WIDEN2(s)

namespace {

constexpr const wchar_t* kName = STANDIN_WIDEN(STANDIN_NAME);
constexpr const wchar_t* kTitle = STANDIN_WIDEN(STANDIN_TITLE);
constexpr const wchar_t* kText = STANDIN_WIDEN(STANDIN_TEXT);

constexpr int kClientWidth = 480;
constexpr int kMargin = 14;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 25;
// Enter and Esc reach the window as IDOK and IDCANCEL; the button is IDOK.
constexpr int kIdButton = IDOK;

// An owned GDI font; the stock fonts are never owned.
class Font {
public:
    explicit Font(const LOGFONTW& lf) : h_(CreateFontIndirectW(&lf)) {}
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font() {
        if (h_) DeleteObject(h_);
    }
    [[nodiscard]] HFONT get() const { return h_ ? h_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

private:
    HFONT h_;
};

// The folder of this program file, with its trailing backslash.
std::wstring OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// The root of a path's drive ("D:\" or "\\server\share\"); empty when the
// path has no drive part.
std::wstring DriveRoot(const std::wstring& path) {
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2) + L"\\";
    if (path.rfind(L"\\\\", 0) == 0) {
        const auto server_end = path.find(L'\\', 2);
        if (server_end == std::wstring::npos) return {};
        const auto share_end = path.find(L'\\', server_end + 1);
        return share_end == std::wstring::npos ? path + L"\\" : path.substr(0, share_end + 1);
    }
    return {};
}

// GetDriveTypeW's answer in words, with the number that tests look for.
std::wstring DriveTypeLine(const std::wstring& folder) {
    static constexpr const wchar_t* kNames[] = {
        L"nieznany",       L"brak katalogu głównego", L"dysk wymienny", L"dysk twardy",
        L"dysk sieciowy",  L"napęd CD-ROM",           L"dysk RAM",
    };
    const std::wstring root = DriveRoot(folder);
    const UINT type = root.empty() ? DRIVE_UNKNOWN : GetDriveTypeW(root.c_str());
    const wchar_t* name = type < std::size(kNames) ? kNames[type] : L"nieznany";
    return L"Uruchomiono z: " + folder + L"\r\nTyp napędu: " + std::to_wstring(type) + L" (" + name + L")";
}

// Names a window for tools that find controls by name, as the wizard does.
void Name(HWND hwnd, const wchar_t* name) {
    if (const ATOM atom = GlobalAddAtomW(name))
        SetPropW(hwnd, L"ui.name", reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

BOOL CALLBACK Unname(HWND hwnd, LPARAM) {
    if (const HANDLE value = RemovePropW(hwnd, L"ui.name"))
        GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<UINT_PTR>(value)));
    return TRUE;
}

struct Fonts {
    Font text;
    Font title;
};

LOGFONTW MessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return metrics.lfMessageFont;
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    return lf;
}

LOGFONTW TitleFont(LOGFONTW lf) {
    lf.lfWeight = FW_BOLD;
    lf.lfHeight = lf.lfHeight * 3 / 2;
    return lf;
}

int LineHeight(HWND hwnd, HFONT font) {
    const HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return tm.tmHeight + tm.tmExternalLeading;
}

HWND AddChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
              int id, HFONT font, const wchar_t* name) {
    const HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (child) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        Name(child, name);
    }
    return child;
}

// Lays out the controls and returns the client height they need.
int CreateControls(HWND hwnd, const Fonts& fonts) {
    const int text_line = LineHeight(hwnd, fonts.text.get());
    const int title_line = LineHeight(hwnd, fonts.title.get());
    const int width = kClientWidth - 2 * kMargin;
    int y = kMargin;
    AddChild(hwnd, L"STATIC", kTitle, SS_NOPREFIX, kMargin, y, width, title_line, -1, fonts.title.get(), L"lblTytul");
    y += title_line + text_line / 2;
    AddChild(hwnd, L"STATIC", kText, SS_NOPREFIX, kMargin, y, width, 2 * text_line, -1, fonts.text.get(), L"lblOpis");
    y += 2 * text_line + text_line / 2;
    AddChild(hwnd, L"STATIC", DriveTypeLine(OwnFolder()).c_str(), SS_NOPREFIX, kMargin, y, width, 2 * text_line, -1,
             fonts.text.get(), L"lblDysk");
    y += 2 * text_line + kMargin;
    AddChild(hwnd, L"BUTTON", L"Zamknij", BS_DEFPUSHBUTTON | WS_TABSTOP, kClientWidth - kMargin - kButtonWidth, y,
             kButtonWidth, kButtonHeight, kIdButton, fonts.text.get(), L"btnZamknij");
    return y + kButtonHeight + kMargin;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        EnumChildWindows(hwnd, Unname, 0);
        Unname(hwnd, 0);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kName;
    if (!RegisterClassExW(&wc)) return 1;

    const Fonts fonts{Font(MessageFont()), Font(TitleFont(MessageFont()))};
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, kName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                      kClientWidth, 200, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    Name(hwnd, kName);

    // Size the frame around the laid-out client area and centre it.
    RECT frame{0, 0, kClientWidth, CreateControls(hwnd, fonts)};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    const int w = frame.right - frame.left;
    const int h = frame.bottom - frame.top;
    SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w,
                 h, SWP_NOZORDER);
    ShowWindow(hwnd, show);
    SetFocus(GetDlgItem(hwnd, kIdButton));
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
