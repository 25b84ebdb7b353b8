#pragma once
// The system's folders. Paths are single-byte Windows-1250; a folder whose
// name Windows-1250 cannot carry is given in its short 8.3 form (see
// FromSystemPath), and counts as not determined when it has none.

#include "sys/registry.h"

#include <optional>
#include <string>
#include <string_view>

namespace sys {

// The temporary folder (GetTempPath), the Windows folder and the system
// folder, each with a trailing backslash. nullopt when the system does not
// determine it within 260 characters.
[[nodiscard]] std::optional<std::string> TempFolder();
[[nodiscard]] std::optional<std::string> WindowsFolder();
[[nodiscard]] std::optional<std::string> SystemFolder();

// The Windows folder + "Fonts\" (whether it exists is the caller's question).
[[nodiscard]] std::optional<std::string> FontsFolder();

// A value of "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell
// Folders" under `root`, such as "Programs", "Desktop", "Common Programs" or
// "Fonts": the folder as stored (normally without a trailing backslash).
// nullopt when the key or the value is missing or not a string.
[[nodiscard]] std::optional<std::string> ShellFolder(RegistryRoot root, std::string_view value);

// "ProgramFilesDir" under HKEY_LOCAL_MACHINE
// "SOFTWARE\Microsoft\Windows\CurrentVersion", as stored; nullopt when missing.
[[nodiscard]] std::optional<std::string> ProgramFilesFolder();

}  // namespace sys
