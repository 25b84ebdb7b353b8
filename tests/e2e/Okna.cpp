#include "Okna.h"

#include <thread>
#include <vector>

namespace e2e {

std::wstring NazwaOkna(HWND okno) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(okno, L"ui.name")));
    if (atom == 0) return {};
    wchar_t bufor[256] = {};
    const UINT n = GlobalGetAtomNameW(atom, bufor, 256);
    return std::wstring(bufor, n);
}

namespace {
struct Szukanie {
    const std::wstring* nazwa;
    HWND wynik;
};

BOOL CALLBACK SprawdzOkno(HWND okno, LPARAM parametr) {
    auto* s = reinterpret_cast<Szukanie*>(parametr);
    if (NazwaOkna(okno) == *s->nazwa) {
        s->wynik = okno;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK SprawdzWidoczneOkno(HWND okno, LPARAM parametr) {
    return IsWindowVisible(okno) ? SprawdzOkno(okno, parametr) : TRUE;
}
}  // namespace

HWND ZnajdzOkno(const std::wstring& nazwa) {
    Szukanie s{&nazwa, nullptr};
    EnumWindows(SprawdzWidoczneOkno, reinterpret_cast<LPARAM>(&s));
    return s.wynik;
}

HWND ZnajdzKontrolke(HWND rodzic, const std::wstring& nazwa) {
    Szukanie s{&nazwa, nullptr};
    if (rodzic) EnumChildWindows(rodzic, SprawdzOkno, reinterpret_cast<LPARAM>(&s));
    return s.wynik;
}

bool Czekaj(const std::function<bool()>& warunek, std::chrono::milliseconds limit) {
    const auto koniec = std::chrono::steady_clock::now() + limit;
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

std::wstring ObokProgramu(const std::wstring& nazwa) {
    wchar_t sciezka[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, sciezka, MAX_PATH);
    std::wstring s(sciezka);
    return s.substr(0, s.rfind(L'\\') + 1) + nazwa;
}

}  // namespace e2e
