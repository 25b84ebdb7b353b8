// The program entry of the setup wizard.

#include "app/Czcionka.h"
#include "base/Formatuj.h"
#include "base/Jezyki.h"
#include "base/Narzedzia.h"
#include "app/Nienadzorowana.h"
#include "base/Przelaczniki.h"
#include "base/Teksty.h"
#include "app/WierszPolecen.h"
#include "app/untMain.h"
#include "install/Czcionki.h"
#include "install/Protokol.h"
#include "install/UruchomKopie.h"
#include "base/Wydania.h"
#include "app/untCD.h"
#include "sys/commandline.h"
#include "sys/drives.h"
#include "sys/files.h"
#include "sys/locale.h"
#include "sys/process.h"
#include "sys/result.h"
#include "sys/security.h"
#include "sys/shell.h"
#include "sys/systemdll.h"
#include "sys/text.h"
#include "sys/version.h"
#include "ui/Application.h"
#include "ui/win32/OtherInstance.h"
#include "ui/win32/Win32Backend.h"

#include <windows.h>

namespace {

// Held by the process that shows the wizard, for as long as it runs. A run
// that only hands over to its temporary copy never holds it, so the copy is
// not taken for a second wizard. Per machine: the installation writes the
// machine's registry and program folders and keeps its journal per machine,
// so two sessions never run it at once. Only administrators can hold it, so
// no other user can keep every wizard from starting.
constexpr char kZnakKreatora[] = "Zelpax.Velt.Instalator";

// A wizard whose window is gone may still be ending (about 2 s under Wine):
// a start that finds its lock and no window to bring forward waits this long
// for the lock before it gives up.
constexpr int kCzekanieNaKreator = 5000;  // ms
constexpr int kKrokCzekania = 100;        // ms

// Whether another wizard holds the lock; it is brought to the front when it
// shows a window. `przekazanie`: this run only hands over to a copy, which
// takes the lock itself, so the lock is only looked at. Otherwise the lock
// is taken into `zamek` when it is free or becomes free in time. Either way
// `zamek` tells whether someone else took its name.
bool InnyKreator(bool przekazanie, sys::AdminLock& zamek) {
    for (int czekano = 0;; czekano += kKrokCzekania) {
        sys::AdminLock m = przekazanie ? sys::FindAdminLock(kZnakKreatora) : sys::TakeAdminLock(kZnakKreatora);
        if (!m.heldElsewhere) {
            zamek = std::move(m);
            return false;
        }
        if (ui::win32::BringOtherInstanceToFront() || czekano >= kCzekanieNaKreator) return true;
        Sleep(kKrokCzekania);
    }
}

// The language the wizard starts in: the thread locale's when it is the
// edition's own, else Polish (so the English edition always starts in Polish).
std::uint8_t JezykStartowy() {
    const std::uint8_t jezyk = JezykZLokalizacji(sys::ThreadLocale());
    return jezyk == AktualnyLang1 ? jezyk : JezykPolski;
}

// A message box of the entry, before any form exists (so before anything is
// written), in the interface language.
void Komunikat(std::uint8_t jezyk, const std::string& tekst, unsigned ikona) {
    const unsigned strona = static_cast<unsigned>(StronaKodowaTekstu(jezyk));
    const std::string tytul = Formatuj(PobierzTekst(jezyk, TekstTytulOkna), ZPXAppFunctions.Tytul(jezyk));
    sys::Ignore(MessageBoxW(nullptr, sys::ToWide(tekst, strona).c_str(), sys::ToWide(tytul, strona).c_str(),
                            MB_OK | ikona | MB_SETFOREGROUND),
                "one button");
}

std::string TekstPomocy(std::uint8_t jezyk) {
    const auto& p = PrzelacznikiPomocy;
    return Formatuj(PobierzTekst(jezyk, TekstPomocPrzelacznikow), p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
                    p[8], p[9], p[10], p[11], p[12], p[13]);
}

std::string WersjaProgramu(const std::string& program) {
    const auto info = sys::VersionInfo::Read(program);
    if (!info || info->Translations().empty()) return "?";
    return info->StringValue(info->Translations().front(), "FileVersion").value_or("?");
}

// The medium of a silent run: the folder /SOURCE names, else the wizard's own
// folder, else the first CD-ROM drive; each only when it holds the product.
std::optional<std::string> ZrodloBezPytan(const TWierszPolecen& w) {
    if (w.Zrodlo) return JestProgramNaDysku(*w.Zrodlo) ? w.Zrodlo : std::nullopt;
    if (const std::string wlasny = KatalogProgramu(); JestProgramNaDysku(wlasny)) return wlasny;
    for (const std::string& korzen : sys::LogicalDriveRoots()) {
        const std::string nazwa = NaDuze(korzen);
        if (sys::DriveType(nazwa) == sys::DriveKind::CdRom && JestProgramNaDysku(nazwa)) return nazwa;
    }
    return std::nullopt;
}

const char* OpisWyniku(KodWyjscia kod) {
    switch (kod) {
    case KodZainstalowano: return "installed (text 161)";
    case KodNieRozpoczeto: return "not started";
    case KodPrzedInstalacja: return "left before the installation started";
    case KodCelOdrzucony: return "the target folder was refused";
    case KodBladInstalacji: return "ended with an error (text 162)";
    case KodPrzerwano: return "cancelled (text 163)";
    case KodRestart: return "installed (text 161); a restart of Windows finishes it";
    }
    return "?";
}

KodWyjscia Zakoncz(KodWyjscia kod) {
    // The wizard never restarts Windows itself (/NORESTART changes nothing):
    // the caller learns that a restart waits.
    if (kod == KodZainstalowano && !sys::MovesAtNextStart().empty()) {
        for (const sys::MoveAtStart& m : sys::MovesAtNextStart())
            Protokoluj("Waits for a restart of Windows: ", m.to.empty() ? "delete " + m.from : m.from + " -> " + m.to);
        kod = KodRestart;
    }
    Protokoluj("Outcome: ", OpisWyniku(kod), "; exit code ", static_cast<int>(kod));
    ZamknijProtokol();
    return kod;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a library: a DLL planted beside the program
    // would otherwise run with the rights it was given.
    sys::Ignore(sys::OnlySystemFolderForLibraries(), "older systems get the best they offer");
    sys::dll::HoldSystemLibraries();
    sys::ComInitialization com;  // shell links need COM on this thread
    UstawAppConst(RekordWydaniaInstalatora());
    UstawCzcionkeInterfejsu(WybierzCzcionkeInterfejsu());

    ui::win32::Win32Backend backend;
    ui::Application aplikacja(backend);

    NumerWydania = 3;
    AktualnyLang1 = 1;
    AktualnyLang2 = 0;

    // The command line is read before anything is written: a run that does
    // not understand it leaves the system as it was.
    std::vector<std::string> argumenty;
    std::optional<std::string> nieczytelny;
    for (const std::wstring& szeroki : sys::CommandLineArguments()) {
        std::string argument = sys::FromWide(szeroki);
        // A character Windows-1250 lacks would name another file or folder.
        if (!nieczytelny && sys::ToWide(argument) != szeroki) nieczytelny = argument;
        argumenty.push_back(std::move(argument));
    }
    TWynikWiersza wiersz = CzytajWierszPolecen(argumenty);
    if (nieczytelny && wiersz.Poprawny()) wiersz.Blad = *nieczytelny;
    // So is the answer file; what stops it is told once the log is open.
    std::optional<TBladOdpowiedzi> bladOdpowiedzi;
    if (wiersz.Poprawny()) bladOdpowiedzi = WczytajOdpowiedzi(wiersz.Przelaczniki, argumenty);
    PrzelacznikiWiersza = wiersz.Przelaczniki;
    const TWierszPolecen& w = PrzelacznikiWiersza;
    const std::uint8_t jezyk = w.Jezyk.value_or(JezykStartowy());
    const auto odmowa = [&](const std::string& argument) {
        if (!w.Cichy()) Komunikat(jezyk, Formatuj(PobierzTekst(jezyk, TekstZlyPrzelacznik), argument), MB_ICONERROR);
        return Zakoncz(KodNieRozpoczeto);
    };

    // Decided before any form exists, and before the log is opened: a second
    // start leaves the first wizard's marker, windows and log alone.
    const sys::DriveKind typ =
        !wiersz.Poprawny() || w.Pomoc || w.Cichy() || w.Doit ? sys::DriveKind::Unknown : TypDysku(KatalogProgramu());
    const bool przekazanie = typ == sys::DriveKind::CdRom || typ == sys::DriveKind::Remote;
    sys::AdminLock jedenKreator;
    const bool innyKreator = wiersz.Poprawny() && !w.Pomoc && InnyKreator(przekazanie, jedenKreator);

    if (w.UchwytProtokolu) {
        // The copy goes on with the log that the run which handed over to it
        // opened: by now its name could lead to another file.
        if (PrzejmijProtokol(*w.UchwytProtokolu) != 0)
            return odmowa("/LOGHANDLE=" + std::to_string(*w.UchwytProtokolu));
    } else if (w.Protokol) {
        const std::optional<std::string> sciezka = sys::FullPath(*w.Protokol);
        // A start that finds another wizard only adds its lines to a log
        // that may be that wizard's.
        const std::uint32_t blad = sciezka ? OtworzProtokol(*sciezka, w.Doit || innyKreator) : ERROR_INVALID_NAME;
        if (blad == ERROR_BAD_FILE_TYPE) {
            // A link, a device or a pipe: the elevated wizard writes nothing
            // there, nor anywhere else.
            if (!w.Cichy())
                Komunikat(jezyk, Formatuj(PobierzTekst(jezyk, TekstProtokolOdrzucony), *sciezka), MB_ICONERROR);
            return Zakoncz(KodNieRozpoczeto);
        }
        if (blad != 0) return odmowa("/LOG=" + *w.Protokol);
    }
    const std::string program = sys::ModuleFileName().value_or("");
    Protokoluj("Setup wizard ", WersjaProgramu(program), " (", program, ")");
    Protokoluj("Command line: ", sys::CommandLine());
    Protokoluj("Edition ", NumerWydania, ": ", ZPXAppFunctions.Tytul(JezykPolski), "; language ",
               jezyk == JezykAngielski ? "EN" : "PL");
    if (!wiersz.Poprawny()) {
        Protokoluj("Error: command-line argument not understood: ", *wiersz.Blad);
        return odmowa(*wiersz.Blad);
    }
    if (bladOdpowiedzi) {
        const std::string& plik = bladOdpowiedzi->plik;
        const std::size_t linia = bladOdpowiedzi->wiersz;
        if (linia == 0) Protokoluj("Error: the answer file ", plik, " cannot be read");
        else Protokoluj("Error: the answer file ", plik, ": line ", linia, " is not understood");
        if (!w.Cichy())
            Komunikat(jezyk,
                      linia == 0 ? Formatuj(PobierzTekst(jezyk, TekstOdpowiedziNieczytelne), plik)
                                 : Formatuj(PobierzTekst(jezyk, TekstOdpowiedziZlyWiersz), plik, static_cast<int>(linia)),
                      MB_ICONERROR);
        return Zakoncz(KodNieRozpoczeto);
    }
    if (w.OdczytOdpowiedzi) Protokoluj("Answers read from ", *w.OdczytOdpowiedzi);
    KontoSystemowe = sys::ProcessUserSid() == "S-1-5-18";
    if (KontoSystemowe) Protokoluj("Running as the system account: the installation is for all users");
    if (w.Pomoc) {
        Komunikat(jezyk, TekstPomocy(jezyk), MB_ICONINFORMATION);
        Protokoluj("The list of switches was shown; exit code 0");
        ZamknijProtokol();
        return KodZainstalowano;
    }

    if (jedenKreator.squatted)
        Protokoluj("Warning: the name of the one-wizard lock (", kZnakKreatora,
                   ") is held by an object that no administrator made; it is ignored, and this wizard runs without "
                   "the lock");
    if (innyKreator) {
        Protokoluj("Another setup wizard is running on this computer; this start ends");
        return Zakoncz(KodNieRozpoczeto);
    }

    // Taken before anything is written; the copy started from the temporary
    // folder takes it itself.
    TZapisOdpowiedzi zapisOdpowiedzi;
    if (w.ZapisOdpowiedzi && !przekazanie)
        if (const std::uint32_t blad = zapisOdpowiedzi.Otworz(*w.ZapisOdpowiedzi); blad != 0) {
            Protokoluj("Error: the answer file ", *w.ZapisOdpowiedzi, " cannot be written: ", BladSystemu{blad});
            return odmowa("/SAVEINF=" + *w.ZapisOdpowiedzi);
        }

    std::optional<std::string> zrodlo;
    if (w.Cichy()) {
        // A silent run answers nothing, the system's "no disk" box included.
        SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
        zrodlo = ZrodloBezPytan(w);
        if (!zrodlo) {
            Protokoluj("Error: no installation medium found", w.Zrodlo ? " in " + *w.Zrodlo : std::string());
            return Zakoncz(KodNieRozpoczeto);
        }
    } else if (w.Zrodlo) {
        if (JestProgramNaDysku(*w.Zrodlo)) zrodlo = w.Zrodlo;
        else Protokoluj("No installation medium in ", *w.Zrodlo, "; the wizard asks for the CD");
    }

    UtworzFormularze(aplikacja);

    PytajOCD = true;
    BezKopiowaniaPlikow = false;
    SiecDozwolona = false;
    CzyscFlageInstalacji = true;

    if (zrodlo) {
        // Known already: the CD dialog is not needed.
        frmMain->KatalogZrodlowy = *zrodlo;
        Protokoluj("Source: ", *zrodlo);
    }

    KodWyjscia kod = KodPrzedInstalacja;
    bool przekazano = false;
    if (w.Cichy()) {
        // Never from a temporary copy: nothing asks for the disc to change,
        // and the caller waits for this process's exit code.
        kod = InstalujBezPytan(*frmMain);
        aplikacja.Terminate();
    } else if (przekazanie) {
        // Started from a CD or a network drive: hand over to a copy in a
        // folder of the administrators', so that the medium is free during
        // installation. The copy inherits the open log instead of its name.
        const sys::File* log = PlikProtokolu();
        std::vector<std::string> dlaKopii = argumenty;
        for (std::string& a : dlaKopii)
            if (log && ZaczynaSieOd(a, "/LOG=", false)) a = "/LOGHANDLE=" + std::to_string(log->HandleNumber());
        const std::string parametry = ArgumentyKopii(dlaKopii);
        const bool uruchomiona = UruchomKopie(program, "instal.exe", parametry, log);
        Protokoluj("Handing over to a copy in ", KatalogRoboczyKopii(), " with \"", parametry, "\": ",
                   uruchomiona ? "started" : "not started; the wizard runs from the medium");
        if (uruchomiona) {
            przekazano = true;
            CzyscFlageInstalacji = false;
            aplikacja.Terminate();
        } else {
            // Ending here would show nothing and leave the marker set for
            // good: the wizard runs from the medium instead. A copy that did
            // start after all finds this one and steps back.
            jedenKreator = sys::TakeAdminLock(kZnakKreatora);
        }
    }
    aplikacja.Run(*frmMain);
    if (!w.Cichy() && !przekazano) kod = KodWyjsciaKreatora(*frmMain);
    if (w.ZapisOdpowiedzi && !przekazano)
        zapisOdpowiedzi.Zakoncz(*w.ZapisOdpowiedzi,
                                kod == KodZainstalowano ? std::optional(OdpowiedziKreatora(*frmMain)) : std::nullopt);
    ZniszczFormularze(aplikacja);
    // The run that handed over ends with 0 at once; its copy tells the rest.
    if (przekazano) {
        ZamknijProtokol();
        return KodZainstalowano;
    }
    return Zakoncz(kod);
}
