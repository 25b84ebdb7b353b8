// The installation run: the sequence of steps between the options page and
// the end page, with its one guard and the three outcomes.

#include "app/Formatuj.h"
#include "app/Przelaczniki.h"
#include "app/Teksty.h"
#include "app/untMain.h"
#include "install/Postep.h"
#include "setup/Opcje.h"
#include "setup/Wydania.h"
#include "setup/Zrodlo.h"
#include "sys/files.h"
#include "ui/Application.h"

#include <exception>

namespace {
// Room the options page reserved for the main program unpacked from the
// wizard's resources.
constexpr std::int64_t kPostepZasobow = 2'100'000;

void PrzetworzKomunikaty() { ui::Application::Current().ProcessMessages(); }
}  // namespace

void TfrmMain::Instaluj() {
    InstalacjaTrwa = true;
    PrzerwijZadane = false;
    Przerwano = false;
    bool blad = false;
    // One guard for the whole run: an error ends it at once, without a
    // message and without rollback; the end page tells the outcome.
    try {
        UstawKatalogZrodlowy();
        InstalujPliki();
        btnZamknij.SetEnabled(false);
        if (!Przerwano) {
            // Shortcuts, registry entries and patch lists follow here, in that
            // order, once the wizard makes them.
        }
    } catch (const std::exception&) {
        blad = true;
    }
    btnZamknij.SetEnabled(false);
    GaugePostep.SetProgress(GaugePostep.Max());
    InstalacjaTrwa = false;
    InstalacjaOK = !blad && !Przerwano;
    if (InstalacjaOK) UsunKopieZapasowe();
    ZmienStrone(+1);
}

void TfrmMain::InstalujPliki() {
    const auto punktZatrzymania = [this] { return Przerwano || SprawdzPrzerwanie(); };

    Postep = 0;
    lblInstalacjaOpis.SetCaption(PobierzTekst(JezykInterfejsu, TekstKopiowaniePlikow));
    PrzetworzKomunikaty();
    GaugePostep.SetMin(0);
    GaugePostep.SetProgress(0);
    GaugePostep.SetMax(Mlodsze32Bity(MiejsceWymagane));

    if (!BezKopiowaniaPlikow) {
        // The speech component, for the editions that have it, joins here
        // once the wizard installs it; this edition has none.
        const std::string program = sys::ModuleFileName().value_or("");
        const std::string pomijane = ListaPominietych(NumerWydania, chbInstalujSlowniki.Checked(),
                                                      program.substr(KatalogPliku(program).size()));
        KopiujKatalog(ZrodloPlikow, KatalogDocelowy, pomijane);
    }
    if (punktZatrzymania()) return;

    RozpakujProgram();
    if (punktZatrzymania()) return;

    Postep += kPostepZasobow;
    GaugePostep.SetProgress(Mlodsze32Bity(Postep));
    lblPlikZ.SetCaption("");
    lblPlikDo.SetCaption("");
    PrzetworzKomunikaty();
    if (punktZatrzymania()) return;

    // The font and the two system components join here, each followed by a
    // stop point, once the wizard installs them.

    RozpakujDodatki();
    PrzetworzKomunikaty();
}
