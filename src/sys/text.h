#pragma once
// Conversion at the Win32 boundary. Inside the program strings are single-byte
// (Windows-1250 unless a caller names another code page); the system is
// called through its wide-character functions.

#include <string>
#include <string_view>

namespace sys {

constexpr unsigned kStronaProgramu = 1250;

// Single-byte text in `codePage` to UTF-16.
std::wstring ToWide(std::string_view text, unsigned codePage = kStronaProgramu);

// UTF-16 to single-byte text in `codePage`; characters the code page lacks
// become '?'.
std::string FromWide(std::wstring_view text, unsigned codePage = kStronaProgramu);

}  // namespace sys
