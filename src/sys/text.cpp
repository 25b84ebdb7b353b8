#include "sys/text.h"

#include <windows.h>

#include <climits>

namespace sys {

std::wstring ToWide(std::string_view text, unsigned codePage) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int n = static_cast<int>(text.size());
    // A single-byte code page never yields more UTF-16 units than bytes.
    std::wstring wynik(text.size(), L'\0');
    const int zapisane = MultiByteToWideChar(codePage, 0, text.data(), n, wynik.data(), n);
    wynik.resize(zapisane > 0 ? static_cast<std::size_t>(zapisane) : 0);
    return wynik;
}

std::string FromWide(std::wstring_view text, unsigned codePage) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int n = static_cast<int>(text.size());
    const int potrzeba = WideCharToMultiByte(codePage, 0, text.data(), n, nullptr, 0, "?", nullptr);
    if (potrzeba <= 0) return {};
    std::string wynik(static_cast<std::size_t>(potrzeba), '\0');
    const int zapisane =
        WideCharToMultiByte(codePage, 0, text.data(), n, wynik.data(), potrzeba, "?", nullptr);
    wynik.resize(zapisane > 0 ? static_cast<std::size_t>(zapisane) : 0);
    return wynik;
}

}  // namespace sys
