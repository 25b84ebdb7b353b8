#pragma once
// Path rules of the source medium that need no system call. Paths are
// Windows-1250.

#include <string>
#include <string_view>

// The drive part of a path: "C:" for "C:\x", "\\server\share" for a network
// path, "" when there is none.
std::string CzescDyskuSciezki(std::string_view sciezka);

// Root of the path's drive with a trailing backslash ("C:\", "\\server\share\"),
// or "" when the path has no drive part.
std::string KatalogGlownyDysku(std::string_view sciezka);

// The first three characters of the upper-cased folder, e.g. "D:\".
std::string DyskKatalogu(std::string_view katalog);
