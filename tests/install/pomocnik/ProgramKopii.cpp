// A stand-in for a program started from a temporary copy. It writes, next to
// its own file under its own name + ".txt", three lines in Windows-1250: its
// full path, its current folder and its argument string; and the line
// "kopia" into each disk file whose handle number an argument
// "/LOGHANDLE=<number>" gives, as a wizard's copy goes on with an inherited
// log. Then it waits until the named event that the last word of its
// arguments names is set (at most a minute), so that a test decides when it
// ends.

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

namespace {

std::string W1250(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(1250, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(1250, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

// The command line without the program's own word.
std::wstring Arguments() {
    std::wstring_view line = GetCommandLineW();
    std::size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        i = line.find(L'"', 1);
        i = i == std::wstring_view::npos ? line.size() : i + 1;
    } else {
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
    }
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    return std::wstring(line.substr(i));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
    wchar_t here[MAX_PATH * 4] = {};
    GetCurrentDirectoryW(MAX_PATH * 4, here);
    const std::wstring arguments = Arguments();

    const std::string report = W1250(self) + "\r\n" + W1250(here) + "\r\n" + W1250(arguments) + "\r\n";
    const std::wstring reportPath = std::wstring(self) + L".txt";
    // Written under a temporary name and renamed, so that a reader never sees
    // half of it.
    const std::wstring partial = reportPath + L".part";
    HANDLE file =
        CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || !MoveFileW(partial.c_str(), reportPath.c_str())) return 3;

    const std::wstring_view handleSwitch = L"/LOGHANDLE=";
    for (auto at = arguments.find(handleSwitch); at != std::wstring::npos;
         at = arguments.find(handleSwitch, at + 1)) {
        const auto number = std::wcstoull(arguments.c_str() + at + handleSwitch.size(), nullptr, 10);
        const auto handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(number));
        if (GetFileType(handle) == FILE_TYPE_DISK) WriteFile(handle, "kopia\r\n", 7, &written, nullptr);
    }

    const auto lastBlank = arguments.find_last_of(L' ');
    const std::wstring eventName = lastBlank == std::wstring::npos ? arguments : arguments.substr(lastBlank + 1);
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, eventName.c_str());
    if (event == nullptr) return 4;
    WaitForSingleObject(event, 60000);
    CloseHandle(event);
    return 0;
}
