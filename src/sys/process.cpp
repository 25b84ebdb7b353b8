#include "sys/process.h"

#include "sys/lasterror.h"
#include "sys/text.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace sys {

namespace {

// ShellExecute's own error numbers (32 or less) as the Win32 errors they
// stand for; the others below 32 are Win32 errors already.
std::uint32_t ShellError(std::uintptr_t code) noexcept {
    switch (code) {
    case 0: return ERROR_OUTOFMEMORY;
    case SE_ERR_OOM: return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC: return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY: return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
    default: return static_cast<std::uint32_t>(code);  // SE_ERR_FNF, SE_ERR_PNF, ERROR_BAD_FORMAT, ...
    }
}
static_assert(SE_ERR_FNF == ERROR_FILE_NOT_FOUND && SE_ERR_PNF == ERROR_PATH_NOT_FOUND &&
              SE_ERR_ACCESSDENIED == ERROR_ACCESS_DENIED);

}  // namespace

Result ShellOpen(std::string_view file, std::string_view parameters, std::string_view folder, int showCommand,
                 HWND owner) {
    const std::wstring wfile = ToWide(file);
    const std::wstring wparameters = ToWide(parameters);
    const std::wstring wfolder = ToWide(folder);
    const HINSTANCE result = ShellExecuteW(owner, L"open", wfile.c_str(),
                                           wparameters.empty() ? nullptr : wparameters.c_str(),
                                           wfolder.empty() ? nullptr : wfolder.c_str(), showCommand);
    // Not a real instance handle: a number kept in a handle for old times'
    // sake, above 32 on success.
    const auto code = reinterpret_cast<std::uintptr_t>(result);
    return Result{code > 32 ? 0u : ShellError(code)};
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

StartedProcess StartProcess(std::string_view commandLine, std::uint32_t creationFlags, std::string_view folder,
                            bool hidden) {
    ProcessStart start;
    start.commandLine = commandLine;
    start.creationFlags = creationFlags;
    start.folder = folder;
    if (hidden) start.show = SW_HIDE;
    return StartProcess(start);
}

StartedProcess StartProcess(const ProcessStart& start) {
    StartedProcess started;
    // CreateProcessW may write into the command line.
    const std::wstring wide = ToWide(start.commandLine);
    std::vector<wchar_t> line(wide.begin(), wide.end());
    line.push_back(L'\0');
    const std::wstring wprogram = ToWide(start.program);
    const std::wstring wfolder = ToWide(start.folder);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup.StartupInfo);
    if (start.show) {
        startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
        startup.StartupInfo.wShowWindow = static_cast<WORD>(*start.show);
    }
    DWORD flags = start.creationFlags;
    if (start.inherited && !*start.inherited) {
        started.error = ERROR_INVALID_HANDLE;
        return started;
    }
    std::vector<unsigned char> attributes;
    bool listed = false;
    HANDLE inherited = start.inherited ? start.inherited->handle() : nullptr;
    const auto finish = [&](std::uint32_t error) {
        if (listed)
            DeleteProcThreadAttributeList(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data()));
        if (inherited) Ignore(Outcome(SetHandleInformation(inherited, HANDLE_FLAG_INHERIT, 0)), "the start is over");
        started.error = error;
        return std::move(started);
    };
    // The inherited handle is named in a list, so that no other handle that
    // happens to be inheritable goes along; the handle itself is inheritable
    // only for the moment of the start.
    if (inherited) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        attributes.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
        if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size)) return finish(LastError());
        listed = true;
        if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &inherited, sizeof inherited,
                                       nullptr, nullptr) ||
            !SetHandleInformation(inherited, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT))
            return finish(LastError());
        startup.StartupInfo.cb = sizeof(startup);
        startup.lpAttributeList = list;
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(wprogram.empty() ? nullptr : wprogram.c_str(), line.data(), nullptr, nullptr,
                        inherited ? TRUE : FALSE, flags, nullptr, wfolder.empty() ? nullptr : wfolder.c_str(),
                        &startup.StartupInfo, &info))
        return finish(LastError());
    started.process.reset(info.hProcess);
    started.thread.reset(info.hThread);
    started.processId = info.dwProcessId;
    return finish(0);
}

Result SetPriority(const ThreadHandle& thread, int priority) {
    if (!thread) return Result{ERROR_INVALID_HANDLE};
    return Outcome(SetThreadPriority(thread.get(), priority));
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

Result Terminate(const ProcessHandle& process, std::uint32_t exitCode) {
    if (!process) return Result{ERROR_INVALID_HANDLE};
    return Outcome(TerminateProcess(process.get(), exitCode));
}

}  // namespace sys
