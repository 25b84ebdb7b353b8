#include "Okna.h"

#include <cstdlib>
#include <cwchar>
#include <thread>
#include <vector>

namespace e2e {

namespace {
BOOL CALLBACK SprawdzWidoczneOkno(HWND okno, LPARAM parametr) {
    return IsWindowVisible(okno) ? pomocnicy::SprawdzNazweOkna(okno, parametr) : TRUE;
}
}  // namespace

HWND ZnajdzOkno(const std::wstring& nazwa) {
    pomocnicy::SzukanieOkna s{nazwa};
    EnumWindows(SprawdzWidoczneOkno, reinterpret_cast<LPARAM>(&s));
    return s.wynik;
}

namespace {

// VELT_E2E_WOLNIEJ=N stretches every wait N times, for a machine that is
// emulated rather than real.
int Wolniej() {
    static const int krotnosc = [] {
        wchar_t bufor[8] = {};
        const DWORD n = GetEnvironmentVariableW(L"VELT_E2E_WOLNIEJ", bufor, 8);
        const int k = n > 0 && n < 8 ? _wtoi(bufor) : 1;
        return k > 1 ? k : 1;
    }();
    return krotnosc;
}

}  // namespace

bool Czekaj(const std::function<bool()>& warunek, std::chrono::milliseconds limit) {
    const auto koniec = std::chrono::steady_clock::now() + limit * Wolniej();
    while (!warunek()) {
        if (std::chrono::steady_clock::now() > koniec) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

HWND CzekajNaOkno(const std::wstring& nazwa, std::chrono::milliseconds limit) {
    HWND okno = nullptr;
    Czekaj([&] { return (okno = ZnajdzOkno(nazwa)) != nullptr; }, limit);
    return okno;
}

std::wstring Tekst(HWND okno) {
    DWORD_PTR dlugosc = 0;
    if (!SendMessageTimeoutW(okno, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &dlugosc)) return {};
    std::vector<wchar_t> bufor(dlugosc + 1, L'\0');
    DWORD_PTR skopiowane = 0;
    SendMessageTimeoutW(okno, WM_GETTEXT, bufor.size(), reinterpret_cast<LPARAM>(bufor.data()), SMTO_ABORTIFHUNG,
                        5000, &skopiowane);
    return std::wstring(bufor.data(), skopiowane);
}

bool Dostepna(HWND okno) { return IsWindowEnabled(okno) != FALSE; }
bool Widoczna(HWND okno) { return IsWindowVisible(okno) != FALSE; }

bool Zaznaczona(HWND okno) {
    DWORD_PTR stan = 0;
    SendMessageTimeoutW(okno, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &stan);
    return stan == BST_CHECKED;
}

void Kliknij(HWND okno) { PostMessageW(okno, BM_CLICK, 0, 0); }

void Wstrzymany(HWND okno, const std::function<void()>& co) {
    HANDLE watek = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(okno, nullptr));
    if (watek) SuspendThread(watek);
    co();
    if (watek) {
        ResumeThread(watek);
        CloseHandle(watek);
    }
}

void Klawisz(HWND okno, WPARAM klawisz) {
    PostMessageW(okno, WM_KEYDOWN, klawisz, 1);
    PostMessageW(okno, WM_KEYUP, klawisz, 0xC0000001);
}

void Nacisnij(WORD klawisz, bool zShiftem) {
    const auto wejscie = [](WORD vk, bool puszczony) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = puszczony ? KEYEVENTF_KEYUP : 0;
        // The arrows of the separate block.
        if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN) i.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        return i;
    };
    std::vector<INPUT> ruchy;
    if (zShiftem) ruchy.push_back(wejscie(VK_SHIFT, false));
    ruchy.push_back(wejscie(klawisz, false));
    ruchy.push_back(wejscie(klawisz, true));
    if (zShiftem) ruchy.push_back(wejscie(VK_SHIFT, true));
    SendInput(static_cast<UINT>(ruchy.size()), ruchy.data(), sizeof(INPUT));
}

void Pisz(const std::wstring& tekst) {
    for (wchar_t znak : tekst) {
        const SHORT klawisz = VkKeyScanW(znak);
        Nacisnij(LOBYTE(klawisz), (HIBYTE(klawisz) & 1) != 0);
    }
}

