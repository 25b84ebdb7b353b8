#include "sys/commandline.h"

#include "sys/text.h"

#include <windows.h>

#include <shellapi.h>

namespace sys {

std::wstring CommandLine() { return GetCommandLineW(); }

std::vector<std::wstring> CommandLineArguments() {
    int liczba = 0;
    LPWSTR* argumenty = CommandLineToArgvW(GetCommandLineW(), &liczba);
    std::vector<std::wstring> wynik;
    if (!argumenty) return wynik;
    for (int i = 1; i < liczba; ++i) wynik.emplace_back(argumenty[i]);
    LocalFree(argumenty);
    return wynik;
}

std::optional<std::string> FullPath(std::string_view path) {
    const std::wstring szeroka = ToWide(path);
    if (szeroka.empty()) return std::nullopt;
    const DWORD potrzeba = GetFullPathNameW(szeroka.c_str(), 0, nullptr, nullptr);
    if (potrzeba == 0) return std::nullopt;
    std::wstring bufor(potrzeba, L'\0');
    const DWORD n = GetFullPathNameW(szeroka.c_str(), potrzeba, bufor.data(), nullptr);
    if (n == 0 || n >= potrzeba) return std::nullopt;
    bufor.resize(n);
    return FromWide(bufor);
}

}  // namespace sys
