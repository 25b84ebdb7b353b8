#include "app/Nienadzorowana.h"

#include "base/Przelaczniki.h"
#include "base/Teksty.h"
#include "app/untMain.h"
#include "base/Narzedzia.h"
#include "install/Protokol.h"
#include "sys/commandline.h"
#include "setup/KatalogDocelowy.h"
#include "sys/files.h"
#include "sys/security.h"
#include "sys/result.h"

#include <utility>

bool KontoSystemowe = false;

bool InstalacjaDlaWszystkich(const TfrmMain& okno) {
    if (okno.chbSkrotyAllUsers.Enabled()) return okno.chbSkrotyAllUsers.Checked();
    return PrzelacznikiWiersza.DlaWszystkich || KontoSystemowe;
}

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
    // Where the edition's options page offers the choice; elsewhere the
    // switch and the account decide without it (InstalacjaDlaWszystkich).
    if ((w.DlaWszystkich || KontoSystemowe) && okno.chbSkrotyAllUsers.Enabled())
        okno.chbSkrotyAllUsers.SetChecked(true);
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
    SkrotyDlaWszystkich = InstalacjaDlaWszystkich(okno);
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

std::optional<TBladOdpowiedzi> WczytajOdpowiedzi(TWierszPolecen& w, std::vector<std::string>& argumenty) {
    for (auto [przelacznik, wartosc] : {std::pair{"/LOADINF=", &w.OdczytOdpowiedzi}, std::pair{"/SAVEINF=", &w.ZapisOdpowiedzi}}) {
        if (!*wartosc) continue;
        const std::optional<std::string> pelna = sys::FullPath(**wartosc);
        if (!pelna) return TBladOdpowiedzi{**wartosc, 0};
        for (std::string& a : argumenty)
            if (ZaczynaSieOd(a, przelacznik, false)) a = przelacznik + *pelna;
        *wartosc = *pelna;
    }
    if (!w.OdczytOdpowiedzi) return std::nullopt;
    // A path a user may name: only what the switches could say is taken from
    // it, and no more bytes than such a file needs.
    const std::optional<std::string> tresc = sys::ReadWholeFile(*w.OdczytOdpowiedzi, kNajwiekszyPlikOdpowiedzi);
    if (!tresc) return TBladOdpowiedzi{*w.OdczytOdpowiedzi, 0};
    const TOdczytOdpowiedzi odczyt = CzytajOdpowiedzi(*tresc);
    if (!odczyt.Poprawny()) return TBladOdpowiedzi{*w.OdczytOdpowiedzi, odczyt.BlednyWiersz};
    w = ZOdpowiedziami(w, odczyt.Przelaczniki);
    return std::nullopt;
}

TOdpowiedzi OdpowiedziKreatora(const TfrmMain& okno) {
    return TOdpowiedzi{
        .Katalog = okno.KatalogDocelowy,
        .Jezyk = okno.JezykInterfejsu,
        .Slowniki = okno.chbInstalujSlowniki.Checked(),
        .Grupa = okno.chbUtworzGrupe.Checked(),
        // A link the user turned down is never made by a run that repeats the choices.
        .Pulpit = okno.chbUtworzSkrotyTranslatorow.Checked() && okno.chbUtworzSkrotySlownikow.Checked(),
        .DlaWszystkich = SkrotyDlaWszystkich,
    };
}

std::uint32_t TZapisOdpowiedzi::Otworz(const std::string& sciezka) {
    plik_ = sys::File::OpenPlainForWriting(sciezka, utworzony_);
    return plik_ ? 0 : plik_.error();
}

TZapisOdpowiedzi::~TZapisOdpowiedzi() {
    if (plik_ && utworzony_) sys::Ignore(plik_.DeleteWhenClosed(), "an empty file left behind harms nothing");
}

void TZapisOdpowiedzi::Zakoncz(const std::string& sciezka, const std::optional<TOdpowiedzi>& odpowiedzi) {
    if (!odpowiedzi) {
        Protokoluj("Answer file not written (nothing was installed): ", sciezka);
        if (plik_ && utworzony_) sys::Ignore(plik_.DeleteWhenClosed(), "an empty file left behind harms nothing");
        sys::Ignore(plik_.Close(), "nothing was written through it");
        return;
    }
    if (!plik_) {
        if (const std::uint32_t blad = Otworz(sciezka); blad != 0) {
            Protokoluj("Warning: the answer file ", sciezka, " cannot be written: ", BladSystemu{blad});
            return;
        }
    }
    const std::string tresc = TekstOdpowiedzi(*odpowiedzi);
    sys::Result r = plik_.Truncate();
    if (r) {
        const sys::Transfer t = plik_.Write(tresc.data(), tresc.size());
        r = sys::Result{t.error};
    }
    if (const sys::Result zamkniecie = plik_.Close(); r && !zamkniecie) r = zamkniecie;
    if (r) Protokoluj("Answer file written: ", sciezka);
    else Protokoluj("Warning: the answer file ", sciezka, " cannot be written: ", BladSystemu{r.error});
}
