#include "app/untMain.h"

#include "app/Czcionka.h"
#include "base/Formatuj.h"
#include "base/Jezyki.h"
#include "app/Nienadzorowana.h"
#include "base/Narzedzia.h"
#include "app/Obrazy.h"
#include "base/Przelaczniki.h"
#include "base/Sciezki.h"
#include "base/Teksty.h"
#include "app/Umowa.h"
#include "app/WierszPolecen.h"
#include "app/untPytanie.h"
#include "install/Protokol.h"
#include "app/OknoKreatora.h"
#include "setup/KatalogDocelowy.h"
#include "setup/Miejsce.h"
#include "setup/Opcje.h"
#include "base/Wydania.h"
#include "setup/ZnacznikInstalacji.h"
#include "setup/Zrodlo.h"
#include "app/untCD.h"
#include "app/untKatalog.h"
#include "app/untKatalogDodaj.h"
#include "sys/drives.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/locale.h"
#include "sys/result.h"
#include "sys/security.h"
#include "ui/Application.h"

#include <array>

TfrmMain* frmMain = nullptr;
TfrmPytanie* frmPytanie = nullptr;
TfrmCD* frmCD = nullptr;

void UtworzFormularze(ui::Application& aplikacja) {
    frmMain = &aplikacja.CreateForm<TfrmMain>();
    frmKatalog = &aplikacja.CreateForm<TfrmKatalog>();
    frmKatalogDodaj = &aplikacja.CreateForm<TfrmKatalogDodaj>();
    frmPytanie = &aplikacja.CreateForm<TfrmPytanie>();
    frmCD = &aplikacja.CreateForm<TfrmCD>();
    frmCD->ZmienJezykKreatora = [](std::uint8_t j) { frmMain->UstawJezyk(j); };
}

void ZniszczFormularze(ui::Application& aplikacja) {
    aplikacja.DestroyForms();
    frmMain = nullptr;
    frmKatalog = nullptr;
    frmKatalogDodaj = nullptr;
    frmPytanie = nullptr;
    frmCD = nullptr;
}

namespace {

constexpr int kSzerokoscPaska = 137;
constexpr int kWysokoscNaglowka = 53;
constexpr int kWysokoscPrzyciskow = 37;
constexpr int kSzerokoscKlienta = 623;
constexpr int kWysokoscKlienta = 353;
constexpr int kSzerokoscStrony = kSzerokoscKlienta - kSzerokoscPaska;
constexpr int kWysokoscStrony = kWysokoscKlienta - kWysokoscNaglowka - kWysokoscPrzyciskow;

constexpr std::array<int, LiczbaStron> kTytulyStron = {TekstStronaWstep, TekstStronaUmowa, TekstStronaOpcje,
                                                       TekstStronaInstalacja, TekstStronaKoniec};

// Agreement files are small; anything larger is not an agreement.
constexpr std::size_t kNajwiekszaUmowa = 4 * 1024 * 1024;

void UstawWidocznosc(ui::Control& kontrolka, bool widoczna) {
    kontrolka.SetVisible(widoczna);
    kontrolka.SetEnabled(widoczna);
}

}  // namespace

