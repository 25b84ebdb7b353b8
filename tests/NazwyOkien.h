#pragma once
// Windows found by the control name that every window of the wizard carries
// as the property "ui.name" (a global atom), as any process finds them. Only
// Win32 here: the end-to-end tests use it from outside the program.

#include <windows.h>

#include <string>

namespace pomocnicy {

// The control name a window carries, or "" when it has none.
inline std::wstring NazwaOkna(HWND okno) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(okno, L"ui.name")));
    if (atom == 0) return {};
    wchar_t bufor[256] = {};
    const UINT n = GlobalGetAtomNameW(atom, bufor, 256);
    return std::wstring(bufor, n);
}

// One search by name; the callbacks stop at the first window that bears it.
struct SzukanieOkna {
    const std::wstring& nazwa;
    HWND wynik = nullptr;
};

inline BOOL CALLBACK SprawdzNazweOkna(HWND okno, LPARAM parametr) {
    auto* s = reinterpret_cast<SzukanieOkna*>(parametr);
    if (NazwaOkna(okno) != s->nazwa) return TRUE;
    s->wynik = okno;
    return FALSE;
}

// The descendant of `rodzic` of that name.
inline HWND ZnajdzKontrolke(HWND rodzic, const std::wstring& nazwa) {
    SzukanieOkna s{nazwa};
    if (rodzic) EnumChildWindows(rodzic, SprawdzNazweOkna, reinterpret_cast<LPARAM>(&s));
    return s.wynik;
}

inline BOOL CALLBACK SprawdzOknoIPotomkow(HWND okno, LPARAM parametr) {
    if (!SprawdzNazweOkna(okno, parametr)) return FALSE;
    EnumChildWindows(okno, SprawdzNazweOkna, parametr);
    return reinterpret_cast<SzukanieOkna*>(parametr)->wynik == nullptr;
}

// A window of this thread, top-level or child, by its control's name.
inline HWND ZnajdzOknoWatku(const std::wstring& nazwa) {
    SzukanieOkna s{nazwa};
    EnumThreadWindows(GetCurrentThreadId(), SprawdzOknoIPotomkow, reinterpret_cast<LPARAM>(&s));
    return s.wynik;
}

}  // namespace pomocnicy
