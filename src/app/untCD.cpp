#include "app/untCD.h"

#include "app/Czcionka.h"
#include "base/Formatuj.h"
#include "base/Jezyki.h"
#include "base/Narzedzia.h"
#include "app/Obrazy.h"
#include "base/Przelaczniki.h"
#include "base/Sciezki.h"
#include "base/Teksty.h"
#include "base/Wydania.h"
#include "setup/Zrodlo.h"
#include "sys/drives.h"
#include "sys/files.h"

TfrmCD::TfrmCD()
    : ui::Form("frmCD"),
      lblCD(this, "lblCD"),
      cmbDrive(this, "cmbDrive"),
      btnOK(this, "btnOK"),
      btnAnuluj(this, "btnAnuluj"),
      pnlJezyk(this, "pnlJezyk"),
      lblJezyk(&pnlJezyk, "lblJezyk"),
      btnPolski(&pnlJezyk, "btnPolski"),
      btnAngielski(&pnlJezyk, "btnAngielski"),
      btnNiemiecki(&pnlJezyk, "btnNiemiecki"),
      btnFrancuski(&pnlJezyk, "btnFrancuski") {
    SetCaption("Wskaż CD z programem"_cp1250);  // replaced by UstawJezyk
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons({false, false, false});
    SetPosition(ui::FormPosition::ScreenCenter);
    SetClientSize(372, 196);

    lblCD.SetBounds(12, 12, 348, 88);
    lblCD.SetAutoSize(false);
    lblCD.SetWordWrap(true);

    cmbDrive.SetBounds(12, 112, 120, 21);
    cmbDrive.SetTabStop(true);
    btnOK.SetBounds(196, 110, 80, 25);
    btnOK.SetDefault(true);
    btnOK.SetModalResult(ui::mrOk);
    btnOK.SetTabStop(true);
    btnAnuluj.SetBounds(284, 110, 80, 25);
    btnAnuluj.SetCancel(true);
    btnAnuluj.SetModalResult(ui::mrCancel);
    btnAnuluj.SetTabStop(true);

    pnlJezyk.SetBounds(0, 150, 372, 46);
    lblJezyk.SetBounds(12, 16, 200, 14);
    lblJezyk.SetCaption("Język / Language / Sprache / Langue:"_cp1250);
    UlozFlagi({{btnPolski, ObrazFlagaPL, JezykPolski},
               {btnAngielski, ObrazFlagaEN, JezykAngielski},
               {btnNiemiecki, ObrazFlagaDE, JezykNiemiecki},
               {btnFrancuski, ObrazFlagaFR, JezykFrancuski}},
              236, 10, 30, 24, 32, [this] { btnPolskiClick(); });

    OnShow = [this](ui::Form&) { FormShow(); };
}

void TfrmCD::FormShow() {
    const std::uint8_t lang1 = AktualnyAppConst.Lang1;
    const auto pokaz = [](ui::SpeedButton& b, bool tak) {
        b.SetVisible(tak);
        b.SetEnabled(tak);
    };
    pokaz(btnAngielski, lang1 == JezykAngielski);
    pokaz(btnNiemiecki, lang1 == JezykNiemiecki);
    pokaz(btnFrancuski, lang1 == JezykFrancuski && NumerWydania != 1);
    // The shown foreign flag always stands next to the Polish one.
    if (lang1 == JezykNiemiecki) btnNiemiecki.SetLeft(btnAngielski.Left());
    if (lang1 == JezykFrancuski) btnFrancuski.SetLeft(btnAngielski.Left());
    // Each showing starts at the drive, so that Enter accepts it.
    cmbDrive.SetFocus();
}

void TfrmCD::btnPolskiClick() {
    if (!ZmienJezykKreatora) return;
    if (btnPolski.Down()) ZmienJezykKreatora(JezykPolski);
    else if (btnAngielski.Down()) ZmienJezykKreatora(JezykAngielski);
    else if (btnNiemiecki.Down()) ZmienJezykKreatora(JezykNiemiecki);
    else if (btnFrancuski.Down()) ZmienJezykKreatora(JezykFrancuski);
}

void TfrmCD::UstawJezyk(std::uint8_t jezyk) {
    UstawCzcionke(*this, jezyk);
    const std::string tytul = ZPXAppFunctions.Tytul(jezyk);
    SetCaption(Formatuj(PobierzTekst(jezyk, TekstInstalatorCD), tytul));
    lblCD.SetCaption(Formatuj(PobierzTekst(jezyk, TekstWitajCD), tytul));
    btnOK.SetCaption(PobierzTekst(jezyk, TekstOK));
    btnAnuluj.SetCaption(PobierzTekst(jezyk, TekstAnuluj));
    UstawNazweDostepna(cmbDrive, jezyk, TekstNapedCD);
    btnPolski.SetDown(jezyk == JezykPolski);
    btnAngielski.SetDown(jezyk == JezykAngielski);
    btnNiemiecki.SetDown(jezyk == JezykNiemiecki);
    btnFrancuski.SetDown(jezyk == JezykFrancuski);
}

void TfrmCD::WypelnijListeDyskow() {
    cmbDrive.ClearItems();
    ListaDyskow.clear();
    for (const std::string& korzen : sys::LogicalDriveRoots()) {
        const std::string nazwa = NaDuze(korzen);
        const sys::DriveKind typ = sys::DriveType(nazwa);
        if (typ == sys::DriveKind::CdRom || (SiecDozwolona && typ == sys::DriveKind::Remote)) {
            ListaDyskow.push_back(nazwa);
            cmbDrive.AddItem(nazwa);
        }
    }
    if (!cmbDrive.Items().empty()) cmbDrive.SetItemIndex(0);
}

std::string TfrmCD::WybierzCD() {
    // Until the user picks a drive that holds the product, or cancels; the
    // drive list is read anew each time, so a CD inserted meanwhile appears.
    for (;;) {
        WypelnijListeDyskow();
        if (ShowModal() != ui::mrOk) return {};
        std::string wynik;
        const int indeks = cmbDrive.ItemIndex();
        if (indeks >= 0 && indeks < static_cast<int>(ListaDyskow.size()))
            wynik = ListaDyskow[static_cast<std::size_t>(indeks)];
        if (JestProgramNaDysku(wynik)) return wynik;
    }
}

bool JestProgramNaDysku(std::string_view korzen) {
    if (korzen.empty()) return false;
    const std::string k(korzen);
    // An empty drive answers "no" instead of asking for a disc.
    sys::NoCriticalErrorBox bezPytaniaODysk;
    return (sys::FileExists(k + "VeltPl.exe") || sys::FileExists(k + "VeltPl2.exe")) &&
           sys::FileExists(k + std::string(DaneJezyka(JezykPolski).PlikUmowy));
}

std::string KatalogProgramu() { return KatalogPliku(sys::ModuleFileName().value_or("")); }

std::string DyskProgramu() { return DyskKatalogu(KatalogProgramu()); }

sys::DriveKind TypDysku(std::string_view sciezka) {
    const std::string korzen = KatalogGlownyDysku(sciezka);
    return korzen.empty() ? sys::DriveKind::Unknown : sys::DriveType(korzen);
}
