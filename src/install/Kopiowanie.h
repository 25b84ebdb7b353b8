#pragma once
// The installation's tree copy: files in blocks with the progress gauge, the
// skip list, backups of what it replaces, and the stop after a confirmed
// cancel; and its rules that decide without touching the disk. The wizard
// reaches it through TfrmMain::KopiujKatalog and KopiujPlik (app/untMain.h).
// Paths are Windows-1250.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class Dziennik;
class OknoInstalacji;
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

// The run's records that the copy adds to, all owned by the run (the wizard's
// fields of the same names). The copy appends; it never clears them.
struct StanKopiowania {
    Dziennik& dziennik;                            // each change, before it is made
    std::vector<std::string>& utworzoneKatalogi;  // folders made
    std::vector<std::string>& skopiowanePliki;    // files written
    // Files replaced, each with the name its previous content was kept under.
    std::vector<std::pair<std::string, std::string>>& kopieZapasowe;
    std::int64_t& postep;  // bytes copied (and the listing's folder sizes)
};

// The wizard's own records, as its installation run keeps them.
[[nodiscard]] StanKopiowania StanKopiowaniaKreatora(TfrmMain& form) noexcept;

// Copies the tree under `zrodlo` into `cel` (both without trailing
// backslash), skipping the names on `pomijane` at every level, showing each
// file and the progress in `okno`. After each entry `okno` answers a pending
// cancel request; a confirmed one ends the copy there (the run's undo is the
// window's). Raises BladProgramu on an input/output failure.
void KopiujKatalog(StanKopiowania& stan, OknoInstalacji& okno, const std::string& zrodlo, const std::string& cel,
                   const std::string& pomijane);
// Copies one file in kBlokKopiowania blocks, advancing the progress. A
// failure leaves `cel` as it was and raises BladProgramu.
void KopiujPlik(StanKopiowania& stan, OknoInstalacji& okno, const std::string& zrodlo, const std::string& cel);

// Sets an existing `cel` aside under a backup name and records it in
// kopieZapasowe, so that a cancellation can put it back. Raises BladProgramu,
// leaving `cel` untouched, for a read-only file or a folder.
void ZachowajPoprzedni(StanKopiowania& stan, const std::string& cel);

// After a failed write of `cel`: the partial file goes and the file it
// replaced (if any) comes back.
void PrzywrocPoprzedni(StanKopiowania& stan, const std::string& cel);
