// The installation run: the sequence of steps between the options page and
// the end page, with its one guard and the three outcomes.

#include "app/Formatuj.h"
#include "app/Jezyki.h"
#include "app/Przelaczniki.h"
#include "app/Teksty.h"
#include "app/untMain.h"
#include "install/Czcionki.h"
#include "install/Postep.h"
#include "install/Protokol.h"
#include "install/Rejestr.h"
#include "install/Skladniki.h"
#include "install/Skroty.h"
#include "install/TabelaSkrotow.h"
#include "payload/Poprawki.h"
#include "setup/Opcje.h"
#include "setup/Wydania.h"
#include "setup/Zrodlo.h"
#include "sys/drives.h"
#include "sys/files.h"
#include "sys/handle.h"
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
    Protokoluj("Installation starts: source ", KatalogZrodlowy.empty() ? std::string("(not known yet)") : KatalogZrodlowy,
               ", target ", KatalogDocelowy);
    Protokoluj("Options: dictionaries ", TakNie(chbInstalujSlowniki.Checked()), ", Start-menu group ",
               TakNie(chbUtworzGrupe.Checked()), ", desktop translators ", TakNie(chbUtworzSkrotyTranslatorow.Checked()),
               ", desktop dictionaries ", TakNie(chbUtworzSkrotySlownikow.Checked()), ", all users ",
               TakNie(SkrotyDlaWszystkich), ", language ", JezykInterfejsu == JezykAngielski ? "EN" : "PL");
    // One guard for the whole run: an error ends it at once, without a
    // message and without rollback; the end page tells the outcome.
    try {
        // The medium is read throughout; a disc taken out is an error, not a
        // system box.
        sys::NoCriticalErrorBox bezPytaniaODysk;
        UstawKatalogZrodlowy();
        InstalujPliki();
        btnZamknij.SetEnabled(false);
        if (!Przerwano) {
            UtworzSkroty(*this);
            ZapiszRejestr(*this);
            ZastosujPoprawki(*this);
        }
    } catch (const std::exception& e) {
        blad = true;
        Protokoluj("Error: the installation stops: ", e.what());
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
        if (WpisWydania(MaSyntezeMowy, NumerWydania))
            Protokoluj("Speech component: ",
                       InstalujSyntezeMowy(DolaczDoKatalogu(KatalogZrodlowy, "SyntezaMowy.exe")) ? "started" : "failed");
        else
            Protokoluj("Speech component: skipped (not part of this edition)");
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

    // Font and system components: each failure is left to the user's system,
    // as these pieces only improve what Windows already has.
    if (WpisWydania(MaCzcionke, NumerWydania))
        sys::Ignore(InstalujCzcionke("STEDT", "Stedt.ttf", KatalogZrodlowy, KatalogDocelowy + "\\"),
                    "the programs fall back to another font");
    else
        Protokoluj("Font STEDT: skipped (not part of this edition)");
    if (punktZatrzymania()) return;
    struct Skladnik {
        const char* plik;
        std::int32_t glowna, poboczna;
    };
    for (const Skladnik& s : {Skladnik{"comctl32.dll", 4, 72}, Skladnik{"comctl32.ocx", 5, 1}}) {
        sys::Ignore(InstalujSkladnik(s.plik, KatalogZrodlowy, s.glowna, s.poboczna), "the system keeps its own copy");
        PrzetworzKomunikaty();
        if (punktZatrzymania()) return;
    }

    RozpakujDodatki();
    PrzetworzKomunikaty();
}
