#include "app/untKatalog.h"

#include "app/Czcionka.h"
#include "base/Formatuj.h"
#include "base/Narzedzia.h"
#include "base/Przelaczniki.h"
#include "base/Sciezki.h"
#include "base/StronyKodowe.h"
#include "base/Teksty.h"
#include "app/untMain.h"
#include "app/untPytanie.h"
#include "app/untKatalogDodaj.h"
#include "sys/drives.h"
#include "sys/files.h"
#include "sys/result.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

TfrmKatalog* frmKatalog = nullptr;

namespace {

// Paths are the program's own code page.
constexpr auto kStronaSciezek = static_cast<unsigned>(StronaKodowa::Windows1250);

enum ObrazWezla : int { ObrazDysk = 0, ObrazKatalog = 1, ObrazKatalogOtwarty = 2 };
constexpr std::size_t kLiczbaObrazow = 3;
constexpr int kBokObrazu = 16;

// ---- the tree's pictures, drawn here rather than carried as resources ----
//
// Drawn on a grid of 16 units a side at 16, 24 and 32 pixels, so that a
// denser screen gets sharp outlines rather than an enlarged 16-pixel picture.

constexpr std::uint32_t kKontur = 0xFF7A5A10;
constexpr std::uint32_t kTyl = 0xFFD9A82E;
constexpr std::uint32_t kPrzod = 0xFFF4CF5C;
constexpr std::uint32_t kBlysk = 0xFFFBE7A6;

class Rysunek {
public:
    explicit Rysunek(int bok)
        : obraz_(bok, bok, 0x00000000u), bok_(bok), linia_(std::max(1, bok / kBokObrazu)) {}

    // The first pixel of unit `u`.
    int Px(int u) const { return u * bok_ / kBokObrazu; }
    int Linia() const { return linia_; }
    void Punkt(int x, int y, std::uint32_t kolor) { obraz_.SetPixel(x, y, kolor); }

    // Units x0..x1 by y0..y1, ends included.
    void Prostokat(int x0, int y0, int x1, int y1, std::uint32_t kolor) {
        WypelnijPiksele(Px(x0), Px(y0), Px(x1 + 1) - 1, Px(y1 + 1) - 1, kolor);
    }

    // The same filled, with an outline one line wide.
    void Ramka(int x0, int y0, int x1, int y1, std::uint32_t wypelnienie, std::uint32_t kontur) {
        const int lewo = Px(x0), gora = Px(y0), prawo = Px(x1 + 1) - 1, dol = Px(y1 + 1) - 1;
        WypelnijPiksele(lewo, gora, prawo, dol, kontur);
        if (prawo - lewo + 1 > 2 * linia_ && dol - gora + 1 > 2 * linia_)
            WypelnijPiksele(lewo + linia_, gora + linia_, prawo - linia_, dol - linia_, wypelnienie);
    }

    ui::Bitmap Obraz() && { return std::move(obraz_); }

private:
    void WypelnijPiksele(int x0, int y0, int x1, int y1, std::uint32_t kolor) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) obraz_.SetPixel(x, y, kolor);
    }

    ui::Bitmap obraz_;
    int bok_;
    int linia_;
};

// A hard disk seen from the front: a grey case with a slot and a green light.
void RysujDysk(Rysunek& r) {
    r.Ramka(1, 5, 14, 12, 0xFFC0C0C8, 0xFF4A4A52);
    r.Prostokat(2, 6, 13, 6, 0xFFECECF0);
    r.Prostokat(3, 9, 8, 9, 0xFF6E6E78);
    r.Prostokat(11, 9, 12, 10, 0xFF22B52E);
    r.Prostokat(2, 13, 14, 13, 0xFF8C8C96);
}

// A closed folder: tab above a plain body.
void RysujKatalogZamkniety(Rysunek& r) {
    r.Ramka(1, 2, 7, 5, kTyl, kKontur);
    r.Ramka(1, 4, 14, 13, kPrzod, kKontur);
    r.Prostokat(2, 5, 13, 5, kBlysk);
}

