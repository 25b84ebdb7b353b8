#include "install/Protokol.h"

#include "base/Narzedzia.h"
#include "sys/files.h"
#include "sys/text.h"

#include <windows.h>

#include <cwchar>

namespace {

sys::File plik;

// Whether the system would take `sciezka` for something other than a file
// in a folder: a path in the device namespaces ("\\.\pipe\x", "\\?\GLOBALROOT",
// "\??\"), a stream of a file ("C:\log.txt:x"), or a DOS device, whose name
// means the device in any folder and with any extension ("C:\logs\nul.txt").
bool NazwaUrzadzenia(std::string_view sciezka) {
    std::string poczatek(sciezka.substr(0, 4));
    for (char& c : poczatek)
        if (c == '/') c = '\\';
    if (poczatek == "\\\\.\\" || poczatek == "\\\\?\\" || poczatek == "\\??\\") return true;
    if (sciezka.find(':', 2) != std::string_view::npos) return true;
    std::string_view nazwa = sciezka.substr(sciezka.find_last_of("\\/") + 1);
    nazwa = nazwa.substr(0, nazwa.find('.'));
    while (!nazwa.empty() && nazwa.back() == ' ') nazwa.remove_suffix(1);
    for (const std::string_view urzadzenie : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (RowneBezWielkosciLiter(nazwa, urzadzenie)) return true;
    const std::string_view rodzaj = nazwa.substr(0, 3);
    return nazwa.size() == 4 && (RowneBezWielkosciLiter(rodzaj, "COM") || RowneBezWielkosciLiter(rodzaj, "LPT")) &&
           nazwa[3] >= '0' && nazwa[3] <= '9';
}

}  // namespace

std::uint32_t OtworzProtokol(std::string_view sciezka, bool dopisz) {
    plik = sys::File();
    if (NazwaUrzadzenia(sciezka)) return ERROR_BAD_FILE_TYPE;
    plik = sys::File::OpenAppendPlain(sciezka, !dopisz);
    return plik ? 0 : plik.error();
}

std::uint32_t PrzejmijProtokol(std::uint64_t numer) {
    plik = sys::File::FromInherited(numer);
    return plik ? 0 : plik.error();
}

bool ProtokolOtwarty() noexcept { return static_cast<bool>(plik); }

const sys::File* PlikProtokolu() noexcept { return plik ? &plik : nullptr; }

void ZamknijProtokol() noexcept {
    if (plik) sys::Ignore(plik.Close(), "every line was written when it was logged");
    plik = sys::File();
}

namespace protokol {

void Dopisz(std::wstring& linia, std::string_view tekst) { linia += sys::ToWide(tekst); }

void Dopisz(std::wstring& linia, std::wstring_view tekst) { linia += tekst; }

void Dopisz(std::wstring& linia, long long liczba) { linia += std::to_wstring(liczba); }

void Dopisz(std::wstring& linia, unsigned long long liczba) { linia += std::to_wstring(liczba); }

void Dopisz(std::wstring& linia, BladSystemu blad) {
    linia += L"error " + std::to_wstring(blad.kod);
    wchar_t* opis = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, blad.kod, 0, reinterpret_cast<LPWSTR>(&opis), 0, nullptr);
    if (n > 0 && opis) {
        std::wstring tekst(opis, n);
        while (!tekst.empty() && (tekst.back() == L'\n' || tekst.back() == L'\r' || tekst.back() == L' '))
            tekst.pop_back();
        if (!tekst.empty()) linia += L" (" + tekst + L")";
    }
    if (opis) LocalFree(opis);
}

void ZapiszLinie(const std::wstring& linia) noexcept {
    try {
        SYSTEMTIME czas{};
        GetLocalTime(&czas);
        wchar_t znacznik[32];
        std::swprintf(znacznik, 32, L"%04u-%02u-%02u %02u:%02u:%02u.%03u ", czas.wYear, czas.wMonth, czas.wDay,
                      czas.wHour, czas.wMinute, czas.wSecond, czas.wMilliseconds);
        std::wstring calosc = znacznik + linia;
        // One line is one line, whatever a path or a message holds.
        for (wchar_t& c : calosc)
            if (c == L'\r' || c == L'\n') c = L' ';
        calosc += L"\r\n";
        const int n = WideCharToMultiByte(CP_UTF8, 0, calosc.data(), static_cast<int>(calosc.size()), nullptr, 0,
                                          nullptr, nullptr);
        if (n <= 0) return;
        std::string utf8(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, calosc.data(), static_cast<int>(calosc.size()), utf8.data(), n, nullptr,
                            nullptr);
        // One write per line: a copy appending to the same file never splits it.
        const sys::Transfer t = plik.Write(utf8.data(), utf8.size());
        sys::Ignore(t, "a line that does not go in is lost; the installation goes on");
    } catch (...) {
    }
}

}  // namespace protokol
