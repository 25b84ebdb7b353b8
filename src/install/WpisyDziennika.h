#pragma once
// The records of the installation journal: what a run is about to change, in
// the order it changes it, so that a run that dies half-way can be undone at
// the next start. This part only encodes and decodes them and answers what
// follows from the records alone; install/Dziennik.h writes the file, makes
// each change and undoes it.
//
// File form: records one after another, each
//   length   32 bits LE, bytes of the body
//   check    32 bits LE, CRC-32 of the body
//   body     kind (1 byte), then each field as 32-bit LE length + bytes
// A record that ends early or whose check fails is the torn tail of a write
// that the power or a kill cut short: it and everything after it are ignored.
// Paths and names are Windows-1250.
//
// An undo never touches what the run did not leave: each record carries what
// tells the run's object from one that took its place later (another
// installation into the same folder, say), and a step whose object changed
// since is skipped.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class RodzajWpisu : std::uint8_t {
    Poczatek = 1,    // {edition, target folder}: the run has begun
    Katalog = 2,     // {folder}: about to be created
    Plik = 3,        // {file[, "wspolny"]}: about to be created where nothing was; "wspolny" marks a file
                     //   of the system that other programs may use as well (a font, a component)
    Zastapiony = 4,  // {file, backup, previous stamp, new stamp, temporary file}: the complete temporary
                     //   file is about to take the file's place; the file there (if any) moves to the
                     //   backup name first. No file there: backup and previous stamp are empty.
    Czcionka = 5,    // {font file}: about to be added to the system's font table
    Klucz = 6,       // {root, key, time}: registry key about to be created (one level); time as in Wartosc;
                     //   root "HKLM", or "HKCU:" and the SID of the account whose hive it is (older journals:
                     //   "HKCU" alone)
    Wartosc = 7,     // {root, key, name, previous type, previous data, new type, new data, time[, "wspolny"]}:
                     //   about to be written; time (FILETIME, decimal) is taken just before the write
    Numer = 8,       // {file, number[, volume[, stamp]]}: the file that the Plik or Tymczasowy record
                     //   before it created has this number (sys::File::Number, hexadecimal) on the volume
                     //   of this serial number (hexadecimal; older journals hold none): a Tymczasowy's as
                     //   soon as it exists, a Plik's once it is written whole and closed, with its stamp
                     //   (older journals: as soon as it exists, and no stamp)
    Tymczasowy = 9,  // {file}: a temporary file about to be created where nothing was; it never
                     //   becomes part of an installation under its own name
    Cofanie = 10,    // {}: everything before it is to be undone: a start that finds it finishes the
                     //   undo without asking
    CzasKlucza = 11, // {root, key, time}: the key's last-write time (FILETIME, decimal) right after the
                     //   Wartosc before it was written
};

// A file that a run replaces keeps its previous content beside it, under its
// own name with this suffix, until the run ends well (then the backup is
// deleted) or is undone (then it is put back); a file written to replace
// another waits, complete, under a temporary name with the second suffix.
inline constexpr std::string_view kPrzyrostekKopiiZapasowej = ".velt-kopia";
inline constexpr std::string_view kPrzyrostekTymczasowego = ".velt-nowy";

// The backup name of `plik` for attempt `numer`: the plain suffix for 1, the
// suffix and the number from 2 on ("a.dll.velt-kopia", "a.dll.velt-kopia2");
// the temporary name likewise.
[[nodiscard]] std::string NazwaKopiiZapasowej(std::string_view plik, unsigned numer);
[[nodiscard]] std::string NazwaTymczasowa(std::string_view plik, unsigned numer);

// The previous type of a value that did not exist.
inline constexpr std::string_view kBrakWartosci = "-";
// The last field of a record of a file or value that the system shares.
inline constexpr std::string_view kWspolny = "wspolny";

struct WpisDziennika {
    RodzajWpisu rodzaj{};
    std::vector<std::string> pola;
    bool operator==(const WpisDziennika&) const = default;
};

// The bytes of one record as it goes to the file.
[[nodiscard]] std::string KodujWpis(const WpisDziennika& wpis);

struct OdczytDziennika {
    std::vector<WpisDziennika> wpisy;
    bool urwany = false;  // bytes after the last whole record were ignored
    std::uint64_t czas = 0;  // the file's last write (FILETIME), when read from one
};
// Every whole record from the start; stops at the first torn or damaged one.
[[nodiscard]] OdczytDziennika CzytajDziennik(std::span<const std::uint8_t> bajty);

// A file's stamp as a record holds it ("size:time", both decimal), and back;
// nullopt for a field that holds none.
struct StempelPliku {
    std::int64_t rozmiar = 0;
    std::uint64_t czas = 0;  // last-write FILETIME
    bool operator==(const StempelPliku&) const = default;
};
[[nodiscard]] std::string TekstStempla(const StempelPliku& s);
[[nodiscard]] std::optional<StempelPliku> CzytajStempel(std::string_view pole);
// A file number as a Numer record holds it (hexadecimal), and back.
[[nodiscard]] std::string TekstNumeru(std::uint64_t numer);
[[nodiscard]] std::optional<std::uint64_t> CzytajNumer(std::string_view pole);