// An open folder: the back with its tab, and the front flap leaning forward.
void RysujKatalogOtwarty(Rysunek& r) {
    r.Ramka(1, 2, 7, 5, kTyl, kKontur);
    r.Ramka(1, 4, 13, 13, kTyl, kKontur);
    r.Prostokat(3, 5, 11, 6, 0xFFFFFFFF);  // a sheet inside
    // The flap's edges keep their slope in pixels at every size.
    const int gora = r.Px(7), dol = r.Px(14) - 1, prawyBrzeg = r.Px(16) - 1, t = r.Linia();
    for (int y = gora; y <= dol; ++y) {
        const int lewo = r.Px(5) - (y - gora) * 4 / 6;
        const int prawo = prawyBrzeg - (y - gora) * 2 / 6;
        for (int x = lewo; x <= prawo; ++x) {
            const bool brzeg = y < gora + t || y > dol - t || x < lewo + t || x > prawo - t;
            const bool blysk = y >= r.Px(8) && y < r.Px(9);
            r.Punkt(x, y, brzeg ? kKontur : (blysk ? kBlysk : kPrzod));
        }
    }
}

// The picture at the list's size, with its renderings for denser screens.
ui::Bitmap Obraz(void (*rysuj)(Rysunek&)) {
    Rysunek podstawowy(kBokObrazu);
    rysuj(podstawowy);
    ui::Bitmap obraz = std::move(podstawowy).Obraz();
    for (const int bok : {kBokObrazu * 3 / 2, kBokObrazu * 2}) {
        Rysunek gestszy(bok);
        rysuj(gestszy);
        obraz.AddRendering(std::move(gestszy).Obraz());
    }
    return obraz;
}

// Whether `s` ends with ":\": a drive root keeps its backslash.
bool JestKorzeniem(std::string_view s) { return s.size() >= 2 && s.substr(s.size() - 2) == ":\\"; }

// Characters that cannot stand in one folder name; a separator would make the
// name a path and the new node would not match the folder made. Neither
// would a trailing dot or space, which the system drops.
bool PoprawnaNazwaKatalogu(std::string_view nazwa) {
    return !nazwa.empty() && nazwa.find_first_of("\\/:*?\"<>|") == std::string_view::npos &&
           nazwa.back() != '.' && nazwa.back() != ' ';
}

}  // namespace

TfrmKatalog::TfrmKatalog()
    : ui::Form("frmKatalog"),
      imlKatalog(kBokObrazu, kBokObrazu),
      trvKatalog(this, "trvKatalog"),
      edtKatalog(this, "edtKatalog"),
      btnUtworz(this, "btnUtworz"),
      btnOK(this, "btnOK"),
      btnAnuluj(this, "btnAnuluj") {
    SetCaption("Wybierz katalog");  // replaced by UstawJezyk
    SetBorderStyle(ui::BorderStyle::Single);
    SetBorderIcons({true, false, false});
    SetPosition(ui::FormPosition::MainFormCenter);
    SetClientSize(360, 374);

    trvKatalog.SetBounds(8, 8, 344, 288);
    trvKatalog.SetReadOnly(true);
    trvKatalog.SetShowRoot(false);
    trvKatalog.SetHideSelection(false);
    trvKatalog.SetIndent(25);
    trvKatalog.SetTextCodePage(kStronaSciezek);
    trvKatalog.SetTabStop(true);
    trvKatalog.OnChange = [this](ui::Control&) { trvKatalogChange(); };
    // An expand button opens a folder that was never selected: read it then.
    trvKatalog.OnExpanding = [this](ui::TreeNode& wezel, bool&) { WczytajWezel(wezel); };

    edtKatalog.SetBounds(8, 304, 344, 21);
    edtKatalog.SetTextCodePage(kStronaSciezek);
    edtKatalog.SetTabStop(true);

    btnUtworz.SetBounds(8, 341, 110, 25);
    btnUtworz.SetTabStop(true);
    btnUtworz.OnClick = [this](ui::Control&) { btnUtworzClick(); };
    btnOK.SetBounds(184, 341, 80, 25);
    btnOK.SetDefault(true);
    btnOK.SetModalResult(ui::mrOk);
    btnOK.SetTabStop(true);
    btnAnuluj.SetBounds(272, 341, 80, 25);
    btnAnuluj.SetCancel(true);
    btnAnuluj.SetModalResult(ui::mrCancel);
    btnAnuluj.SetTabStop(true);

    OnShow = [this](ui::Form&) { FormShow(); };
    FormCreate();
}

