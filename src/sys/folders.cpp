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

// A folder stored in the registry, in its short form when Windows-1250
// cannot carry it.
std::optional<std::string> RegistryFolder(RegistryRoot root, std::string_view key, std::string_view value) {
    const auto opened = RegistryKey::OpenRead(root, key);
    if (!opened) return std::nullopt;
    const auto text = opened->ReadWideString(value);
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
