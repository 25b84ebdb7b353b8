// The program entry of the setup wizard.

#include "app/Czcionka.h"
#include "app/Przelaczniki.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "install/Czcionki.h"
#include "install/UruchomKopie.h"
#include "setup/Wydania.h"
#include "setup/untCD.h"
#include "setup/untKatalog.h"
#include "setup/untKatalogDodaj.h"
#include "sys/files.h"
#include "sys/handle.h"
#include "sys/process.h"
#include "sys/shell.h"
#include "ui/Application.h"
#include "ui/win32/OtherInstance.h"
#include "ui/win32/Win32Backend.h"

#include <windows.h>

#include <shellapi.h>

namespace {

constexpr unsigned kDyskCD = 5;        // DRIVE_CDROM
constexpr unsigned kDyskSieciowy = 4;  // DRIVE_REMOTE

// Held by the process that shows the wizard, for as long as it runs. A run
// that only hands over to its temporary copy never holds it, so the copy is
// not taken for a second wizard.
constexpr char kZnakKreatora[] = "Local\\Zelpax.Velt.Instalator";

// The first command-line argument, exactly as given (case-sensitive).
bool PierwszyArgumentToDoit() {
    int liczba = 0;
    LPWSTR* argumenty = CommandLineToArgvW(GetCommandLineW(), &liczba);
    const bool doit = argumenty && liczba > 1 && lstrcmpW(argumenty[1], L"/doit") == 0;
    LocalFree(argumenty);
    return doit;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a library: a DLL planted beside the program
    // would otherwise run with the rights it was given.
    sys::Ignore(sys::OnlySystemFolderForLibraries(), "older systems get the best they offer");
    sys::ComInitialization com;  // shell links need COM on this thread
    UstawAppConst(RekordWydaniaInstalatora());
    UstawCzcionkeInterfejsu(WybierzCzcionkeInterfejsu());

    ui::win32::Win32Backend backend;
    ui::Application aplikacja(backend);

    NumerWydania = 3;
    AktualnyLang1 = 1;
    AktualnyLang2 = 0;

    // Decided before any form exists: a second start leaves the first
    // wizard's marker and windows alone.
    const bool doit = PierwszyArgumentToDoit();
    const unsigned typ = doit ? 0 : TypDysku(KatalogProgramu());
    const bool przekazanie = typ == kDyskCD || typ == kDyskSieciowy;
    sys::NamedMutex jedenKreator;
    const bool innyKreator = przekazanie ? sys::NamedMutexExists(kZnakKreatora)
                                         : (jedenKreator = sys::CreateNamedMutex(kZnakKreatora)).existed;
    if (innyKreator) {
        sys::Ignore(ui::win32::BringOtherInstanceToFront(), "a wizard still starting shows itself soon");
        return 0;
    }

    // Created once, in this order; the main form first, so its FormCreate
    // runs before the other forms exist.
    frmMain = &aplikacja.CreateForm<TfrmMain>();
    frmKatalog = &aplikacja.CreateForm<TfrmKatalog>();
    frmKatalogDodaj = &aplikacja.CreateForm<TfrmKatalogDodaj>();
    frmPytanie = &aplikacja.CreateForm<TfrmPytanie>();
    frmCD = &aplikacja.CreateForm<TfrmCD>();
    frmCD->ZmienJezykKreatora = [](std::uint8_t jezyk) { frmMain->UstawJezyk(jezyk); };

    PytajOCD = true;
    BezKopiowaniaPlikow = false;
    SiecDozwolona = false;
    CzyscFlageInstalacji = true;

    if (przekazanie) {
        // Started from a CD or a network drive: hand over to a copy in the
        // temporary folder, so that the medium is free during installation.
        if (UruchomKopie(sys::ModuleFileName().value_or(""), "instal.exe", "/doit")) {
            CzyscFlageInstalacji = false;
            aplikacja.Terminate();
        } else {
            // Ending here would show nothing and leave the marker set for
            // good: the wizard runs from the medium instead. A copy that did
            // start after all finds this one and steps back.
            jedenKreator = sys::CreateNamedMutex(kZnakKreatora);
        }
    }
    aplikacja.Run(*frmMain);
    aplikacja.DestroyForms();
    frmMain = nullptr;
    frmKatalog = nullptr;
    frmKatalogDodaj = nullptr;
    frmPytanie = nullptr;
    frmCD = nullptr;
    return 0;
}
