#pragma once
// The switches of the command line, read in one place into a plain record.
// Arguments come already split by the Windows quoting rules and converted to
// Windows-1250, without the program's own name. Switch names are matched
// without regard to letter case; values keep theirs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TrybPracy : std::uint8_t {
    Kreator,       // the ordinary wizard
    Cichy,         // /SILENT: only the installation page with its progress
    BardzoCichy,   // /VERYSILENT: no window at all
};

// How a run ended, for the script that started it.
enum KodWyjscia : int {
    KodZainstalowano = 0,
    KodNieRozpoczeto = 1,      // a switch not understood, a relative /DIR, no medium in a silent mode
    KodPrzedInstalacja = 2,    // left before the installation started
    KodCelOdrzucony = 3,       // the target cannot be created, or too little space in a silent mode
    KodBladInstalacji = 4,
    KodPrzerwano = 5,          // cancelled while the installation ran
    KodRestart = 3010,         // installed; a file waits for the next restart of Windows
};

// The switches as the help lists them, in the order of its placeholders.
inline constexpr std::string_view PrzelacznikiPomocy[] = {
    "/SILENT", "/VERYSILENT", "/DIR=", "/SOURCE=", "/LANG=PL|EN", "/NODICTIONARIES",
    "/NOGROUP", "/NODESKTOP", "/ALLUSERS", "/LOG=", "/SAVEINF=", "/LOADINF=", "/NORESTART", "/? /HELP",
};

struct TWierszPolecen {
    bool Doit = false;  // "/doit" exactly, as the first argument: a copy the wizard started
    TrybPracy Tryb = TrybPracy::Kreator;
    std::optional<std::string> Katalog;  // /DIR: absolute, no trailing backslash but at a drive root
    std::optional<std::string> Zrodlo;   // /SOURCE: absolute, with a trailing backslash
    std::optional<std::string> Protokol; // /LOG: the log file as given
    // /LOGHANDLE: the log that the run which handed over to this copy left
    // open for it, as the number of the inherited handle. Only after /doit,
    // and never together with /LOG: the copy never opens the log by name.
    std::optional<std::uint64_t> UchwytProtokolu;
    std::optional<std::uint8_t> Jezyk;   // /LANG: JezykPolski or JezykAngielski
    bool BezSlownikow = false;           // /NODICTIONARIES
    bool BezGrupy = false;               // /NOGROUP
    bool BezPulpitu = false;             // /NODESKTOP
    bool DlaWszystkich = false;          // /ALLUSERS
    bool Pomoc = false;                  // /? or /HELP
    std::optional<std::string> ZapisOdpowiedzi;   // /SAVEINF: the answer file to write, as given
    std::optional<std::string> OdczytOdpowiedzi;  // /LOADINF: the answer file to read, as given
    bool BezRestartu = false;            // /NORESTART: accepted; the wizard never restarts Windows anyway

    [[nodiscard]] bool Cichy() const noexcept { return Tryb != TrybPracy::Kreator; }
};

struct TWynikWiersza {
    TWierszPolecen Przelaczniki;
    // The first argument that was not understood, as given (it may be empty);
    // nullopt when every argument was.
    std::optional<std::string> Blad;

    [[nodiscard]] bool Poprawny() const noexcept { return !Blad; }
};

// Reads the arguments. On the first one it does not understand it stops and
// names it; the switches read up to there stay in the record (so that a
// silent mode asked for before the bad switch keeps its message box away).
[[nodiscard]] TWynikWiersza CzytajWierszPolecen(const std::vector<std::string>& argumenty);

// An absolute folder: a drive root or below one ("C:\", "C:\x"), or a share
// ("\\server\share", and below).
[[nodiscard]] bool SciezkaBezwzgledna(std::string_view sciezka) noexcept;

// One argument quoted so that CommandLineToArgvW gives it back unchanged.
[[nodiscard]] std::string CytujArgument(std::string_view argument);

// The arguments for the copy the wizard starts from the temporary folder:
// "/doit" first, then every argument given (without an earlier "/doit"),
// each quoted as needed.
[[nodiscard]] std::string ArgumentyKopii(const std::vector<std::string>& argumenty);

// ---- answer files: the choices of the options page, written by /SAVEINF
// and read back by /LOADINF ----
// A plain INI file of one section, [Setup], whose keys are the switches that
// make those choices, without the slash: Dir and Lang with the switch's
// value, NoDictionaries, NoGroup, NoDesktop and AllUsers with 1 (the switch
// given) or 0. Names are matched without regard to letter case. UTF-8 (a
// byte-order mark is allowed); blank lines and lines that begin with ';' are
// skipped; spaces around a name or a value do not count.
inline constexpr std::size_t kNajwiekszyPlikOdpowiedzi = 65536;  // bytes

struct TOdczytOdpowiedzi {
    TWierszPolecen Przelaczniki;   // what the file supplies
    std::size_t BlednyWiersz = 0;  // the first line not understood, from 1; 0 when every one was
    [[nodiscard]] bool Poprawny() const noexcept { return BlednyWiersz == 0; }
};
// Reads the bytes of an answer file. A section or key it does not know, a key
// given twice or before the section, a value its switch would refuse, a
// character Windows-1250 lacks and bytes that are not UTF-8 stop it at their
// line; nothing from the file counts then.
[[nodiscard]] TOdczytOdpowiedzi CzytajOdpowiedzi(std::string_view tekst);

// The choices of a run, as an answer file records them.
struct TOdpowiedzi {
    std::string Katalog;  // the target folder, Windows-1250
    std::uint8_t Jezyk = 0;  // JezykPolski or JezykAngielski
    bool Slowniki = true;
    bool Grupa = true;
    bool Pulpit = true;  // every desktop option on (NoDesktop clears them all)
    bool DlaWszystkich = false;
    bool operator==(const TOdpowiedzi&) const = default;
};
// The file for `odpowiedzi`: UTF-8, lines ending in CRLF.
[[nodiscard]] std::string TekstOdpowiedzi(const TOdpowiedzi& odpowiedzi);

// The command line's switches over an answer file's: a value that both give
// comes from the command line; a flag set by either is set.
[[nodiscard]] TWierszPolecen ZOdpowiedziami(const TWierszPolecen& wiersz, const TWierszPolecen& plik);

// The switches of this run's command line, read once at the program entry
// (with those of its answer file).
extern TWierszPolecen PrzelacznikiWiersza;
