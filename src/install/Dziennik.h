#pragma once
// The installation journal: every change a run makes is recorded before it
// is made, so that a run killed at any instant can be undone at the next
// start, and a confirmed cancel or an error undoes the same records the same
// way.
//
// The records are kept in memory for the run's own undo and, while a run is
// in progress, also appended to a file of the machine's (the run writes the
// machine's registry and program folders, whoever runs it), each with one
// WriteFile (nothing is held back inside the process). The file goes to the
// disk at the end of each step and before every rename of a file that was
// there, so that no rename reaches the disk before the record that describes
// it. Only one wizard runs on a machine at a time (its lock in app/instal.cpp
// is global), so a journal found at start belongs to a run that died.
//
// Each kind of change has its "do" here, beside its undo: a step changes the
// disk and the registry only through these, so one that records nothing
// stands out. Each do takes the journal to record in; without one (outside a
// run) it only makes the change. Record forms: install/WpisyDziennika.h.

#include "install/WpisyDziennika.h"
#include "sys/files.h"
#include "sys/registry.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Dziennik {
public:
    Dziennik() = default;
    Dziennik(const Dziennik&) = delete;
    Dziennik& operator=(const Dziennik&) = delete;
    ~Dziennik();

    // Starts the journal of a run in a new file `sciezka` and writes the
    // run's first record. False when the file cannot be made (BladPliku says
    // why): the run's records are then kept in memory only, enough for its
    // own cancel but not for a run that dies.
    [[nodiscard]] bool Rozpocznij(const std::string& sciezka, std::int32_t wydanie, const std::string& katalogDocelowy);
    // The Win32 error that stopped the file: at its start or at a later write.
    [[nodiscard]] std::uint32_t BladPliku() const noexcept { return bladPliku_; }
    [[nodiscard]] const std::string& Sciezka() const noexcept { return sciezka_; }
    // Appends a record: to memory, and to the file when one is open, at once
    // (a killed process loses nothing written). A write that fails closes
    // the file and says so in the log once. Records reach the disk itself
    // with Utrwal, or with the first record written kOdstepUtrwalaniaMs or
    // more after the oldest one not there yet: a power cut may lose the last
    // new files' records, never one that an original depends on.
    void Zapisz(RodzajWpisu rodzaj, std::initializer_list<std::string_view> pola);
    void Zapisz(WpisDziennika wpis);
    // Puts the file's records on the disk: before anything whose only other
    // copy the records are is set aside or overwritten.
    void Utrwal();
    static constexpr std::uint64_t kOdstepUtrwalaniaMs = 400;
    [[nodiscard]] bool ZapisujeDoPliku() const noexcept { return static_cast<bool>(plik_); }
    [[nodiscard]] const std::vector<WpisDziennika>& Wpisy() const noexcept { return wpisy_; }
    // The run is over and its outcome dealt with: the file goes, and the
    // records are forgotten.
    void Zakoncz();
    // The undo of the run left `pozostale` undone: the file keeps only them,
    // marked as decided, for the next start to try again; the records are
    // forgotten.
    void ZostawDoPonowienia(const std::vector<WpisDziennika>& pozostale);

    // The serial number of the volume of folder `katalog`, asked of `plik`,
    // just made there: asked once while the files go into one folder, as
    // under Wine the question costs more than a small file's whole copy.
    [[nodiscard]] std::optional<std::uint32_t> Wolumin(const std::string& katalog, const sys::File& plik);

    // The journal of the run in progress, to which the steps outside the
    // wizard form record their changes; null outside a run.
    [[nodiscard]] static Dziennik* Biezacy() noexcept;

private:
    std::vector<WpisDziennika> wpisy_;
    sys::File plik_;
    std::string sciezka_;
    std::uint32_t bladPliku_ = 0;
    // Records written but not yet on the disk, the oldest since when.
    bool nieutrwalone_ = false;
    std::uint64_t odNieutrwalonych_ = 0;  // sys::Milliseconds
    std::string katalogWoluminu_;
    std::uint32_t wolumin_ = 0;
};

