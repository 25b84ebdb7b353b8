#include "sys/folders.h"

#include "sys/files.h"
#include "sys/text.h"

#include <vector>

#include <windows.h>

namespace sys {

namespace {

// The buffer size the program has always used for these folders: MAX_PATH
// characters and the terminating NUL.
constexpr UINT kFolderBuffer = MAX_PATH + 1;

// `query` fills a buffer and returns the length without the NUL, 0 on
// failure, or the size needed when the buffer is too small.
template <class Query>
std::optional<std::string> SystemFolderPath(Query query) {
    wchar_t buffer[kFolderBuffer] = {};
    const UINT n = query(buffer, kFolderBuffer);
    if (n == 0 || n >= kFolderBuffer) return std::nullopt;
    std::wstring path(buffer, n);
    if (path.back() != L'\\') path += L'\\';
    return FromSystemPath(path);
}

// The UTF-16 text of a string value, so that a path outside Windows-1250 can
// still be shortened before it is narrowed.
std::optional<std::wstring> ReadWideString(const RegistryKey& key, std::string_view name) {
    const std::wstring wname = ToWide(name);
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(key.handle(), wname.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        // One spare character: stored strings need not be terminated.
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        const LONG rc = RegQueryValueExW(key.handle(), wname.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (rc == ERROR_MORE_DATA) {
            bytes = size;
            continue;
        }
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
        std::wstring_view text(buffer.data(), size / sizeof(wchar_t));
        if (const auto nul = text.find(L'\0'); nul != std::wstring_view::npos) text = text.substr(0, nul);
        return std::wstring(text);
    }
    return std::nullopt;
}

std::optional<std::string> RegistryFolder(RegistryRoot root, std::string_view key, std::string_view value) {
    const auto opened = RegistryKey::OpenRead(root, key);
    if (!opened) return std::nullopt;
    const auto text = ReadWideString(*opened, value);
    if (!text) return std::nullopt;
    return FromSystemPath(*text);
}

}  // namespace

std::optional<std::string> TempFolder() {
    return SystemFolderPath([](wchar_t* b, UINT n) -> UINT { return GetTempPathW(n, b); });
}

std::optional<std::string> WindowsFolder() {
    return SystemFolderPath([](wchar_t* b, UINT n) -> UINT { return GetWindowsDirectoryW(b, n); });
}

std::optional<std::string> SystemFolder() {
    return SystemFolderPath([](wchar_t* b, UINT n) -> UINT { return GetSystemDirectoryW(b, n); });
}

std::optional<std::string> FontsFolder() {
    auto folder = WindowsFolder();
    if (folder) *folder += "Fonts\\";
    return folder;
}

std::optional<std::string> ShellFolder(RegistryRoot root, std::string_view value) {
    return RegistryFolder(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", value);
}

std::optional<std::string> ProgramFilesFolder() {
    return RegistryFolder(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                          "ProgramFilesDir");
}

}  // namespace sys