HWND Fokus(HWND okno) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(okno, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

std::wstring ObokProgramu(const std::wstring& nazwa) {
    wchar_t sciezka[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, sciezka, MAX_PATH);
    std::wstring s(sciezka);
    return s.substr(0, s.rfind(L'\\') + 1) + nazwa;
}

}  // namespace e2e

namespace e2e {

namespace {

// The process, or nullptr when it did not start.
HANDLE Start(const std::wstring& wierszPolecen, const std::vector<std::wstring>& zmienne) {
    std::wstring srodowisko;
    if (!zmienne.empty()) {
        wchar_t* nasze = GetEnvironmentStringsW();
        for (const wchar_t* z = nasze; *z; z += wcslen(z) + 1) {
            const std::wstring zmienna = z;
            const std::wstring nazwa = zmienna.substr(0, zmienna.find(L'=', 1) + 1);
            bool zastapiona = false;
            for (const std::wstring& nowa : zmienne)
                zastapiona = zastapiona || _wcsnicmp(nowa.c_str(), nazwa.c_str(), nazwa.size()) == 0;
            if (!zastapiona) srodowisko += zmienna + L'\0';
        }
        FreeEnvironmentStringsW(nasze);
        for (const std::wstring& nowa : zmienne) srodowisko += nowa + L'\0';
        srodowisko += L'\0';
    }
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring kopia = wierszPolecen;
    if (!CreateProcessW(nullptr, kopia.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        srodowisko.empty() ? nullptr : srodowisko.data(), L"C:\\", &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

}  // namespace

bool Uruchom(const std::wstring& wierszPolecen, const std::vector<std::wstring>& zmienne) {
    HANDLE proces = Start(wierszPolecen, zmienne);
    if (!proces) return false;
    CloseHandle(proces);
    return true;
}

bool UruchomIZaczekaj(const std::wstring& wierszPolecen, std::chrono::milliseconds limit) {
    HANDLE proces = Start(wierszPolecen, {});
    if (!proces) return false;
    const bool skonczyl = WaitForSingleObject(proces, static_cast<DWORD>(limit.count())) == WAIT_OBJECT_0;
    CloseHandle(proces);
    return skonczyl;
}

void ZamknijJakSystem(HWND okno) { PostMessageW(okno, WM_SYSCOMMAND, SC_CLOSE, 0); }

int PytanieOWylogowanie(HWND okno) {
    DWORD_PTR odpowiedz = 0;
    if (!SendMessageTimeoutW(okno, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &odpowiedz))
        return -1;
    return odpowiedz != 0 ? 1 : 0;
}

void KoniecSesji(HWND okno) {
    DWORD_PTR wynik = 0;
    SendMessageTimeoutW(okno, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &wynik);
}

std::string Zawartosc(const std::wstring& sciezka) {
    HANDLE plik = CreateFileW(sciezka.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (plik == INVALID_HANDLE_VALUE) return {};
    std::string wynik;
    char bufor[65536];
    DWORD przeczytane = 0;
    while (ReadFile(plik, bufor, sizeof(bufor), &przeczytane, nullptr) && przeczytane > 0) wynik.append(bufor, przeczytane);
    CloseHandle(plik);
    return wynik;
}

bool UsunDrzewo(const std::wstring& katalog) {
    WIN32_FIND_DATAW dane;
    HANDLE szukanie = FindFirstFileW((katalog + L"\\*").c_str(), &dane);
    if (szukanie != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring nazwa = dane.cFileName;
            if (nazwa == L"." || nazwa == L"..") continue;
            const std::wstring sciezka = katalog + L"\\" + nazwa;
            SetFileAttributesW(sciezka.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (dane.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) UsunDrzewo(sciezka);
            else DeleteFileW(sciezka.c_str());
        } while (FindNextFileW(szukanie, &dane));
        FindClose(szukanie);
    }
    RemoveDirectoryW(katalog.c_str());
    return GetFileAttributesW(katalog.c_str()) == INVALID_FILE_ATTRIBUTES;
}

void ZamknijKreator() {
    for (const wchar_t* nazwa : {L"frmPytanie", L"frmKatalog", L"frmCD", L"frmMain"}) {
        if (HWND okno = ZnajdzOkno(nazwa)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(okno, &pid);
            if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
                TerminateProcess(p, 1);
                WaitForSingleObject(p, 5000);
                CloseHandle(p);
            }
        }
    }
}

std::wstring DomyslnyCel() {
    wchar_t bufor[MAX_PATH] = {};
    DWORD rozmiar = sizeof(bufor);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir",
                     RRF_RT_REG_SZ, nullptr, bufor, &rozmiar) != ERROR_SUCCESS)
        return L"C:\\VeltAng";
    return std::wstring(bufor) + L"\\VeltAng";
}

std::wstring FolderPowloki(HKEY korzen, const wchar_t* nazwa) {
    wchar_t bufor[MAX_PATH] = {};
    DWORD rozmiar = sizeof(bufor);
    RegGetValueW(korzen, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", nazwa,
                 RRF_RT_REG_SZ, nullptr, bufor, &rozmiar);
    return bufor;
}

bool UstawFolderPowloki(HKEY korzen, const wchar_t* nazwa, const std::wstring& folder) {
    return RegSetKeyValueW(korzen, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", nazwa,
                           REG_SZ, folder.c_str(), static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

std::wstring KatalogDziennikow() {
    std::wstring dane = FolderPowloki(HKEY_LOCAL_MACHINE, L"Common AppData");
    if (!dane.empty() && dane.back() == L'\\') dane.pop_back();
    return dane + L"\\Zelpax";
}

HWND DoOpcji() {
    if (!Uruchom(L"\"D:\\instal.exe\"")) return nullptr;
    return OdCD();
}

HWND OdCD() {
    HWND cd = CzekajNaOkno(L"frmCD");
    if (!cd) return nullptr;
    HWND napedy = ZnajdzKontrolke(cd, L"cmbDrive");
    if (!Czekaj([&] { return !Tekst(napedy).empty(); })) return nullptr;
    Kliknij(ZnajdzKontrolke(cd, L"btnOK"));
    HWND okno = CzekajNaOkno(L"frmMain");
    if (!okno) return nullptr;
    HWND krok = ZnajdzKontrolke(okno, L"lblKrok");
    HWND dalej = ZnajdzKontrolke(okno, L"btnDalej");
    if (!Czekaj([&] { return Tekst(krok) == L"Krok 1 z 5: Wst\u0119p"; })) return nullptr;
    Kliknij(dalej);
    if (!Czekaj([&] { return Tekst(krok) == L"Krok 2 z 5: Umowa licencyjna"; })) return nullptr;
    Kliknij(ZnajdzKontrolke(okno, L"rdbUmowaAkceptuje"));
    if (!Czekaj([&] { return Dostepna(dalej); })) return nullptr;
    Kliknij(dalej);
    if (!Czekaj([&] { return Tekst(krok) == L"Krok 3 z 5: Opcje instalacji"; })) return nullptr;
    return okno;
}

void ZapiszEkran(const std::wstring& plik) {
    std::this_thread::sleep_for(600ms);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC ekran = GetDC(nullptr);
    HDC pamiec = CreateCompatibleDC(ekran);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* piksele = nullptr;
    HBITMAP obraz = CreateDIBSection(ekran, &info, DIB_RGB_COLORS, &piksele, nullptr, 0);
    HGDIOBJ stary = SelectObject(pamiec, obraz);
    BitBlt(pamiec, 0, 0, w, h, ekran, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD wiersz = (static_cast<DWORD>(w) * 3 + 3) & ~3u, rozmiar = wiersz * static_cast<DWORD>(h);
    BITMAPFILEHEADER naglowek{};
    naglowek.bfType = 0x4D42;
    naglowek.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    naglowek.bfSize = naglowek.bfOffBits + rozmiar;
    HANDLE f = CreateFileW(plik.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD zapisane = 0;
    WriteFile(f, &naglowek, sizeof(naglowek), &zapisane, nullptr);
    WriteFile(f, &info.bmiHeader, sizeof(BITMAPINFOHEADER), &zapisane, nullptr);
    WriteFile(f, piksele, rozmiar, &zapisane, nullptr);
    CloseHandle(f);
    SelectObject(pamiec, stary);
    DeleteObject(obraz);
    DeleteDC(pamiec);
    ReleaseDC(nullptr, ekran);
}

}  // namespace e2e