// Makes a journal the current one for the scope of a run.
class BiezacyDziennik {
public:
    explicit BiezacyDziennik(Dziennik& d) noexcept;
    ~BiezacyDziennik();
    BiezacyDziennik(const BiezacyDziennik&) = delete;
    BiezacyDziennik& operator=(const BiezacyDziennik&) = delete;

private:
    Dziennik* poprzedni_;
};

// ---- where the journals live ----
// The folder of the journals: Zelpax in the machine's application-data
// folder, outside any target folder. Empty when the system names none.
// Every user may add folders and files to the application-data folder, and
// the elevated wizard replays what it finds in this one: so the folder is
// kept for administrators alone (no one else may even read the records), and
// nothing that others could have written is replayed. Once made it stays, so
// that no user can make it first.
[[nodiscard]] std::string KatalogDziennikow();
// Makes the folder ready for a run's journal: created for administrators
// alone (sys::CreateAdminFolder, Readers::None), or, when it is there and
// others may change it, renamed aside with what it holds (".niezaufany") and
// made afresh. The error when that cannot be done, which is logged.
[[nodiscard]] sys::Result PrzygotujKatalogDziennikow();
// A journal file in that folder that holds nothing yet: "instal.dzn", or,
// while an earlier journal waits for its question, "instal2.dzn" and on.
// Makes the folder ready first; empty when it cannot be.
[[nodiscard]] std::string NowaSciezkaDziennika();
// The journals left in the folder by runs that did not end, newest first:
// only plain files with one name, owned by administrators, in a folder only
// they could change. Any other is never replayed: it is logged and renamed
// out of the way of this scan (".niezaufany"), kept for an administrator to
// look at. A folder that others could change is set aside whole. Only a
// process with an administrator's full token (`podniesiony`; by default
// sys::ProcessElevated) replays: any other leaves them, and logs why.
[[nodiscard]] std::vector<std::string> PozostawioneDzienniki();
[[nodiscard]] std::vector<std::string> PozostawioneDzienniki(bool podniesiony);
// The records of a journal file, checked as PozostawioneDzienniki does and
// read through the same handle, with the file's last write; nullopt when it
// cannot be read, or fails the check (then it is set aside as there).
[[nodiscard]] std::optional<OdczytDziennika> WczytajDziennik(const std::string& sciezka);
// Replaces the content of a journal file with `wpisy`, in one step (written
// beside it under a name nothing holds, then renamed over it). False when it
// could not be done.
[[nodiscard]] bool ZapiszDziennik(const std::string& sciezka, const std::vector<WpisDziennika>& wpisy);
// Removes a journal file; the folder stays.
void UsunDziennik(const std::string& sciezka);