TfrmMain::TfrmMain()
    : ui::Form("frmMain"),
      imgPasek(this, "imgPasek"),
      pnlNaglowek(this, "pnlNaglowek"),
      lblTytul(&pnlNaglowek, "lblTytul"),
      lblKrok(&pnlNaglowek, "lblKrok"),
      pnlIntro(this, "pnlIntro"),
      lblIntro(&pnlIntro, "lblIntro"),
      pnlJezyk(&pnlIntro, "pnlJezyk"),
      lblJezyk(&pnlJezyk, "lblJezyk"),
      btnPolski(&pnlJezyk, "btnPolski"),
      btnAngielski(&pnlJezyk, "btnAngielski"),
      btnNiemiecki(&pnlJezyk, "btnNiemiecki"),
      btnFrancuski(&pnlJezyk, "btnFrancuski"),
      btnWloski(&pnlJezyk, "btnWloski"),
      pnlUmowa(this, "pnlUmowa"),
      redUmowa(&pnlUmowa, "redUmowa"),
      rdbUmowaAkceptuje(&pnlUmowa, "rdbUmowaAkceptuje"),
      rdbUmowaNieAkceptuje(&pnlUmowa, "rdbUmowaNieAkceptuje"),
      pnlOpcje(this, "pnlOpcje"),
      gbxKatalog(&pnlOpcje, "gbxKatalog"),
      lblKatalog(&gbxKatalog, "lblKatalog"),
      btnKatalog(&gbxKatalog, "btnKatalog"),
      lblMiejsceWolne(&gbxKatalog, "lblMiejsceWolne"),
      lblMiejsceWymagane(&gbxKatalog, "lblMiejsceWymagane"),
      chbInstalujSlowniki(&pnlOpcje, "chbInstalujSlowniki"),
      chbUtworzGrupe(&pnlOpcje, "chbUtworzGrupe"),
      chbUtworzSkrotyTranslatorow(&pnlOpcje, "chbUtworzSkrotyTranslatorow"),
      chbUtworzSkrotySlownikow(&pnlOpcje, "chbUtworzSkrotySlownikow"),
      chbSkrotyAllUsers(&pnlOpcje, "chbSkrotyAllUsers"),
      lblSkrotyAllUsers(&pnlOpcje, "lblSkrotyAllUsers"),
      pnlInstalacja(this, "pnlInstalacja"),
      lblInstalacja(&pnlInstalacja, "lblInstalacja"),
      lblInstalacjaOpis(&pnlInstalacja, "lblInstalacjaOpis"),
      lblPlikZ(&pnlInstalacja, "lblPlikZ"),
      lblPlikDo(&pnlInstalacja, "lblPlikDo"),
      GaugePostep(&pnlInstalacja, "GaugePostep"),
      pnlKoniec(this, "pnlKoniec"),
      lblKoniec(&pnlKoniec, "lblKoniec"),
      pnlPrzyciski(this, "pnlPrzyciski"),
      btnWstecz(&pnlPrzyciski, "btnWstecz"),
      btnDalej(&pnlPrzyciski, "btnDalej"),
      btnZamknij(&pnlPrzyciski, "btnZamknij") {
    // Placeholders until the language switch sets every caption.
    SetCaption("Instalator");
    SetBorderStyle(ui::BorderStyle::Single);
    SetBorderIcons({false, false, false});
    SetPosition(ui::FormPosition::ScreenCenter);
    SetClientSize(kSzerokoscKlienta, kWysokoscKlienta);
    SetFontName(CzcionkaInterfejsu());

    imgPasek.SetBounds(0, 0, kSzerokoscPaska, kWysokoscKlienta - kWysokoscPrzyciskow);
    imgPasek.SetStretch(true);
    imgPasek.SetPicture(WczytajObraz(ObrazPasek));

    pnlNaglowek.SetBounds(kSzerokoscPaska, 0, kSzerokoscStrony, kWysokoscNaglowka);
    pnlNaglowek.SetColor(ui::clHighlightText);
    lblTytul.SetBounds(16, 9, kSzerokoscStrony - 32, 16);
    lblTytul.SetFontBold(true);
    lblTytul.SetFontSize(10);
    lblKrok.SetBounds(32, 31, kSzerokoscStrony - 48, 14);

    // The pages share one place between the header and the button bar.
    for (ui::Panel* strona : {&pnlIntro, &pnlUmowa, &pnlOpcje, &pnlInstalacja, &pnlKoniec})
        strona->SetBounds(kSzerokoscPaska, kWysokoscNaglowka, kSzerokoscStrony, kWysokoscStrony);

    lblIntro.SetBounds(20, 18, kSzerokoscStrony - 40, 160);
    lblIntro.SetAutoSize(false);
    lblIntro.SetWordWrap(true);
    pnlJezyk.SetBounds(0, kWysokoscStrony - 52, kSzerokoscStrony, 52);
    lblJezyk.SetBounds(20, 20, 200, 14);
    lblJezyk.SetCaption("Język / Language:"_cp1250);
    UlozFlagi({{btnPolski, ObrazFlagaPL, JezykPolski},
               {btnAngielski, ObrazFlagaEN, JezykAngielski},
               {btnNiemiecki, ObrazFlagaDE, JezykNiemiecki},
               {btnFrancuski, ObrazFlagaFR, JezykFrancuski},
               {btnWloski, ObrazFlagaIT, JezykWloski}},
              236, 13, 34, 26, 38, [this] { btnJezykClick(); });

    redUmowa.SetBounds(16, 12, kSzerokoscStrony - 32, 190);
    redUmowa.SetReadOnly(true);
    redUmowa.SetTabStop(true);
    rdbUmowaAkceptuje.SetBounds(16, 210, kSzerokoscStrony - 32, 17);
    rdbUmowaNieAkceptuje.SetBounds(16, 232, kSzerokoscStrony - 32, 17);
    for (ui::RadioButton* r : {&rdbUmowaAkceptuje, &rdbUmowaNieAkceptuje}) {
        r->SetTabStop(true);
        r->OnClick = [this](ui::Control&) { rdbUmowaAkceptujeClick(); };
    }

    gbxKatalog.SetBounds(16, 8, kSzerokoscStrony - 32, 104);
    lblKatalog.SetBounds(14, 24, 330, 16);
    lblKatalog.SetAutoSize(false);
    lblKatalog.SetTextCodePage(1250);  // a path, whatever the interface language
    btnKatalog.SetBounds(kSzerokoscStrony - 32 - 104, 19, 92, 25);
    btnKatalog.SetTabStop(true);
    lblMiejsceWolne.SetBounds(14, 56, 330, 14);
    lblMiejsceWymagane.SetBounds(14, 78, 330, 14);
    int gora = 122;
    for (ui::CheckBox* c : {&chbInstalujSlowniki, &chbUtworzGrupe, &chbUtworzSkrotyTranslatorow,
                            &chbUtworzSkrotySlownikow}) {
        c->SetBounds(16, gora, kSzerokoscStrony - 32, 17);
        c->SetChecked(true);
        c->SetTabStop(true);
        gora += 22;
    }
    chbInstalujSlowniki.OnClick = [this](ui::Control&) { chbInstalujSlownikiClick(); };
    btnKatalog.OnClick = [this](ui::Control&) { btnKatalogClick(); };
    chbSkrotyAllUsers.SetBounds(16, gora + 4, kSzerokoscStrony - 32, 17);
    chbSkrotyAllUsers.SetTabStop(true);
    lblSkrotyAllUsers.SetBounds(34, gora + 24, kSzerokoscStrony - 50, 14);

    lblInstalacja.SetBounds(20, 18, kSzerokoscStrony - 40, 16);
    lblInstalacja.SetFontBold(true);
    lblInstalacjaOpis.SetBounds(20, 56, kSzerokoscStrony - 40, 14);
    for (ui::Label* l : {&lblPlikZ, &lblPlikDo}) {
        l->SetAutoSize(false);
        l->SetTextCodePage(1250);
    }
    lblPlikZ.SetBounds(20, 84, kSzerokoscStrony - 40, 14);
    lblPlikDo.SetBounds(20, 104, kSzerokoscStrony - 40, 14);
    GaugePostep.SetBounds(20, 140, kSzerokoscStrony - 40, 20);

    lblKoniec.SetBounds(20, 18, kSzerokoscStrony - 40, kWysokoscStrony - 36);
    lblKoniec.SetAutoSize(false);
    lblKoniec.SetWordWrap(true);

    pnlPrzyciski.SetBounds(0, kWysokoscKlienta - kWysokoscPrzyciskow, kSzerokoscKlienta, kWysokoscPrzyciskow);
    pnlPrzyciski.SetBevel(ui::Bevel::Raised);
    btnWstecz.SetBounds(kSzerokoscKlienta - 3 * 96 - 24, 6, 92, 25);
    btnDalej.SetBounds(kSzerokoscKlienta - 2 * 96 - 24, 6, 92, 25);
    btnZamknij.SetBounds(kSzerokoscKlienta - 96 - 4, 6, 92, 25);
    btnZamknij.SetAnchors({false, true, true, false});
    btnDalej.SetDefault(true);
    // Esc is the Close button's click: a question, a cancel request or the end.
    btnZamknij.SetCancel(true);
    for (ui::Button* b : {&btnWstecz, &btnDalej, &btnZamknij}) b->SetTabStop(true);
    btnWstecz.OnClick = [this](ui::Control&) { btnWsteczClick(); };
    btnDalej.OnClick = [this](ui::Control&) { btnDalejClick(); };
    btnZamknij.OnClick = [this](ui::Control&) { btnZamknijClick(); };

    OnShow = [this](ui::Form&) { FormShow(); };
    OnDestroy = [this](ui::Form&) { FormDestroy(); };
    OnCloseQuery = [](ui::Form&, bool& mozna) { mozna = true; };
    // Alt+F4, the taskbar and a task manager ask as the Close button does:
    // a question first, or a cancel request while the copy runs.
    OnCloseRequest = [this](ui::Form&) {
        if (btnZamknij.Enabled()) btnZamknijClick();
    };
    OnQueryEndSession = [this](ui::Form&, std::string& powod) {
        if (InstalacjaTrwa) powod = PobierzTekst(JezykInterfejsu, TekstWylogowanieWstrzymane);
    };
    OnEndSession = [this](ui::Form&) {
        // The process may be ended as soon as this returns.
        if (CzyscFlageInstalacji) UstawInstalacjeWToku(NumerWydania, false);
        Close();
    };

    FormCreate();
}

