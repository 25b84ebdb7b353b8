#include "sys/process.h"

#include "sys/lasterror.h"
#include "sys/security.h"
#include "sys/text.h"

#include <aclapi.h>
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

namespace {

// Owned by Administrators; SYSTEM and Administrators alone may open it. The
// owner is what tells a lock of an administrator from a name taken first by
// someone else: no other token may give an object this owner.
constexpr wchar_t kLockSecurity[] = L"O:BAD:(A;;GA;;;SY)(A;;GA;;;BA)";

// The private namespaces' functions, looked up rather than imported: Wine
// 8.0 exports CreatePrivateNamespaceW as a stub that ends the process, so it
// is called only once a boundary was made, which Wine refuses.
struct NamespaceFunctions {
    HANDLE(WINAPI* createBoundary)(LPCWSTR, ULONG) = nullptr;
    BOOL(WINAPI* addSid)(HANDLE*, PSID) = nullptr;
    VOID(WINAPI* deleteBoundary)(HANDLE) = nullptr;
    HANDLE(WINAPI* create)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR) = nullptr;
    HANDLE(WINAPI* open)(LPVOID, LPCWSTR) = nullptr;

    NamespaceFunctions() noexcept {
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (!kernel) return;
        Find(kernel, "CreateBoundaryDescriptorW", createBoundary);
        Find(kernel, "AddSIDToBoundaryDescriptor", addSid);
        Find(kernel, "DeleteBoundaryDescriptor", deleteBoundary);
        Find(kernel, "CreatePrivateNamespaceW", create);
        Find(kernel, "OpenPrivateNamespaceW", open);
    }
    [[nodiscard]] bool all() const noexcept { return createBoundary && addSid && deleteBoundary && create && open; }

private:
    template <typename Function>
    static void Find(HMODULE module, const char* name, Function& function) noexcept {
        function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
};

const NamespaceFunctions& Namespaces() noexcept {
    static const NamespaceFunctions functions;
    return functions;
}

// The boundary "only members of Administrators": a process must have that
// group in its token to create the namespace.
class Boundary {
public:
    Boundary(const std::wstring& name, PSID administrators) noexcept {
        const NamespaceFunctions& f = Namespaces();
        if (!f.all()) return;
        handle_ = f.createBoundary(name.c_str(), 0);
        if (handle_ && !f.addSid(&handle_, administrators)) reset();
    }
    ~Boundary() { reset(); }
    Boundary(const Boundary&) = delete;
    Boundary& operator=(const Boundary&) = delete;

    [[nodiscard]] HANDLE get() const noexcept { return handle_; }

private:
    void reset() noexcept {
        if (handle_) Namespaces().deleteBoundary(handle_);
        handle_ = nullptr;
    }
    HANDLE handle_ = nullptr;
};

// The lock's private namespace, created or (`create` false: only) opened.
// `offered` is false where the system makes no boundary: no namespace exists
// there, and the lock goes by its global name.
struct LockSpace {
    bool offered = false;
    NamespaceHandle handle;
};
LockSpace LockNamespace(const std::wstring& name, const SecurityDescriptor& sd, bool create) {
    LockSpace space;
    PSID administrators = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(sd.get(), &administrators, &defaulted)) return space;
    const Boundary boundary(name, administrators);
    if (!boundary.get()) return space;
    space.offered = true;
    const NamespaceFunctions& f = Namespaces();
    SECURITY_ATTRIBUTES sa{sizeof(sa), sd.get(), FALSE};
    // One that exists goes with the process that made it: then made anew.
    for (int attempt = 0; attempt < 3 && !space.handle; ++attempt) {
        if (create) {
            space.handle.reset(f.create(&sa, boundary.get(), name.c_str()));
            if (space.handle || GetLastError() != ERROR_ALREADY_EXISTS) break;
        }
        space.handle.reset(f.open(boundary.get(), name.c_str()));
        if (!create) break;
    }
    return space;
}

// Whether an existing object, open with READ_CONTROL, is an administrator's.
bool MadeByAdmins(HANDLE object) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr,
                        &sd) != ERROR_SUCCESS)
        return false;
    return OwnedByAdmins(SecurityDescriptor(sd));
}

// The lock by its global name, for a system without private namespaces.
AdminLock GlobalLock(const std::wstring& name, const SecurityDescriptor& sd, bool take) {
    AdminLock lock;
    const std::wstring global = L"Global\\" + name;
    MutexHandle mutex;
    if (take) {
        SECURITY_ATTRIBUTES sa{sizeof(sa), sd.get(), FALSE};
        mutex.reset(CreateMutexW(&sa, FALSE, global.c_str()));
        if (mutex && GetLastError() != ERROR_ALREADY_EXISTS) {
            lock.mutex = std::move(mutex);
            return lock;
        }
    }
    // The object of that name as it is; what it is not (another kind of
    // object, one administrators may not open) is no administrator's lock.
    if (!mutex) mutex.reset(OpenMutexW(READ_CONTROL | SYNCHRONIZE, FALSE, global.c_str()));
    if (!mutex) {
        const DWORD error = GetLastError();
        lock.squatted = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        return lock;
    }
    if (MadeByAdmins(mutex.get())) lock.heldElsewhere = true;
    else lock.squatted = true;
    return lock;
}

AdminLock Lock(std::string_view name, bool take) {
    AdminLock lock;
    const std::wstring wide = ToWide(name, 1252);
    const auto sd = SecurityDescriptor::FromSddl(kLockSecurity);
    if (!sd) return lock;
    LockSpace space = LockNamespace(wide, *sd, take);
    // A process that may not make the namespace is no administrator's: it
    // goes by the global name, as where there are no namespaces at all.
    if (!space.offered || (take && !space.handle)) return GlobalLock(wide, *sd, take);
    // Looking only: no namespace, no lock.
    if (!space.handle) return lock;
    const std::wstring inside = wide + L"\\Lock";
    if (!take) {
        lock.heldElsewhere = static_cast<bool>(MutexHandle(OpenMutexW(SYNCHRONIZE, FALSE, inside.c_str())));
        return lock;
    }
    SECURITY_ATTRIBUTES sa{sizeof(sa), sd->get(), FALSE};
    MutexHandle mutex(CreateMutexW(&sa, FALSE, inside.c_str()));
    if (!mutex) return lock;
    lock.heldElsewhere = GetLastError() == ERROR_ALREADY_EXISTS;
    if (!lock.heldElsewhere) {
        lock.space = std::move(space.handle);
        lock.mutex = std::move(mutex);
    }
    return lock;
}

}  // namespace

AdminLock TakeAdminLock(std::string_view name) { return Lock(name, true); }

AdminLock FindAdminLock(std::string_view name) { return Lock(name, false); }

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
