// The wizard as a user meets it: started from the demo CD in drive D:, it
// relaunches from the temporary folder, asks for the CD, and walks its pages.

#include "Okna.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

using namespace e2e;

namespace {

// The image path of the process that owns a window.
std::wstring ProgramOkna(HWND okno) {
    DWORD pid = 0;
    GetWindowThreadProcessId(okno, &pid);
    HANDLE proces = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!proces) return {};
    wchar_t sciezka[MAX_PATH] = {};
    DWORD rozmiar = MAX_PATH;
    using Zapytanie = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    auto zapytaj = reinterpret_cast<Zapytanie>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
    std::wstring wynik;
    if (zapytaj && zapytaj(proces, 0, sciezka, &rozmiar)) wynik.assign(sciezka, rozmiar);
    CloseHandle(proces);
    return wynik;
}

std::wstring Male(std::wstring s) {
    CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::wstring FolderTymczasowy() {
    wchar_t bufor[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, bufor);
    wchar_t dlugi[MAX_PATH + 1] = {};
    GetLongPathNameW(bufor, dlugi, MAX_PATH + 1);
    return dlugi;
}

std::wstring Srodowisko(const wchar_t* nazwa) {
    wchar_t bufor[MAX_PATH * 2] = {};
    const DWORD n = GetEnvironmentVariableW(nazwa, bufor, MAX_PATH * 2);
    std::wstring wynik(bufor, n < MAX_PATH * 2 ? n : 0);
    wchar_t dlugi[MAX_PATH * 2] = {};
    const DWORD d = GetLongPathNameW(wynik.c_str(), dlugi, MAX_PATH * 2);
    return d > 0 && d < MAX_PATH * 2 ? std::wstring(dlugi, d) : wynik;
}

// Whether `program` (in lower case) lies in a folder of a relaunch's own
// ("velt" and 16 hexadecimal digits) in the journals' folder.
bool WFolderzeKopii(const std::wstring& program) {
    const std::wstring folder = Male(KatalogDziennikow()) + L"\\velt";
    if (program.rfind(folder, 0) != 0) return false;
    const std::wstring reszta = program.substr(folder.size());
    return reszta.size() > 17 && reszta[16] == L'\\' &&
           reszta.find_first_not_of(L"0123456789abcdef") == 16;
}

DWORD Znacznik() {
    DWORD wartosc = 99, rozmiar = sizeof(wartosc);
    if (RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Zelpax\\EngVelt", L"InstallationInProgress", RRF_RT_REG_DWORD,
                     nullptr, &wartosc, &rozmiar) != ERROR_SUCCESS)
        return 98;
    return wartosc;
}

class Kreator : public ::testing::Test {
protected:
    void TearDown() override { ZamknijKreator(); }
};

