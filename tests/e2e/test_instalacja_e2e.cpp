// The installation run as a user meets it: from the options page to the end
// page, on the demo CD in drive D:, into the default target folder.

#include "Okna.h"

#include "setup/Opcje.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>

#include <algorithm>
#include <cwctype>
#include <initializer_list>
#include <map>
#include <set>
#include <string>

using namespace e2e;

namespace {

// What the wizard never installs from the medium: its own files, the
// edition's files that come by other means, and the wizard itself.
const std::set<std::wstring> kPomijane = {
    L"umowapol.txt", L"umowaang.txt", L"umowadeu.txt", L"umowafr.txt", L"instalator.exe", L"instaluj.exe",
    L"instalka.exe", L"autorun.inf", L"comctl32.dll", L"comctl32.ocx", L"stedt.ttf", L"sapi51tts.exe",
    L"syntezamowy.exe", L"start.exe", L"instalatorang3.exe", L"instalatordeu3.exe", L"angpol.dat", L"angpol.idx",
    L"polang.dat", L"polang.idx", L"velten.exe", L"instal.exe"};

std::wstring Male(std::wstring s) {
    std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return s;
}

// Relative path (lower case) -> contents of every file under `katalog`,
// skipping names on `pomijane` at every level.
void Drzewo(const std::wstring& katalog, const std::wstring& wzgledna, const std::set<std::wstring>& pomijane,
            std::map<std::wstring, std::string>& pliki) {
    WIN32_FIND_DATAW dane;
    HANDLE szukanie = FindFirstFileW((katalog + L"\\*").c_str(), &dane);
    if (szukanie == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring nazwa = dane.cFileName;
        if (nazwa == L"." || nazwa == L".." || pomijane.count(Male(nazwa))) continue;
        const std::wstring sciezka = katalog + L"\\" + nazwa, wzgl = wzgledna + Male(nazwa);
        if (dane.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Drzewo(sciezka, wzgl + L"\\", pomijane, pliki);
        else pliki[wzgl] = Zawartosc(sciezka);
    } while (FindNextFileW(szukanie, &dane));
    FindClose(szukanie);
}

std::wstring Srodowisko(const wchar_t* nazwa) {
    wchar_t bufor[1024] = {};
    const DWORD n = GetEnvironmentVariableW(nazwa, bufor, 1024);
    return std::wstring(bufor, n < 1024 ? n : 0);
}

int LiczbaPlikow(const std::wstring& katalog, const wchar_t* wzorzec) {
    WIN32_FIND_DATAW dane;
    HANDLE szukanie = FindFirstFileW((katalog + L"\\" + wzorzec).c_str(), &dane);
    if (szukanie == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileW(szukanie, &dane));
    FindClose(szukanie);
    return n;
}

// Waits for the wizard's question and presses `przycisk` on it; false when no
// question came.
bool Odpowiedz(const wchar_t* przycisk) {
    HWND pytanie = CzekajNaOkno(L"frmPytanie");
    if (!pytanie) return false;
    Kliknij(ZnajdzKontrolke(pytanie, przycisk));
    return true;
}

// Lets everyone change `sciezka`, as a user's own folder or file would.
bool OtworzDlaWszystkich(const std::wstring& sciezka, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) return false;
    BOOL jest = FALSE, domyslny = FALSE;
    PACL dacl = nullptr;
    std::wstring s = sciezka;
    const bool ok = GetSecurityDescriptorDacl(sd, &jest, &dacl, &domyslny) &&
                    SetNamedSecurityInfoW(s.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                          dacl, nullptr) == ERROR_SUCCESS;
    LocalFree(sd);
    return ok;
}

// Whether no process holds the folder `katalog` (a killed copy's clean-up
// runs in it for a moment), so that it could be renamed.
bool MoznaPrzeniesc(const std::wstring& katalog) {
    HANDLE h = CreateFileW(katalog.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

// Makes the folder `katalog` for everyone to change.
bool UtworzOtwarty(const std::wstring& katalog) {
    return CreateDirectoryW(katalog.c_str(), nullptr) && OtworzDlaWszystkich(katalog, L"D:(A;OICI;FA;;;WD)");
}

class Instalacja : public ::testing::Test {
protected:
    void SetUp() override {
        cel_ = DomyslnyCel();
        ASSERT_TRUE(UsunDrzewo(cel_)) << "the target of an earlier run stays";
    }
    void TearDown() override {
        ZamknijKreator();
        UsunDrzewo(cel_);
    }

    // Next on the options page starts the run. When `przerwij`, the Cancel
    // click goes right behind it, so the run meets it at its first entry.
    void Instaluj(HWND okno, bool przerwij) {
        HWND dalej = ZnajdzKontrolke(okno, L"btnDalej"), zamknij = ZnajdzKontrolke(okno, L"btnZamknij");
        Wstrzymany(okno, [&] {
            Kliknij(dalej);
            if (przerwij) Kliknij(zamknij);
        });
    }

    std::wstring KoniecTekst(HWND okno) {
        HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
        Czekaj([&] { return Tekst(krok) == L"Krok 5 z 5: Koniec instalacji"; }, 60s);
        return Tekst(ZnajdzKontrolke(okno, L"lblKoniec"));
    }

    std::wstring cel_;
};

const std::wstring kSukces = L"Instalacja zosta\u0142a pomy\u015blnie zako\u0144czona.";
const std::wstring kPrzerwana = L"Instalacja zosta\u0142a przerwana na \u017cyczenie u\u017cytkownika.";
const std::wstring kBlad = L"Wyst\u0105pi\u0142 b\u0142\u0105d podczas instalacji.";

// "#,##0.0 MB" with the separators of the en-US locale the tests run in.
std::wstring Megabajty(long long bajty) {
    const long long dziesiate = (bajty * 10 + 524288) / 1048576;
    std::wstring calosc = std::to_wstring(dziesiate / 10), wynik;
    for (std::size_t i = 0; i < calosc.size(); ++i) {
        if (i > 0 && (calosc.size() - i) % 3 == 0) wynik += L',';
        wynik += calosc[i];
    }
    return wynik + L"." + std::to_wstring(dziesiate % 10) + L" MB";
}

long long Rozmiar(const std::map<std::wstring, std::string>& pliki) {
    long long suma = 0;
    for (const auto& [sciezka, tresc] : pliki) suma += static_cast<long long>(tresc.size());
    return suma;
}

TEST_F(Instalacja, FullRunInstallsTheTreeAndTheMainProgram) {
    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);

    // The options page counts what the copy will write, plus room for the
    // main program; without dictionaries their files drop out.
    std::map<std::wstring, std::string> medium, slowniki;
    Drzewo(L"D:", L"", kPomijane, medium);
    for (const wchar_t* plik : {L"lexoren.exe", L"lexorpl.exe", L"lexoren.dat", L"lexorpl.dat"})
        if (medium.count(plik)) slowniki[plik] = medium[plik];
    ASSERT_EQ(slowniki.size(), 4u) << "the demo CD carries the dictionaries";
    HWND wymagane = ZnajdzKontrolke(okno, L"lblMiejsceWymagane");
    EXPECT_EQ(Tekst(wymagane), L"Miejsce potrzebne do instalacji: " + Megabajty(Rozmiar(medium) + kMiejsceNaZasoby));
    HWND slownikiOpcja = ZnajdzKontrolke(okno, L"chbInstalujSlowniki");
    Kliknij(slownikiOpcja);
    EXPECT_TRUE(Czekaj([&] {
        return Tekst(wymagane) ==
               L"Miejsce potrzebne do instalacji: " + Megabajty(Rozmiar(medium) - Rozmiar(slowniki) + kMiejsceNaZasoby);
    })) << Tekst(wymagane).c_str();
    Kliknij(slownikiOpcja);
    EXPECT_TRUE(Czekaj([&] { return Zaznaczona(slownikiOpcja); }));

    // A journal that cannot be written (a file holds the name of its folder):
    // the wizard asks before it goes on without one. No stays on the page,
    // making nothing; Yes runs the installation all the same. The machine's
    // application-data folder is named elsewhere meanwhile: the copy runs
    // from the journals' folder itself.
    const std::wstring dane = FolderPowloki(HKEY_LOCAL_MACHINE, L"Common AppData"), inne = L"C:\\velt-e2e-dane";
    const std::wstring dzienniki = inne + L"\\Zelpax";
    ASSERT_FALSE(dane.empty());
    CreateDirectoryW(inne.c_str(), nullptr);
    HANDLE zawada = CreateFileW(dzienniki.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(zawada, INVALID_HANDLE_VALUE) << "the journals' folder is in use";
    CloseHandle(zawada);
    struct Usun {
        const std::wstring &dane, &inne, &plik;
        ~Usun() {
            UstawFolderPowloki(HKEY_LOCAL_MACHINE, L"Common AppData", dane);
            DeleteFileW(plik.c_str());
            RemoveDirectoryW(inne.c_str());
        }
    } usun{dane, inne, dzienniki};
    ASSERT_TRUE(UstawFolderPowloki(HKEY_LOCAL_MACHINE, L"Common AppData", inne));
    for (const wchar_t* odpowiedz : {L"btnNie", L"btnTak"}) {
        Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
        HWND pytanie = CzekajNaOkno(L"frmPytanie");
        ASSERT_TRUE(pytanie);
        EXPECT_EQ(Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie")),
                  L"Nie mo\u017cna zapisa\u0107 dziennika instalacji. Je\u015bli instalacj\u0119 przerwie awaria, "
                  L"jej zmian nie da si\u0119 cofn\u0105\u0107. Czy mimo to kontynuowa\u0107?");
        Kliknij(ZnajdzKontrolke(pytanie, odpowiedz));
        if (std::wstring(odpowiedz) == L"btnNie") {
            EXPECT_TRUE(Czekaj([&] { return !IsWindowVisible(pytanie); }));
            EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"lblKrok")), L"Krok 3 z 5: Opcje instalacji");
            EXPECT_EQ(GetFileAttributesW(cel_.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing is left behind";
        }
    }

    EXPECT_EQ(KoniecTekst(okno).rfind(kSukces, 0), 0u) << KoniecTekst(okno).c_str();
    // A picture of the end page for whoever runs the walk where no one sees it.
    if (const std::wstring zrzut = Srodowisko(L"VELT_ZRZUT_KONCA"); !zrzut.empty()) ZapiszEkran(zrzut);
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"btnZamknij")), L"Zako\u0144cz");
    EXPECT_FALSE(Dostepna(ZnajdzKontrolke(okno, L"btnDalej")));
    EXPECT_FALSE(Dostepna(ZnajdzKontrolke(okno, L"btnWstecz")));
    HWND gauge = ZnajdzKontrolke(okno, L"GaugePostep");
    const auto pozycja = SendMessageW(gauge, PBM_GETPOS, 0, 0);
    const auto maksimum = SendMessageW(gauge, PBM_GETRANGE, FALSE, 0);
    EXPECT_EQ(pozycja, maksimum) << "the gauge ends full";

    std::map<std::wstring, std::string> oczekiwane, jest;
    Drzewo(L"D:", L"", kPomijane, oczekiwane);
    Drzewo(cel_, L"", {}, jest);
    ASSERT_TRUE(jest.count(L"velten.exe"));
    const std::wstring wzorzec = Srodowisko(L"VELT_MAIN_PROGRAM");
    ASSERT_FALSE(wzorzec.empty());
    ASSERT_FALSE(Zawartosc(wzorzec).empty()) << "the payload cannot be read";
    EXPECT_TRUE(jest[L"velten.exe"] == Zawartosc(wzorzec)) << "the main program differs from the payload";
    jest.erase(L"velten.exe");
    // The patch lists on the medium updated two files to their new versions.
    const std::wstring nowe = Srodowisko(L"VELT_NOWE_PLIKI");
    ASSERT_FALSE(nowe.empty());
    for (const wchar_t* plik : {L"readme.txt", L"velt.hlp"}) {
        const std::string nowy = Zawartosc(nowe + L"\\" + plik);
        ASSERT_FALSE(nowy.empty());
        EXPECT_TRUE(jest[plik] == nowy) << "not patched: " << std::string(plik, plik + wcslen(plik));
        EXPECT_FALSE(oczekiwane[plik] == nowy);
        oczekiwane[plik] = nowy;
    }
    EXPECT_FALSE(jest.count(L"tmp25411.tmp"));
    EXPECT_EQ(jest.size(), oczekiwane.size());
    for (const auto& [sciezka, tresc] : oczekiwane) {
        ASSERT_TRUE(jest.count(sciezka)) << "missing: " << std::string(sciezka.begin(), sciezka.end());
        EXPECT_TRUE(jest[sciezka] == tresc) << "differs: " << std::string(sciezka.begin(), sciezka.end());
    }

    // The Start-menu group holds the edition's nine links; none on the desktop.
    const std::wstring grupa = FolderPowloki(HKEY_CURRENT_USER, L"Programs") + L"\\Translator Velt 1.5";
    EXPECT_EQ(LiczbaPlikow(grupa, L"*.lnk"), 9) << std::string(grupa.begin(), grupa.end());
    EXPECT_EQ(LiczbaPlikow(FolderPowloki(HKEY_CURRENT_USER, L"Desktop"), L"*.lnk"), 0);
    // The edition's key, in both roots.
    for (HKEY korzen : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        wchar_t wersja[16] = {};
        DWORD rozmiar = sizeof(wersja);
        EXPECT_EQ(RegGetValueW(korzen, L"SOFTWARE\\Zelpax\\EngVelt", L"Wersja", RRF_RT_REG_SZ, nullptr, wersja, &rozmiar),
                  ERROR_SUCCESS);
        EXPECT_EQ(std::wstring(wersja), L"1.5");
    }
    // The 32-bit wizard on 64-bit Windows writes where the 32-bit product
    // reads: the registry's 32-bit view, "Program Files (x86)".
    BOOL wow64 = FALSE;
    if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
        for (REGSAM widok : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            HKEY klucz = nullptr;
            const LONG wynik =
                RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Zelpax\\EngVelt", 0, KEY_READ | widok, &klucz);
            if (klucz) RegCloseKey(klucz);
            EXPECT_EQ(wynik == ERROR_SUCCESS, widok == KEY_WOW64_32KEY) << "the key in the 64-bit view: " << widok;
        }
        EXPECT_NE(cel_.find(L" (x86)\\"), std::wstring::npos) << std::string(cel_.begin(), cel_.end());
    }
    wchar_t nazwa[128] = {};
    DWORD rozmiar = sizeof(nazwa);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\EngVelt",
                           L"DisplayName", RRF_RT_REG_SZ, nullptr, nazwa, &rozmiar),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(nazwa), L"Velt 1.5 Translator angielsko-polski");
    // The font of the edition.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_NE(GetFileAttributesW((std::wstring(windows) + L"\\Fonts\\Stedt.ttf").c_str()), INVALID_FILE_ATTRIBUTES);

    Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindow(okno); }));
}

