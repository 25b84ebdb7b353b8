// The installation run: the sequence of steps between the options page and
// the end page, with its one guard and the three outcomes.

#include "app/Formatuj.h"
#include "app/Jezyki.h"
#include "app/Przelaczniki.h"
#include "app/Sciezki.h"
#include "app/Teksty.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "install/Czcionki.h"
#include "install/Dziennik.h"
#include "install/OknoKreatora.h"
#include "install/Postep.h"
#include "install/Protokol.h"
#include "install/Rejestr.h"
#include "install/Skladniki.h"
#include "install/Silnik.h"
#include "install/Skroty.h"
#include "install/TabelaSkrotow.h"
#include "payload/Poprawki.h"
#include "setup/Opcje.h"
#include "setup/Wydania.h"
#include "setup/Zrodlo.h"
#include "sys/drives.h"
#include "sys/files.h"
#include "sys/result.h"
#include "ui/Application.h"

#include <exception>

namespace {
void PrzetworzKomunikaty() { ui::Application::Current().ProcessMessages(); }
}  // namespace

bool TfrmMain::SprawdzDziennik() {
    // Tried where the run will write it, and removed again: the run itself
    // starts its journal only once it begins.
    const sys::Result katalog = PrzygotujKatalogDziennikow();
    const std::string sciezka = katalog ? NowaSciezkaDziennika() : std::string();
    std::uint32_t blad = katalog ? ERROR_PATH_NOT_FOUND : katalog.error;
    if (!sciezka.empty()) {
        sys::File proba = sys::File::CreateNew(sciezka);
        blad = proba ? 0 : proba.error();
        sys::Ignore(proba.Close(), "an empty file, removed next");
        if (blad == 0) UsunDziennik(sciezka);
    }
    if (blad == 0 || PrzelacznikiWiersza.Cichy()) return true;
    const bool dalej = Zapytaj(*frmPytanie, *this, PobierzTekst(JezykInterfejsu, TekstBezDziennika), PytanieTakNie) ==
                       ui::mrYes;
    Protokoluj("The installation journal cannot be written (", KatalogDziennikow(), ": ", BladSystemu{blad},
               "); go on without it? The user answered: ", TakNie(dalej));
    return dalej;
}

void TfrmMain::Instaluj() {
    InstalacjaTrwa = true;
    PrzerwijZadane = false;
    Przerwano = false;
    CofniecieNiepelne = false;
    bool blad = false;
    Protokoluj("Installation starts: source ", KatalogZrodlowy.empty() ? std::string("(not known yet)") : KatalogZrodlowy,
               ", target ", KatalogDocelowy);
    Protokoluj("Options: dictionaries ", TakNie(chbInstalujSlowniki.Checked()), ", Start-menu group ",
               TakNie(chbUtworzGrupe.Checked()), ", desktop translators ", TakNie(chbUtworzSkrotyTranslatorow.Checked()),
               ", desktop dictionaries ", TakNie(chbUtworzSkrotySlownikow.Checked()), ", all users ",
               TakNie(SkrotyDlaWszystkich), ", language ", JezykInterfejsu == JezykAngielski ? "EN" : "PL");
    // The journal opens with the folders the options page made, so that a
    // run that dies takes them with it too. Without its file the run can
    // still be undone, only not after a crash (the options page asked).
    if (!DziennikInstalacji.Rozpocznij(NowaSciezkaDziennika(), NumerWydania, KatalogDocelowy))
        Protokoluj("Warning: the installation journal cannot be written (", KatalogDziennikow(), ": ",
                   BladSystemu{DziennikInstalacji.BladPliku()}, "); a run that dies cannot be undone at the next start");
    for (const std::string& katalog : UtworzoneKatalogi) DziennikInstalacji.Zapisz(RodzajWpisu::Katalog, {katalog});
    DziennikInstalacji.Utrwal();
    // One guard for the whole run: an error ends it at once, without a
    // message; the end page tells the outcome.
    try {
        UstawKatalogZrodlowy();
        InstalujPliki();
        btnZamknij.SetEnabled(false);
        if (!Przerwano) {
            const KrokInstalacji kroki[] = {
                {"links", [this] { UtworzSkroty(*this); }},
                {"registry", [this] { ZapiszRejestr(*this); }},
                {"patches", [this] { ZastosujPoprawki(*this); }},
            };
            sys::Ignore(WykonajKroki(DziennikInstalacji, kroki, nullptr), "these steps cannot be cancelled");
        }
    } catch (const std::exception& e) {
        blad = true;
        Protokoluj("Error: the installation stops: ", e.what());
    }
    if (blad && !Przerwano) {
        // The user's working installation comes back, as after a confirmed
        // cancel: a half-installed product over it helps no one.
        Protokoluj("The changes of the run are undone after the error");
        OknoKreatora okno(*this);
        CofniecieNiepelne = !WycofajInstalacje(okno, DziennikInstalacji, UtworzoneKatalogi);
        SkopiowanePliki.clear();
        UtworzoneKatalogi.clear();
    }
    btnZamknij.SetEnabled(false);
    GaugePostep.SetProgress(GaugePostep.Max());
    InstalacjaTrwa = false;
    InstalacjaOK = !blad && !Przerwano;
    // A cancel or an error has undone the run and ended its journal. After
    // success the backups of what it replaced go, rather than lie about under
    // names no one looks for.
    if (InstalacjaOK) ZakonczInstalacje(DziennikInstalacji);
    ZmienStrone(+1);
}