TEST_F(Kreator, WalksFromTheCdToTheOptionsPage) {
    ASSERT_EQ(GetDriveTypeW(L"D:\\"), static_cast<UINT>(DRIVE_CDROM)) << "the demo CD is not mapped";
    ASSERT_TRUE(UsunDrzewo(DomyslnyCel()));
    ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\""));

    // The copy asks for the CD before any page. It runs elevated, so from a
    // folder of its own that only administrators may change, never from the
    // user's Temp or profile.
    HWND cd = CzekajNaOkno(L"frmCD");
    ASSERT_TRUE(cd) << "no CD dialog";
    EXPECT_EQ(ZnajdzOkno(L"frmMain"), nullptr);
    const std::wstring program = Male(ProgramOkna(cd));
    EXPECT_TRUE(WFolderzeKopii(program)) << program.c_str();
    EXPECT_NE(program.rfind(Male(FolderTymczasowy()), 0), 0u) << "runs from the temporary folder: " << program.c_str();
    EXPECT_NE(program.rfind(Male(Srodowisko(L"USERPROFILE")) + L"\\", 0), 0u) << program.c_str();
    EXPECT_NE(program.find(L"instal.exe"), std::wstring::npos);
    // The dialog may show before the drive list reaches its window.
    HWND napedy = ZnajdzKontrolke(cd, L"cmbDrive");
    EXPECT_TRUE(Czekaj([&] { return Tekst(napedy) == L"D:\\"; })) << Tekst(napedy).c_str();
    EXPECT_EQ(Znacznik(), 1u);
    Kliknij(ZnajdzKontrolke(cd, L"btnOK"));

    HWND okno = CzekajNaOkno(L"frmMain");
    ASSERT_TRUE(okno);
    const std::wstring tytul = L"Velt 1.5 Translator angielsko-polski";
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 1 z 5: Wst\u0119p"; })) << Tekst(krok).c_str();
    EXPECT_EQ(Tekst(okno), tytul + L" - Instalator");
    EXPECT_FALSE(Widoczna(ZnajdzKontrolke(okno, L"btnNiemiecki")));

    // Alt+F4 asks as the Close button does; No keeps the wizard as it was.
    ZamknijJakSystem(okno);
    HWND pytanie = CzekajNaOkno(L"frmPytanie");
    ASSERT_TRUE(pytanie) << "closed without a question";
    EXPECT_EQ(Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie")),
              L"Instalacja nie zosta\u0142a zako\u0144czona. Czy chcesz przerwa\u0107 instalacj\u0119 ?");
    Kliknij(ZnajdzKontrolke(pytanie, L"btnNie"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindowVisible(pytanie); }));
    EXPECT_TRUE(Widoczna(okno));
    EXPECT_EQ(Tekst(krok), L"Krok 1 z 5: Wst\u0119p");

    // English, then the agreement in English.
    Kliknij(ZnajdzKontrolke(okno, L"btnAngielski"));
    EXPECT_TRUE(Czekaj([&] { return Tekst(okno) == tytul + L" - Installer"; })) << Tekst(okno).c_str();
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"btnZamknij")), L"Close");
    HWND dalej = ZnajdzKontrolke(okno, L"btnDalej");
    Kliknij(dalej);
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Step 2 of 5: Licence agreement"; })) << Tekst(krok).c_str();
    HWND umowa = ZnajdzKontrolke(okno, L"redUmowa");
    // The English file, not the Polish one.
    EXPECT_TRUE(Czekaj([&] { return Tekst(umowa).find(L"END USER LICENCE AGREEMENT") != std::wstring::npos; }))
        << Tekst(umowa).substr(0, 80).c_str();
    EXPECT_EQ(Tekst(umowa).find(L"UMOWA LICENCYJNA"), std::wstring::npos);
    EXPECT_FALSE(Dostepna(dalej));

    // Back to Polish: the Polish agreement shows its letters whatever the
    // system code page.
    Kliknij(ZnajdzKontrolke(okno, L"btnWstecz"));
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Step 1 of 5: Intro"; }));
    Kliknij(ZnajdzKontrolke(okno, L"btnPolski"));
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 1 z 5: Wst\u0119p"; }));
    Kliknij(dalej);
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 2 z 5: Umowa licencyjna"; }));
    EXPECT_TRUE(Czekaj([&] {
        const std::wstring t = Tekst(umowa);
        return t.find(L'\u0142') != std::wstring::npos && t.find(L'\u0105') != std::wstring::npos;
    })) << "Polish letters in the agreement";
    EXPECT_NE(Tekst(umowa).find(L"UMOWA LICENCYJNA"), std::wstring::npos);
    EXPECT_EQ(Tekst(umowa).find(L"END USER"), std::wstring::npos);

    Kliknij(ZnajdzKontrolke(okno, L"rdbUmowaAkceptuje"));
    EXPECT_TRUE(Czekaj([&] { return Dostepna(dalej); }));
    Kliknij(dalej);
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 3 z 5: Opcje instalacji"; }));
    const std::wstring katalog = Tekst(ZnajdzKontrolke(okno, L"lblKatalog"));
    EXPECT_NE(katalog.find(L"\\VeltAng"), std::wstring::npos) << katalog.c_str();
    EXPECT_EQ(Tekst(ZnajdzKontrolke(okno, L"lblMiejsceWymagane")).rfind(L"Miejsce potrzebne do instalacji: ", 0), 0u);

    // A folder typed without its drive is refused and nothing is made (it
    // would land in the copy's current folder, the temporary one).
    HWND lblKatalog = ZnajdzKontrolke(okno, L"lblKatalog");
    const auto wpisz = [&](const std::wstring& tekst) {
        Kliknij(ZnajdzKontrolke(okno, L"btnKatalog"));
        HWND wybor = CzekajNaOkno(L"frmKatalog");
        ASSERT_TRUE(wybor);
        SendMessageW(ZnajdzKontrolke(wybor, L"edtKatalog"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tekst.c_str()));
        Kliknij(ZnajdzKontrolke(wybor, L"btnOK"));
        EXPECT_TRUE(Czekaj([&] { return !IsWindowVisible(wybor); }));
    };
    wpisz(L"VeltTest");
    ASSERT_TRUE(Czekaj([&] { return Tekst(lblKatalog) == L"VeltTest"; })) << Tekst(lblKatalog).c_str();
    Kliknij(dalej);
    pytanie = CzekajNaOkno(L"frmPytanie");
    ASSERT_TRUE(pytanie);
    EXPECT_EQ(Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie")),
              L"Nie mo\u017cna utworzy\u0107 katalogu \"VeltTest\".\r\nWybierz inny katalog.");
    Kliknij(ZnajdzKontrolke(pytanie, L"btnTak"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindowVisible(pytanie); }));
    EXPECT_EQ(Tekst(krok), L"Krok 3 z 5: Opcje instalacji");
    for (const std::wstring& gdzie : {FolderTymczasowy() + L"VeltTest", std::wstring(L"C:\\VeltTest")})
        EXPECT_EQ(GetFileAttributesW(gdzie.c_str()), INVALID_FILE_ATTRIBUTES) << "made: " << gdzie.c_str();
    // A trailing backslash goes.
    wpisz(katalog + L"\\");
    EXPECT_TRUE(Czekaj([&] { return Tekst(lblKatalog) == katalog; })) << Tekst(lblKatalog).c_str();

    // Back from the options page creates nothing.
    Kliknij(ZnajdzKontrolke(okno, L"btnWstecz"));
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 2 z 5: Umowa licencyjna"; }));
    EXPECT_EQ(GetFileAttributesW(DomyslnyCel().c_str()), INVALID_FILE_ATTRIBUTES);

    // Enter is Next; Esc is Close, and Esc answers its question No.
    Klawisz(ZnajdzKontrolke(okno, L"rdbUmowaAkceptuje"), VK_RETURN);
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 3 z 5: Opcje instalacji"; })) << Tekst(krok).c_str();
    Klawisz(ZnajdzKontrolke(okno, L"chbUtworzGrupe"), VK_ESCAPE);
    HWND pytanieEsc = CzekajNaOkno(L"frmPytanie");
    ASSERT_TRUE(pytanieEsc) << "Esc asks as Close does";
    Klawisz(ZnajdzKontrolke(pytanieEsc, L"btnTak"), VK_ESCAPE);
    EXPECT_TRUE(Czekaj([&] { return !Widoczna(pytanieEsc); }));
    EXPECT_TRUE(IsWindow(okno));
    EXPECT_EQ(Tekst(krok), L"Krok 3 z 5: Opcje instalacji");
    Kliknij(ZnajdzKontrolke(okno, L"btnWstecz"));
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 2 z 5: Umowa licencyjna"; }));

    // Close asks first; Yes ends the wizard and clears the marker.
    Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
    pytanie = CzekajNaOkno(L"frmPytanie");
    ASSERT_TRUE(pytanie);
    EXPECT_EQ(Tekst(ZnajdzKontrolke(pytanie, L"lblPytanie")),
              L"Instalacja nie zosta\u0142a zako\u0144czona. Czy chcesz przerwa\u0107 instalacj\u0119 ?");
    // Enter answers Yes.
    Klawisz(ZnajdzKontrolke(pytanie, L"btnTak"), VK_RETURN);
    EXPECT_TRUE(Czekaj([&] { return !IsWindow(okno); }));
    EXPECT_TRUE(Czekaj([] { return Znacznik() == 0; }));

    // The hidden batch removes the copy once it has ended, and the folder of
    // its own that the run made for it.
    EXPECT_TRUE(Czekaj([&] { return GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30s))
        << "the temporary copy stays behind";
    const std::wstring folderKopii = program.substr(0, program.find_last_of(L'\\'));
    EXPECT_TRUE(Czekaj([&] { return GetFileAttributesW(folderKopii.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30s))
        << "the copy's folder stays behind: " << folderKopii.c_str();
}

// Every page and dialog, and a silent run, of a wizard that runs in place
// from a folder where DLLs named as the system's lie beside it:
// tests/e2e/przynety plants them, names the folder in VELT_PRZYNETY and then
// looks whether any was loaded.
TEST_F(Kreator, EveryPageAndDialogBesidePlantedDlls) {
    wchar_t katalog[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VELT_PRZYNETY", katalog, MAX_PATH)) GTEST_SKIP() << "run by tests/e2e/przynety";
    const std::wstring program = std::wstring(katalog) + L"\\instal.exe";
    ASSERT_TRUE(UsunDrzewo(DomyslnyCel()));
    ASSERT_TRUE(Uruchom(L"\"" + program + L"\""));
    HWND okno = OdCD();  // the CD dialog, the intro, the agreement, the options
    ASSERT_TRUE(okno);
    EXPECT_EQ(Male(ProgramOkna(okno)), Male(program)) << "runs in place";

    // The button `przycisk` of `w` opens the dialog `dialog`, and `wyjscie`
    // closes it again; the folder chooser opens the new-folder dialog first.
    const auto dialog = [](HWND w, const wchar_t* przycisk, const wchar_t* nazwa, const wchar_t* wyjscie,
                           const std::function<void(HWND)>& wSrodku) {
        Kliknij(ZnajdzKontrolke(w, przycisk));
        HWND d = CzekajNaOkno(nazwa);
        ASSERT_TRUE(d) << std::wstring(nazwa).c_str();
        wSrodku(d);
        Kliknij(ZnajdzKontrolke(d, wyjscie));
        EXPECT_TRUE(Czekaj([&] { return !IsWindowVisible(d); }));
    };
    dialog(okno, L"btnKatalog", L"frmKatalog", L"btnAnuluj", [&](HWND wybor) {
        dialog(wybor, L"btnUtworz", L"frmKatalogDodaj", L"btnAnuluj", [](HWND) {});
    });
    dialog(okno, L"btnZamknij", L"frmPytanie", L"btnNie", [](HWND) {});

    // The installation, and the end page.
    Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    EXPECT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 5 z 5: Koniec instalacji"; }, 60s)) << Tekst(krok).c_str();
    Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindow(okno); }));

    // Silent, with its progress page.
    ASSERT_TRUE(UsunDrzewo(DomyslnyCel()));
    EXPECT_TRUE(UruchomIZaczekaj(L"\"" + program + L"\" /SILENT /SOURCE=D:\\", 120s));
    EXPECT_NE(GetFileAttributesW((DomyslnyCel() + L"\\VeltEn.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    UsunDrzewo(DomyslnyCel());
}

TEST_F(Kreator, CancelledCdDialogEndsTheWizard) {
    ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\" /DOIT"));  // not "/doit": still relaunches
    HWND cd = CzekajNaOkno(L"frmCD");
    ASSERT_TRUE(cd);
    EXPECT_TRUE(WFolderzeKopii(Male(ProgramOkna(cd))));
    Kliknij(ZnajdzKontrolke(cd, L"btnAnuluj"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindow(cd); }));
    EXPECT_EQ(ZnajdzOkno(L"frmMain"), nullptr);
    EXPECT_TRUE(Czekaj([] { return Znacznik() == 0; }));
}

