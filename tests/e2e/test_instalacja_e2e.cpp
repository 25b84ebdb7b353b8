// The installation run as a user meets it: from the options page to the end
// page, on the demo CD in drive D:, into the default target folder.

#include "Okna.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
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

// A folder of the Explorer "Shell Folders" key.
std::wstring FolderPowloki(HKEY korzen, const wchar_t* nazwa) {
    wchar_t bufor[MAX_PATH] = {};
    DWORD rozmiar = sizeof(bufor);
    RegGetValueW(korzen, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", nazwa,
                 RRF_RT_REG_SZ, nullptr, bufor, &rozmiar);
    return bufor;
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
        Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
        if (przerwij) Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
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
    EXPECT_EQ(Tekst(wymagane), L"Miejsce potrzebne do instalacji: " + Megabajty(Rozmiar(medium) + 2100000));
    HWND slownikiOpcja = ZnajdzKontrolke(okno, L"chbInstalujSlowniki");
    Kliknij(slownikiOpcja);
    EXPECT_TRUE(Czekaj([&] {
        return Tekst(wymagane) ==
               L"Miejsce potrzebne do instalacji: " + Megabajty(Rozmiar(medium) - Rozmiar(slowniki) + 2100000);
    })) << Tekst(wymagane).c_str();
    Kliknij(slownikiOpcja);
    EXPECT_TRUE(Czekaj([&] { return Zaznaczona(slownikiOpcja); }));

    Instaluj(okno, false);
    EXPECT_EQ(KoniecTekst(okno).rfind(kSukces, 0), 0u) << KoniecTekst(okno).c_str();
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
    HWND pytanie = CzekajNaOkno(L"frmPytanie");
    ASSERT_TRUE(pytanie);
    Kliknij(ZnajdzKontrolke(pytanie, L"btnTak"));
    EXPECT_EQ(KoniecTekst(okno), kPrzerwana);
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"btnZamknij")), L"Zako\u0144cz");

    std::map<std::wstring, std::string> jest;
    Drzewo(cel_, L"", {}, jest);
    EXPECT_EQ(jest.size(), 2u) << "only what was there before";
    EXPECT_EQ(jest[L"readme.txt"], "stara wersja");
    EXPECT_EQ(jest[L"moje notatki.txt"], "notatki");
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
    Instaluj(okno, false);
    ASSERT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 4 z 5: Instalacja"; }));

    // Alt+F4 while the copy runs: the window stays and the question comes at
    // the next file. No goes on; Yes is given once the old main program has
    // been replaced (its name on the page, or the file lines emptied after it).
    bool pierwsze = true, potwierdzone = false;
    while (!potwierdzone) {
        ASSERT_EQ(Tekst(krok), L"Krok 4 z 5: Instalacja") << "the run ended before the main program was undone";
        ZamknijJakSystem(okno);
        HWND pytanie = CzekajNaOkno(L"frmPytanie", 30s);
        ASSERT_TRUE(pytanie) << "no question after a close request during the copy";
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
        Kliknij(ZnajdzKontrolke(pytanie, potwierdzone ? L"btnTak" : L"btnNie"));
        ASSERT_TRUE(Czekaj([&] { return !IsWindowVisible(pytanie); }));
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
    HWND pytanie = CzekajNaOkno(L"frmPytanie");
    ASSERT_TRUE(pytanie);
    Kliknij(ZnajdzKontrolke(pytanie, L"btnNie"));
    EXPECT_EQ(KoniecTekst(okno).rfind(kSukces, 0), 0u);
    EXPECT_NE(GetFileAttributesW((cel_ + L"\\VeltEn.exe").c_str()), INVALID_FILE_ATTRIBUTES);
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
    HWND pytanie = CzekajNaOkno(L"frmPytanie");
    ASSERT_TRUE(pytanie);
    EXPECT_EQ(Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie")).rfind(L"We wskazanej lokalizacji jest zbyt ma\u0142o miejsca", 0),
              0u);
    Kliknij(ZnajdzKontrolke(pytanie, L"btnNie"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindowVisible(pytanie); }));
    EXPECT_EQ(Tekst(krok), L"Krok 3 z 5: Opcje instalacji");
    EXPECT_EQ(GetFileAttributesW(cel_.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing is left behind";

    // Yes goes on; the disk fills up and the run ends with the error text.
    Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
    pytanie = CzekajNaOkno(L"frmPytanie");
    ASSERT_TRUE(pytanie);
    Kliknij(ZnajdzKontrolke(pytanie, L"btnTak"));
    ASSERT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 5 z 5: Koniec instalacji"; }, 60s));
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"lblKoniec")).rfind(kBlad, 0), 0u);
    EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr) << "no message box";
}

}  // namespace

namespace {

// Needs the medium with an unreadable file that tests/e2e/nieczytelny makes.
TEST(Nieczytelny, UnreadableSourceEndsWithAnErrorAndKeepsWhatWasCopied) {
    if (Srodowisko(L"VELT_NIECZYTELNY").empty()) GTEST_SKIP() << "run through tests/e2e/nieczytelny";
    const std::wstring cel = DomyslnyCel();
    HWND okno = DoOpcji();
    ASSERT_TRUE(okno);
    Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    ASSERT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 5 z 5: Koniec instalacji"; }, 60s));
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"lblKoniec")).rfind(kBlad, 0), 0u);
    EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr) << "no message box";
    // What was copied before the failure stays; the shortcuts never came.
    std::map<std::wstring, std::string> jest;
    Drzewo(cel, L"", {}, jest);
    EXPECT_FALSE(jest.empty());
    EXPECT_EQ(LiczbaPlikow(FolderPowloki(HKEY_CURRENT_USER, L"Programs") + L"\\Translator Velt 1.5", L"*.lnk"), 0);
    ZamknijKreator();
}

}  // namespace