void TfrmMain::InstalujPliki() {
    Postep = 0;
    lblInstalacjaOpis.SetCaption(PobierzTekst(JezykInterfejsu, TekstKopiowaniePlikow));
    PrzetworzKomunikaty();
    GaugePostep.SetMin(0);
    GaugePostep.SetProgress(0);
    GaugePostep.SetMax(Mlodsze32Bity(MiejsceWymagane));

    struct Skladnik {
        const char* plik;
        std::int32_t glowna, poboczna;
    };
    const auto skladnik = [this](Skladnik s) {
        return [this, s] {
            sys::Ignore(InstalujSkladnik(s.plik, KatalogZrodlowy, s.glowna, s.poboczna),
                        "the system keeps its own copy");
            PrzetworzKomunikaty();
        };
    };
    // Each step records its changes before it makes them; a stop point
    // follows every step but the last.
    const KrokInstalacji kroki[] = {
        {"tree copy",
         [this] {
             if (BezKopiowaniaPlikow) return;
             if (WpisWydania(MaSyntezeMowy, NumerWydania)) {
                 if (InstalujSyntezeMowy(DolaczDoKatalogu(KatalogZrodlowy, "SyntezaMowy.exe")))
                     Protokoluj("Speech component: started");
                 else
                     Protokoluj("Warning: speech component: its installer could not be started from ",
                                KatalogZrodlowy);
             } else
                 Protokoluj("Speech component: skipped (not part of this edition)");
             KopiujKatalog(ZrodloPlikow, KatalogDocelowy, ListaPominietychPlikow());
         }},
        {"main program", [this] { RozpakujProgram(); }},
        {"main program counted",
         [this] {
             Postep += kMiejsceNaZasoby;
             GaugePostep.SetProgress(Mlodsze32Bity(Postep));
             lblPlikZ.SetCaption("");
             lblPlikDo.SetCaption("");
             PrzetworzKomunikaty();
         }},
        // Font and system components: each failure is left to the user's
        // system, as these pieces only improve what Windows already has.
        {"font",
         [this] {
             if (WpisWydania(MaCzcionke, NumerWydania))
                 sys::Ignore(InstalujCzcionke("STEDT", "Stedt.ttf", KatalogZrodlowy, KatalogDocelowy + "\\"),
                             "the programs fall back to another font");
             else
                 Protokoluj("Font STEDT: skipped (not part of this edition)");
         }},
        {"comctl32.dll", skladnik({"comctl32.dll", 4, 72})},
        {"comctl32.ocx", skladnik({"comctl32.ocx", 5, 1})},
        {"update items",
         [this] {
             RozpakujDodatki();
             PrzetworzKomunikaty();
         }},
    };
    sys::Ignore(WykonajKroki(DziennikInstalacji, kroki, [this] { return Przerwano || SprawdzPrzerwanie(); }),
                "Przerwano tells the run");
}

void OknoKreatora::PokazOpis(int tekst) {
    form_.lblInstalacjaOpis.SetCaption(PobierzTekst(form_.JezykInterfejsu, tekst));
}

void OknoKreatora::PokazPliki(const std::string& z, const std::string& doCelu) {
    form_.lblPlikZ.SetCaption(z.empty() ? std::string() : Formatuj(PobierzTekst(form_.JezykInterfejsu, TekstPlikZ), z));
    form_.lblPlikDo.SetCaption(
        doCelu.empty() ? std::string() : Formatuj(PobierzTekst(form_.JezykInterfejsu, TekstPlikDo), doCelu));
}

void OknoKreatora::UstawZakres(std::int32_t maksimum) {
    form_.GaugePostep.SetMin(0);
    form_.GaugePostep.SetProgress(0);
    form_.GaugePostep.SetMax(maksimum);
}

void OknoKreatora::Posun() { form_.GaugePostep.AddProgress(1); }

void OknoKreatora::UstawPozycje(std::int32_t pozycja) { form_.GaugePostep.SetProgress(pozycja); }

void OknoKreatora::PrzetworzKomunikaty() { ::PrzetworzKomunikaty(); }

void OknoKreatora::ZablokujPrzerwanie() { form_.btnZamknij.SetEnabled(false); }

bool OknoKreatora::SprawdzPrzerwanie() { return form_.SprawdzPrzerwanie(); }

void OdzyskajPoPrzerwaniu(TfrmMain& form) {
    const auto zapytaj = [&form] {
        // A silent run answers nothing: the interrupted run is undone.
        DecyzjaOdzyskania decyzja = DecyzjaOdzyskania::Cofnij;
        if (!PrzelacznikiWiersza.Cichy()) {
            switch (Zapytaj(*frmPytanie, form, PobierzTekst(form.JezykInterfejsu, TekstCofnacPrzerwanaInstalacje),
                            PytanieTakNieOdloz)) {
            case ui::mrYes: decyzja = DecyzjaOdzyskania::Cofnij; break;
            case ui::mrNo: decyzja = DecyzjaOdzyskania::Zachowaj; break;
            default: decyzja = DecyzjaOdzyskania::Odloz; break;
            }
        }
        Protokoluj("An interrupted installation was found: ",
                   decyzja == DecyzjaOdzyskania::Cofnij     ? "undone"
                   : decyzja == DecyzjaOdzyskania::Zachowaj ? "kept, its backups removed"
                                                            : "the question was dismissed; it is asked again next time");
        return decyzja;
    };
    sys::Ignore(OdzyskajPrzerwaneInstalacje(zapytaj), "the wizard goes on as usual either way");
}