void TfrmMain::FormCreate() {
    KatalogZrodlowy.clear();
    Strona = StronaWstep;
    InstalacjaOK = InstalacjaTrwa = PrzerwijZadane = Przerwano = CofniecieNiepelne = false;
    UtworzoneKatalogi.clear();
    SkopiowanePliki.clear();
    UstawInstalacjeWToku(NumerWydania, true);
}

void TfrmMain::FormDestroy() {
    if (CzyscFlageInstalacji) UstawInstalacjeWToku(NumerWydania, false);
    UtworzoneKatalogi.clear();
    SkopiowanePliki.clear();
}

void TfrmMain::UstawPrzyciskiJezyka() {
    const std::uint8_t lang1 = AktualnyLang1;
    UstawWidocznosc(btnPolski, true);
    UstawWidocznosc(btnAngielski, lang1 == JezykAngielski);
    UstawWidocznosc(btnNiemiecki, lang1 == JezykNiemiecki);
    UstawWidocznosc(btnFrancuski, lang1 == JezykFrancuski && NumerWydania != 1);
    UstawWidocznosc(btnWloski, lang1 == JezykWloski);
    // The second slot always holds the edition's own language.
    for (ui::SpeedButton* b : {&btnNiemiecki, &btnFrancuski, &btnWloski})
        if (b->Visible()) b->SetLeft(btnAngielski.Left());
}

