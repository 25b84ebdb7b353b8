#pragma once
// The wizard window: five pages stacked between a header and a button bar,
// with the left picture strip, and the wizard's state.

#include "install/Dziennik.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/RichEdit.h"

#include <cstdint>
#include <string>
#include <vector>

class TfrmPytanie;
class TfrmCD;

namespace ui {
class Application;
}

// Pages, in order; the value is `Strona`.
enum StronaKreatora : std::int32_t {
    StronaWstep = 1,
    StronaUmowa = 2,
    StronaOpcje = 3,
    StronaInstalacja = 4,
    StronaKoniec = 5,
};
inline constexpr std::int32_t LiczbaStron = 5;

class TfrmMain : public ui::Form {
public:
    // Creates the controls and runs FormCreate (which sets the registry
    // marker "InstallationInProgress").
    TfrmMain();

    // The page switch: moves by `krok` (+1 Next, -1 Back, 0 refresh) and does
    // everything that belongs to entering the page.
    void ZmienStrone(std::int32_t krok);
    // The language switch: re-captions the wizard and every dialog.
    void UstawJezyk(std::uint8_t jezyk);
    // Establishes KatalogZrodlowy and ZrodloPlikow; may ask for the CD, and
    // closes the wizard when the user gives none.
    void UstawKatalogZrodlowy();
    void UstawKatalogDocelowy();
    // Fills the agreement box for the current language, line by line.
    void WczytajUmowe();
    // Validation of the Next button; true on every page but the options page,
    // where it creates the target folder if needed (for administrators alone)
    // and asks about others' rights to it and about low space.
    bool SprawdzOpcje();
    // Whether the run may go into a target that others than administrators
    // could change through `katalog` (KatalogZmiennyDlaInnych; "" for none):
    // the user is asked; a silent run goes on, and its log warns.
    bool SprawdzKatalogDlaInnych(const std::string& katalog);
    // Recomputes required and free space, shows both; true when it fits.
    bool SprawdzWolneMiejsce();
    // The skip list for the current edition and dictionary choice, measured
    // and copied alike.
    std::string ListaPominietychPlikow();

    // ---- installation run ----
    // The whole run, entered from the installation page; ends by moving on
    // to the end page with one of the three outcomes.
    void Instaluj();
    // The file steps of the run, with a cancellation check between them.
    void InstalujPliki();
    // Copies the tree under `zrodlo` into `cel` (both without trailing
    // backslash), skipping the names on `pomijane`. Raises BladProgramu on an
    // input/output failure.
    void KopiujKatalog(const std::string& zrodlo, const std::string& cel, const std::string& pomijane);
    // Copies one file in 32,768-byte blocks, advancing the progress.
    void KopiujPlik(const std::string& zrodlo, const std::string& cel);
    // Answers a pending cancel request; on a confirmed one removes what the
    // run wrote. True when the run must stop.
    bool SprawdzPrzerwanie();
    // Writes the edition's main program, unpacked from the wizard's resources.
    void RozpakujProgram();
    // Installs the update items of the edition's list (none in this build).
    void RozpakujDodatki();
    // Whether the run may begin as far as its journal goes: a journal file
    // can be made in the machine's folder, or the user agrees to go on
    // without one (a silent run goes on, and its log says so).
    bool SprawdzDziennik();

    // Event handlers.
    void FormShow();
    void FormDestroy();
    void btnDalejClick();
    void btnWsteczClick();
    void btnZamknijClick();
    void rdbUmowaAkceptujeClick();
    void btnJezykClick();
    void chbInstalujSlownikiClick();
    void btnKatalogClick();

    // ---- state ----
    std::vector<std::string> UtworzoneKatalogi;  // folders the wizard created
    std::vector<std::string> SkopiowanePliki;    // files the installation wrote
    bool InstalacjaOK = false;
    bool InstalacjaTrwa = false;
    bool PrzerwijZadane = false;
    bool Przerwano = false;
    std::string KatalogZrodlowy;  // with a trailing backslash; "" until known
    std::string ZrodloPlikow;     // the same without it
    std::string KatalogDocelowy;  // without a trailing backslash
    std::int64_t MiejsceWolne = 0;
    std::int64_t MiejsceWymagane = 0;
    std::int64_t Postep = 0;
    // Every change of the run, recorded before it is made; what a confirmed
    // cancel or an error undoes.
    Dziennik DziennikInstalacji;
    // The undo of the run left steps for the next start (a file held open):
    // the end page says so.
    bool CofniecieNiepelne = false;
    std::int32_t Strona = StronaWstep;
    std::uint8_t JezykInterfejsu = 0;

    // ---- controls, in the order the form shows them ----
    ui::Image imgPasek;
    ui::Panel pnlNaglowek;
    ui::Label lblTytul;
    ui::Label lblKrok;

    ui::Panel pnlIntro;
    ui::Label lblIntro;
    ui::Panel pnlJezyk;
    ui::Label lblJezyk;
    ui::SpeedButton btnPolski;
    ui::SpeedButton btnAngielski;
    ui::SpeedButton btnNiemiecki;
    ui::SpeedButton btnFrancuski;
    ui::SpeedButton btnWloski;

    ui::Panel pnlUmowa;
    ui::RichEdit redUmowa;
    ui::RadioButton rdbUmowaAkceptuje;
    ui::RadioButton rdbUmowaNieAkceptuje;

    ui::Panel pnlOpcje;
    ui::GroupBox gbxKatalog;
    ui::Label lblKatalog;
    ui::Button btnKatalog;
    ui::Label lblMiejsceWolne;
    ui::Label lblMiejsceWymagane;
    ui::CheckBox chbInstalujSlowniki;
    ui::CheckBox chbUtworzGrupe;
    ui::CheckBox chbUtworzSkrotyTranslatorow;
    ui::CheckBox chbUtworzSkrotySlownikow;
    ui::CheckBox chbSkrotyAllUsers;
    ui::Label lblSkrotyAllUsers;

    ui::Panel pnlInstalacja;
    ui::Label lblInstalacja;
    ui::Label lblInstalacjaOpis;
    ui::Label lblPlikZ;
    ui::Label lblPlikDo;
    ui::Gauge GaugePostep;

    ui::Panel pnlKoniec;
    ui::Label lblKoniec;

    ui::Panel pnlPrzyciski;
    ui::Button btnWstecz;
    ui::Button btnDalej;
    ui::Button btnZamknij;

private:
    void FormCreate();
    void WczytajUmoweJakoTekst();
    void UstawPrzyciskiJezyka();
    void UstawOpcjeWszystkichUzytkownikow();
    [[nodiscard]] ui::Panel& PanelStrony(std::int32_t strona);
    // Where the focus goes when the page is entered: never a control that
    // is disabled or hidden there.
    [[nodiscard]] ui::Control& PierwszaKontrolka(std::int32_t strona);
};

// Appends one line at the caret of the box in the character set of `jezyk`;
// the caller adds the line break. Accented letters may travel as keystrokes
// so that they come out right whatever the system's code page.
void DopiszLinie(ui::RichEdit& pole, const std::string& linia, std::uint8_t jezyk);

// The forms of the program, created once at start and owned by the
// application.
extern TfrmMain* frmMain;
extern TfrmPytanie* frmPytanie;
extern TfrmCD* frmCD;

// Creates the program's forms in `aplikacja` and sets their pointers (these
// and frmKatalog, frmKatalogDodaj); the main form first, so that its
// FormCreate runs before the others exist.
void UtworzFormularze(ui::Application& aplikacja);
// Destroys every form of `aplikacja` and clears those pointers.
void ZniszczFormularze(ui::Application& aplikacja);
