#pragma once
// The options page's rules that need no system call: the skip list (a name
// list, base/Narzedzia.h), drive numbers and the size format. Windows-1250.

#include <cstdint>
#include <string>
#include <string_view>

// The wizard's own files on the medium, which are never installed; "." and
// ".." keep the tree scans from following the folder links.
inline constexpr std::string_view kPlikiInstalatora =
    "<.><..><umowapol.txt><umowaang.txt><umowadeu.txt><umowafr.txt><instalator.exe><instaluj.exe>"
    "<instalka.exe><autorun.inf><comctl32.dll><comctl32.ocx><stedt.ttf><SAPI51tts.exe>"
    "<SyntezaMowy.exe><start.exe><InstalatorAng3.exe><InstalatorDeu3.exe>";

// The skip list of an installation: the wizard's own files, the edition's own
// list, the running wizard's file name (lower case, no path) and, unless the
// dictionaries are installed, the edition's dictionary files.
std::string ListaPominietych(std::int32_t wydanie, bool instalujSlowniki, std::string_view nazwaInstalatora);

// Room for what the wizard unpacks from its own resources: reserved on the
// options page and counted as progress once unpacked.
inline constexpr std::int64_t kMiejsceNaZasoby = 2'100'000;

// Drive number of a path for the free-space query: 0 for an empty path (the
// current drive), else the upper-cased first character minus 64 (C: is 3).
int NumerDysku(std::string_view sciezka);

// Bytes as megabytes of 1,048,576 in the pattern "#,##0.0 MB", with the
// user's thousands and decimal separators.
std::string FormatujMegabajty(std::int64_t bajty, std::string_view separatorTysiecy,
                              std::string_view separatorDziesietny);