void TfrmMain::UstawOpcjeWszystkichUzytkownikow() {
    std::string wspolne = sys::ShellFolder(sys::RegistryRoot::LocalMachine, "Common Programs").value_or("");
    const std::string wlasne = sys::ShellFolder(sys::RegistryRoot::CurrentUser, "Programs").value_or("");
    if (wspolne.empty()) wspolne = wlasne;
    const bool pokaz = WZakresie(NumerWydania, 6, 21) && !RowneBezWielkosciLiter(wspolne, wlasne);
    UstawWidocznosc(chbSkrotyAllUsers, pokaz);
    UstawWidocznosc(lblSkrotyAllUsers, pokaz);
}

void TfrmMain::FormShow() {
    UstawPrzyciskiJezyka();
    UstawOpcjeWszystkichUzytkownikow();
    UstawKatalogDocelowy();
    // The English edition starts in Polish: no locale gives English.
    std::uint8_t jezyk = JezykZLokalizacji(sys::ThreadLocale());
    if (jezyk != AktualnyLang1) jezyk = JezykPolski;
    UstawJezyk(jezyk);
    ZastosujPrzelaczniki(*this);
    OdzyskajPoPrzerwaniu(*this);
    ZmienStrone(0);
}

void TfrmMain::UstawKatalogDocelowy() {
    KatalogDocelowy = DomyslnyKatalogDocelowy(NumerWydania);
    lblKatalog.SetCaption(KatalogDocelowy);
}

void TfrmMain::UstawKatalogZrodlowy() {
    if (!PytajOCD) {
        if (ZrodloStale) KatalogZrodlowy = StaleZrodlo;
        else if (ZrodloWlasnyKatalog) KatalogZrodlowy = KatalogProgramu();
        else KatalogZrodlowy = DyskProgramu();
    } else if (KatalogZrodlowy.empty()) {
        KatalogZrodlowy = frmCD ? frmCD->WybierzCD() : std::string();
        if (KatalogZrodlowy.empty()) Close();
    }
    ZrodloPlikow = BezKoncowegoUkosnika(KatalogZrodlowy);
}

