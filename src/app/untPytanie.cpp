#include "app/untPytanie.h"

#include "app/Czcionka.h"
#include "base/Teksty.h"

namespace {
constexpr int kOdstep = 8;          // between buttons, and below them
constexpr int kSzerokoscEtykiety = 400;
}  // namespace

TfrmPytanie::TfrmPytanie()
    : ui::Form("frmPytanie"),
      lblPytanie(this, "lblPytanie"),
      btnTak(this, "btnTak"),
      btnNie(this, "btnNie"),
      btnAnuluj(this, "btnAnuluj") {
    SetCaption("Uwaga");
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons({false, false, false});
    SetClientSize(432, 105);

    lblPytanie.SetBounds(16, 16, 400, 40);
    lblPytanie.SetAlignment(ui::Alignment::Center);
    lblPytanie.SetLayout(ui::VerticalLayout::Center);
    lblPytanie.SetConstraints({0, 0, kSzerokoscEtykiety, 0});

    const ui::Anchors lewoDol{true, false, false, true};
    struct Przycisk {
        ui::Button& przycisk;
        const char* napis;
        int wynik;
        int lewo;
    };
    for (auto [przycisk, napis, wynik, lewo] : {Przycisk{btnTak, "Tak", ui::mrYes, 62},
                                                Przycisk{btnNie, "Nie", ui::mrNo, 167},
                                                Przycisk{btnAnuluj, "Anuluj", ui::mrCancel, 272}}) {
        przycisk.SetBounds(lewo, 72, 97, 25);
        przycisk.SetCaption(napis);
        przycisk.SetModalResult(wynik);
        przycisk.SetAnchors(lewoDol);
    }
    btnAnuluj.SetCancel(true);
    // Enter answers Yes (or OK).
    btnTak.SetDefault(true);
}

void TfrmPytanie::UstawJezyk(std::uint8_t jezyk) {
    UstawCzcionke(*this, jezyk);
    SetCaption(PobierzTekst(jezyk, TekstUwaga));
    btnTak.SetCaption(PobierzTekst(jezyk, TekstTak));
    btnNie.SetCaption(PobierzTekst(jezyk, TekstNie));
    btnAnuluj.SetCaption(PobierzTekst(jezyk, TekstTrzeciPrzycisk));
}

int Zapytaj(TfrmPytanie& okno, const ui::Form& wlasciciel, const std::string& tekst, std::uint8_t rodzaj) {
    const std::string napisTak = okno.btnTak.Caption();
    const std::string napisNie = okno.btnNie.Caption();

    // The label takes the text's one-line width (at most 400), then wraps
    // within it, and keeps that size.
    ui::Label& etykieta = okno.lblPytanie;
    etykieta.SetWordWrap(false);
    etykieta.SetAutoSize(true);
    etykieta.SetCaption(tekst);
    etykieta.SetWordWrap(true);
    etykieta.SetAutoSize(false);

    const int tak = okno.btnTak.Width(), nie = okno.btnNie.Width(), anuluj = okno.btnAnuluj.Width();
    int rzad;
    switch (rodzaj) {
    case PytanieOK: rzad = tak; break;
    case PytanieTakNie:
    case PytanieTakNieOdloz:
    case PytanieOKAnuluj: rzad = tak + kOdstep + nie; break;
    default: rzad = tak + kOdstep + nie + kOdstep + anuluj; break;
    }
    if (etykieta.Width() < rzad) etykieta.SetWidth(rzad);

    const int x = etykieta.Left() + (etykieta.Width() - rzad) / 2;
    okno.btnTak.SetLeft(x);
    okno.btnNie.SetLeft(x + tak + kOdstep);
    okno.btnAnuluj.SetLeft(x + tak + kOdstep + nie + kOdstep);

    const bool zNie = rodzaj >= PytanieTakNie && rodzaj <= PytanieTakNieOdloz;
    okno.btnNie.SetVisible(zNie);
    okno.btnNie.SetEnabled(zNie);
    okno.btnAnuluj.SetVisible(rodzaj == PytanieTakNieAnuluj);
    okno.btnAnuluj.SetEnabled(rodzaj == PytanieTakNieAnuluj);
    okno.btnNie.SetCancel(rodzaj == PytanieTakNie || rodzaj == PytanieOKAnuluj);
    // Esc in a three-button dialog answers 2; in a one-button dialog nothing.
    okno.btnAnuluj.SetCancel(rodzaj == PytanieTakNieAnuluj);
    okno.SetEscapeCloses(rodzaj == PytanieTakNieOdloz);

    if (rodzaj == PytanieOK || rodzaj == PytanieOKAnuluj) okno.btnTak.SetCaption("OK");
    if (rodzaj == PytanieOKAnuluj) okno.btnNie.SetCaption(okno.btnAnuluj.Caption());

    okno.btnTak.SetFocus();

    // The buttons are anchored to the bottom and follow the client height.
    okno.SetClientSize(2 * etykieta.Left() + etykieta.Width(),
                       2 * etykieta.Top() + etykieta.Height() + okno.btnTak.Height() + kOdstep);
    okno.SetBounds(wlasciciel.Left() + (wlasciciel.Width() - okno.Width()) / 2,
                   wlasciciel.Top() + (wlasciciel.Height() - okno.Height()) / 2, okno.Width(), okno.Height());

    const int wynik = okno.ShowModal();

    okno.btnTak.SetCaption(napisTak);
    okno.btnNie.SetCaption(napisNie);
    return wynik;
}
