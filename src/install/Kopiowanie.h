#pragma once
// The rules of the tree copy that decide without touching the disk. The copy
// itself is TfrmMain::KopiujKatalog, KopiujPlik, SprawdzPrzerwanie and
// UsunKopieZapasowe (app/untMain.h). Paths are Windows-1250.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TfrmMain;

// Bytes moved by one read and one write of a file copy.
inline constexpr std::size_t kBlokKopiowania = 32768;

// A file that the copy replaces keeps its previous content beside it, under
// its own name with this suffix, until the run ends well (then the copy is
// deleted) or is cancelled (then it is put back).
inline constexpr std::string_view kPrzyrostekKopiiZapasowej = ".velt-kopia";

// The backup name of `plik` for attempt `numer`: the plain suffix for 1, the
// suffix and the number from 2 on ("a.dll.velt-kopia", "a.dll.velt-kopia2").
[[nodiscard]] std::string NazwaKopiiZapasowej(std::string_view plik, unsigned numer);

// Whether a folder listing that could not start must end the copy with an
// error. `kodBledu` is the Win32 error of the start, `katalogIstnieje` whether
// the folder is there now.
// False means there is nothing to copy: a drive root without a single entry.
// True for a folder that is there but cannot be listed, and for one that is
// not there (the medium was taken out, or the drive is not ready): a run that
// copied nothing of the tree must not end as a success.
[[nodiscard]] bool BladOtwarciaKatalogu(std::uint32_t kodBledu, bool katalogIstnieje) noexcept;

// Sets an existing `cel` aside under a backup name and records it in the
// form's KopieZapasowe, so that a cancellation can put it back. Raises
// BladProgramu, leaving `cel` untouched, for a read-only file or a folder.
void ZachowajPoprzedni(TfrmMain& okno, const std::string& cel);

// After a failed write of `cel`: the partial file goes and the file it
// replaced (if any) comes back.
void PrzywrocPoprzedni(TfrmMain& okno, const std::string& cel);