struct Liczenie {
    const wchar_t* nazwa;
    int n;
};

BOOL CALLBACK PoliczOkno(HWND okno, LPARAM p) {
    auto* l = reinterpret_cast<Liczenie*>(p);
    if (IsWindowVisible(okno) && NazwaOkna(okno) == l->nazwa) ++l->n;
    return TRUE;
}

// Visible top-level windows of that name, of any process.
int LiczbaOkien(const wchar_t* nazwa) {
    Liczenie l{nazwa, 0};
    EnumWindows(PoliczOkno, reinterpret_cast<LPARAM>(&l));
    return l.n;
}

TEST_F(Kreator, SecondStartBringsTheRunningWizardForwardAndALogoffEndsIt) {
    const std::wstring log = L"C:\\kreator-log.txt";
    DeleteFileW(log.c_str());
    ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\" /LOG=" + log));
    HWND cd = CzekajNaOkno(L"frmCD");
    ASSERT_TRUE(cd);
    // A second start during the CD question shows nothing of its own, and
    // with the same log only adds its line to what the running wizard wrote.
    ASSERT_TRUE(UruchomIZaczekaj(L"\"D:\\instal.exe\" /LOG=" + log)) << "the second start did not end";
    EXPECT_EQ(LiczbaOkien(L"frmCD"), 1);
    // Read beside the wizard that still writes it.
    std::string zapis;
    if (HANDLE h = CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        h != INVALID_HANDLE_VALUE) {
        char bufor[65536];
        DWORD n = 0;
        while (ReadFile(h, bufor, sizeof bufor, &n, nullptr) && n > 0) zapis.append(bufor, n);
        CloseHandle(h);
    }
    EXPECT_NE(zapis.find("Handing over to a copy in "), std::string::npos) << zapis;
    EXPECT_NE(zapis.find("Another setup wizard is running on this computer"), std::string::npos) << zapis;
    // The window manager may take a moment to move the focus.
    EXPECT_TRUE(Czekaj([&] { return GetForegroundWindow() == cd; })) << "the running wizard is not in front";
    Kliknij(ZnajdzKontrolke(cd, L"btnOK"));
    HWND okno = CzekajNaOkno(L"frmMain");
    ASSERT_TRUE(okno);
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    ASSERT_TRUE(Czekaj([&] { return Tekst(krok) == L"Krok 1 z 5: Wst\u0119p"; }));
    // A start as the hand-over makes it ("/doit") is refused as well.
    ASSERT_TRUE(UruchomIZaczekaj(L"\"" + ProgramOkna(okno) + L"\" /doit"));
    EXPECT_EQ(LiczbaOkien(L"frmMain"), 1);
    EXPECT_EQ(LiczbaOkien(L"frmCD"), 0);
    EXPECT_TRUE(Czekaj([&] { return GetForegroundWindow() == okno; })) << "the running wizard is not in front";
    EXPECT_EQ(Znacznik(), 1u) << "the second start must leave the marker alone";

    // Outside the installation a logoff may go on: the wizard ends and
    // clears its marker.
    EXPECT_EQ(PytanieOWylogowanie(okno), 1);
    EXPECT_EQ(ZnajdzOkno(L"frmPytanie"), nullptr);
    KoniecSesji(okno);
    EXPECT_TRUE(Czekaj([&] { return !IsWindow(okno); }));
    EXPECT_TRUE(Czekaj([] { return Znacznik() == 0; }));

    // The next start is a wizard of its own again, even while the process of
    // the last one is still ending.
    ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\""));
    cd = CzekajNaOkno(L"frmCD");
    ASSERT_TRUE(cd);
    Kliknij(ZnajdzKontrolke(cd, L"btnAnuluj"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindow(cd); }));

    // The lock's name taken first by a program that is not an administrator's
    // keeps no wizard from starting: it is logged and ignored.
    HANDLE obcy = nullptr;
    ASSERT_TRUE(Czekaj([&] {
        obcy = CreateMutexW(nullptr, FALSE, L"Global\\Zelpax.Velt.Instalator");
        if (obcy && GetLastError() != ERROR_ALREADY_EXISTS) return true;
        if (obcy) CloseHandle(obcy);
        return false;
    })) << "the last wizard's lock stays";
    DeleteFileW(log.c_str());
    ASSERT_TRUE(Uruchom(L"\"D:\\instal.exe\" /LOG=" + log));
    cd = CzekajNaOkno(L"frmCD");
    EXPECT_TRUE(cd) << "a name taken by someone else stops the wizard";
    if (cd) {
        Kliknij(ZnajdzKontrolke(cd, L"btnAnuluj"));
        EXPECT_TRUE(Czekaj([&] { return !IsWindow(cd); }));
    }
    CloseHandle(obcy);
    EXPECT_TRUE(Czekaj([&] { return Zawartosc(log).find("Outcome: ") != std::string::npos; })) << Zawartosc(log);
    EXPECT_NE(Zawartosc(log).find("Warning: the name of the one-wizard lock (Zelpax.Velt.Instalator) is held by an "
                                  "object that no administrator made"),
              std::string::npos)
        << Zawartosc(log);
    DeleteFileW(log.c_str());
}