ui::Panel& TfrmMain::PanelStrony(std::int32_t strona) {
    switch (strona) {
    case StronaUmowa: return pnlUmowa;
    case StronaOpcje: return pnlOpcje;
    case StronaInstalacja: return pnlInstalacja;
    case StronaKoniec: return pnlKoniec;
    default: return pnlIntro;
    }
}

void TfrmMain::ZmienStrone(std::int32_t krok) {
    UstawKatalogZrodlowy();
    Strona += krok;

    const std::uint8_t j = JezykInterfejsu;
    const int tytul = WZakresie(Strona, 1, LiczbaStron) ? kTytulyStron[static_cast<std::size_t>(Strona - 1)] : 0;
    lblKrok.SetCaption(Formatuj(PobierzTekst(j, TekstKrok), Strona, LiczbaStron, PobierzTekst(j, tytul)));

    if (Strona == StronaKoniec) {
        lblKoniec.SetCaption("");
        std::string koniec = PobierzTekst(j, InstalacjaOK ? TekstInstalacjaUdana
                                             : Przerwano  ? TekstInstalacjaPrzerwana
                                                          : TekstInstalacjaBlad);
        if (CofniecieNiepelne) koniec += "\r\n\r\n" + PobierzTekst(j, TekstCofniecieNiepelne);
        lblKoniec.SetCaption(koniec);
    } else if (Strona == StronaUmowa) {
        WczytajUmowe();
    }

    // The page entered first, so that the focus is on it before the page
    // left is disabled under it.
    PanelStrony(Strona).SetEnabled(true);
    PanelStrony(Strona).BringToFront();

    btnDalej.SetEnabled(Strona == StronaWstep || Strona == StronaUmowa || Strona == StronaOpcje);
    btnWstecz.SetEnabled(Strona == StronaUmowa || Strona == StronaOpcje);
    btnZamknij.SetEnabled(true);

    if (Strona == StronaUmowa) rdbUmowaAkceptujeClick();
    if (Strona == StronaInstalacja) btnZamknij.SetCaption(PobierzTekst(j, TekstPrzerwij));
    if (Strona == StronaKoniec) btnZamknij.SetCaption(PobierzTekst(j, TekstZakoncz));
    PierwszaKontrolka(Strona).SetFocus();
    for (std::int32_t s = StronaWstep; s <= StronaKoniec; ++s)
        if (s != Strona) PanelStrony(s).SetEnabled(false);

    if (Strona == StronaOpcje) sys::Ignore(SprawdzWolneMiejsce(), "the labels show the outcome");
    // The whole run happens here, inside the click; it ends by moving on to
    // the end page, so the page is the end page when it returns.
    if (Strona == StronaInstalacja) Instaluj();
}

ui::Control& TfrmMain::PierwszaKontrolka(std::int32_t strona) {
    switch (strona) {
    // The welcome goes on with Enter; the agreement is read first; the
    // options begin with the first of them, from which Enter still goes on.
    case StronaUmowa: return redUmowa;
    case StronaOpcje: return chbInstalujSlowniki;
    case StronaInstalacja:
    case StronaKoniec: return btnZamknij;
    default: return btnDalej;
    }
}

std::string TfrmMain::ListaPominietychPlikow() {
    const std::string program = sys::ModuleFileName().value_or("");
    return ListaPominietych(NumerWydania, chbInstalujSlowniki.Checked(), program.substr(KatalogPliku(program).size()));
}

bool TfrmMain::SprawdzWolneMiejsce() {
    bool wynik = false;
    const std::string lista = ListaPominietychPlikow();
    sys::NoCriticalErrorBox bezPytaniaODysk;
    MiejsceWymagane = RozmiarKatalogu(ZrodloPlikow, lista) + kMiejsceNaZasoby;
    // Asked where the target lies (a network share answers for itself); a
    // place that cannot be asked shows, and counts, as -1 bytes free.
    const auto wolne = sys::DriveRoot(KatalogDocelowy).empty() ? sys::FreeBytes(NumerDysku(KatalogDocelowy))
                                                               : sys::FreeBytesAt(KatalogDocelowy);
    MiejsceWolne = wolne.value_or(-1);
    wynik = MiejsceWolne >= MiejsceWymagane;
    lblMiejsceWolne.SetFontColor(wynik ? ui::clWindowText : ui::clRed);
    const sys::NumberSeparators separatory = sys::UserNumberSeparators();
    const auto mb = [&](std::int64_t bajty) {
        return FormatujMegabajty(bajty, separatory.thousands, separatory.decimal);
    };
    lblMiejsceWolne.SetCaption(Formatuj(PobierzTekst(JezykInterfejsu, TekstMiejsceWolne), mb(MiejsceWolne)));
    lblMiejsceWymagane.SetCaption(Formatuj(PobierzTekst(JezykInterfejsu, TekstMiejsceWymagane), mb(MiejsceWymagane)));
    return wynik;
}

