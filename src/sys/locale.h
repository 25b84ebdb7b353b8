#pragma once
// Thread locale, system version and keyboard layouts of the calling thread.

#include "sys/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

namespace sys {

// The calling thread's locale identifier (1045 Polish, 1033 US English, ...).
[[nodiscard]] std::uint32_t ThreadLocale();

struct WindowsVersion {
    unsigned major = 0;
    unsigned minor = 0;
    bool nt = false;  // the Windows NT family (NT 4, 2000, XP and later)
};

// The version GetVersion reports (which a manifest-less program on a later
// system sees as an older one).
[[nodiscard]] WindowsVersion SystemVersion();

// Keyboard layouts are borrowed: the system owns them and nothing here
// unloads one.
using KeyboardLayout = HKL;

[[nodiscard]] KeyboardLayout CurrentKeyboardLayout();

// Loads the layout named by an eight-digit hexadecimal layout identifier such
// as "00000415" (Polish) or "0000040c" (French); with `activate` it also
// becomes the thread's layout. nullopt for a malformed identifier or when the
// system refuses. The system may hand back another layout than the one asked
// for (Wine gives the locale's own).
[[nodiscard]] std::optional<KeyboardLayout> LoadKeyboardLayoutById(std::string_view klid, bool activate);

// Makes `layout` the thread's active layout.
Result ActivateLayout(KeyboardLayout layout);

// Remembers the thread's layout and activates it again when it goes out of
// scope, whatever happened in between.
class KeyboardLayoutGuard {
public:
    KeyboardLayoutGuard() : remembered_(CurrentKeyboardLayout()) {}
    ~KeyboardLayoutGuard();
    KeyboardLayoutGuard(const KeyboardLayoutGuard&) = delete;
    KeyboardLayoutGuard& operator=(const KeyboardLayoutGuard&) = delete;

    [[nodiscard]] KeyboardLayout remembered() const noexcept { return remembered_; }

private:
    KeyboardLayout remembered_;
};

}  // namespace sys

namespace sys {

// The user's number separators (GetLocaleInfo of the user default locale), in
// Windows-1250; "," and "." when the system does not say.
struct NumberSeparators {
    std::string thousands = ",";
    std::string decimal = ".";
};
[[nodiscard]] NumberSeparators UserNumberSeparators();

// Today's date on the local clock, as "yyyymmdd".
[[nodiscard]] std::string LocalDateText();

}  // namespace sys
