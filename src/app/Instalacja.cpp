// The installation run: the sequence of steps between the options page and
// the end page, with its one guard and the three outcomes; and the form's
// steps, each a thin adapter over the engine in install/.

#include "app/OknoKreatora.h"
#include "app/WierszPolecen.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "base/Formatuj.h"
#include "base/Jezyki.h"
#include "base/Narzedzia.h"
#include "base/Przelaczniki.h"
#include "base/Sciezki.h"
#include "base/Teksty.h"
#include "base/Wydania.h"
#include "install/Czcionki.h"
#include "install/Dziennik.h"
#include "install/Kopiowanie.h"
#include "install/Poprawki.h"
#include "install/Postep.h"
#include "install/Protokol.h"
#include "install/Rejestr.h"
#include "install/Rozpakowanie.h"
#include "install/Silnik.h"
#include "install/Skladniki.h"
#include "install/Skroty.h"
#include "install/TabelaSkrotow.h"
#include "setup/Opcje.h"
#include "setup/Zrodlo.h"
#include "sys/drives.h"
#include "sys/files.h"
#include "sys/locale.h"
#include "sys/result.h"
#include "sys/version.h"
#include "ui/Application.h"

#include <algorithm>
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

void OknoKreatora::Odswiez() { ui::Application::Current().Refresh(); }

std::uint64_t OknoKreatora::Milisekundy() { return ui::Application::Current().GetBackend().Milliseconds(); }

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

// ---- the steps of the run, as the wizard hands them its records and window ----

StanKopiowania StanKopiowaniaKreatora(TfrmMain& form) noexcept {
    return {form.DziennikInstalacji, form.UtworzoneKatalogi, form.SkopiowanePliki, form.Postep};
}

void TfrmMain::KopiujKatalog(const std::string& zrodlo, const std::string& cel, const std::string& pomijane) {
    StanKopiowania stan = StanKopiowaniaKreatora(*this);
    OknoKreatora okno(*this);
    ::KopiujKatalog(stan, okno, zrodlo, cel, pomijane);
}

void TfrmMain::KopiujPlik(const std::string& zrodlo, const std::string& cel) {
    StanKopiowania stan = StanKopiowaniaKreatora(*this);
    OknoKreatora okno(*this);
    ::KopiujPlik(stan, okno, zrodlo, cel);
}

bool TfrmMain::SprawdzPrzerwanie() {
    if (Przerwano) return true;
    if (!PrzerwijZadane) return false;
    // A silent run has no one to ask: a close request there is a cancel.
    const bool tak = PrzelacznikiWiersza.Cichy() ||
                     Zapytaj(*frmPytanie, *this, PobierzTekst(JezykInterfejsu, TekstCzyPrzerwacInstalacje),
                             PytanieTakNie) == ui::mrYes;
    Protokoluj("Cancel requested; ", PrzelacznikiWiersza.Cichy() ? "answered by the silent mode: " : "the user answered: ",
               TakNie(tak));
    if (!tak) {
        PrzerwijZadane = false;
        return false;
    }

    // The one undo of a run, the one the next start uses for a run that died.
    OknoKreatora okno(*this);
    CofniecieNiepelne = !WycofajInstalacje(okno, DziennikInstalacji, UtworzoneKatalogi);
    SkopiowanePliki.clear();
    UtworzoneKatalogi.clear();

    Przerwano = true;
    return true;
}

namespace {
// The maker, as the wizard's own version information names it.
std::string Wydawca() {
    const auto info = sys::VersionInfo::Read(sys::ModuleFileName().value_or(""));
    if (!info || info->Translations().empty()) return {};
    return info->StringValue(info->Translations().front(), "CompanyName").value_or("");
}

// The files the run wrote, in KB rounded up (the system's shared files,
// the font and the components, are not the product's).
std::uint32_t RozmiarKB(const std::vector<std::string>& pliki) {
    std::uint64_t bajty = 0;
    for (const std::string& plik : pliki)
        if (const auto s = sys::StampOf(plik)) bajty += static_cast<std::uint64_t>(s->size);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>((bajty + 1023) / 1024, 0xFFFFFFFFu));
}
}  // namespace

void ZapiszRejestr(TfrmMain& form) {
    form.lblInstalacjaOpis.SetCaption(PobierzTekst(form.JezykInterfejsu, TekstTworzenieRejestru));
    ZapiszRejestr(TDaneRejestru{
        .wydanie = NumerWydania,
        .katalogDocelowy = form.KatalogDocelowy,
        .katalogZrodlowy = form.KatalogZrodlowy,
        .jezyk = form.JezykInterfejsu,
        .dlaWszystkich = SkrotyDlaWszystkich,
        .wydawca = Wydawca(),
        .rozmiarKB = RozmiarKB(form.SkopiowanePliki),
        .dataInstalacji = sys::LocalDateText(),
    });
    ui::Application::Current().ProcessMessages();
}

void UtworzSkroty(TfrmMain& form) {
    form.lblInstalacjaOpis.SetCaption(PobierzTekst(form.JezykInterfejsu, TekstTworzenieSkrotow));
    ui::Application::Current().ProcessMessages();
    UtworzSkroty(TOpcjeSkrotow{
        .wydanie = NumerWydania,
        .jezyk = form.JezykInterfejsu,
        .katalogDocelowy = form.KatalogDocelowy,
        .grupa = form.chbUtworzGrupe.Checked(),
        .translatory = form.chbUtworzSkrotyTranslatorow.Checked(),
        .slowniki = form.chbUtworzSkrotySlownikow.Checked(),
        .dlaWszystkich = SkrotyDlaWszystkich,
    });
}

void ZastosujPoprawki(TfrmMain& form) { ZastosujPoprawki(NumerWydania, form.KatalogZrodlowy, form.KatalogDocelowy); }

void TfrmMain::RozpakujProgram() {
    const std::string cel = DolaczDoKatalogu(KatalogDocelowy, WpisWydania(ProgramyGlowne, NumerWydania));
    lblPlikZ.SetCaption(Formatuj(PobierzTekst(JezykInterfejsu, TekstPlikZ), KatalogZrodlowy));
    lblPlikDo.SetCaption(Formatuj(PobierzTekst(JezykInterfejsu, TekstPlikDo), cel));
    ::PrzetworzKomunikaty();

    // Checked whole against its digest before it replaces anything; a main
    // program already there (a reinstallation) stays whole until then.
    ZlozProgram({WpisWydania(ZasobyA, NumerWydania), WpisWydania(ZasobyB, NumerWydania),
                 WpisWydania(ZasobyC, NumerWydania)},
                NumerWydania, cel, SkopiowanePliki);
    const auto stempel = sys::StampOf(cel);
    Protokoluj("Main program unpacked: ", cel, " (", stempel ? stempel->size : -1, " bytes)");
    ::PrzetworzKomunikaty();

    // A cancel pressed while the program was written is answered now.
    if (!Przerwano) sys::Ignore(SprawdzPrzerwanie(), "the run's next stop point reads Przerwano");
}

void TfrmMain::RozpakujDodatki() {
    RozpakujDodatkiWydania(NumerWydania, AktualnyAppConst.Variant, KatalogDocelowy, SkopiowanePliki);
}
