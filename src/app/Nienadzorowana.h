#pragma once
// What the command-line switches do to the wizard: the choices they preset,
// the installation without questions of /SILENT and /VERYSILENT, and the
// exit code a run ends with.

#include "app/WierszPolecen.h"
#include "sys/files.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TfrmMain;

// Whether the wizard runs as the system account (its token's user is
// S-1-5-18), as deployment tools start it: that account's Start menu and
// registry hive are no one's, so the run installs for all users. Set once by
// the program entry from the token; a test sets it to play that account.
extern bool KontoSystemowe;

// Whether the run installs for all users: as the options page's box says
// where the edition offers it (preset by /ALLUSERS and the system account),
// else as /ALLUSERS and the system account decide.
[[nodiscard]] bool InstalacjaDlaWszystkich(const TfrmMain& okno);

// Presets the language, the target folder and the options from the switches;
// called when the wizard is first shown, before the first page.
void ZastosujPrzelaczniki(TfrmMain& okno);

// The whole silent run, from the first show to the end page. The source
// folder must be known already. The window is shown only in /SILENT, with the
// installation page alone.
[[nodiscard]] KodWyjscia InstalujBezPytan(TfrmMain& okno);

// The exit code for the page the wizard ended on and its outcome flags.
[[nodiscard]] KodWyjscia KodWyjsciaKreatora(const TfrmMain& okno);

// ---- answer files ----

// What stopped /LOADINF's file: it cannot be read (`wiersz` 0), or the line
// `wiersz` is not understood.
struct TBladOdpowiedzi {
    std::string plik;
    std::size_t wiersz = 0;
};
// Reads /LOADINF's file (at most kNajwiekszyPlikOdpowiedzi bytes) into `w`,
// under the switches given, and makes the paths of both answer switches full,
// in `w` and in `argumenty`, so that a copy started in another folder finds
// the same files. Writes nothing.
[[nodiscard]] std::optional<TBladOdpowiedzi> WczytajOdpowiedzi(TWierszPolecen& w, std::vector<std::string>& argumenty);

// The choices the run made, as /SAVEINF records them.
[[nodiscard]] TOdpowiedzi OdpowiedziKreatora(const TfrmMain& okno);

// /SAVEINF's file: taken at the start, so that one that cannot be written
// stops the run before anything is, and held, so that nothing takes its place
// meanwhile; written only when the run installs.
class TZapisOdpowiedzi {
public:
    TZapisOdpowiedzi() = default;
    TZapisOdpowiedzi(const TZapisOdpowiedzi&) = delete;
    TZapisOdpowiedzi& operator=(const TZapisOdpowiedzi&) = delete;
    // A run that ends before Zakoncz leaves no file of its own behind.
    ~TZapisOdpowiedzi();
    // Opens the file without following a link (sys::File::OpenPlainForWriting);
    // the Win32 error code, 0 when it is open.
    [[nodiscard]] std::uint32_t Otworz(const std::string& sciezka);
    // Writes `odpowiedzi` over what the file held (opening it now when the
    // start did not); without them lets the file go, removing it when this
    // run made it.
    void Zakoncz(const std::string& sciezka, const std::optional<TOdpowiedzi>& odpowiedzi);

private:
    sys::File plik_;
    bool utworzony_ = false;
};
