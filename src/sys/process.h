#pragma once
// Starting programs. Command lines, paths and parameters are single-byte
// Windows-1250.

#include "sys/files.h"
#include "sys/handle.h"
#include "sys/result.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include <windows.h>

namespace sys {

// Process and thread handles are both kernel handles, but distinct kinds of
// owner so that one is never passed where the other is meant.
using ProcessHandle = NullHandle<HANDLE, &CloseHandle, struct ProcessKind>;
using ThreadHandle = NullHandle<HANDLE, &CloseHandle, struct ThreadKind>;
using ModuleHandle = NullHandle<HMODULE, &FreeLibrary>;

// Makes every later library load search the system folder only, never the
// program's folder or the current one. Call it first thing: the program may
// run from a folder that others can write to. Systems without
// SetDefaultDllDirectories (before Windows 8 and its update for 7) at least
// lose the current folder. Returns whether the system folder alone is searched.
[[nodiscard]] bool OnlySystemFolderForLibraries() noexcept;

// Loads a library of the system by its full path in the system folder, so
// that no copy elsewhere is taken whatever the search order. An empty handle
// when it is not there.
[[nodiscard]] ModuleHandle LoadSystemLibrary(const wchar_t* name);

using MutexHandle = NullHandle<HANDLE, &CloseHandle, struct MutexKind>;
// A private namespace; closing the handle is what ClosePrivateNamespace does
// without its flag to destroy it.
using NamespaceHandle = NullHandle<HANDLE, &CloseHandle, struct NamespaceKind>;

// A lock of one process per machine that only administrators can take or
// hold, named `name` (ASCII): a mutex in a private namespace bounded by the
// Administrators group. Where the system makes no such namespace (Wine), or
// will not make it for this process, the mutex "Global\<name>", made with
// Administrators as owner and SYSTEM and Administrators as its sole users;
// an existing object of that name counts only when SYSTEM or Administrators
// own it. The lock is never waited on: its existence is the signal, and it
// goes when the last process holding it ends.
struct [[nodiscard]] AdminLock {
    NamespaceHandle space;  // held with the mutex: the namespace it was made in
    MutexHandle mutex;      // the lock, when this process holds it
    bool heldElsewhere = false;  // an administrator's process holds it
    // The global name is taken by an object that no administrator made (or
    // that administrators may not open): ignored, so nothing is held.
    bool squatted = false;
};
// Takes the lock unless an administrator's process holds it already. When
// it can be neither taken nor found held (squatted included), nothing is held.
AdminLock TakeAdminLock(std::string_view name);
// Only looks whether the lock is held: no handles are kept.
AdminLock FindAdminLock(std::string_view name);

// Opens `file` through the shell with the verb "open". Empty `parameters` or
// `folder` pass none; `owner` is the window that owns any message the shell
// shows (may be null). A failure carries the shell's error code as the Win32
// error that means the same (SE_ERR_NOASSOC as ERROR_NO_ASSOCIATION, ...).
Result ShellOpen(std::string_view file, std::string_view parameters, std::string_view folder, int showCommand,
                 HWND owner);

struct [[nodiscard]] StartedProcess {
    ProcessHandle process;
    ThreadHandle thread;  // the main thread
    std::uint32_t processId = 0;
    std::uint32_t error = 0;  // Win32 error code; 0 when the process was created

    explicit operator bool() const noexcept { return error == 0; }
};

// Creates a process from a command line (the program is its first,
// possibly quoted, word), inheriting no handles. An empty `folder` keeps the
// caller's current folder. With `hidden` the new program's first window is
// hidden (STARTF_USESHOWWINDOW with SW_HIDE).
StartedProcess StartProcess(std::string_view commandLine, std::uint32_t creationFlags, std::string_view folder,
                            bool hidden);

// How StartProcess below starts a program.
struct ProcessStart {
    // The program file by its full path, taken as it is and never searched
    // for; the command line then need not hold that path. Empty: the command
    // line's first word names the program.
    std::string_view program;
    std::string_view commandLine;
    std::uint32_t creationFlags = 0;
    std::string_view folder;  // its current folder; empty keeps the caller's
    std::optional<int> show;  // how its first window shows (SW_*); none: as it chooses
    // The one handle it inherits, under the same HandleNumber; with none
    // (null) it inherits no handle at all.
    const File* inherited = nullptr;
};
StartedProcess StartProcess(const ProcessStart& start);

// Sets a thread's priority (THREAD_PRIORITY_*).
Result SetPriority(const ThreadHandle& thread, int priority);

// Decrements a thread's suspend count; the count before the call, nullopt on
// failure.
[[nodiscard]] std::optional<std::uint32_t> Resume(const ThreadHandle& thread);

// Waits up to `milliseconds` for a process to end; true once it has ended.
[[nodiscard]] bool WaitForExit(const ProcessHandle& process, std::uint32_t milliseconds);

// The exit code of a process that has ended; nullopt while it runs or when it
// cannot be read.
[[nodiscard]] std::optional<std::uint32_t> ExitCode(const ProcessHandle& process);

// Ends a process at once with `exitCode`.
Result Terminate(const ProcessHandle& process, std::uint32_t exitCode);

}  // namespace sys
