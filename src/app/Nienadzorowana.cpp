#include "app/Nienadzorowana.h"

#include "base/Przelaczniki.h"
#include "base/Teksty.h"
#include "app/untMain.h"
#include "install/Protokol.h"
#include "setup/KatalogDocelowy.h"
#include "sys/files.h"
#include "sys/security.h"
#include "sys/result.h"

#include <utility>

void ZastosujPrzelaczniki(TfrmMain& okno) {
    const TWierszPolecen& w = PrzelacznikiWiersza;
    if (w.Jezyk && *w.Jezyk != okno.JezykInterfejsu) okno.UstawJezyk(*w.Jezyk);
    if (w.Katalog) {
        okno.KatalogDocelowy = *w.Katalog;
        okno.lblKatalog.SetCaption(*w.Katalog);
    }
    if (w.BezSlownikow) {
        // Its click recounts the space, which means nothing before the
        // medium is known (an empty source would count the current drive);
        // the options page counts again when it is entered.
        auto klik = std::exchange(okno.chbInstalujSlowniki.OnClick, nullptr);
        okno.chbInstalujSlowniki.SetChecked(false);
        okno.chbInstalujSlowniki.OnClick = std::move(klik);
    }
    if (w.BezGrupy) okno.chbUtworzGrupe.SetChecked(false);
    if (w.BezPulpitu) {
        okno.chbUtworzSkrotyTranslatorow.SetChecked(false);
        okno.chbUtworzSkrotySlownikow.SetChecked(false);
    }
    // Only where the edition's options page offers it.
    if (w.DlaWszystkich && okno.chbSkrotyAllUsers.Enabled()) okno.chbSkrotyAllUsers.SetChecked(true);
}

KodWyjscia KodWyjsciaKreatora(const TfrmMain& okno) {
    if (okno.Strona != StronaKoniec) return KodPrzedInstalacja;
    if (okno.InstalacjaOK) return KodZainstalowano;
    return okno.Przerwano ? KodPrzerwano : KodBladInstalacji;
}

KodWyjscia InstalujBezPytan(TfrmMain& okno) {
    // Everything the first show does, without showing anything.
    okno.FormShow();

    // What leaving the options page does, with no question to ask: a target
    // that cannot be made, or too little room, ends the run before any copy.
    SkrotyDlaWszystkich = okno.chbSkrotyAllUsers.Checked();
    okno.KatalogDocelowy = okno.lblKatalog.Caption();
    const std::string& cel = okno.KatalogDocelowy;
    const bool istnial = sys::FolderExists(cel);
    const std::string dlaInnych = KatalogZmiennyDlaInnych(cel);
    if (!istnial) {
        if (const sys::Result r = sys::CreateAdminFolder(cel); !r) {
            Protokoluj("Error: the target folder ", cel, " cannot be created: ", BladSystemu{r.error});
            return KodCelOdrzucony;
        }
        Protokoluj("Folder created: ", cel);
    }
    sys::Ignore(okno.SprawdzKatalogDlaInnych(dlaInnych), "a silent run goes on");
    if (!okno.SprawdzWolneMiejsce()) {
        Protokoluj("Error: too little space for ", cel, ": ", okno.MiejsceWolne, " bytes free, ",
                   okno.MiejsceWymagane, " bytes required");
        if (!istnial && sys::RemoveFolder(cel)) Protokoluj("Folder removed: ", cel);
        return KodCelOdrzucony;
    }
    if (!istnial) okno.UtworzoneKatalogi.push_back(cel);

    okno.Strona = StronaOpcje;
    if (PrzelacznikiWiersza.Tryb == TrybPracy::Cichy) {
        // The installation page is the first thing the window shows.
        okno.pnlInstalacja.BringToFront();
        auto pokaz = std::exchange(okno.OnShow, nullptr);
        okno.Show();
        okno.OnShow = std::move(pokaz);
    }
    // Entering the installation page runs it, and ends on the end page.
    okno.ZmienStrone(+1);
    return KodWyjsciaKreatora(okno);
}