bool TfrmMain::SprawdzOpcje() {
    if (Strona != StronaOpcje) return true;
    SkrotyDlaWszystkich = InstalacjaDlaWszystkich(*this);
    KatalogDocelowy = lblKatalog.Caption();
    // A typed "Velt" would land in whatever the current folder is.
    const bool bezwzgledna = SciezkaBezwzgledna(KatalogDocelowy);
    const bool istnial = bezwzgledna && sys::FolderExists(KatalogDocelowy);
    // Weighed before the folder is made: once made, it is the administrators'.
    const std::string dlaInnych = bezwzgledna ? KatalogZmiennyDlaInnych(KatalogDocelowy) : std::string();
    bool wynik = false;
    if (bezwzgledna && (istnial || sys::CreateAdminFolder(KatalogDocelowy))) {
        wynik = SprawdzKatalogDlaInnych(dlaInnych);
        if (!SprawdzWolneMiejsce() && wynik)
            wynik = Zapytaj(*frmPytanie, *this, Formatuj(PobierzTekst(JezykInterfejsu, TekstZaMaloMiejsca), KatalogDocelowy),
                            PytanieTakNie) == ui::mrYes;
        // A folder made only for this question is not left behind when the
        // user stays on the page.
        if (!wynik && !istnial)
            sys::Ignore(sys::RemoveFolder(KatalogDocelowy), "an empty folder left behind does no harm");
    } else {
        sys::Ignore(Zapytaj(*frmPytanie, *this,
                            Formatuj(PobierzTekst(JezykInterfejsu, TekstNieMoznaUtworzycKatalogu), KatalogDocelowy),
                            PytanieOK),
                    "a message with one button");
    }
    if (wynik && !istnial) {
        UtworzoneKatalogi.push_back(KatalogDocelowy);
        Protokoluj("Folder created: ", KatalogDocelowy);
    }
    // The run keeps a journal; without one the user decides.
    if (wynik && !SprawdzDziennik()) {
        wynik = false;
        if (!istnial) {
            UtworzoneKatalogi.pop_back();
            if (sys::RemoveFolder(KatalogDocelowy)) Protokoluj("Folder removed: ", KatalogDocelowy);
        }
    }
    return wynik;
}

bool TfrmMain::SprawdzKatalogDlaInnych(const std::string& katalog) {
    if (katalog.empty()) return true;
    if (PrzelacznikiWiersza.Cichy()) {
        Protokoluj("Warning: users without administrator rights may change the folder ", katalog,
                   " and the programs installed in it; the installation goes on");
        return true;
    }
    const bool dalej = Zapytaj(*frmPytanie, *this, Formatuj(PobierzTekst(JezykInterfejsu, TekstKatalogDlaInnych), katalog),
                               PytanieTakNie) == ui::mrYes;
    Protokoluj("Users without administrator rights may change the folder ", katalog,
               "; install there? The user answered: ", TakNie(dalej));
    return dalej;
}

void TfrmMain::btnKatalogClick() {
    if (!frmKatalog) return;
    KatalogDocelowy = BezKoncowychUkosnikow(frmKatalog->WybierzKatalog(KatalogDocelowy, ""));
    lblKatalog.SetCaption(KatalogDocelowy);
    sys::Ignore(SprawdzWolneMiejsce(), "the labels show the outcome");
}

void TfrmMain::chbInstalujSlownikiClick() { sys::Ignore(SprawdzWolneMiejsce(), "the labels show the outcome"); }

void TfrmMain::btnDalejClick() {
    if (SprawdzOpcje()) ZmienStrone(+1);
}

