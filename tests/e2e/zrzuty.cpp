// Walks the wizard through its pages and dialogs and saves a picture of the
// screen at each, for the README. Started by scripts/screenshots under Xvfb,
// with the demo CD in drive D:.
//   zrzuty FOLDER            pictures go to FOLDER as NN-name.bmp
//   zrzuty FOLDER NN NAME [NN2 NAME2]
//                            only the options page, as NN-NAME.bmp, and with
//                            NAME2 the folder chooser too (the script sets
//                            another display scale for these)
//   zrzuty FOLDER --klawiatura NN NAME
//                            the agreement page reached by keys alone, Tab
//                            on its first answer, nothing chosen yet

#include "Okna.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <thread>

using namespace e2e;

namespace {

std::wstring g_folder;
int g_numer = 0;

// Saves the screen as FOLDER\NN-name.bmp, numbered in the walk's order.
void Zrzut(const wchar_t* nazwa) {
    wchar_t plik[MAX_PATH];
    swprintf(plik, MAX_PATH, L"%ls\\%02d-%ls.bmp", g_folder.c_str(), ++g_numer, nazwa);
    ZapiszEkran(plik);
    std::wprintf(L"%ls\n", plik);
}

bool CzekajNaTekst(HWND okno, const std::wstring& tekst) {
    return Czekaj([&] { return Tekst(okno) == tekst; });
}

// One run up to the end page; `przerwij` answers the cancel question.
void Instalacja(bool przerwij, const wchar_t* nazwa) {
    HWND okno = DoOpcji();
    if (!okno) return;
    const bool pokazStrone = !przerwij && std::wstring(nazwa) == L"koniec-sukces";
    Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
    if (pokazStrone) {
        // Cancel once the copy has begun, so that the page shows a file and
        // the gauge under way; the demo copy is over in a blink.
        HWND gauge = ZnajdzKontrolke(okno, L"GaugePostep");
        const DWORD start = GetTickCount();
        while (SendMessageW(gauge, PBM_GETPOS, 0, 0) == 0 && GetTickCount() - start < 5000) Sleep(1);
    }
    Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
    if (HWND pytanie = CzekajNaOkno(L"frmPytanie")) {
        if (pokazStrone) {
            // The copy waits for the answer: the page alone first.
            ShowWindow(pytanie, SW_HIDE);
            Zrzut(L"instalacja");
            ShowWindow(pytanie, SW_SHOW);
            SetForegroundWindow(pytanie);
            Zrzut(L"instalacja-pytanie");
        }
        Kliknij(ZnajdzKontrolke(pytanie, przerwij ? L"btnTak" : L"btnNie"));
    }
    CzekajNaTekst(ZnajdzKontrolke(okno, L"lblKrok"), L"Krok 5 z 5: Koniec instalacji");
    Zrzut(nazwa);
    Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
    Czekaj([&] { return !IsWindow(okno); });
}

// Enter through the CD dialog and the first page, then Tab from the agreement
// to the answers: the focus shown on the first, which it does not choose.
int Klawiatura(const wchar_t* nazwa) {
    if (!Uruchom(L"\"D:\\instal.exe\"")) return 1;
    if (!CzekajNaOkno(L"frmCD")) return 1;
    Nacisnij(VK_RETURN);
    HWND okno = CzekajNaOkno(L"frmMain");
    if (!okno) return 1;
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    if (!CzekajNaTekst(krok, L"Krok 1 z 5: Wst\u0119p")) return 1;
    Nacisnij(VK_RETURN);
    if (!CzekajNaTekst(krok, L"Krok 2 z 5: Umowa licencyjna")) return 1;
    Nacisnij(VK_TAB);
    Czekaj([&] { return NazwaOkna(Fokus(okno)) == L"rdbUmowaAkceptuje"; });
    Zrzut(nazwa);
    Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
    if (HWND pytanie = CzekajNaOkno(L"frmPytanie")) Kliknij(ZnajdzKontrolke(pytanie, L"btnTak"));
    Czekaj([&] { return !IsWindow(okno); });
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 && argc != 4 && argc != 5 && argc != 6) {
        std::fwprintf(stderr, L"usage: zrzuty FOLDER [NN NAME [NN2 NAME2] | --klawiatura NN NAME]\n");
        return 2;
    }
    g_folder = argv[1];
    UsunDrzewo(DomyslnyCel());