TEST_F(Kreator, RunsInPlaceFromAFixedDriveAndWhenTheCopyCannotBeWritten) {
    // From the hard disk: no copy, the wizard asks for the CD itself.
    const std::wstring katalog = L"C:\\velt-e2e-staly", program = katalog + L"\\instal.exe";
    CreateDirectoryW(katalog.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(L"D:\\instal.exe", program.c_str(), FALSE));
    SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(Uruchom(L"\"" + program + L"\""));
    HWND cd = CzekajNaOkno(L"frmCD");
    ASSERT_TRUE(cd);
    EXPECT_EQ(Male(ProgramOkna(cd)), Male(program));
    Kliknij(ZnajdzKontrolke(cd, L"btnAnuluj"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindow(cd); }));
    EXPECT_TRUE(Czekaj([&] { return DeleteFileW(program.c_str()) != FALSE; }));
    RemoveDirectoryW(katalog.c_str());

    // From the CD with no folder of the administrators' to take the copy
    // (the machine's application-data folder is missing): the wizard runs
    // from the CD instead of ending without a word, and its marker goes when
    // it ends. The user's temporary folder is never the fallback.
    const std::wstring dane = FolderPowloki(HKEY_LOCAL_MACHINE, L"Common AppData");
    ASSERT_FALSE(dane.empty());
    ASSERT_TRUE(UstawFolderPowloki(HKEY_LOCAL_MACHINE, L"Common AppData", L"C:\\velt-e2e-nie-ma\\dane"));
    const bool uruchomiony = Uruchom(L"\"D:\\instal.exe\"");
    cd = uruchomiony ? CzekajNaOkno(L"frmCD") : nullptr;
    ASSERT_TRUE(UstawFolderPowloki(HKEY_LOCAL_MACHINE, L"Common AppData", dane));
    ASSERT_TRUE(cd) << "the wizard ended without a window";
    EXPECT_EQ(Male(ProgramOkna(cd)), L"d:\\instal.exe");
    EXPECT_EQ(Znacznik(), 1u);
    EXPECT_EQ(GetFileAttributesW(L"C:\\velt-e2e-nie-ma"), INVALID_FILE_ATTRIBUTES);
    Kliknij(ZnajdzKontrolke(cd, L"btnAnuluj"));
    EXPECT_TRUE(Czekaj([&] { return !IsWindow(cd); }));
    EXPECT_TRUE(Czekaj([] { return Znacznik() == 0; })) << "the marker stays set";
}

}  // namespace
