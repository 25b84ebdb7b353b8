#include "sys/fonts.h"

#include "sys/lasterror.h"
#include "sys/text.h"

#include <cwchar>

#include <windows.h>

namespace sys {
namespace {

// How long one window may take over the font-change notice (milliseconds).
constexpr UINT kFontChangeTimeoutMs = 500;

// A device context of the screen, released to the desktop window it came
// from.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(GetDesktopWindow())) {}
    ~ScreenDc() {
        if (dc_) ReleaseDC(GetDesktopWindow(), dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;

    [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

int CALLBACK CollectCharset(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM list) {
    reinterpret_cast<std::vector<std::uint8_t>*>(list)->push_back(font->lfCharSet);
    return 1;
}

}  // namespace

std::vector<std::uint8_t> FontCharsets(std::string_view face) {
    std::vector<std::uint8_t> charsets;
    const std::wstring wide = ToWide(face);
    // An empty name would enumerate every face, and a longer one would be cut
    // to some other face's name.
    if (wide.empty() || wide.size() >= LF_FACESIZE) return charsets;
    ScreenDc dc;
    if (!dc.get()) return charsets;
    LOGFONTW query{};
    // DEFAULT_CHARSET: every character set of the face is reported.
    query.lfCharSet = DEFAULT_CHARSET;
    std::wmemcpy(query.lfFaceName, wide.c_str(), wide.size() + 1);
    EnumFontFamiliesExW(dc.get(), &query, CollectCharset, reinterpret_cast<LPARAM>(&charsets), 0);
    return charsets;
}

int AddFontFile(std::string_view path) {
    return AddFontResourceW(ToWide(path).c_str());
}

Result RemoveFontFile(std::string_view path) { return Outcome(RemoveFontResourceW(ToWide(path).c_str())); }

void AnnounceFontChange() {
    // A hung window of another program must not hold up the installation.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, kFontChangeTimeoutMs,
                        &ignored);
}

}  // namespace sys