// The root field of a registry record: "HKLM", or "HKCU:" and `sid`, the
// account whose hive HKEY_CURRENT_USER is ("HKCU" alone when it is not
// known).
[[nodiscard]] std::string PoleKorzenia(bool maszyny, std::string_view sid);
[[nodiscard]] bool KorzenMaszyny(std::string_view pole) noexcept;
// Whether a journal that a run left may replay a record of root `pole` in a
// process of account `sid`. HKEY_CURRENT_USER is the hive of whoever runs
// the replay: a record of another account's, or of an account not recorded
// (an older wizard's), is not.
[[nodiscard]] bool KorzenDoOdtworzenia(std::string_view pole, std::string_view sid);

// Field `i` of a record; empty when the record has fewer.
[[nodiscard]] const std::string& Pole(const WpisDziennika& wpis, std::size_t i) noexcept;
// Whether the record marks something the system shares (kWspolny last).
[[nodiscard]] bool Wspolny(const WpisDziennika& wpis) noexcept;

// The order an undo goes in: indexes of `wpisy`, every record that changes
// something newest first, then the folders newest first (files leave them
// empty). Poczatek, Numer, Cofanie and CzasKlucza change nothing and are left
// out.
[[nodiscard]] std::vector<std::size_t> KolejnoscCofania(const std::vector<WpisDziennika>& wpisy);

// What a run recorded of a file it created: the Numer records after its Plik
// or Tymczasowy record.
struct ZapisanyPlik {
    std::uint64_t numer = 0;
    std::optional<std::uint32_t> wolumin;  // journals of older wizards hold none
    std::optional<StempelPliku> stempel;   // once it was written whole and closed
    bool operator==(const ZapisanyPlik&) const = default;
};
// For each record, what the run recorded of the file it created: for Plik
// and Tymczasowy the Numer records that follow it for the same path (before
// any later record of that path), nullopt otherwise or when none followed
// (the run died between creating the file and recording it).
[[nodiscard]] std::vector<std::optional<ZapisanyPlik>> ZapisanePliki(const std::vector<WpisDziennika>& wpisy);
// Their numbers alone.
[[nodiscard]] std::vector<std::optional<std::uint64_t>> NumeryPlikow(const std::vector<WpisDziennika>& wpisy);
// The Numer record that keeps `zapisany` of `plik`, as one record.
[[nodiscard]] WpisDziennika WpisNumeru(const std::string& plik, const ZapisanyPlik& zapisany);

// What an undo finds at the path of a file the run created, as the handle it
// opened there tells.
struct ZastanyPlik {
    bool obcy = false;  // a link, or a folder
    std::uint32_t wolumin = 0;
    std::uint64_t numer = 0;
    StempelPliku stempel;
};
enum class OcenaPliku {
    Runu,         // the run's own, as it left it
    Inny,         // another file (or a link, or a folder) took the name
    InnyWolumin,  // the number recorded, on another volume
    Przepisany,   // the run's file, written since: by size or time not what the run left
};
// Whether `zastany` is the file the run created (`zapisany`; nullopt when the
// run died before recording its number: then only a file still empty is).
// `czasDziennika`: for a journal that a run left, its last write (FILETIME):
// a file written after it is not as the run left it.
[[nodiscard]] OcenaPliku OcenPlik(const std::optional<ZapisanyPlik>& zapisany, const ZastanyPlik& zastany,
                                  const std::optional<std::uint64_t>& czasDziennika);

// A backup that still holds a replaced file's previous content.
struct KopiaZapasowa {
    std::size_t wpis;     // the Zastapiony record that made it (its stamps apply)
    std::string nazwa;    // where it is now
    bool operator==(const KopiaZapasowa&) const = default;
};
// Every backup under the name it has now: a backup set aside again (a source
// file bore its name) is followed to its later name, and the record that
// moved it makes no backup of its own. Oldest first.
[[nodiscard]] std::vector<KopiaZapasowa> BiezaceKopieZapasowe(const std::vector<WpisDziennika>& wpisy);
// For each record, whether it only moved a backup of an earlier record on.
[[nodiscard]] std::vector<bool> PrzenoszaceKopie(const std::vector<WpisDziennika>& wpisy);

// Whether the journal records any change (a run that died before its first
// change leaves nothing to ask about), and whether its undo was decided.
[[nodiscard]] bool MaZmiany(const std::vector<WpisDziennika>& wpisy);
[[nodiscard]] bool CofanieZdecydowane(const std::vector<WpisDziennika>& wpisy);

// The journal that keeps `pozostale`, the steps of an undo of `wpisy` that
// failed, for the next start: the run's first record, the decision to undo,
// and the steps.
[[nodiscard]] std::vector<WpisDziennika> DoPonowienia(const std::vector<WpisDziennika>& wpisy,
                                                     const std::vector<WpisDziennika>& pozostale);
