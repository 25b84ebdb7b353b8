#include "app/untKatalogDodaj.h"

#include "app/Czcionka.h"
#include "base/StronyKodowe.h"
#include "base/Teksty.h"

TfrmKatalogDodaj* frmKatalogDodaj = nullptr;

namespace {
// Folder names are the program's own code page.
constexpr auto kStronaSciezek = static_cast<unsigned>(StronaKodowa::Windows1250);
}  // namespace

TfrmKatalogDodaj::TfrmKatalogDodaj()
    : ui::Form("frmKatalogDodaj"),
      edtDodaj(this, "edtDodaj"),
      btnDodaj(this, "btnDodaj"),
      btnAnuluj(this, "btnAnuluj") {
    SetCaption("Nowy katalog");  // replaced by UstawJezyk
    SetBorderStyle(ui::BorderStyle::Single);
    SetBorderIcons({false, false, false});
    SetPosition(ui::FormPosition::MainFormCenter);
    SetClientSize(300, 82);

    edtDodaj.SetBounds(12, 12, 276, 21);
    edtDodaj.SetTextCodePage(kStronaSciezek);
    edtDodaj.SetTabStop(true);
    edtDodaj.OnChange = [this](ui::Control&) { edtDodajChange(); };

    btnDodaj.SetBounds(120, 45, 80, 25);
    btnDodaj.SetDefault(true);
    btnDodaj.SetModalResult(ui::mrOk);
    btnDodaj.SetTabStop(true);
    btnDodaj.SetEnabled(false);
    btnAnuluj.SetBounds(208, 45, 80, 25);
    btnAnuluj.SetCancel(true);
    btnAnuluj.SetModalResult(ui::mrCancel);
    btnAnuluj.SetTabStop(true);

    OnShow = [this](ui::Form&) { FormShow(); };
}

void TfrmKatalogDodaj::UstawJezyk(std::uint8_t jezyk) {
    UstawCzcionke(*this, jezyk);
    SetCaption(PobierzTekst(jezyk, TekstNowyKatalogTytul));
    btnDodaj.SetCaption(PobierzTekst(jezyk, TekstNowyKatalogDodaj));
    btnAnuluj.SetCaption(PobierzTekst(jezyk, TekstNowyKatalogAnuluj));
    UstawNazweDostepna(edtDodaj, jezyk, TekstNowyKatalogTytul);
}

void TfrmKatalogDodaj::FormShow() {
    edtDodaj.SetText({});
    // Setting an empty box over an empty one raises no change.
    edtDodajChange();
    edtDodaj.SetFocus();
}

void TfrmKatalogDodaj::edtDodajChange() { btnDodaj.SetEnabled(!edtDodaj.Text().empty()); }
