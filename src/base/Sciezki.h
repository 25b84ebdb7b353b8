#pragma once
// Path pieces that need no system call: joining, the trailing backslash and a
// file's folder. Paths are Windows-1250 with backslash separators.

#include <string>
#include <string_view>

// The folder with one trailing backslash added when it has none; "" gives "\".
std::string ZUkosnikiem(std::string_view katalog);

// The folder with exactly one trailing backslash, repeated ones collapsed
// ("C:\a\\" -> "C:\a\"); "" stays "".
std::string ZJednymUkosnikiem(std::string_view katalog);

// `katalog` + "\" + `nazwa`, with a single backslash also when `katalog` is a
// drive root that already ends in one.
[[nodiscard]] std::string DolaczDoKatalogu(std::string_view katalog, std::string_view nazwa);

// The folder without one trailing backslash ("D:\" -> "D:"; "" stays "").
std::string BezKoncowegoUkosnika(std::string_view katalog);

// The folder without one trailing backslash, except a root ("C:\" or "\"),
// which "C:" or "" would no longer name.
std::string BezKoncowegoUkosnikaPozaKorzeniem(std::string_view katalog);

// A typed folder without its trailing backslashes, except the one of a drive
// root ("C:\Velt\" -> "C:\Velt"; "C:\" stays).
std::string BezKoncowychUkosnikow(std::string_view katalog);

// The folder part of a file path, up to and including the last backslash.
std::string KatalogPliku(std::string_view sciezkaPliku);

// As KatalogPliku, but a drive prefix alone also counts as the folder
// ("C:plik" -> "C:").
std::string KatalogPlikuLubDysk(std::string_view sciezkaPliku);
