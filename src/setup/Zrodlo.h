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

// The folder without one trailing backslash ("D:\" -> "D:"; "" stays "").
std::string BezKoncowegoUkosnika(std::string_view katalog);

// The folder part of a file path, up to and including the last backslash.
std::string KatalogPliku(std::string_view sciezkaPliku);

// The first three characters of the upper-cased folder, e.g. "D:\".
std::string DyskKatalogu(std::string_view katalog);

// Whether a typed folder names its place in full: a drive root ("C:\...")
// or a share ("\\server\share..."). "Velt", "\Velt" and "C:Velt" depend
// on the current folder and drive, and are not.
bool SciezkaBezwzgledna(std::string_view sciezka);

// A typed folder without its trailing backslashes, except the one of a drive
// root ("C:\Velt\" -> "C:\Velt"; "C:\" stays).
std::string BezKoncowychUkosnikow(std::string_view katalog);