void TfrmMain::btnWsteczClick() { ZmienStrone(-1); }

void TfrmMain::btnZamknijClick() {
    switch (Strona) {
    case StronaInstalacja: PrzerwijZadane = true; break;
    case StronaKoniec: Close(); break;
    default:
        if (Zapytaj(*frmPytanie, *this, PobierzTekst(JezykInterfejsu, TekstCzyPrzerwacInstalacje), PytanieTakNie) ==
            ui::mrYes)
            Close();
        break;
    }
}

void TfrmMain::rdbUmowaAkceptujeClick() { btnDalej.SetEnabled(rdbUmowaAkceptuje.Checked()); }

void TfrmMain::btnJezykClick() {
    struct Przycisk {
        ui::SpeedButton& przycisk;
        std::uint8_t jezyk;
    };
    for (auto [przycisk, jezyk] : {Przycisk{btnPolski, JezykPolski}, Przycisk{btnAngielski, JezykAngielski},
                                   Przycisk{btnNiemiecki, JezykNiemiecki}, Przycisk{btnFrancuski, JezykFrancuski},
                                   Przycisk{btnWloski, JezykWloski}}) {
        if (przycisk.Down()) {
            UstawJezyk(jezyk);
            return;
        }
    }
}

void TfrmMain::UstawJezyk(std::uint8_t j) {
    JezykInterfejsu = j;
    if (frmPytanie) frmPytanie->UstawJezyk(j);
    if (frmKatalog) frmKatalog->UstawJezyk(j);
    if (frmKatalogDodaj) frmKatalogDodaj->UstawJezyk(j);
    if (frmCD) frmCD->UstawJezyk(j);

    UstawCzcionke(*this, j);
    for (ui::Control* c : {static_cast<ui::Control*>(&lblKrok), static_cast<ui::Control*>(&lblIntro),
                           static_cast<ui::Control*>(&lblKoniec)})
        UstawCzcionke(*c, j);
    UstawCzcionke(lblTytul, JezykPolski);
    UstawCzcionke(lblJezyk, JezykPolski);
    UstawCzcionkeTekstu(redUmowa, j);
    UstawNazweDostepna(redUmowa, j, TekstStronaUmowa);
    // Paths keep their own code page whatever the form's character set.
    lblKatalog.SetFontCharset(DaneJezyka(JezykPolski).ZestawZnakow);

    const std::string tytul = ZPXAppFunctions.Tytul(j);
    SetCaption(Formatuj(PobierzTekst(j, TekstTytulOkna), tytul));
    lblTytul.SetCaption(Formatuj(PobierzTekst(j, TekstTytulNaglowka), tytul));
    btnWstecz.SetCaption(PobierzTekst(j, TekstWstecz));
    btnDalej.SetCaption(PobierzTekst(j, TekstDalej));
    btnZamknij.SetCaption(PobierzTekst(j, TekstZamknij));
    lblIntro.SetCaption(Formatuj(PobierzTekst(j, TekstWstep), tytul, tytul));
    rdbUmowaAkceptuje.SetCaption(PobierzTekst(j, TekstAkceptujeUmowe));
    rdbUmowaNieAkceptuje.SetCaption(PobierzTekst(j, TekstNieAkceptujeUmowy));
    gbxKatalog.SetCaption(PobierzTekst(j, TekstZainstalujWKatalogu));
    btnKatalog.SetCaption(PobierzTekst(j, TekstZmienKatalog));
    lblMiejsceWolne.SetCaption(PobierzTekst(j, TekstMiejsceWolne));
    lblMiejsceWymagane.SetCaption(PobierzTekst(j, TekstMiejsceWymagane));
    chbInstalujSlowniki.SetCaption(PobierzTekst(j, TekstZainstalujSlowniki));
    chbUtworzGrupe.SetCaption(PobierzTekst(j, TekstUtworzGrupe));
    chbUtworzSkrotyTranslatorow.SetCaption(PobierzTekst(j, TekstSkrotyTranslatorow));
    chbUtworzSkrotySlownikow.SetCaption(PobierzTekst(j, TekstSkrotySlownikow));
    chbSkrotyAllUsers.SetCaption(PobierzTekst(j, TekstSkrotyDlaWszystkich));
    lblSkrotyAllUsers.SetCaption(PobierzTekst(j, TekstUprawnieniaAdministratora));
    lblInstalacja.SetCaption(Formatuj(PobierzTekst(j, TekstInstaluje), tytul));
    lblInstalacjaOpis.SetCaption(PobierzTekst(j, TekstKopiowaniePlikow));
    lblKoniec.SetCaption(PobierzTekst(j, TekstInstalacjaUdana));

    const int tytulStrony = WZakresie(Strona, 1, LiczbaStron) ? kTytulyStron[static_cast<std::size_t>(Strona - 1)] : 0;
    lblKrok.SetCaption(Formatuj(PobierzTekst(j, TekstKrok), Strona, LiczbaStron, PobierzTekst(j, tytulStrony)));

    if (Strona == StronaOpcje) sys::Ignore(SprawdzWolneMiejsce(), "the labels show the outcome");

    WczytajUmoweJakoTekst();

    btnPolski.SetDown(j == JezykPolski);
    btnAngielski.SetDown(j == JezykAngielski);
    btnNiemiecki.SetDown(j == JezykNiemiecki);
    btnFrancuski.SetDown(j == JezykFrancuski);
    btnWloski.SetDown(j == JezykWloski);
}