// The whole wizard by keyboard alone: key presses through the system's input
// queue, from the CD dialog to the end page. The language is switched in the
// CD dialog and back on the first page, the agreement accepted by keys, the
// target folder made with the folder chooser's new-folder dialog.
TEST_F(Instalacja, WholeRunByKeyboardAlone) {
    ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\""));
    HWND cd = CzekajNaOkno(L"frmCD");
    ASSERT_TRUE(cd);
    // Waits until the control of that name has the focus.
    const auto fokus = [](HWND okno, const std::wstring& nazwa) {
        return Czekaj([&] { return NazwaOkna(Fokus(okno)) == nazwa; }, 5s);
    };
    const auto nazwaFokusu = [](HWND okno) {
        const std::wstring n = NazwaOkna(Fokus(okno));
        return std::string(n.begin(), n.end());
    };
    // Tab (or Shift+Tab) and the control each press reaches.
    const auto tab = [&](HWND okno, std::initializer_list<const wchar_t*> kolejne, bool wstecz = false) {
        for (const wchar_t* nazwa : kolejne) {
            Nacisnij(VK_TAB, wstecz);
            EXPECT_TRUE(fokus(okno, nazwa)) << "expected " << std::string(nazwa, nazwa + wcslen(nazwa)) << ", is "
                                            << nazwaFokusu(okno);
        }
    };

    // The drive first, so that Enter accepts it; the flags are one stop at
    // the chosen one, and an arrow only moves.
    EXPECT_TRUE(fokus(cd, L"cmbDrive")) << nazwaFokusu(cd);
    tab(cd, {L"btnOK", L"btnAnuluj", L"btnPolski"});
    HWND lblCD = ZnajdzKontrolke(cd, L"lblCD");
    Nacisnij(VK_RIGHT);
    EXPECT_TRUE(fokus(cd, L"btnAngielski")) << nazwaFokusu(cd);
    EXPECT_EQ(Tekst(lblCD).rfind(L"Witamy", 0), 0u);
    Nacisnij(VK_SPACE);
    EXPECT_TRUE(Czekaj([&] { return Tekst(lblCD).rfind(L"Welcome", 0) == 0; })) << "Space chooses English";
    tab(cd, {L"cmbDrive"});
    Nacisnij(VK_RETURN);

    HWND okno = CzekajNaOkno(L"frmMain");
    ASSERT_TRUE(okno);
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Step 1 of 5: Intro"; })) << Tekst(krok).c_str();
    // Enter goes on from the first page; back to Polish on its flags first.
    EXPECT_TRUE(fokus(okno, L"btnDalej")) << nazwaFokusu(okno);
    tab(okno, {L"btnAngielski"}, true);
    Nacisnij(VK_LEFT);
    EXPECT_TRUE(fokus(okno, L"btnPolski")) << nazwaFokusu(okno);
    EXPECT_EQ(Tekst(krok), L"Step 1 of 5: Intro");
    Nacisnij(VK_RETURN);
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 1 z 5: Wst\u0119p"; })) << "Enter chooses Polish";
    // Back is disabled here: Tab passes it.
    tab(okno, {L"btnDalej"});
    Nacisnij(VK_RETURN);

    // The agreement is read first. Tab reaches the two answers at the first,
    // unchecked; the arrows move between them without choosing; Space
    // accepts.
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 2 z 5: Umowa licencyjna"; })) << Tekst(krok).c_str();
    EXPECT_TRUE(fokus(okno, L"redUmowa")) << nazwaFokusu(okno);
    HWND akceptuje = ZnajdzKontrolke(okno, L"rdbUmowaAkceptuje"), nieAkceptuje = ZnajdzKontrolke(okno, L"rdbUmowaNieAkceptuje");
    HWND dalej = ZnajdzKontrolke(okno, L"btnDalej");
    tab(okno, {L"rdbUmowaAkceptuje"});
    Nacisnij(VK_DOWN);
    EXPECT_TRUE(fokus(okno, L"rdbUmowaNieAkceptuje")) << nazwaFokusu(okno);
    Nacisnij(VK_UP);
    EXPECT_TRUE(fokus(okno, L"rdbUmowaAkceptuje")) << nazwaFokusu(okno);
    EXPECT_FALSE(Zaznaczona(akceptuje) || Zaznaczona(nieAkceptuje)) << "the focus alone accepts nothing";
    EXPECT_FALSE(Dostepna(dalej));
    Nacisnij(VK_SPACE);
    EXPECT_TRUE(Czekaj([&] { return Zaznaczona(akceptuje) && Dostepna(dalej); }));
    // Round the page in reading order, and back.
    tab(okno, {L"btnWstecz", L"btnDalej", L"btnZamknij", L"redUmowa", L"rdbUmowaAkceptuje"});
    tab(okno, {L"redUmowa"}, true);
    Nacisnij(VK_RETURN);

    // The options: Space ticks; the folder chooser and its new-folder dialog
    // make the target folder.
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 3 z 5: Opcje instalacji"; })) << Tekst(krok).c_str();
    EXPECT_TRUE(fokus(okno, L"chbInstalujSlowniki")) << nazwaFokusu(okno);
    HWND slowniki = ZnajdzKontrolke(okno, L"chbInstalujSlowniki");
    Nacisnij(VK_SPACE);
    EXPECT_TRUE(Czekaj([&] { return !Zaznaczona(slowniki); }));
    Nacisnij(VK_SPACE);
    EXPECT_TRUE(Czekaj([&] { return Zaznaczona(slowniki); }));
    tab(okno, {L"btnKatalog"}, true);
    Nacisnij(VK_RETURN);
    HWND wybor = CzekajNaOkno(L"frmKatalog");
    ASSERT_TRUE(wybor);
    EXPECT_TRUE(fokus(wybor, L"trvKatalog")) << nazwaFokusu(wybor);
    tab(wybor, {L"edtKatalog", L"btnUtworz"});
    Nacisnij(VK_RETURN);
    HWND nowy = CzekajNaOkno(L"frmKatalogDodaj");
    ASSERT_TRUE(nowy);
    EXPECT_TRUE(fokus(nowy, L"edtDodaj")) << nazwaFokusu(nowy);
    const std::wstring nazwaCelu = cel_.substr(cel_.rfind(L'\\') + 1);
    Pisz(nazwaCelu);
    EXPECT_TRUE(Czekaj([&] { return Tekst(ZnajdzKontrolke(nowy, L"edtDodaj")) == nazwaCelu; }));
    Nacisnij(VK_RETURN);
    EXPECT_TRUE(Czekaj([&] { return !Widoczna(nowy); }));
    HWND edtKatalog = ZnajdzKontrolke(wybor, L"edtKatalog");
    EXPECT_TRUE(Czekaj([&] { return Male(Tekst(edtKatalog)) == Male(cel_); })) << Tekst(edtKatalog).c_str();
    EXPECT_NE(GetFileAttributesW(cel_.c_str()), INVALID_FILE_ATTRIBUTES) << "the new folder is made";
    tab(wybor, {L"btnOK"});
    Nacisnij(VK_RETURN);
    EXPECT_TRUE(Czekaj([&] { return !Widoczna(wybor); }));
    EXPECT_TRUE(Czekaj([&] { return Male(Tekst(ZnajdzKontrolke(okno, L"lblKatalog"))) == Male(cel_); }));

    // Tab on to Next; Enter installs, and Enter finishes on the end page.
    EXPECT_TRUE(fokus(okno, L"btnKatalog")) << nazwaFokusu(okno);
    tab(okno, {L"chbInstalujSlowniki", L"chbUtworzGrupe", L"chbUtworzSkrotyTranslatorow", L"chbUtworzSkrotySlownikow",
               L"btnWstecz", L"btnDalej"});
    Nacisnij(VK_RETURN);
    EXPECT_EQ(KoniecTekst(okno).rfind(kSukces, 0), 0u) << KoniecTekst(okno).c_str();
    EXPECT_TRUE(fokus(okno, L"btnZamknij")) << nazwaFokusu(okno);
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"btnZamknij")), L"Zako\u0144cz");
    Nacisnij(VK_RETURN);
    EXPECT_TRUE(Czekaj([&] { return !IsWindow(okno); }));
    std::map<std::wstring, std::string> jest;
    Drzewo(cel_, L"", {}, jest);
    EXPECT_TRUE(jest.count(L"velten.exe") && jest.count(L"lexoren.exe")) << "installed with the dictionaries";
}

