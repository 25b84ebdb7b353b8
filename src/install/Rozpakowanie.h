#pragma once
// Files that the wizard writes out of its own packed RCDATA resources: the
// edition's main program (TfrmMain::RozpakujProgram) and the update items
// (TfrmMain::RozpakujDodatki). Resources are
// looked up by name in the wizard's own module; each packed part is unpacked
// in memory whole and then written.
//
// Paths are single-byte Windows-1250; resource names are ASCII. A file is
// checked whole against the digest the packer stored (payload/SumaPliku.h),
// written under a temporary name and only then put in the place of the file
// there, through the current journal (install/Dziennik.h): a damaged payload
// replaces nothing. The functions add what they wrote to `zapisane` (the
// run's SkopiowanePliki).

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

// The main program made of the parts `zasoby`: every named part unpacked
// with the stages CzescTylkoPierwszymEtapem gives for `wydanie` (capacity
// PojemnoscCzesciProgramu), one after the other. The first part must be
// named. Raises BladProgramu when a named part is missing or does not unpack.
[[nodiscard]] std::vector<std::uint8_t> RozpakujCzesci(const ZasobyProgramu& zasoby, std::int32_t wydanie);

// Checks `dane`, the whole content of the file `plik` whose first packed part
// is the resource `pierwszaCzesc`, against the digest the wizard carries for
// it (ZasobSumy). A mismatch or a missing digest is a damaged wizard or
// medium: it is logged, naming the file, and raises BladProgramu.
void SprawdzSume(std::string_view pierwszaCzesc, std::span<const std::uint8_t> dane, const std::string& plik);

// Writes the main program made of the parts `zasoby` to `sciezka`
// (RozpakujCzesci), once it matches its digest (SprawdzSume), replacing a
// file that is there, and adds it to `zapisane`. Raises BladProgramu for a
// missing, damaged or mismatched part and when the file cannot be written;
// then nothing has changed at `sciezka`.
void ZlozProgram(const ZasobyProgramu& zasoby, std::int32_t wydanie, const std::string& sciezka,
                 std::vector<std::string>& zapisane);

// Appends the content of the resource `zasob`, unpacked with both stages
// (capacity PojemnoscDodatku), to the open `plik`. False when the resource is
// missing or does not unpack (then nothing is appended), or when writing fails
// (then part of it may be).
[[nodiscard]] bool UnpackResourceToFile(std::string_view zasob, sys::File& plik);

// A packed item (kind 0): the file at `sciezka` becomes its resources, first
// then second, each unpacked with both stages (capacity PojemnoscDodatku),
// once they match the item's digest. True when it was installed; an item
// whose resources are not all there is not started: false, and no file is
// touched. A part that does not unpack, a mismatch, or a file that cannot be
// written raise BladProgramu, with nothing replaced. A file it created is
// added to `zapisane`.
[[nodiscard]] bool UnpackItemToFile(const TDodatek& dodatek, const std::string& sciezka,
                                    std::vector<std::string>& zapisane);

// Extracts the member `nazwa` of the ZIP archive `archiwum` to `sciezka`,
// replacing a file that is there, once the member has come out whole (its
// size and CRC-32). False, touching nothing, for a member that is missing,
// damaged or cannot be processed; raises BladProgramu when the file cannot be
// written. A file it created is added to `zapisane`.
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

// The update items of the list of `wydanie` and `wariant` into
// `katalogDocelowy`, when this build installs that list (DodatkiWydania*),
// each logged as installed or left out. Raises BladProgramu as InstallItem.
void RozpakujDodatkiWydania(std::int32_t wydanie, std::int32_t wariant, const std::string& katalogDocelowy,
                            std::vector<std::string>& zapisane);