void TfrmMain::WczytajUmoweJakoTekst() {
    redUmowa.Clear();
    // Before the medium is known there is nothing to look for (and the
    // current folder is no place to look).
    if (KatalogZrodlowy.empty()) return;
    sys::NoCriticalErrorBox bezPytaniaODysk;
    std::string plik = KatalogZrodlowy + std::string(DaneJezyka(JezykInterfejsu).PlikUmowy);
    if (!sys::FileExists(plik)) plik = KatalogZrodlowy + std::string(DaneJezyka(JezykPolski).PlikUmowy);
    if (auto tekst = sys::ReadWholeFile(plik, kNajwiekszaUmowa)) redUmowa.SetText(std::move(*tekst));
    redUmowa.CaretToStart();
}

void TfrmMain::WczytajUmowe() {
    redUmowa.Clear();
    redUmowa.BeginUpdate();
    sys::NoCriticalErrorBox bezPytaniaODysk;
    std::uint8_t jezykPliku = JezykInterfejsu;
    const auto plikJezyka = [&](std::uint8_t jezyk) {
        return KatalogZrodlowy + std::string(DaneJezyka(jezyk).PlikUmowy);
    };
    if (KatalogZrodlowy.empty() || !sys::FileExists(plikJezyka(jezykPliku))) jezykPliku = JezykPolski;
    std::vector<std::string> linie;
    if (!KatalogZrodlowy.empty()) {
        if (auto tekst = sys::ReadWholeFile(plikJezyka(jezykPliku), kNajwiekszaUmowa))
            linie = PodzielNaLinie(*tekst);
    }
    for (const std::string& linia : linie) {
        DopiszLinie(redUmowa, linia, jezykPliku);
        redUmowa.InsertText("\r\n");
    }
    redUmowa.EndUpdate();
    redUmowa.CaretToStart();
}

void DopiszLinie(ui::RichEdit& pole, const std::string& linia, std::uint8_t jezyk) {
    if (linia.empty()) return;
    const sys::WindowsVersion wersja = sys::SystemVersion();
    const bool ntPowyzej4 = wersja.nt && wersja.major > 4;
    pole.SetSelCharset(DaneJezyka(jezyk).ZestawZnakow);
    if (!SciezkaKlawiszy(jezyk, sys::ThreadLocale(), ntPowyzej4, linia)) {
        pole.InsertText(linia);
        return;
    }
    const bool tylkoDoOdczytu = pole.ReadOnly();
    if (tylkoDoOdczytu) pole.SetReadOnly(false);
    {
        sys::KeyboardLayoutGuard przywroc;
        sys::Ignore(sys::LoadKeyboardLayoutById(UkladKlawiaturyDlaJezyka(jezyk), true),
                    "the keystrokes then follow whatever layout is active");
        for (const KawalekLinii& kawalek : PodzielNaKawalki(linia)) {
            if (kawalek.klawisz) pole.SendChar(static_cast<std::uint8_t>(kawalek.tekst[0]));
            else pole.InsertText(kawalek.tekst);
        }
    }
    if (tylkoDoOdczytu) pole.SetReadOnly(true);
}
