#pragma once
// Files that the wizard writes out of its own packed RCDATA resources: the
// edition's main program (TfrmMain::RozpakujProgram) and the update items
// (TfrmMain::RozpakujDodatki), both declared in app/untMain.h. Resources are
// looked up by name in the wizard's own module; each packed part is unpacked
// in memory whole and then written.
//
// Paths are single-byte Windows-1250; resource names are ASCII. Every function
// that creates a file adds its path to `zapisane` (the run's SkopiowanePliki)
// as soon as the file exists, so that a cancellation removes it, even when it
// is left unfinished.

#include "payload/Dodatki.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sys {
class File;
}

// Build switches of the update lists of editions 1, 4 and 6 (payload/Dodatki.h
// ListaDodatkow). All false in this build.
extern bool DodatkiWydania1;
extern bool DodatkiWydania4;
extern bool DodatkiWydania6;

// Resource names of the main program's parts, first to third; "" for a part
// that the edition does not have.
using ZasobyProgramu = std::array<std::string_view, LiczbaCzesciProgramu>;

// Writes the main program made of the parts `zasoby` to `sciezka`: creates the
// file (replacing one that is there), appends every named part unpacked with
// the stages CzescTylkoPierwszymEtapem gives for `wydanie` (capacity
// PojemnoscCzesciProgramu), and closes it. The first part must be named.
// Raises BladProgramu when the file cannot be created, written or closed, and
// when a named part is missing or does not unpack: a program short of a part
// cannot run, so the run must not look finished. What was written stays.
void ZlozProgram(const ZasobyProgramu& zasoby, std::int32_t wydanie, const std::string& sciezka,
                 std::vector<std::string>& zapisane);

// Appends the content of the resource `zasob`, unpacked with both stages
// (capacity PojemnoscDodatku), to the open `plik`. False when the resource is
// missing or does not unpack (then nothing is appended), or when writing fails
// (then part of it may be).
[[nodiscard]] bool UnpackResourceToFile(std::string_view zasob, sys::File& plik);

// A packed item (kind 0): the file at `sciezka` becomes its resources, first
// then second, each unpacked by UnpackResourceToFile. True when every part went
// in. An item whose resources are not all there is not started: false, and no
// file is touched. Raises BladProgramu when the file cannot be created or
// closed.
[[nodiscard]] bool UnpackItemToFile(const TDodatek& dodatek, const std::string& sciezka,
                                    std::vector<std::string>& zapisane);

// Extracts the member `nazwa` of the ZIP archive `archiwum` to `sciezka`
// through dmCompress.KAZip, replacing a file that is there. True when the
// extraction raised no error; a file it created is added to `zapisane`.
[[nodiscard]] bool ExtractFromZip(std::span<const std::uint8_t> archiwum, std::string_view nazwa,
                                  const std::string& sciezka, std::vector<std::string>& zapisane);

// An archive item (kind 1): the member named like the item's file, out of the
// ZIP archive that its first resource holds (ExtractFromZip). Raises
// BladProgramu when that resource is missing.
[[nodiscard]] bool ExtractItemFromZip(const TDodatek& dodatek, const std::string& sciezka,
                                      std::vector<std::string>& zapisane);

// Installs an item by its kind; false for a kind that has no way to its file.
[[nodiscard]] bool InstallItem(const TDodatek& dodatek, const std::string& sciezka,
                               std::vector<std::string>& zapisane);
// The same for item `numer` of the update item table; false for a number
// outside it.
[[nodiscard]] bool InstallItem(std::int32_t numer, const std::string& sciezka, std::vector<std::string>& zapisane);
