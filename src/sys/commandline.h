#pragma once
// The process's own command line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

// The whole command line as the process was given it.
std::wstring CommandLine();

// Its arguments, split by the Windows quoting rules (CommandLineToArgvW),
// without the program's own name. Empty when there are none or the line
// cannot be split.
[[nodiscard]] std::vector<std::wstring> CommandLineArguments();

// `path` (Windows-1250) made absolute against the current folder; nullopt
// when the system cannot do it.
[[nodiscard]] std::optional<std::string> FullPath(std::string_view path);

}  // namespace sys