TEST_F(Instalacja, ConfirmedCancelLeavesTheTargetAsItWas) {
    // A target folder with a file the run replaces and one of the user's own.
    ASSERT_TRUE(CreateDirectoryW(cel_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring readme = cel_ + L"\\readme.txt", wlasny = cel_ + L"\\moje notatki.txt";
    for (const auto& [plik, tresc] : {std::pair{readme, "stara wersja"}, std::pair{wlasny, "notatki"}}) {
        HANDLE h = CreateFileW(plik.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD zapisane = 0;
        WriteFile(h, tresc, static_cast<DWORD>(strlen(tresc)), &zapisane, nullptr);
        CloseHandle(h);
    }

    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    Instaluj(okno, true);
    ASSERT_TRUE(Odpowiedz(L"btnTak"));
    EXPECT_EQ(KoniecTekst(okno), kPrzerwana);
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"btnZamknij")), L"Zako\u0144cz");

    std::map<std::wstring, std::string> jest;
    Drzewo(cel_, L"", {}, jest);
    EXPECT_EQ(jest.size(), 2u) << "only what was there before";
    EXPECT_EQ(jest[L"readme.txt"], "stara wersja");
    EXPECT_EQ(jest[L"moje notatki.txt"], "notatki");
}

// A target that others may change is named in a question: No stays on the
// options page, Yes installs there.
TEST_F(Instalacja, TargetOthersMayChangeIsAsked) {
    ASSERT_TRUE(UtworzOtwarty(cel_));
    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    for (const wchar_t* odpowiedz : {L"btnNie", L"btnTak"}) {
        Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
        HWND pytanie = CzekajNaOkno(L"frmPytanie");
        ASSERT_TRUE(pytanie);
        EXPECT_EQ(Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie")),
                  L"U\u017cytkownicy bez uprawnie\u0144 administratora mog\u0105 zmienia\u0107 katalog \"" + cel_ +
                      L"\" i zainstalowane w nim programy. Czy mimo to kontynuowa\u0107?");
        Kliknij(ZnajdzKontrolke(pytanie, odpowiedz));
        EXPECT_TRUE(Czekaj([&] { return !IsWindowVisible(pytanie); }));
        if (std::wstring(odpowiedz) == L"btnNie") {
            EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"lblKrok")), L"Krok 3 z 5: Opcje instalacji");
        }
    }
    EXPECT_EQ(KoniecTekst(okno).rfind(kSukces, 0), 0u) << KoniecTekst(okno).c_str();
    EXPECT_NE(GetFileAttributesW((cel_ + L"\\VeltEn.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Instalacja, CloseRequestsDuringTheCopyAskAndALogoffWaits) {
    // A reinstallation: the target holds an older main program and files of
    // the user's.
    ASSERT_TRUE(CreateDirectoryW(cel_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::map<std::wstring, std::string> przed = {
        {L"readme.txt", "stara wersja"}, {L"moje notatki.txt", "notatki"}, {L"velten.exe", "stary program"}};
    for (const auto& [plik, tresc] : przed) {
        HANDLE h = CreateFileW((cel_ + L"\\" + plik).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD zapisane = 0;
        WriteFile(h, tresc.data(), static_cast<DWORD>(tresc.size()), &zapisane, nullptr);
        CloseHandle(h);
    }

    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok"), plikDo = ZnajdzKontrolke(okno, L"lblPlikDo");

    // Alt+F4 while the copy runs: the window stays and the question comes at
    // the next file. No goes on; Yes is given once the old main program has
    // been replaced (its name on the page, or the file lines emptied after it).
    // Each request is queued behind the click before it while the wizard is
    // held, so that it reaches the run however fast the copy is.
    Wstrzymany(okno, [&] {
        Instaluj(okno, false);
        ZamknijJakSystem(okno);
    });
    bool pierwsze = true, potwierdzone = false;
    while (!potwierdzone) {
        HWND pytanie = CzekajNaOkno(L"frmPytanie", 30s);
        ASSERT_TRUE(pytanie) << "no question after a close request during the copy";
        ASSERT_EQ(Tekst(krok), L"Krok 4 z 5: Instalacja");
        if (pierwsze) {
            EXPECT_TRUE(Widoczna(okno));
            EXPECT_EQ(Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie")),
                      L"Instalacja nie zosta\u0142a zako\u0144czona. Czy chcesz przerwa\u0107 instalacj\u0119 ?");
            EXPECT_FALSE(Dostepna(ZnajdzKontrolke(okno, L"btnDalej")));
            EXPECT_FALSE(Dostepna(ZnajdzKontrolke(okno, L"btnWstecz")));
            // A logoff waits for the installation.
            EXPECT_EQ(PytanieOWylogowanie(okno), 0);
            pierwsze = false;
        }
        const std::wstring doCelu = Male(Tekst(plikDo));
        potwierdzone = doCelu.empty() || doCelu.find(L"velten.exe") != std::wstring::npos;
        HWND odpowiedz = ZnajdzKontrolke(pytanie, potwierdzone ? L"btnTak" : L"btnNie");
        Wstrzymany(okno, [&] {
            Kliknij(odpowiedz);
            if (!potwierdzone) ZamknijJakSystem(okno);
        });
        // The same dialog may ask again at once (the request posted after No
        // arrives at the very next stop point), so its hiding may be too short
        // to see: give the answer a moment to be taken instead.
        Czekaj([&] { return !IsWindowVisible(pytanie); }, 500ms);
    }
    EXPECT_EQ(KoniecTekst(okno), kPrzerwana);
    EXPECT_FALSE(Dostepna(ZnajdzKontrolke(okno, L"btnDalej")));
    EXPECT_FALSE(Dostepna(ZnajdzKontrolke(okno, L"btnWstecz")));
    EXPECT_EQ(PytanieOWylogowanie(okno), 1) << "after the run a logoff may go on";

    std::map<std::wstring, std::string> jest;
    Drzewo(cel_, L"", {}, jest);
    EXPECT_EQ(jest, przed) << "the target exactly as before, the old main program included";
}

TEST_F(Instalacja, DiscTakenOutEndsWithAnError) {
    const std::wstring plyta = Srodowisko(L"VELT_PLYTA");
    ASSERT_FALSE(plyta.empty());
    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    // The disc goes after the CD question: the drive stays, its files do not.
    const std::wstring wyjeta = plyta + L"-wyjeta";
    ASSERT_TRUE(MoveFileW(plyta.c_str(), wyjeta.c_str()));
    struct Wloz {
        const std::wstring &z, &do_;
        ~Wloz() { MoveFileW(z.c_str(), do_.c_str()); }
    } wloz{wyjeta, plyta};
    Instaluj(okno, false);
    EXPECT_EQ(KoniecTekst(okno).rfind(kBlad, 0), 0u) << KoniecTekst(okno).c_str();
    EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr) << "no message box";
    EXPECT_EQ(GetFileAttributesW((cel_ + L"\\VeltEn.exe").c_str()), INVALID_FILE_ATTRIBUTES)
        << "nothing more is installed after the tree could not be read";
}

TEST_F(Instalacja, DeclinedCancelFinishesTheRun) {
    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    Instaluj(okno, true);
    ASSERT_TRUE(Odpowiedz(L"btnNie"));
    EXPECT_EQ(KoniecTekst(okno).rfind(kSukces, 0), 0u);
    EXPECT_NE(GetFileAttributesW((cel_ + L"\\VeltEn.exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Instalacja, ErrorOverAnEarlierInstallationPutsItBack) {
    // An earlier installation: every file of the medium in an older version,
    // one of them read-only, which the copy cannot replace.
    std::map<std::wstring, std::string> medium;
    Drzewo(L"D:", L"", kPomijane, medium);
    ASSERT_TRUE(CreateDirectoryW(cel_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    for (const auto& [sciezka, tresc] : medium) {
        for (std::size_t p = sciezka.find(L'\\'); p != std::wstring::npos; p = sciezka.find(L'\\', p + 1))
            CreateDirectoryW((cel_ + L"\\" + sciezka.substr(0, p)).c_str(), nullptr);
        HANDLE h = CreateFileW((cel_ + L"\\" + sciezka).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        const std::string stara = "stara wersja " + std::to_string(tresc.size());
        DWORD zapisane = 0;
        WriteFile(h, stara.data(), static_cast<DWORD>(stara.size()), &zapisane, nullptr);
        CloseHandle(h);
    }
    const std::wstring readme = cel_ + L"\\readme.txt";
    ASSERT_TRUE(SetFileAttributesW(readme.c_str(), FILE_ATTRIBUTE_READONLY));
    std::map<std::wstring, std::string> przed;
    Drzewo(cel_, L"", {}, przed);
    const std::wstring grupa = FolderPowloki(HKEY_CURRENT_USER, L"Programs") + L"\\Translator Velt 1.5";
    std::map<std::wstring, std::string> linkiPrzed;
    Drzewo(grupa, L"", {}, linkiPrzed);

    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    Instaluj(okno, false);
    EXPECT_EQ(KoniecTekst(okno).rfind(kBlad, 0), 0u) << KoniecTekst(okno).c_str();
    EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr) << "no message box";
    // The old installation back byte for byte, nothing of the run left.
    std::map<std::wstring, std::string> po;
    Drzewo(cel_, L"", {}, po);
    EXPECT_EQ(po.size(), przed.size());
    for (const auto& [sciezka, tresc] : przed)
        EXPECT_TRUE(po.count(sciezka) && po[sciezka] == tresc) << std::string(sciezka.begin(), sciezka.end());
    EXPECT_EQ(GetFileAttributesW(readme.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    std::map<std::wstring, std::string> linkiPo;
    Drzewo(grupa, L"", {}, linkiPo);
    EXPECT_TRUE(linkiPo == linkiPrzed) << "the links as they were";
    EXPECT_EQ(LiczbaPlikow(KatalogDziennikow(), L"instal*.dzn"), 0) << "the journal is finished";
    SetFileAttributesW(readme.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Instalacja, ReadOnlyTargetFileEndsWithAnError) {
    ASSERT_TRUE(CreateDirectoryW(cel_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring readme = cel_ + L"\\readme.txt";
    HANDLE h = CreateFileW(readme.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr);
    CloseHandle(h);
    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    Instaluj(okno, false);
    EXPECT_EQ(KoniecTekst(okno).rfind(kBlad, 0), 0u) << KoniecTekst(okno).c_str();
    EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr) << "no message box";
    EXPECT_EQ(GetFileAttributesW(readme.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

}  // namespace

namespace {

// Needs the nearly full drive that tests/e2e/maly-dysk maps as E:.
class MalyDysk : public ::testing::Test {
protected:
    void SetUp() override {
        dysk_ = Srodowisko(L"VELT_MALY_DYSK");
        if (dysk_.empty()) GTEST_SKIP() << "run through tests/e2e/maly-dysk";
        cel_ = dysk_ + L"\\VeltAng";
    }
    void TearDown() override {
        ZamknijKreator();
        if (!dysk_.empty()) UsunDrzewo(cel_);
    }
    std::wstring dysk_, cel_;
};

// The question after Next on the options page. Wine shows the small drive's
// root as a folder others may change: that question comes first and is
// answered Yes, as it is not what this test is about.
HWND PytaniePoPrawach() {
    HWND pytanie = CzekajNaOkno(L"frmPytanie");
    if (pytanie && Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie")).rfind(L"U\u017cytkownicy bez", 0) == 0) {
        Kliknij(ZnajdzKontrolke(pytanie, L"btnTak"));
        Czekaj([&] { return Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie")).rfind(L"U\u017cytkownicy bez", 0) != 0; });
        pytanie = CzekajNaOkno(L"frmPytanie");
    }
    return pytanie;
}

TEST_F(MalyDysk, LowSpaceIsAskedAndAFullDiskEndsWithAnError) {
    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");

    // The target typed into the folder chooser.
    Kliknij(ZnajdzKontrolke(okno, L"btnKatalog"));
    HWND wybor = CzekajNaOkno(L"frmKatalog");
    ASSERT_TRUE(wybor);
    SendMessageW(ZnajdzKontrolke(wybor, L"edtKatalog"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cel_.c_str()));
    Kliknij(ZnajdzKontrolke(wybor, L"btnOK"));
    HWND katalog = ZnajdzKontrolke(okno, L"lblKatalog");
    ASSERT_TRUE(Czekaj([&] { return Tekst(katalog) == cel_; })) << Tekst(katalog).c_str();

    // Too little space: the question, and No stays on the page, creating nothing.
    Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
    HWND pytanie = PytaniePoPrawach();
    ASSERT_TRUE(pytanie);
    const std::wstring tekstPytania = Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie"));
    EXPECT_EQ(tekstPytania.rfind(L"We wskazanej lokalizacji jest zbyt ma\u0142o miejsca", 0), 0u)
        << std::string(tekstPytania.begin(), tekstPytania.end());
    Kliknij(ZnajdzKontrolke(pytanie, L"btnNie"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindowVisible(pytanie); }));
    EXPECT_EQ(Tekst(krok), L"Krok 3 z 5: Opcje instalacji");
    EXPECT_EQ(GetFileAttributesW(cel_.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing is left behind";

    // Yes goes on; the disk fills up and the run ends with the error text.
    Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
    pytanie = PytaniePoPrawach();
    ASSERT_TRUE(pytanie);
    Kliknij(ZnajdzKontrolke(pytanie, L"btnTak"));
    ASSERT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 5 z 5: Koniec instalacji"; }, 60s));
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"lblKoniec")).rfind(kBlad, 0), 0u);
    EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr) << "no message box";
}

}  // namespace

namespace {

// Needs the medium with an unreadable file that tests/e2e/nieczytelny makes.
TEST(Nieczytelny, UnreadableSourceEndsWithAnErrorAndUndoesTheRun) {
    if (Srodowisko(L"VELT_NIECZYTELNY").empty()) GTEST_SKIP() << "run through tests/e2e/nieczytelny";
    const std::wstring cel = DomyslnyCel();
    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    ASSERT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 5 z 5: Koniec instalacji"; }, 60s));
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"lblKoniec")).rfind(kBlad, 0), 0u);
    EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr) << "no message box";
    // What was copied before the failure goes again, with the folder the
    // wizard made; the shortcuts never came.
    EXPECT_EQ(GetFileAttributesW(cel.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LiczbaPlikow(FolderPowloki(HKEY_CURRENT_USER, L"Programs") + L"\\Translator Velt 1.5", L"*.lnk"), 0);
    ZamknijKreator();
}

}  // namespace

namespace {

// Runs driven by switches: each ends with an exit code for the calling
// script, and the silent ones never ask anything.

HANDLE Start(const std::wstring& argumenty, const std::wstring& program = L"D:\\instal.exe") {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring wiersz = L"\"" + program + L"\" " + argumenty;
    if (!CreateProcessW(nullptr, wiersz.data(), nullptr, nullptr, FALSE, 0, nullptr, L"C:\\", &si, &pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// The exit code, or 259 (STILL_ACTIVE) when the process outlives the limit.
DWORD KodWyjscia(HANDLE proces, DWORD limitMs = 120000) {
    DWORD kod = STILL_ACTIVE;
    if (WaitForSingleObject(proces, limitMs) == WAIT_OBJECT_0) GetExitCodeProcess(proces, &kod);
    return kod;
}

struct SzukanieKomunikatu {
    DWORD pid;
    HWND wynik;
};

BOOL CALLBACK SprawdzKomunikat(HWND okno, LPARAM p) {
    auto* s = reinterpret_cast<SzukanieKomunikatu*>(p);
    DWORD wlasciciel = 0;
    GetWindowThreadProcessId(okno, &wlasciciel);
    wchar_t klasa[16] = {};
    GetClassNameW(okno, klasa, 16);
    if (wlasciciel == s->pid && IsWindowVisible(okno) && std::wstring(klasa) == L"#32770") {
        s->wynik = okno;
        return FALSE;
    }
    return TRUE;
}

// A system message box of the process, or nullptr.
HWND OknoKomunikatu(DWORD pid) {
    SzukanieKomunikatu s{pid, nullptr};
    EnumWindows(SprawdzKomunikat, reinterpret_cast<LPARAM>(&s));
    return s.wynik;
}

BOOL CALLBACK DopiszTekst(HWND okno, LPARAM t) {
    *reinterpret_cast<std::wstring*>(t) += Tekst(okno) + L"\n";
    return TRUE;
}

std::wstring ZUtf8(const std::string& utf8) {
    std::wstring wynik(utf8.size(), L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wynik.data(),
                                      static_cast<int>(wynik.size()));
    wynik.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return wynik;
}

// A copy of the CD's wizard with one byte changed in the middle of the
// second packed part of its main program, as a damaged disc would give it;
// empty when it cannot be made.
std::wstring UszkodzonyProgram() {
    const std::string program = Zawartosc(L"D:\\instal.exe");
    const std::string czesc = Zawartosc(Srodowisko(L"VELT_CZESC_B"));
    if (program.empty() || czesc.size() < 4096) return {};
    const std::size_t gdzie = program.find(czesc.substr(czesc.size() / 2, 64));
    if (gdzie == std::string::npos) return {};
    std::string uszkodzony = program;
    uszkodzony[gdzie + 32] = static_cast<char>(uszkodzony[gdzie + 32] ^ 0x5A);
    const std::wstring katalog = L"C:\\velt-uszkodzony", sciezka = katalog + L"\\instal.exe";
    CreateDirectoryW(katalog.c_str(), nullptr);
    HANDLE h = CreateFileW(sciezka.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD zapisane = 0;
    const bool ok = h != INVALID_HANDLE_VALUE &&
                    WriteFile(h, uszkodzony.data(), static_cast<DWORD>(uszkodzony.size()), &zapisane, nullptr) &&
                    zapisane == uszkodzony.size();
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return ok ? sciezka : std::wstring();
}

// The tree a full run leaves: the medium without what is never copied, with
// the two files the patch lists update, relative paths in lower case.
std::map<std::wstring, std::string> OczekiwaneDrzewo(const std::set<std::wstring>& pominiete) {
    std::map<std::wstring, std::string> drzewo;
    Drzewo(L"D:", L"", pominiete, drzewo);
    const std::wstring nowe = Srodowisko(L"VELT_NOWE_PLIKI");
    for (const wchar_t* plik : {L"readme.txt", L"velt.hlp"}) drzewo[plik] = Zawartosc(nowe + L"\\" + plik);
    drzewo[L"velten.exe"] = Zawartosc(Srodowisko(L"VELT_MAIN_PROGRAM"));
    return drzewo;
}

const std::wstring kLog = L"C:\\instal-log.txt";

// Values of the registry as tools that read it see them; empty or 0xFFFFFFFF
// when missing.
std::wstring Napis(HKEY korzen, const std::wstring& klucz, const wchar_t* nazwa) {
    wchar_t bufor[1024] = {};
    DWORD rozmiar = sizeof(bufor);
    if (RegGetValueW(korzen, klucz.c_str(), nazwa, RRF_RT_REG_SZ, nullptr, bufor, &rozmiar) != ERROR_SUCCESS) return {};
    return bufor;
}
DWORD Liczba(HKEY korzen, const std::wstring& klucz, const wchar_t* nazwa) {
    DWORD wartosc = 0xFFFFFFFF, rozmiar = sizeof(wartosc);
    RegGetValueW(korzen, klucz.c_str(), nazwa, RRF_RT_REG_DWORD, nullptr, &wartosc, &rozmiar);
    return wartosc;
}
const std::wstring kDeinstalacja = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\EngVelt";
const std::wstring kKluczWydania = L"SOFTWARE\\Zelpax\\EngVelt";
const wchar_t kSesja[] = L"System\\CurrentControlSet\\Control\\Session Manager";

// The files that Windows is to rename or delete when it next starts, as
// MoveFileEx records them.
std::wstring PrzyRestarcie() {
    std::vector<wchar_t> bufor(65536);
    DWORD rozmiar = static_cast<DWORD>(bufor.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kSesja, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                     bufor.data(), &rozmiar) != ERROR_SUCCESS)
        return {};
    std::wstring wynik(bufor.data(), rozmiar / sizeof(wchar_t));
    std::replace(wynik.begin(), wynik.end(), L'\0', L'|');
    return wynik;
}
const std::wstring kGrupa = L"\\Translator Velt 1.5";

class Nienadzorowana : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(UsunDrzewo(DomyslnyCel()));
        for (const std::wstring& log : {kLog, kLogPolski}) DeleteFileW(log.c_str());
    }
    void TearDown() override {
        ZamknijKreator();
        UsunDrzewo(DomyslnyCel());
    }
    const std::wstring kLogPolski = L"C:\\Instalacja \u0141\u00f3d\u017a.log";
};

TEST_F(Nienadzorowana, SilentShowsOnlyTheProgressAndHonoursTheOptions) {
    const std::wstring grupa = FolderPowloki(HKEY_CURRENT_USER, L"Programs") + kGrupa;
    UsunDrzewo(grupa);
    HANDLE proces = Start(L"/SILENT /LANG=EN /NODICTIONARIES /NOGROUP");
    ASSERT_TRUE(proces);
    HWND okno = CzekajNaOkno(L"frmMain", 60s);
    ASSERT_TRUE(okno);
    const std::wstring krok = Tekst(ZnajdzKontrolke(okno, L"lblKrok"));
    EXPECT_TRUE(krok == L"Step 4 of 5: Installation" || krok == L"Step 5 of 5: End of installation") << krok.c_str();
    EXPECT_EQ(ZnajdzOkno(L"frmCD"), nullptr);
    EXPECT_EQ(KodWyjscia(proces), 0u);
    CloseHandle(proces);

    std::set<std::wstring> pominiete = kPomijane;
    for (const wchar_t* plik : {L"lexoren.exe", L"lexorpl.exe", L"lexoren.dat", L"lexorpl.dat"}) pominiete.insert(plik);
    std::map<std::wstring, std::string> jest;
    Drzewo(DomyslnyCel(), L"", {}, jest);
    EXPECT_EQ(jest.size(), OczekiwaneDrzewo(pominiete).size());
    EXPECT_FALSE(jest.count(L"lexoren.exe")) << "dictionaries installed";
    EXPECT_EQ(GetFileAttributesW(grupa.c_str()), INVALID_FILE_ATTRIBUTES) << "a group was made";
    DWORD jezyk = 99, rozmiar = sizeof(jezyk);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Zelpax\\EngVelt", L"JezykInterfejsu", RRF_RT_REG_DWORD,
                           nullptr, &jezyk, &rozmiar),
              ERROR_SUCCESS);
    EXPECT_EQ(jezyk, 1u) << "English";
}

// Each exit code once, and the command lines not understood.
TEST_F(Nienadzorowana, ExitCodes) {
    enum class Krok { Nic, Komunikat, AnulujCD, PrzerwijInstalacje, TylkoDoOdczytu, Uszkodzony, Udzial, KopiaZajeta,
                      Dowiazanie, Otwarty };
    const struct {
        const wchar_t* argumenty;
        Krok krok;
        DWORD kod;
        const wchar_t* komunikat;  // what the message box names, for Krok::Komunikat
        bool dowiazanyLog = false;  // the log a hard link to another file, which must stay as it is
    } przypadki[] = {
        {L"/VERYSILENT /QUIET", Krok::Nic, 1, nullptr},
        {L"/VERYSILENT /DIR", Krok::Nic, 1, nullptr},
        {L"/SILENT /DIR=Velt", Krok::Nic, 1, nullptr},
        {L"/VERYSILENT /SOURCE=C:\\", Krok::Nic, 1, nullptr},
        {L"/DIR=Velt", Krok::Komunikat, 1, L"/DIR=Velt"},
        {L"/LANG=EN /BOGUS", Krok::Komunikat, 1, L"Invalid command-line switch: /BOGUS"},
        {L"/?", Krok::Komunikat, 0, L"/VERYSILENT"},
        // The elevated wizard writes no log through a link, and nothing else.
        {L"/VERYSILENT /LOG=C:\\instal-log.txt", Krok::Nic, 1, nullptr, true},
        {L"/LANG=EN /LOG=C:\\instal-log.txt", Krok::Komunikat, 1,
         L"The installation log cannot be written to the file C:\\instal-log.txt.", true},
        {L"/doit", Krok::AnulujCD, 2, nullptr},
        {L"/VERYSILENT /DIR=Q:\\VeltAng", Krok::Nic, 3, nullptr},
        // An answer file with a line it does not understand stops the run
        // before anything is written, the file to save answers in included.
        {L"/VERYSILENT /LOADINF=C:\\velt-zle.inf /SAVEINF=C:\\velt-zapis.inf", Krok::Nic, 1, nullptr},
        {L"/LANG=EN /LOADINF=velt-zle.inf", Krok::Komunikat, 1, L"C:\\velt-zle.inf, line 3:"},
        {L"/LANG=EN /LOADINF=C:\\velt-brak.inf", Krok::Komunikat, 1, L"The answer file C:\\velt-brak.inf cannot be read."},
        // A file to save answers in that has another name too is never
        // written through.
        {L"/VERYSILENT /SAVEINF=C:\\velt-dowiazanie.inf", Krok::Dowiazanie, 1, nullptr},
        // A backup of a replaced file that a scanner holds open goes when
        // Windows next starts; the run says so (the wizard never restarts).
        {L"/VERYSILENT /NORESTART /LOG=C:\\instal-log.txt", Krok::KopiaZajeta, 3010, nullptr},
        // An error undoes the run (the read-only file stops the copy), and the
        // log says so.
        {L"/VERYSILENT /LOG=C:\\instal-log.txt", Krok::TylkoDoOdczytu, 4, nullptr},
        // A damaged wizard installs nothing of its damaged program.
        {L"/VERYSILENT /SOURCE=D:\\ /LOG=C:\\instal-log.txt", Krok::Uszkodzony, 4, nullptr},
        {L"/SILENT", Krok::PrzerwijInstalacje, 5, nullptr},
        // A network share answers for its own free space.
        {L"/VERYSILENT \"/DIR=\\\\velt\\udzial\\VeltAng\"", Krok::Udzial, 0, nullptr},
        // A target others may change: installed all the same, with a warning.
        {L"/VERYSILENT /LOG=C:\\instal-log.txt", Krok::Otwarty, 0, nullptr},
    };
    const std::wstring zle = L"C:\\velt-zle.inf", zapis = L"C:\\velt-zapis.inf";
    const std::wstring oryginal = L"C:\\velt-oryginal.inf", dowiazanie = L"C:\\velt-dowiazanie.inf";
    {
        HANDLE h = CreateFileW(zle.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        const char tresc[] = "[Setup]\r\nDir=C:\\Velt\r\nTasks=desktop\r\n";
        DWORD zapisane = 0;
        WriteFile(h, tresc, sizeof(tresc) - 1, &zapisane, nullptr);
        CloseHandle(h);
    }
    for (const auto& p : przypadki) {
        SCOPED_TRACE(std::string(p.argumenty, p.argumenty + wcslen(p.argumenty)));
        const std::wstring cel = DomyslnyCel();
        ASSERT_TRUE(UsunDrzewo(cel));
        const std::wstring readme = cel + L"\\readme.txt", program = cel + L"\\VeltEn.exe";
        DeleteFileW(kLog.c_str());
        const std::wstring celLogu = L"C:\\instal-log-cel.txt";
        if (p.dowiazanyLog) {
            HANDLE h = CreateFileW(celLogu.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD zapisane = 0;
            WriteFile(h, "0123456789", 10, &zapisane, nullptr);
            CloseHandle(h);
            ASSERT_TRUE(CreateHardLinkW(kLog.c_str(), celLogu.c_str(), nullptr));
        }
        std::wstring instalator = L"D:\\instal.exe";
        if (p.krok == Krok::TylkoDoOdczytu) {
            ASSERT_TRUE(CreateDirectoryW(cel.c_str(), nullptr));
            CloseHandle(CreateFileW(readme.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY,
                                    nullptr));
        }
        if (p.krok == Krok::Otwarty) {
            ASSERT_TRUE(UtworzOtwarty(cel));
        }
        if (p.krok == Krok::Uszkodzony) {
            // Over an earlier installation's program.
            ASSERT_TRUE(CreateDirectoryW(cel.c_str(), nullptr));
            HANDLE h = CreateFileW(program.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD zapisane = 0;
            WriteFile(h, "stary program", 13, &zapisane, nullptr);
            CloseHandle(h);
            instalator = UszkodzonyProgram();
            ASSERT_FALSE(instalator.empty()) << "no damaged copy of the wizard";
        }
        if (p.krok == Krok::KopiaZajeta) {
            ASSERT_TRUE(CreateDirectoryW(cel.c_str(), nullptr));
            CloseHandle(CreateFileW(readme.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
        if (p.krok == Krok::Dowiazanie) {
            DeleteFileW(dowiazanie.c_str());
            HANDLE h = CreateFileW(oryginal.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD zapisane = 0;
            WriteFile(h, "moje", 4, &zapisane, nullptr);
            CloseHandle(h);
            ASSERT_TRUE(CreateHardLinkW(dowiazanie.c_str(), oryginal.c_str(), nullptr));
        }
        HANDLE zajeta = INVALID_HANDLE_VALUE;
        // The share \\velt\udzial, which Wine finds under its devices.
        const std::wstring udzial = Srodowisko(L"VELT_UDZIAL") + L"\\velt\\udzial";
        if (p.krok == Krok::Udzial) {
            ASSERT_FALSE(Srodowisko(L"VELT_UDZIAL").empty());
            CreateDirectoryW(Srodowisko(L"VELT_UDZIAL").c_str(), nullptr);
            CreateDirectoryW((Srodowisko(L"VELT_UDZIAL") + L"\\velt").c_str(), nullptr);
            ASSERT_TRUE(CreateDirectoryW(udzial.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        }
        HANDLE proces = Start(p.argumenty, instalator);
        ASSERT_TRUE(proces);
        switch (p.krok) {
        case Krok::Nic:
        case Krok::TylkoDoOdczytu:
        case Krok::Uszkodzony:
        case Krok::Dowiazanie:
        case Krok::Udzial:
        case Krok::Otwarty: break;
        case Krok::KopiaZajeta:
            // Opened the moment the run sets the old file aside, and held
            // without leave to delete it.
            for (const auto start = std::chrono::steady_clock::now();
                 zajeta == INVALID_HANDLE_VALUE && std::chrono::steady_clock::now() - start < 60s;)
                zajeta = CreateFileW((readme + L".velt-kopia").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(zajeta, INVALID_HANDLE_VALUE);
            break;
        case Krok::Komunikat: {
            HWND komunikat = nullptr;
            EXPECT_TRUE(Czekaj([&] { return (komunikat = OknoKomunikatu(GetProcessId(proces))) != nullptr; }));
            std::wstring tekst;
            EnumChildWindows(komunikat, DopiszTekst, reinterpret_cast<LPARAM>(&tekst));
            EXPECT_NE(tekst.find(p.komunikat), std::wstring::npos) << std::string(tekst.begin(), tekst.end());
            PostMessageW(komunikat, WM_COMMAND, IDOK, 0);
            break;
        }
        case Krok::AnulujCD: {
            HWND cd = CzekajNaOkno(L"frmCD");
            ASSERT_TRUE(cd);
            Kliknij(ZnajdzKontrolke(cd, L"btnAnuluj"));
            break;
        }
        case Krok::PrzerwijInstalacje: {
            // As soon as the window shows, the run is copying; watched without
            // pause, and held while the click is queued, it answers it
            // between two files.
            HWND okno = nullptr;
            for (const auto start = std::chrono::steady_clock::now();
                 !okno && std::chrono::steady_clock::now() - start < 60s;)
                okno = ZnajdzOkno(L"frmMain");
            ASSERT_TRUE(okno);
            HWND zamknij = ZnajdzKontrolke(okno, L"btnZamknij");
            Wstrzymany(okno, [&] { Kliknij(zamknij); });
            break;
        }
        }
        EXPECT_EQ(KodWyjscia(proces), p.kod);
        CloseHandle(proces);
        if (p.kod == 1) {
            EXPECT_EQ(GetFileAttributesW(cel.c_str()), INVALID_FILE_ATTRIBUTES) << "a run not started wrote";
            EXPECT_EQ(GetFileAttributesW(zapis.c_str()), INVALID_FILE_ATTRIBUTES);
        }
        if (p.kod == 5) {
            std::map<std::wstring, std::string> jest;
            Drzewo(cel, L"", {}, jest);
            EXPECT_TRUE(jest.empty()) << "a cancelled run leaves nothing";
        }
        const std::wstring log = ZUtf8(Zawartosc(kLog));
        std::map<std::wstring, std::string> jest;
        Drzewo(cel, L"", {}, jest);
        if (p.dowiazanyLog) {
            EXPECT_EQ(Zawartosc(celLogu), "0123456789") << "written through the link";
            EXPECT_EQ(GetFileAttributesW(cel.c_str()), INVALID_FILE_ATTRIBUTES) << "installed all the same";
            DeleteFileW(celLogu.c_str());
        }
        if (p.krok == Krok::TylkoDoOdczytu) {
            EXPECT_EQ(jest.size(), 1u) << "the target as it was";
            EXPECT_NE(log.find(L"Rollback: every change of the run was undone"), std::wstring::npos)
                << std::string(log.begin(), log.end());
            SetFileAttributesW(readme.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        if (p.krok == Krok::Uszkodzony) {
            EXPECT_EQ(jest, (std::map<std::wstring, std::string>{{L"velten.exe", "stary program"}}))
                << "nothing replaced, nothing left";
            EXPECT_NE(log.find(L"Error: " + program), std::wstring::npos) << std::string(log.begin(), log.end());
            EXPECT_NE(log.find(L"nothing was replaced"), std::wstring::npos);
            UsunDrzewo(L"C:\\velt-uszkodzony");
        }
        if (p.krok == Krok::KopiaZajeta) {
            const std::wstring kopia = readme + L".velt-kopia";
            EXPECT_NE(log.find(L"Waits for a restart of Windows: delete " + kopia), std::wstring::npos)
                << std::string(log.begin(), log.end());
            EXPECT_NE(log.find(L"exit code 3010"), std::wstring::npos);
            EXPECT_NE(Male(PrzyRestarcie()).find(Male(kopia)), std::wstring::npos) << "not scheduled";
            CloseHandle(zajeta);
            DeleteFileW(kopia.c_str());
            RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSesja, L"PendingFileRenameOperations");
        }
        if (p.krok == Krok::Dowiazanie) {
            EXPECT_EQ(Zawartosc(oryginal), "moje") << "written through its other name";
            DeleteFileW(dowiazanie.c_str());
            DeleteFileW(oryginal.c_str());
        }
        if (p.krok == Krok::Otwarty) {
            EXPECT_TRUE(jest.count(L"velten.exe"));
            EXPECT_NE(log.find(L"Warning: users without administrator rights may change the folder " + cel +
                               L" and the programs installed in it"),
                      std::wstring::npos)
                << std::string(log.begin(), log.end());
        }
        if (p.krok == Krok::Udzial) {
            std::map<std::wstring, std::string> naUdziale;
            Drzewo(udzial + L"\\VeltAng", L"", {}, naUdziale);
            EXPECT_TRUE(naUdziale.count(L"velten.exe")) << "installed on the share";
            UsunDrzewo(udzial);
        }
    }
    DeleteFileW(zle.c_str());
}

TEST_F(Nienadzorowana, TheCopyFromTheCdGetsEverySwitch) {
    // The run from the CD hands over at once with 0; the copy asks for the
    // CD in English and writes on into the same log, which it inherits open
    // rather than by name.
    HANDLE proces = Start(L"/LANG=EN /LOG=" + kLog);
    ASSERT_TRUE(proces);
    EXPECT_EQ(KodWyjscia(proces), 0u);
    CloseHandle(proces);
    HWND cd = CzekajNaOkno(L"frmCD");
    ASSERT_TRUE(cd);
    EXPECT_EQ(Tekst(ZnajdzKontrolke(cd, L"btnAnuluj")), L"Cancel");
    Kliknij(ZnajdzKontrolke(cd, L"btnAnuluj"));
    EXPECT_TRUE(Czekaj([&] { return ZUtf8(Zawartosc(kLog)).find(L"exit code 2") != std::wstring::npos; }));
    const std::wstring log = ZUtf8(Zawartosc(kLog));
    EXPECT_NE(log.find(L"\\Zelpax\\ with \"/doit /LANG=EN /LOGHANDLE="), std::wstring::npos)
        << std::string(log.begin(), log.end());
}

// What a deployment tool does: a silent run for all users of edition 3 that
// records its choices, then, on a machine where the first run's folder,
// links and entry are gone, a run that repeats them from that file alone.
TEST_F(Nienadzorowana, AnswerFileRepeatsAnInstallationForAllUsers) {
    const std::wstring cel = L"C:\\Pierwszy", odpowiedzi = L"C:\\acc\\velt.inf";
    const std::wstring wspolna = FolderPowloki(HKEY_LOCAL_MACHINE, L"Common Programs") + kGrupa;
    const std::wstring wlasna = FolderPowloki(HKEY_CURRENT_USER, L"Programs") + kGrupa;
    ASSERT_NE(Male(wspolna), Male(wlasna));
    const auto sprzatnij = [&] {
        for (const std::wstring& k : {cel, wspolna, wlasna, std::wstring(L"C:\\acc")}) ASSERT_TRUE(UsunDrzewo(k));
        for (HKEY korzen : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) RegDeleteTreeW(korzen, kDeinstalacja.c_str());
    };
    sprzatnij();
    ASSERT_TRUE(CreateDirectoryW(L"C:\\acc", nullptr));

    HANDLE proces = Start(L"/VERYSILENT /ALLUSERS /NODESKTOP /DIR=" + cel + L" /SAVEINF=" + odpowiedzi);
    ASSERT_TRUE(proces);
    EXPECT_EQ(KodWyjscia(proces), 0u);
    CloseHandle(proces);
    SYSTEMTIME dzis{};
    GetLocalTime(&dzis);
    wchar_t data[16];
    std::swprintf(data, 16, L"%04u%02u%02u", dzis.wYear, dzis.wMonth, dzis.wDay);

    // The links and the entry where every user finds them; the settings of
    // the account that ran it stay its own.
    EXPECT_EQ(LiczbaPlikow(wspolna, L"*.lnk"), 9);
    EXPECT_EQ(GetFileAttributesW(wlasna.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Napis(HKEY_CURRENT_USER, kDeinstalacja, L"DisplayName"), L"") << "the entry went to this user only";
    for (HKEY korzen : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) EXPECT_EQ(Liczba(korzen, kKluczWydania, L"AllUsers"), 1u);
    EXPECT_EQ(Liczba(HKEY_CURRENT_USER, kKluczWydania + L"\\Velt", L"JezykInterfejsu"), 0u);

    // The entry as the list of programs and deployment tools read it.
    const HKEY m = HKEY_LOCAL_MACHINE;
    EXPECT_EQ(Napis(m, kDeinstalacja, L"DisplayName"), L"Velt 1.5 Translator angielsko-polski");
    EXPECT_EQ(Napis(m, kDeinstalacja, L"UninstallString"), L"\"" + cel + L"\\DeInstalator.exe\"");
    EXPECT_EQ(Napis(m, kDeinstalacja, L"DisplayVersion"), L"1.5");
    EXPECT_EQ(Napis(m, kDeinstalacja, L"Publisher"), L"Zelpax");
    EXPECT_EQ(Napis(m, kDeinstalacja, L"DisplayIcon"), L"\"" + cel + L"\\VeltEn.exe\"");
    EXPECT_EQ(Napis(m, kDeinstalacja, L"InstallLocation"), cel);
    EXPECT_EQ(Napis(m, kDeinstalacja, L"InstallDate"), data);
    EXPECT_EQ(Liczba(m, kDeinstalacja, L"NoModify"), 1u);
    EXPECT_EQ(Liczba(m, kDeinstalacja, L"NoRepair"), 1u);
    std::map<std::wstring, std::string> drzewo;
    Drzewo(cel, L"", {}, drzewo);
    // Counted before the patch lists change two files by a few bytes.
    const long long kb = (Rozmiar(drzewo) + 1023) / 1024;
    EXPECT_NEAR(static_cast<long long>(Liczba(m, kDeinstalacja, L"EstimatedSize")), kb, 4);

    EXPECT_EQ(Zawartosc(odpowiedzi), "[Setup]\r\nDir=C:\\Pierwszy\r\nLang=PL\r\nNoDictionaries=0\r\nNoGroup=0\r\n"
                                     "NoDesktop=1\r\nAllUsers=1\r\n");

    // Another machine: nothing of the first run but the answer file.
    for (const std::wstring& k : {cel, wspolna}) ASSERT_TRUE(UsunDrzewo(k));
    ASSERT_EQ(RegDeleteTreeW(m, kDeinstalacja.c_str()), ERROR_SUCCESS);
    proces = Start(L"/VERYSILENT /LOADINF=" + odpowiedzi);
    ASSERT_TRUE(proces);
    EXPECT_EQ(KodWyjscia(proces), 0u);
    CloseHandle(proces);
    EXPECT_TRUE(Zawartosc(cel + L"\\VeltEn.exe") == Zawartosc(Srodowisko(L"VELT_MAIN_PROGRAM")));
    EXPECT_EQ(LiczbaPlikow(wspolna, L"*.lnk"), 9);
    EXPECT_EQ(GetFileAttributesW(wlasna.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Napis(m, kDeinstalacja, L"InstallLocation"), cel);
    EXPECT_EQ(Liczba(m, kKluczWydania, L"AllUsers"), 1u);
    sprzatnij();
}

// Last of the file: the Start-menu group it leaves is the one that
// tests/e2e/sprawdz-skroty reads.
TEST_F(Nienadzorowana, VerySilentInstallsAsTheWizardDoesAndLogsEveryFile) {
    HANDLE proces = Start(L"/VERYSILENT \"/LOG=" + kLogPolski + L"\"");
    ASSERT_TRUE(proces);
    DWORD kod = STILL_ACTIVE;
    bool okno = false;
    Czekaj([&] {
        okno = okno || ZnajdzOkno(L"frmMain") || ZnajdzOkno(L"frmCD") || ZnajdzOkno(L"frmPytanie");
        GetExitCodeProcess(proces, &kod);
        return kod != STILL_ACTIVE;
    }, 120s);
    CloseHandle(proces);
    EXPECT_EQ(kod, 0u);
    EXPECT_FALSE(okno) << "a window in /VERYSILENT";
    // The journal goes, its folder stays: a user who could make it first could
    // hold it open and change it later.
    const DWORD dzienniki = GetFileAttributesW(KatalogDziennikow().c_str());
    EXPECT_TRUE(dzienniki != INVALID_FILE_ATTRIBUTES && (dzienniki & FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(LiczbaPlikow(KatalogDziennikow(), L"instal*.dzn"), 0);

    std::map<std::wstring, std::string> jest;
    Drzewo(DomyslnyCel(), L"", {}, jest);
    const auto oczekiwane = OczekiwaneDrzewo(kPomijane);
    EXPECT_EQ(jest.size(), oczekiwane.size());
    for (const auto& [sciezka, tresc] : oczekiwane) {
        ASSERT_TRUE(jest.count(sciezka)) << "missing: " << std::string(sciezka.begin(), sciezka.end());
        EXPECT_TRUE(jest[sciezka] == tresc) << "differs: " << std::string(sciezka.begin(), sciezka.end());
    }
    EXPECT_EQ(LiczbaPlikow(FolderPowloki(HKEY_CURRENT_USER, L"Programs") + kGrupa, L"*.lnk"), 9);
    wchar_t deinstalacja[MAX_PATH] = {};
    DWORD rozmiar = sizeof(deinstalacja);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\EngVelt",
                           L"UninstallString", RRF_RT_REG_SZ, nullptr, deinstalacja, &rozmiar),
              ERROR_SUCCESS);
    EXPECT_NE(std::wstring(deinstalacja).find(DomyslnyCel()), std::wstring::npos);

    // The log (under a name with Polish letters) names every installed file
    // by its full path, and the links with their Polish letters intact.
    const std::wstring log = ZUtf8(Zawartosc(kLogPolski));
    for (const auto& [sciezka, tresc] : oczekiwane) {
        std::wstring pelna = Male(DomyslnyCel() + L"\\" + sciezka);
        EXPECT_NE(Male(log).find(pelna), std::wstring::npos) << "not in the log: " << std::string(sciezka.begin(), sciezka.end());
    }
    EXPECT_NE(log.find(L"; exit code 0"), std::wstring::npos);
    EXPECT_NE(log.find(L"Registry HKEY_CURRENT_USER\\"), std::wstring::npos);
    EXPECT_NE(log.find(L"\\S\u0142ownik angielsko-polski.lnk -> "), std::wstring::npos);
}

}  // namespace

namespace {

// A run killed at several moments, and the next start that undoes it.
class Przerwana : public ::testing::Test {
protected:
    void SetUp() override {
        cel_ = DomyslnyCel();
        ZamknijKreator();
        ASSERT_TRUE(UsunDrzewo(cel_));
        grupa_ = FolderPowloki(HKEY_CURRENT_USER, L"Programs") + L"\\Translator Velt 1.5";
        // Where the wizard keeps the journal of a run: the machine's, whoever
        // runs it.
        dziennik_ = KatalogDziennikow() + L"\\instal.dzn";
        Drzewo(L"D:", L"", kPomijane, medium_);
        ASSERT_FALSE(medium_.empty());
        rozmiarProgramu_ = static_cast<DWORD>(Zawartosc(Srodowisko(L"VELT_MAIN_PROGRAM")).size());
        ASSERT_NE(rozmiarProgramu_, 0u);
    }
    void TearDown() override {
        ZamknijKreator();
        UsunDrzewo(cel_);
        // A journal a failed case left would ask the next test its question.
        WIN32_FIND_DATAW dane;
        HANDLE szukanie = FindFirstFileW((KatalogDziennikow() + L"\\instal*.dzn*").c_str(), &dane);
        if (szukanie == INVALID_HANDLE_VALUE) return;
        do DeleteFileW((KatalogDziennikow() + L"\\" + dane.cFileName).c_str());
        while (FindNextFileW(szukanie, &dane));
        FindClose(szukanie);
    }

    // Everything the run may change: the target tree (folders as "name\"),
    // the Start-menu group, the font and the product's registry values.
    using Stan = std::map<std::wstring, std::string>;
    static void Katalog(const std::wstring& katalog, const std::wstring& prefiks, Stan& stan) {
        if (GetFileAttributesW(katalog.c_str()) == INVALID_FILE_ATTRIBUTES) return;
        stan[prefiks] = "<folder>";
        WIN32_FIND_DATAW dane;
        HANDLE szukanie = FindFirstFileW((katalog + L"\\*").c_str(), &dane);
        if (szukanie == INVALID_HANDLE_VALUE) return;
        do {
            const std::wstring nazwa = dane.cFileName;
            if (nazwa == L"." || nazwa == L"..") continue;
            if (dane.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Katalog(katalog + L"\\" + nazwa, prefiks + Male(nazwa) + L"\\", stan);
            else
                stan[prefiks + Male(nazwa)] = Zawartosc(katalog + L"\\" + nazwa);
        } while (FindNextFileW(szukanie, &dane));
        FindClose(szukanie);
    }
    static void Rejestr(HKEY korzen, const std::wstring& klucz, const std::wstring& prefiks, Stan& stan) {
        HKEY k = nullptr;
        if (RegOpenKeyExW(korzen, klucz.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
        for (DWORD i = 0;; ++i) {
            wchar_t nazwa[256];
            DWORD dlugosc = 256, typ = 0, rozmiar = 4096;
            BYTE dane[4096];
            if (RegEnumValueW(k, i, nazwa, &dlugosc, nullptr, &typ, dane, &rozmiar) != ERROR_SUCCESS) break;
            // The wizard's own marker lives beside the values and is not the run's.
            if (std::wstring(nazwa) == L"InstallationInProgress") continue;
            stan[prefiks + klucz + L"|" + nazwa] = std::to_string(typ) + ":" + std::string(dane, dane + rozmiar);
        }
        std::vector<std::wstring> podklucze;
        for (DWORD i = 0;; ++i) {
            wchar_t nazwa[256];
            DWORD dlugosc = 256;
            if (RegEnumKeyExW(k, i, nazwa, &dlugosc, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            podklucze.emplace_back(nazwa);
        }
        RegCloseKey(k);
        for (const auto& p : podklucze) Rejestr(korzen, klucz + L"\\" + p, prefiks, stan);
    }
    Stan Zrzut() const {
        Stan stan;
        Katalog(cel_, L"cel:", stan);
        Katalog(grupa_, L"grupa:", stan);
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        Katalog(std::wstring(windows) + L"\\Fonts\\Stedt.ttf", L"czcionka:", stan);
        for (HKEY korzen : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            const std::wstring prefiks = korzen == HKEY_CURRENT_USER ? L"HKCU\\" : L"HKLM\\";
            Rejestr(korzen, L"SOFTWARE\\Zelpax", prefiks, stan);
            Rejestr(korzen, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\EngVelt", prefiks, stan);
        }
        wchar_t czcionka[MAX_PATH] = {};
        DWORD rozmiar = sizeof(czcionka);
        if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", L"STEDT",
                         RRF_RT_REG_SZ, nullptr, czcionka, &rozmiar) == ERROR_SUCCESS)
            stan[L"font value"] = std::string(czcionka, czcionka + wcslen(czcionka));
        return stan;
    }
    static void Roznice(const Stan& przed, const Stan& po) {
        for (const auto& [k, v] : przed)
            if (!po.count(k) || po.at(k) != v) ADD_FAILURE() << "changed or gone: " << std::string(k.begin(), k.end());
        for (const auto& [k, v] : po)
            if (!przed.count(k)) ADD_FAILURE() << "left behind: " << std::string(k.begin(), k.end());
    }
    // The target as an earlier installation left it: every file of the medium
    // in an older version, and a file of the user's own.
    void StaraInstalacja() {
        ASSERT_TRUE(CreateDirectoryW(cel_.c_str(), nullptr));
        for (const auto& [sciezka, tresc] : medium_) {
            for (std::size_t p = sciezka.find(L'\\'); p != std::wstring::npos; p = sciezka.find(L'\\', p + 1))
                CreateDirectoryW((cel_ + L"\\" + sciezka.substr(0, p)).c_str(), nullptr);
            Zapisz(cel_ + L"\\" + sciezka, "stara wersja " + std::to_string(tresc.size()));
        }
        Zapisz(cel_ + L"\\moje notatki.txt", "notatki");
    }
    static void Zapisz(const std::wstring& plik, const std::string& tresc) {
        HANDLE h = CreateFileW(plik.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD zapisane = 0;
        WriteFile(h, tresc.data(), static_cast<DWORD>(tresc.size()), &zapisane, nullptr);
        CloseHandle(h);
    }
    bool JestDziennik() const { return GetFileAttributesW(dziennik_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // Whether Everyone, Users, Authenticated Users or the creator of an entry
    // made inside may change `sciezka`.
    static bool ZwykliMogaZmienic(const std::wstring& sciezka) {
        PSECURITY_DESCRIPTOR sd = nullptr;
        PACL dacl = nullptr;
        if (GetNamedSecurityInfoW(sciezka.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                  nullptr, &sd) != ERROR_SUCCESS)
            return true;
        bool moga = !dacl;
        for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
            void* ace = nullptr;
            if (!GetAce(dacl, i, &ace) || static_cast<ACE_HEADER*>(ace)->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
            const auto* dozwolony = static_cast<ACCESS_ALLOWED_ACE*>(ace);
            LPWSTR sid = nullptr;
            if (!ConvertSidToStringSidW(const_cast<DWORD*>(&dozwolony->SidStart), &sid)) continue;
            const std::wstring s = sid;
            LocalFree(sid);
            if ((s == L"S-1-1-0" || s == L"S-1-5-32-545" || s == L"S-1-5-11" || s == L"S-1-3-0") &&
                (dozwolony->Mask & (FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                    WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL)))
                moga = true;
        }
        LocalFree(sd);
        return moga;
    }
    bool JestKopia() const { return !Kopia().empty(); }
    // A backup of the target's (relative, lower case), or empty.
    std::wstring Kopia() const {
        Stan stan;
        Katalog(cel_, L"", stan);
        for (const auto& [k, v] : stan)
            if (k.find(L".velt-kopia") != std::wstring::npos) return k;
        return {};
    }
    // The run stopped by the kill once the registry step's last value is
    // there, whose key goes first.
    bool ZatrzymajPoRejestrze() {
        const wchar_t* ostatni = L"SOFTWARE\\Zelpax\\EngVelt\\VeltFile";
        RegDeleteKeyW(HKEY_CURRENT_USER, ostatni);
        return Zatrzymaj([&] {
            HKEY k = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, ostatni, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
            RegCloseKey(k);
            return true;
        });
    }
    // The wizard walked from the options page to the end page; its text.
    static std::wstring ZainstalujDoKonca(HWND okno) {
        Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
        HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
        Czekaj([&] { return Tekst(krok) == L"Krok 5 z 5: Koniec instalacji"; }, 60s);
        return Tekst(ZnajdzKontrolke(okno, L"lblKoniec"));
    }
    // The run starts and stops at the cancel question, which the Cancel
    // click right behind Next meets after the first entry of the copy.
    HWND DoPytania() {
        HWND okno = DoOpcji();
        if (!okno) return nullptr;
        Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
        Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
        return CzekajNaOkno(L"frmPytanie", 60s);
    }
    // The run starts and is held (its thread suspended) as soon as `warunek`
    // holds, watched without pause, as the steps take milliseconds.
    bool Zatrzymaj(const std::function<bool()>& warunek) {
        HWND okno = DoOpcji();
        if (!okno) return false;
        HANDLE watek = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(okno, nullptr));
        if (!watek) return false;
        Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
        bool jest = false;
        for (const auto start = std::chrono::steady_clock::now();
             !jest && std::chrono::steady_clock::now() - start < 60s;)
            jest = warunek();
        SuspendThread(watek);
        CloseHandle(watek);
        return jest;
    }
    // The main program written whole and closed: the size is reached before
    // the writer lets go, and a run held in between keeps it locked.
    bool ProgramZapisany() const {
        const std::wstring sciezka = cel_ + L"\\VeltEn.exe";
        WIN32_FILE_ATTRIBUTE_DATA dane;
        if (!GetFileAttributesExW(sciezka.c_str(), GetFileExInfoStandard, &dane) ||
            dane.nFileSizeLow != rozmiarProgramu_)
            return false;
        HANDLE plik = CreateFileW(sciezka.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (plik == INVALID_HANDLE_VALUE) return false;
        CloseHandle(plik);
        return true;
    }
    // The next start: the question comes before anything else; then the CD.
    void Odzyskaj(bool tak) {
        ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\""));
        HWND pytanie = CzekajNaOkno(L"frmPytanie");
        ASSERT_TRUE(pytanie);
        // Under emulation the window may show a moment before its text.
        const std::wstring oczekiwane =
            L"Poprzednia instalacja nie zosta\u0142a doko\u0144czona. Czy cofn\u0105\u0107 zmiany, kt\u00f3re "
            L"zd\u0105\u017cy\u0142a wprowadzi\u0107?";
        HWND tekst = ZnajdzKontrolke(pytanie, L"lblPytanie");
        std::wstring widac;
        EXPECT_TRUE(Czekaj([&] { return (widac = Tekst(tekst)) == oczekiwane; }))
            << std::string(widac.begin(), widac.end());
        Kliknij(ZnajdzKontrolke(pytanie, tak ? L"btnTak" : L"btnNie"));
        // The wizard goes on as usual.
        ASSERT_TRUE(CzekajNaOkno(L"frmCD", 60s));
        EXPECT_FALSE(JestDziennik());
        ZamknijKreator();
    }

    std::wstring cel_, grupa_, dziennik_;
    std::map<std::wstring, std::string> medium_;
    DWORD rozmiarProgramu_ = 0;
};

TEST_F(Przerwana, KilledRunIsUndoneAtTheNextStart) {
    {
        SCOPED_TRACE("killed during the copy, just after a file of the user's was set aside");
        StaraInstalacja();
        const Stan przed = Zrzut();
        ASSERT_TRUE(DoPytania());
        EXPECT_TRUE(JestKopia()) << "the replaced file waits under its backup name";
        EXPECT_TRUE(JestDziennik());
        ZamknijKreator();
        Odzyskaj(true);
        Roznice(przed, Zrzut());
        ASSERT_TRUE(UsunDrzewo(cel_));
    }
    {
        SCOPED_TRACE("killed right after the main program was written");
        const Stan przed = Zrzut();
        ASSERT_TRUE(Zatrzymaj([&] { return ProgramZapisany(); }));
        EXPECT_TRUE(Zawartosc(cel_ + L"\\VeltEn.exe") == Zawartosc(Srodowisko(L"VELT_MAIN_PROGRAM")));
        EXPECT_TRUE(JestDziennik());
        ZamknijKreator();
        Odzyskaj(true);
        Roznice(przed, Zrzut());
        EXPECT_EQ(GetFileAttributesW(cel_.c_str()), INVALID_FILE_ATTRIBUTES) << "the folder the run made is gone";
    }
    {
        SCOPED_TRACE("killed after the copy; a file of the run's rewritten in place since stays");
        const Stan przed = Zrzut();
        ASSERT_TRUE(Zatrzymaj([&] { return ProgramZapisany(); }));
        ZamknijKreator();
        // Written over in place, as an editor saves: the same file, of the
        // same number, with content no longer the run's.
        const std::wstring plik = medium_.rbegin()->first;
        Zapisz(cel_ + L"\\" + plik, "moje zmiany");
        const Stan zabita = Zrzut();
        Odzyskaj(true);
        // A file skipped tells that another installation may have come: the
        // font, shared with it, stays if the run got that far.
        Stan oczekiwany = przed;
        for (const auto& [k, v] : zabita)
            if (k.rfind(L"czcionka:", 0) == 0 || k == L"font value") oczekiwany[k] = v;
        oczekiwany[L"cel:"] = "<folder>";
        for (std::size_t p = plik.find(L'\\'); p != std::wstring::npos; p = plik.find(L'\\', p + 1))
            oczekiwany[L"cel:" + plik.substr(0, p + 1)] = "<folder>";
        oczekiwany[L"cel:" + plik] = "moje zmiany";
        Roznice(oczekiwany, Zrzut());
        ASSERT_TRUE(UsunDrzewo(cel_));
    }
    {
        SCOPED_TRACE("killed after the links and the registry values");
        RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\Zelpax\\EngVelt\\VeltFile");
        const Stan przed = Zrzut();
        ASSERT_TRUE(ZatrzymajPoRejestrze());
        EXPECT_EQ(LiczbaPlikow(grupa_, L"*.lnk"), 9);
        EXPECT_EQ(Liczba(HKEY_CURRENT_USER, kDeinstalacja, L"NoRepair"), 1u) << "the whole entry, for the undo to take";
        ASSERT_TRUE(JestDziennik()) << "the run had ended before the kill";
        ZamknijKreator();
        Odzyskaj(true);
        Roznice(przed, Zrzut());
    }
    {
        SCOPED_TRACE("answered No: the installed files stay, the backups go");
        StaraInstalacja();
        ASSERT_TRUE(Zatrzymaj([&] { return ProgramZapisany(); }));
        ZamknijKreator();
        Odzyskaj(false);
        EXPECT_FALSE(JestKopia());
        EXPECT_TRUE(Zawartosc(cel_ + L"\\VeltEn.exe") == Zawartosc(Srodowisko(L"VELT_MAIN_PROGRAM")));
        Stan po;
        Katalog(cel_, L"", po);
        EXPECT_EQ(po[L"moje notatki.txt"], "notatki");
        int nowe = 0;
        for (const auto& [sciezka, tresc] : medium_) {
            ASSERT_TRUE(po.count(sciezka));
            if (po[sciezka] == tresc) ++nowe;
            else EXPECT_EQ(po[sciezka], "stara wersja " + std::to_string(tresc.size()));
        }
        EXPECT_EQ(nowe, static_cast<int>(medium_.size())) << "the copy had finished before the main program";
    }
    {
        SCOPED_TRACE("answered No after a kill between setting a file aside and putting its successor in place");
        ASSERT_TRUE(UsunDrzewo(cel_));
        StaraInstalacja();
        ASSERT_TRUE(Zatrzymaj([&] { return ProgramZapisany(); }));
        ZamknijKreator();
        // The moment between the two renames: the backup is there, the file
        // is not.
        const std::wstring readme = cel_ + L"\\readme.txt";
        ASSERT_NE(GetFileAttributesW((readme + L".velt-kopia").c_str()), INVALID_FILE_ATTRIBUTES);
        ASSERT_TRUE(DeleteFileW(readme.c_str()));
        Odzyskaj(false);
        EXPECT_EQ(Zawartosc(readme), "stara wersja " + std::to_string(medium_.at(L"readme.txt").size()))
            << "the only good copy comes back";
        EXPECT_FALSE(JestKopia());
    }
}

// The wizard runs elevated, while any user may plant a journal in a folder
// that lets them write: such a journal, however real its records, is never
// replayed. The next start asks nothing, leaves everything it names as it
// is, sets it aside and keeps the folder for administrators.
TEST_F(Przerwana, JournalOthersCouldWriteIsNeverReplayed) {
    for (const bool katalog : {true, false}) {
        SCOPED_TRACE(katalog ? "in a folder everyone may write to" : "a journal everyone may write to");
        ASSERT_TRUE(UsunDrzewo(cel_));
        ASSERT_TRUE(Zatrzymaj([&] { return ProgramZapisany(); }));
        ZamknijKreator();
        ASSERT_TRUE(JestDziennik());
        // The killed copy's clean-up runs in the journal folder for a moment
        // after it; a folder in use cannot go aside (the next start would).
        ASSERT_TRUE(Czekaj([&] { return MoznaPrzeniesc(KatalogDziennikow()); }, 30s));
        ASSERT_TRUE(katalog ? OtworzDlaWszystkich(KatalogDziennikow(), L"D:(A;OICI;FA;;;WD)(A;OICI;FA;;;BU)")
                            : OtworzDlaWszystkich(dziennik_, L"D:(A;;FA;;;WD)(A;;FA;;;BU)"));
        ASSERT_TRUE(ZwykliMogaZmienic(katalog ? KatalogDziennikow() : dziennik_));
        const Stan przed = Zrzut();
        ASSERT_TRUE(przed.count(L"cel:velten.exe"));

        ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\""));
        ASSERT_TRUE(CzekajNaOkno(L"frmCD", 60s));
        EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr);
        ZamknijKreator();
        Roznice(przed, Zrzut());
        EXPECT_FALSE(JestDziennik());
        // The folder goes aside whole, never taken back in place (whoever
        // made it may hold it open), and a new one is made.
        const std::wstring odlozony = katalog ? KatalogDziennikow() + L".niezaufany\\instal.dzn" : dziennik_ + L".niezaufany";
        EXPECT_TRUE(DeleteFileW(odlozony.c_str())) << "set aside for an administrator";
        if (katalog) {
            // Earlier tests' killed copies may have left their folders in it.
            EXPECT_TRUE(UsunDrzewo(KatalogDziennikow() + L".niezaufany"));
        }
        EXPECT_FALSE(ZwykliMogaZmienic(KatalogDziennikow()));
    }
}

TEST_F(Przerwana, AnotherInstallationIntoTheSameFolderIsNeverUndone) {
    // The first run installs the font (an earlier test's goes first) and dies
    // after its links and registry values.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    DeleteFileW((std::wstring(windows) + L"\\Fonts\\Stedt.ttf").c_str());
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", L"STEDT");
    ASSERT_TRUE(ZatrzymajPoRejestrze());
    ZamknijKreator();
    ASSERT_TRUE(JestDziennik());

    // The next start asks; Esc puts the question off, the wizard goes on and
    // installs into the same folder (as another user or another edition
    // sharing the folder would).
    ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\""));
    HWND pytanie = CzekajNaOkno(L"frmPytanie");
    ASSERT_TRUE(pytanie);
    Klawisz(ZnajdzKontrolke(pytanie, L"btnTak"), VK_ESCAPE);
    HWND okno = OdCD();
    ASSERT_TRUE(okno) << "the wizard goes on after the question is put off";
    EXPECT_EQ(ZainstalujDoKonca(okno).rfind(L"Instalacja zosta\u0142a pomy\u015blnie zako\u0144czona.", 0), 0u);
    ZamknijKreator();
    EXPECT_TRUE(JestDziennik()) << "the journal put off waits for the next start";
    const Stan poDrugiej = Zrzut();
    EXPECT_EQ(LiczbaPlikow(grupa_, L"*.lnk"), 9);

    // The next start asks again, and Yes undoes the first run: nothing of
    // the second installation is lost, the font and the values it shares
    // included.
    Odzyskaj(true);
    Roznice(poDrugiej, Zrzut());
}

TEST_F(Przerwana, RestoreBlockedByAnOpenFileIsFinishedAtTheNextStart) {
    StaraInstalacja();
    const Stan przed = Zrzut();
    HWND pytanie = DoPytania();
    ASSERT_TRUE(pytanie);
    // The file the run has just put in place of the user's, held open (a
    // scanner, or the program just started) without leave to replace it.
    const std::wstring kopia = Kopia();
    ASSERT_FALSE(kopia.empty());
    const std::wstring plik = cel_ + L"\\" + kopia.substr(0, kopia.find(L".velt-kopia"));
    HANDLE otwarty = CreateFileW(plik.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(otwarty, INVALID_HANDLE_VALUE);
    Kliknij(ZnajdzKontrolke(pytanie, L"btnTak"));
    HWND okno = ZnajdzOkno(L"frmMain");
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    ASSERT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 5 z 5: Koniec instalacji"; }, 60s));
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"lblKoniec")),
              L"Instalacja zosta\u0142a przerwana na \u017cyczenie u\u017cytkownika.\r\n\r\n"
              L"Nie wszystkie zmiany uda\u0142o si\u0119 cofn\u0105\u0107, bo niekt\u00f3re pliki by\u0142y w "
              L"u\u017cyciu; instalator doko\u0144czy to przy nast\u0119pnym uruchomieniu.");
    EXPECT_TRUE(JestKopia()) << "the user's file waits under its backup name";
    EXPECT_TRUE(JestDziennik()) << "the step that failed stays in the journal";
    CloseHandle(otwarty);
    ZamknijKreator();

    // The next start finishes the undo without asking, then goes on.
    ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\""));
    ASSERT_TRUE(CzekajNaOkno(L"frmCD", 60s));
    EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr);
    EXPECT_FALSE(JestDziennik());
    ZamknijKreator();
    Roznice(przed, Zrzut());
}

}  // namespace