void TfrmKatalog::FormCreate() {
    std::array<ui::Bitmap, kLiczbaObrazow> obrazy;
    obrazy[ObrazDysk] = Obraz(RysujDysk);
    obrazy[ObrazKatalog] = Obraz(RysujKatalogZamkniety);
    obrazy[ObrazKatalogOtwarty] = Obraz(RysujKatalogOtwarty);
    for (ui::Bitmap& obraz : obrazy)
        sys::Ignore(imlKatalog.Add(std::move(obraz)), "every picture is drawn at the list's size");
    // The tree copies the images when the list is assigned.
    trvKatalog.SetImages(&imlKatalog);
}

void TfrmKatalog::UstawJezyk(std::uint8_t jezyk) {
    Jezyk = jezyk;
    UstawCzcionke(*this, jezyk);
    SetCaption(PobierzTekst(jezyk, TekstWybierzKatalog));
    btnOK.SetCaption(PobierzTekst(jezyk, TekstOK));
    btnAnuluj.SetCaption(PobierzTekst(jezyk, TekstAnuluj));
    btnUtworz.SetCaption(PobierzTekst(jezyk, TekstNowyKatalog));
    UstawNazweDostepna(trvKatalog, jezyk, TekstWybierzKatalog);
    UstawNazweDostepna(edtKatalog, jezyk, TekstZainstalujWKatalogu);
}

std::string TfrmKatalog::WybierzKatalog(const std::string& start, const std::string& tytul) {
    edtKatalog.SetText(start);
    SetCaption(tytul.empty() ? PobierzTekst(Jezyk, TekstWybierzKatalog) : tytul);
    Zajety = false;
    return ShowModal() == ui::mrOk ? edtKatalog.Text() : start;
}

void TfrmKatalog::FormShow() {
    WczytajDyski();
    PrzejdzDoKatalogu();
    btnUtworz.SetEnabled(trvKatalog.Selected() != nullptr);
    trvKatalog.SetFocus();
}

void TfrmKatalog::WczytajDyski() {
    Zajety = true;
    trvKatalog.BeginUpdate();
    trvKatalog.Clear();
    for (const std::string& korzen : sys::LogicalDriveRoots()) {
        const std::string nazwa = NaDuze(korzen);
        const sys::DriveKind typ = sys::DriveType(nazwa);
        // Removable, CD-ROM and RAM drives are no place to install to.
        if (typ != sys::DriveKind::Fixed && !(typ == sys::DriveKind::Remote && SiecDozwolona)) continue;
        ui::TreeNode& wezel = trvKatalog.AddChild(nullptr, nazwa);
        wezel.SetImageIndex(ObrazDysk);
        wezel.SetSelectedIndex(ObrazDysk);
    }
    trvKatalog.EndUpdate();
    Zajety = false;
}

std::string TfrmKatalog::SciezkaWezla(const ui::TreeNode* wezel) {
    std::string sciezka;
    for (; wezel != nullptr; wezel = wezel->Parent()) sciezka = ZUkosnikiem(wezel->Text()) + sciezka;
    if (!sciezka.empty() && !JestKorzeniem(sciezka)) sciezka.pop_back();
    return sciezka;
}

bool TfrmKatalog::MaPodkatalogi(const std::string& sciezka) {
    sys::DirectoryEnumeration katalog = sys::DirectoryEnumeration::Open(sciezka + "*.*");
    while (const auto wpis = katalog.Next()) {
        if (wpis->IsFolder() && wpis->name != "." && wpis->name != "..") return true;
    }
    return false;
}

