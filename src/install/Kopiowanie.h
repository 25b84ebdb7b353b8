#pragma once
// The installation's tree copy: files in blocks with the progress gauge, the
// skip list, replacements through the journal (install/Dziennik.h), and the
// stop after a confirmed cancel; and its rules that decide without touching
// the disk. The wizard reaches it through TfrmMain::KopiujKatalog and
// KopiujPlik, which hand it their records and window. Paths are Windows-1250.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Dziennik;
class OknoInstalacji;

// Bytes moved by one read and one write of a file copy.
inline constexpr std::size_t kBlokKopiowania = 32768;

// The copy shows its file and the gauge, and lets the window process its
// messages, at most once in this many milliseconds of the window's clock:
// Cancel still answers at once, and thousands of small files do not wait
// for painting.
inline constexpr std::uint64_t kOdstepPokazu = 50;

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
    std::int64_t& postep;  // bytes copied (and the listing's folder sizes)
};

// Copies the tree under `zrodlo` into `cel` (both without trailing
// backslash), skipping the names on `pomijane` at every level, showing in
// `okno` the file being copied and the progress once an interval
// (kOdstepPokazu), and the last file and the whole progress at the end. After
// each entry `okno` answers a pending cancel request; a confirmed one ends the
// copy there (the run's undo is the window's). Raises BladProgramu on an
// input/output failure.
void KopiujKatalog(StanKopiowania& stan, OknoInstalacji& okno, const std::string& zrodlo, const std::string& cel,
                   const std::string& pomijane);
// Copies one file in kBlokKopiowania blocks, showing it and advancing the
// progress: into a new file where nothing holds the name, else into a
// temporary file that then takes the place of the one there (Wstaw, which
// keeps that one as a backup). A failure leaves `cel` as it was and raises
// BladProgramu; a read-only file or a folder at `cel` is one.
void KopiujPlik(StanKopiowania& stan, OknoInstalacji& okno, const std::string& zrodlo, const std::string& cel);