// ---- the changes a run makes, each recorded in `d` (when not null) first ----
// Creates one folder level; a name that is taken fails (ERROR_ALREADY_EXISTS)
// without a record. Undo: removed when empty.
[[nodiscard]] sys::Result UtworzKatalog(Dziennik* d, const std::string& katalog);
// Creates a file for writing where nothing holds the name (CreateNew), to be
// closed with ZamknijPlik, which records it. Undo: deleted while it is that
// file as it was left; one the run died writing, or never closed, stays
// unless still empty.
[[nodiscard]] sys::File UtworzPlik(Dziennik* d, const std::string& sciezka);
// A new file for writing under a free temporary name beside `cel`
// (NazwaTymczasowa), recorded as UtworzPlik does: what a replacement is
// written into before it takes `cel`'s place (Wstaw). Its `plik` is not open
// when it could not be made; raises BladProgramu when no name is free.
struct PlikTymczasowy {
    std::string sciezka;
    sys::File plik;
};
[[nodiscard]] PlikTymczasowy UtworzTymczasowy(Dziennik* d, const std::string& cel);
// Closes a file that UtworzPlik made at `sciezka` in `d`, written whole, and
// records its number, volume and stamp: a file of that number that is not of
// that size and time any more was written since, and is not the run's to
// delete. Without `d` it only closes.
[[nodiscard]] sys::Result ZamknijPlik(Dziennik* d, sys::File& plik, const std::string& sciezka);
// Puts the complete, closed `tymczasowy` in the place of `cel`: a file that
// is there moves to a free backup name first. The record (with the stamps
// of both files) goes to the disk before either rename. A folder or a
// read-only file at `cel` is refused (ERROR_ALREADY_EXISTS,
// ERROR_ACCESS_DENIED) and nothing moves; after a failed second rename the
// first is turned back. Either way `tymczasowy` stays for the caller.
// Undo: the backup back in place while the file is the one put there.
[[nodiscard]] sys::Result Wstaw(Dziennik* d, const std::string& tymczasowy, const std::string& cel);
// Copies `zrodlo` to `cel` where nothing holds the name: a file of the
// system's that other programs may come to use (a font, a component), which
// an undo after another installation leaves in place.
[[nodiscard]] sys::Result KopiujPlikSystemu(Dziennik* d, const std::string& zrodlo, const std::string& cel);
// Opens `klucz` with full access, creating it; each missing level is
// recorded, outermost first. Undo: removed when empty.
[[nodiscard]] std::optional<sys::RegistryKey> OtworzKlucz(Dziennik* d, sys::RegistryRoot korzen, std::string_view klucz);
// Writes a value of the open `klucz` (the key `sciezka` under `korzen`),
// recorded with what it replaces. Undo: the previous value back while the
// key was written by nobody since.
[[nodiscard]] sys::Result ZapiszWartosc(Dziennik* d, sys::RegistryKey& klucz, sys::RegistryRoot korzen,
                                        std::string_view sciezka, std::string_view nazwa,
                                        const sys::RegistryKey::RawValue& wartosc, bool systemu = false);
// Adds a font file to the system's font table for this session. Undo: taken
// out again.
void DodajCzcionke(Dziennik* d, const std::string& plik);

// ---- what becomes of the records ----
// The undo of `wpisy`: every change newest first (folders last), each only
// while its object is still what the run left; the system's shared files and
// values last, and only when no step found that another installation came
// since. No step follows a link: each reaches its object through folders it
// checked and holds, opens it as itself, compares its volume, number and
// stamp, and changes it through that handle; a step whose way passes a link
// now is skipped. `ponowne`: the records were left by an undo before, and a
// step that fails again is handed to the system's next start (MoveFileEx)
// instead, where only administrators may change the folder. `poKroku` runs
// after each step (LiczbaKrokowCofania in all). `czasDziennika`: the records
// come from a journal that a run left, written last then
// (OdczytDziennika::czas): a new file written after it is not the run's, and a
// registry record of another account's hive is not replayed.
struct WynikCofania {
    // The records whose step failed, with the Numer records they need: what
    // the journal keeps for the next start.
    std::vector<WpisDziennika> pozostale;
    std::size_t pominiete = 0;  // steps skipped because their object changed since
};
[[nodiscard]] std::size_t LiczbaKrokowCofania(const std::vector<WpisDziennika>& wpisy);
WynikCofania WycofajWpisy(const std::vector<WpisDziennika>& wpisy, bool ponowne,
                          const std::function<void()>& poKroku = nullptr,
                          const std::optional<std::uint64_t>& czasDziennika = std::nullopt);
// The run's changes stay (a run that went well, or an interrupted one the
// user keeps): a backup whose file is missing goes back in its place (the run
// died between the two renames), every other backup is deleted, and so are
// the run's temporary files; each reached as WycofajWpisy does.
void ZachowajWpisy(const std::vector<WpisDziennika>& wpisy);
// Whether a move of `sciezka` may be left to the next start of Windows, which
// resolves the name long after any check: only where no one but
// administrators may put a link in its folder.
[[nodiscard]] bool WolnoPrzyNastepnymStarcie(const std::string& sciezka);