void TfrmKatalog::DodajPodkatalogi(ui::TreeNode& wezel, const std::string& sciezka) {
    // Reading a floppy drive would keep the user waiting, or ask for a disk.
    const std::string duze = NaDuze(sciezka);
    if (duze == "A:\\" || duze == "B:\\") return;
    sys::DirectoryEnumeration katalog = sys::DirectoryEnumeration::Open(sciezka + "*.*");
    while (const auto wpis = katalog.Next()) {
        if (!wpis->IsFolder() || wpis->name == "." || wpis->name == "..") continue;
        ui::TreeNode& dziecko = trvKatalog.AddChild(&wezel, wpis->name);
        dziecko.SetImageIndex(ObrazKatalog);
        dziecko.SetSelectedIndex(ObrazKatalogOtwarty);
        // An expand button only where there is something to expand.
        dziecko.SetHasChildren(MaPodkatalogi(sciezka + wpis->name + "\\"));
    }
}

void TfrmKatalog::WczytajWezel(ui::TreeNode& wezel) {
    if (wezel.Count() != 0) return;
    trvKatalog.BeginUpdate();
    DodajPodkatalogi(wezel, ZUkosnikiem(SciezkaWezla(&wezel)));
    trvKatalog.EndUpdate();
}

void TfrmKatalog::RozwinWezel() {
    if (ui::TreeNode* wezel = trvKatalog.Selected()) WczytajWezel(*wezel);
}

void TfrmKatalog::PrzejdzDoKatalogu() {
    Zajety = true;
    std::string_view reszta = edtKatalog.Text();
    ui::TreeNode* biezacy = reszta.empty() ? nullptr : trvKatalog.FirstNode();
    while (!reszta.empty() && biezacy != nullptr) {
        const std::size_t ukosnik = reszta.find('\\');
        const std::size_t dlugosc = ukosnik == std::string_view::npos ? reszta.size() : ukosnik + 1;
        std::string_view skladnik = reszta.substr(0, dlugosc);
        reszta.remove_prefix(dlugosc);
        if (!JestKorzeniem(skladnik) && !skladnik.empty() && skladnik.back() == '\\') skladnik.remove_suffix(1);

        const std::string szukany = NaMale(skladnik);
        ui::TreeNode* znaleziony = biezacy;
        while (znaleziony != nullptr && NaMale(znaleziony->Text()) != szukany) znaleziony = znaleziony->NextSibling();
        // The walk ends where the typed path leaves the tree: a later component
        // must not match a namesake in another branch.
        if (znaleziony == nullptr) break;

        // Opening the parent keeps the model as the screen shows a selection.
        if (ui::TreeNode* rodzic = znaleziony->Parent()) rodzic->Expand();
        trvKatalog.SetSelected(znaleziony);
        RozwinWezel();
        biezacy = znaleziony->FirstChild();
    }
    Zajety = false;
}

void TfrmKatalog::trvKatalogChange() {
    if (Zajety) return;
    ui::TreeNode* wybrany = trvKatalog.Selected();
    btnUtworz.SetEnabled(wybrany != nullptr);
    edtKatalog.SetText(SciezkaWezla(wybrany));
    RozwinWezel();
}

void TfrmKatalog::btnUtworzClick() {
    ui::TreeNode* rodzic = trvKatalog.Selected();
    if (rodzic == nullptr || frmKatalogDodaj == nullptr) return;
    if (frmKatalogDodaj->ShowModal() != ui::mrOk) return;

    const std::string nazwa = frmKatalogDodaj->edtDodaj.Text();
    const std::string sciezka = ZUkosnikiem(SciezkaWezla(rodzic)) + nazwa;
    if (!PoprawnaNazwaKatalogu(nazwa) || !sys::CreateFolder(sciezka)) {
        if (frmPytanie != nullptr)
            sys::Ignore(Zapytaj(*frmPytanie, *this, Formatuj(PobierzTekst(Jezyk, TekstNieMoznaUtworzycFolderu), nazwa),
                                PytanieOK),
                        "a message with one button");
        return;
    }
    edtKatalog.SetText(sciezka);
    ui::TreeNode& wezel = trvKatalog.AddChild(rodzic, nazwa);
    wezel.SetImageIndex(ObrazKatalog);
    wezel.SetSelectedIndex(ObrazKatalogOtwarty);
    rodzic->Expand();
    trvKatalog.SetSelected(&wezel);
}