    if (argc == 5) {
        if (std::wstring(argv[2]) != L"--klawiatura") return 2;
        g_numer = _wtoi(argv[3]) - 1;
        return Klawiatura(argv[4]);
    }

    if (argc >= 4) {
        g_numer = _wtoi(argv[2]) - 1;
        HWND okno = DoOpcji();
        if (!okno) return 1;
        Zrzut(argv[3]);
        if (argc == 6) {
            Kliknij(ZnajdzKontrolke(okno, L"btnKatalog"));
            if (HWND katalog = CzekajNaOkno(L"frmKatalog")) {
                g_numer = _wtoi(argv[4]) - 1;
                Zrzut(argv[5]);
                Kliknij(ZnajdzKontrolke(katalog, L"btnAnuluj"));
                Czekaj([&] { return !IsWindowVisible(katalog); });
            }
        }
        Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
        if (HWND pytanie = CzekajNaOkno(L"frmPytanie")) Kliknij(ZnajdzKontrolke(pytanie, L"btnTak"));
        Czekaj([&] { return !IsWindow(okno); });
        return 0;
    }

    if (!Uruchom(L"\"D:\\instal.exe\"")) return 1;
    HWND cd = CzekajNaOkno(L"frmCD");
    if (!cd) return 1;
    Zrzut(L"cd");
    Kliknij(ZnajdzKontrolke(cd, L"btnOK"));
    HWND okno = CzekajNaOkno(L"frmMain");
    if (!okno) return 1;
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    CzekajNaTekst(krok, L"Krok 1 z 5: Wst\u0119p");
    Zrzut(L"wstep");
    Kliknij(ZnajdzKontrolke(okno, L"btnAngielski"));
    CzekajNaTekst(krok, L"Step 1 of 5: Intro");
    Zrzut(L"intro-english");
    Kliknij(ZnajdzKontrolke(okno, L"btnPolski"));
    CzekajNaTekst(krok, L"Krok 1 z 5: Wst\u0119p");
    Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
    CzekajNaTekst(krok, L"Krok 2 z 5: Umowa licencyjna");
    Kliknij(ZnajdzKontrolke(okno, L"rdbUmowaAkceptuje"));
    Zrzut(L"umowa");
    Kliknij(ZnajdzKontrolke(okno, L"btnDalej"));
    CzekajNaTekst(krok, L"Krok 3 z 5: Opcje instalacji");
    Zrzut(L"opcje");

    Kliknij(ZnajdzKontrolke(okno, L"btnKatalog"));
    if (HWND katalog = CzekajNaOkno(L"frmKatalog")) {
        Zrzut(L"katalog");
        Kliknij(ZnajdzKontrolke(katalog, L"btnUtworz"));
        if (HWND nowy = CzekajNaOkno(L"frmKatalogDodaj")) {
            Zrzut(L"nowy-katalog");
            Kliknij(ZnajdzKontrolke(nowy, L"btnAnuluj"));
            Czekaj([&] { return !IsWindowVisible(nowy); });
        }
        Kliknij(ZnajdzKontrolke(katalog, L"btnAnuluj"));
        Czekaj([&] { return !IsWindowVisible(katalog); });
    }
    Kliknij(ZnajdzKontrolke(okno, L"btnZamknij"));
    if (HWND pytanie = CzekajNaOkno(L"frmPytanie")) {
        Zrzut(L"pytanie");
        Kliknij(ZnajdzKontrolke(pytanie, L"btnTak"));
    }
    Czekaj([&] { return !IsWindow(okno); });

    Instalacja(false, L"koniec-sukces");
    Instalacja(true, L"koniec-przerwana");
    // A read-only file in the target that the run must replace: the error end.
    UsunDrzewo(DomyslnyCel());
    CreateDirectoryW(DomyslnyCel().c_str(), nullptr);
    CloseHandle(CreateFileW((DomyslnyCel() + L"\\readme.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_READONLY, nullptr));
    Instalacja(false, L"koniec-blad");
    UsunDrzewo(DomyslnyCel());
    return 0;
}
