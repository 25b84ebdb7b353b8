#pragma once
// The installation journal: every change a run makes is recorded before it is
// made, so that a run killed at any instant can be undone at the next start,
// and a confirmed cancel undoes the same records the same way.
//
// The records are kept in memory for the run's own undo and, while a run is
// in progress, also appended to a file per user and edition, each with one
// WriteFile (nothing is held back inside the process) and flushed to the disk
// at the end of each step. Record forms: install/WpisyDziennika.h.

#include "install/WpisyDziennika.h"
#include "sys/files.h"
#include "sys/registry.h"

#include <cstdint>
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

    // Starts the file at `sciezka` (a journal left there is replaced) and
    // writes the run's first record. False when the file cannot be made: the
    // run then goes on with the records in memory only.
    [[nodiscard]] bool Rozpocznij(const std::string& sciezka, std::int32_t wydanie, const std::string& katalogDocelowy);
    // Appends a record: to memory, and to the file when one is open.
    void Zapisz(RodzajWpisu rodzaj, std::initializer_list<std::string_view> pola);
    // Puts the file's records on the disk; called at the end of each step.
    void Utrwal();
    [[nodiscard]] bool ZapisujeDoPliku() const noexcept { return static_cast<bool>(plik_); }
    [[nodiscard]] const std::vector<WpisDziennika>& Wpisy() const noexcept { return wpisy_; }
    // The run is over and its outcome dealt with: the file goes, and the
    // records are forgotten.
    void Zakoncz();

    // The journal of the run in progress, to which the steps outside the
    // wizard form record their changes; null outside a run.
    [[nodiscard]] static Dziennik* Biezacy() noexcept;

private:
    std::vector<WpisDziennika> wpisy_;
    sys::File plik_;
    std::string sciezka_;
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

// Where the journal of `wydanie` lives: the user's local application-data
// folder (the temporary folder when the system names none), outside any
// target folder. Empty when neither is known.
[[nodiscard]] std::string SciezkaDziennika(std::int32_t wydanie);

// The records of a journal file left by a run that did not end; nullopt when
// there is none, or when the run that writes it is still going (it holds the
// file open).
[[nodiscard]] std::optional<OdczytDziennika> WczytajDziennik(const std::string& sciezka);
// Removes a journal file and its folder when that is left empty.
void UsunDziennik(const std::string& sciezka);

// Undoes one record; running it twice does no harm.
void CofnijWpis(const WpisDziennika& wpis);
// Deletes the backups that still hold replaced files' previous content: the
// run's changes are kept.
void UsunKopieZapasowe(const std::vector<WpisDziennika>& wpisy);

// ---- what the steps call before a change (no-ops outside a run) ----
// Before a file that does not exist yet is created. A file that exists gets
// no record: the caller must not replace it.
void PrzedUtworzeniemPliku(const std::string& sciezka);
// Before a file is written whether or not it exists: an existing one is moved
// to a backup name first (see OdlozNaBok), whose name is returned.
std::optional<std::string> PrzedZapisemPliku(const std::string& sciezka);
// After such a write: when no new file came, the old one comes back.
void PrzywrocGdyNieZapisany(const std::string& sciezka, const std::optional<std::string>& kopia);
// Records the file's replacement and moves it to a free backup name beside
// it; returns that name. Raises BladProgramu when it cannot be moved (the file
// stays as it was).
std::string OdlozNaBok(Dziennik& d, const std::string& sciezka);
// Before a folder is created (one level); nothing for one that exists.
void PrzedUtworzeniemKatalogu(const std::string& sciezka);
// Before a key is opened with creation: each missing level of `klucz`.
void PrzedUtworzeniemKlucza(sys::RegistryRoot korzen, std::string_view klucz);
// Before value `nazwa` of an existing key `klucz` is written: its current
// type and content, or its absence.
void PrzedZapisemWartosci(sys::RegistryRoot korzen, std::string_view klucz, std::string_view nazwa);
// Before a font file is added to the system's font table.
void PrzedDodaniemCzcionki(const std::string& sciezka);
