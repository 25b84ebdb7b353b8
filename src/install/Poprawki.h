#pragma once
// The last step of an installation run: patch lists applied to files already
// in the target folder. The patch folder is the root of the installation
// medium (KatalogZrodlowy): the lists and the patch files lie there, beside
// the agreement. Formats: payload/SkryptPoprawki.h.
//
// Paths are single-byte Windows-1250. No outcome is shown to the user.

#include "payload/SkryptPoprawki.h"

#include <cstdint>
#include <string>

// Result codes of a list.
enum WynikListyPoprawek : std::int32_t {
    PoprawkiZastosowane = 0,     // every entry was applied
    PoprawkaZlaSuma = 1,         // a check sum did not match the old content
    PoprawkaZlyRozmiar = 2,      // a target was missing or did not have the old size
    PoprawkaNiezapisana = 3,     // the temporary file could not be written completely
    PoprawkaCelNiezastapiony = 4,  // the target could not be replaced
    PoprawkaNazwaPozaKatalogiem = 5,  // a name was absolute or climbed out of its folder
    PoprawkaZaDuza = 6,          // a patch file, old size or capacity above NajwiekszyPlik
    ListaNieOtwarta = 255,       // the list file could not be opened
};

// Where the patched content waits, in the target folder, until it replaces
// the target in one step (so that the old or the new content is always under
// the target's name).
inline constexpr const char* PlikTymczasowyPoprawki = "tmp25411.tmp";

// Applies one entry; `stan` is the list's error state. Once it is not 0 the
// entry only has its target's size checked (which may set 2). An entry with a
// name outside its folder sets 5 and touches nothing; one whose patch file,
// old size or capacities exceed NajwiekszyPlik sets 6 and reads nothing. Both folders end in a
// backslash. Raises BladProgramu when a file cannot be read, the patch does
// not unpack or its script is malformed (the target stays unchanged).
void ApplyPatch(const WpisPoprawki& wpis, const std::string& katalogPoprawek, const std::string& katalogDocelowy,
                std::int32_t& stan);

// Applies the list file `lista` of `katalogPoprawek` to `katalogDocelowy` and
// returns its result code (WynikListyPoprawek). Raises BladProgramu as
// ApplyPatch does, and for a list file that ends inside an entry (after
// applying the entries before it).
[[nodiscard]] std::int32_t ApplyPatchList(const std::string& lista, std::string katalogPoprawek,
                                          std::string katalogDocelowy);

// The records' lists for `wydanie`, then the numbered lists up to the first
// missing one. An error of a record's list ends the step (it propagates); an
// error of a numbered list is ignored. Result codes are not looked at.
void ZastosujPoprawki(std::int32_t wydanie, const std::string& katalogPoprawek, const std::string& katalogDocelowy);
