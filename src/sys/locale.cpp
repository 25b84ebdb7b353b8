#include "sys/locale.h"

#include "sys/lasterror.h"
#include "sys/text.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace sys {

std::uint32_t ThreadLocale() { return GetThreadLocale(); }

WindowsVersion SystemVersion() {
    const DWORD v = GetVersion();
    WindowsVersion version;
    version.major = LOBYTE(LOWORD(v));
    version.minor = HIBYTE(LOWORD(v));
    // The high bit is set on the Windows 9x family only.
    version.nt = (v & 0x80000000u) == 0;
    return version;
}

KeyboardLayout CurrentKeyboardLayout() { return GetKeyboardLayout(0); }

std::optional<KeyboardLayout> LoadKeyboardLayoutById(std::string_view klid, bool activate) {
    const bool wellFormed = klid.size() == KL_NAMELENGTH - 1 && std::all_of(klid.begin(), klid.end(), [](char c) {
                                return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
                            });
    if (!wellFormed) return std::nullopt;
    const HKL layout = LoadKeyboardLayoutW(ToWide(klid).c_str(), activate ? KLF_ACTIVATE : 0);
    if (layout == nullptr) return std::nullopt;
    return layout;
}

Result ActivateLayout(KeyboardLayout layout) {
    if (layout == nullptr) return Result{ERROR_INVALID_PARAMETER};
    return Outcome(ActivateKeyboardLayout(layout, 0) != nullptr);
}

KeyboardLayoutGuard::~KeyboardLayoutGuard() {
    Ignore(ActivateLayout(remembered_), "typing goes on under whatever layout the system keeps");
}

}  // namespace sys

namespace sys {

namespace {
std::string LocaleText(LCTYPE what, std::string fallback) {
    wchar_t buffer[16] = {};
    const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, what, buffer, static_cast<int>(std::size(buffer)));
    if (n <= 1) return fallback;
    return FromWide(std::wstring_view(buffer, static_cast<std::size_t>(n - 1)));
}
}  // namespace

NumberSeparators UserNumberSeparators() {
    return {LocaleText(LOCALE_STHOUSAND, ","), LocaleText(LOCALE_SDECIMAL, ".")};
}

std::string LocalDateText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof(text), "%04u%02u%02u", static_cast<unsigned>(now.wYear), static_cast<unsigned>(now.wMonth),
                  static_cast<unsigned>(now.wDay));
    return text;
}

}  // namespace sys
