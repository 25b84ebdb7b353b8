#include "sys/process.h"

#include "sys/text.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace sys {

std::intptr_t ShellOpen(std::string_view file, std::string_view parameters, std::string_view folder,
                        int showCommand, HWND owner) {
    const std::wstring wfile = ToWide(file);
    const std::wstring wparameters = ToWide(parameters);
    const std::wstring wfolder = ToWide(folder);
    const HINSTANCE result = ShellExecuteW(owner, L"open", wfile.c_str(),
                                           wparameters.empty() ? nullptr : wparameters.c_str(),
                                           wfolder.empty() ? nullptr : wfolder.c_str(), showCommand);
    // Not a real instance handle: a number kept in a handle for old times' sake.
    return reinterpret_cast<std::intptr_t>(result);
}

bool OnlySystemFolderForLibraries() noexcept {
    // Not in the headers for the oldest system the program targets.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto ustaw = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                    reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                              : nullptr;
    if (ustaw && ustaw(kLoadLibrarySearchSystem32)) return true;
    SetDllDirectoryW(L"");
    return false;
}

ModuleHandle LoadSystemLibrary(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    const UINT n = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
    if (n == 0 || n >= path.size()) return ModuleHandle();
    path.resize(n);
    path += L'\\';
    path += name;
    // Its own dependencies are then searched from the system folder as well.
    return ModuleHandle(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

NamedMutex CreateNamedMutex(std::string_view name) {
    NamedMutex result;
    result.handle.reset(CreateMutexW(nullptr, FALSE, ToWide(name, 1252).c_str()));
    const DWORD error = GetLastError();
    // Made by someone else under rights that deny us: there all the same.
    result.existed = result.handle ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    return result;
}

bool NamedMutexExists(std::string_view name) {
    MutexHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, ToWide(name, 1252).c_str()));
    return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}

ModuleHandle LoadModuleAsData(std::string_view path) {
    return ModuleHandle(LoadLibraryExW(ToWide(path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

StartedProcess StartProcess(std::string_view commandLine, std::uint32_t creationFlags, std::string_view folder,
                            bool hidden) {
    StartedProcess started;
    // CreateProcessW may write into the command line.
    const std::wstring wide = ToWide(commandLine);
    std::vector<wchar_t> line(wide.begin(), wide.end());
    line.push_back(L'\0');
    const std::wstring wfolder = ToWide(folder);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                        wfolder.empty() ? nullptr : wfolder.c_str(), &startup, &info)) {
        const DWORD e = GetLastError();
        started.error = e != 0 ? e : ERROR_GEN_FAILURE;
        return started;
    }
    started.process.reset(info.hProcess);
    started.thread.reset(info.hThread);
    started.processId = info.dwProcessId;
    return started;
}

bool SetPriority(const ThreadHandle& thread, int priority) {
    return thread && SetThreadPriority(thread.get(), priority) != FALSE;
}

std::optional<std::uint32_t> Resume(const ThreadHandle& thread) {
    if (!thread) return std::nullopt;
    const DWORD previous = ResumeThread(thread.get());
    if (previous == static_cast<DWORD>(-1)) return std::nullopt;
    return previous;
}

bool WaitForExit(const ProcessHandle& process, std::uint32_t milliseconds) {
    return process && WaitForSingleObject(process.get(), milliseconds) == WAIT_OBJECT_0;
}

std::optional<std::uint32_t> ExitCode(const ProcessHandle& process) {
    // STILL_ACTIVE is also a possible exit code: ask the handle whether it ended.
    DWORD code = 0;
    if (!process || WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &code))
        return std::nullopt;
    return code;
}

bool Terminate(const ProcessHandle& process, std::uint32_t exitCode) {
    return process && TerminateProcess(process.get(), exitCode) != FALSE;
}

}  // namespace sys
