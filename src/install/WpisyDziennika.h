#pragma once
// The records of the installation journal: what a run is about to change, in
// the order it changes it, so that a run that dies half-way can be undone at
// the next start. This part only encodes and decodes; install/Dziennik.h
// writes the file and undoes the records.
//
// File form: records one after another, each
//   length   32 bits LE, bytes of the body
//   check    32 bits LE, CRC-32 of the body
//   body     kind (1 byte), then each field as 32-bit LE length + bytes
// A record that ends early or whose check fails is the torn tail of a write
// that the power or a kill cut short: it and everything after it are ignored.
// Paths and names are Windows-1250.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class RodzajWpisu : std::uint8_t {
    Poczatek = 1,    // {edition, target folder}: the run has begun
    Katalog = 2,     // {folder}: about to be created
    Plik = 3,        // {file}: about to be created where nothing was
    Zastapiony = 4,  // {file, backup}: about to be moved to the backup name
    Czcionka = 5,    // {font file}: about to be added to the system's font table
    Klucz = 6,       // {root, key}: registry key about to be created (one level)
    Wartosc = 7,     // {root, key, name, previous type, previous data}: about to be written
};

// The previous type of a value that did not exist.
inline constexpr std::string_view kBrakWartosci = "-";

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
};
// Every whole record from the start; stops at the first torn or damaged one.
[[nodiscard]] OdczytDziennika CzytajDziennik(std::span<const std::uint8_t> bajty);

// The order an undo goes in: indexes of `wpisy`, every record but the folders
// newest first, then the folders newest first (files leave them empty).
// Poczatek is not undone and is left out.
[[nodiscard]] std::vector<std::size_t> KolejnoscCofania(const std::vector<WpisDziennika>& wpisy);

// The backups that still hold a replaced file's previous content, under the
// names they have now: a backup set aside again (a source file bore its name)
// is followed to its later name. Oldest first.
[[nodiscard]] std::vector<std::string> BiezaceKopieZapasowe(const std::vector<WpisDziennika>& wpisy);
