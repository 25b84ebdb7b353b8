#pragma once
// The installation log that /LOG asks for: one line per event, each beginning
// with the local time to the millisecond, in UTF-8. Every line goes to the
// file when it is logged, so the log of a run that dies shows how far it got.
// Without an open log every call returns at once and nothing is written.
//
// A line is made of pieces: single-byte texts of the program (Windows-1250,
// converted here), whole numbers, wide texts from the system, and BladSystemu
// for a Win32 error code, written with the system's message for it.

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

struct BladSystemu {
    std::uint32_t kod;
};

namespace sys {
class File;
}

// Opens the log file (a full Windows-1250 path). `dopisz` keeps what the file
// holds and appends (a start that finds another wizard adds its lines to that
// wizard's log); otherwise the file starts empty. The elevated wizard never
// writes through a name: a device name (CON, NUL.txt, COM1, ...), a path in
// the device namespaces (\\.\, \\?\) or with a stream (":"), and a file that
// is not a plain disk file with one name (a hard link, a link, a pipe) are
// refused with ERROR_BAD_FILE_TYPE and left as they were. The Win32 error
// code when it is not opened, 0 when it is open.
[[nodiscard]] std::uint32_t OtworzProtokol(std::string_view sciezka, bool dopisz);
// Goes on with the log that the run which started this copy left open for
// it (its handle, inherited under `numer`; see PlikProtokolu). 0 when it is
// open; ERROR_BAD_FILE_TYPE when the number names no such log.
[[nodiscard]] std::uint32_t PrzejmijProtokol(std::uint64_t numer);
[[nodiscard]] bool ProtokolOtwarty() noexcept;
// The open log, for a copy of the wizard to inherit; null when none is open.
[[nodiscard]] const sys::File* PlikProtokolu() noexcept;
void ZamknijProtokol() noexcept;

namespace protokol {
void Dopisz(std::wstring& linia, std::string_view tekst);
void Dopisz(std::wstring& linia, std::wstring_view tekst);
void Dopisz(std::wstring& linia, BladSystemu blad);
void Dopisz(std::wstring& linia, long long liczba);
void Dopisz(std::wstring& linia, unsigned long long liczba);
inline void Dopisz(std::wstring& linia, const char* tekst) { Dopisz(linia, std::string_view(tekst)); }
inline void Dopisz(std::wstring& linia, const std::string& tekst) { Dopisz(linia, std::string_view(tekst)); }
inline void Dopisz(std::wstring& linia, const std::wstring& tekst) { Dopisz(linia, std::wstring_view(tekst)); }
template <std::integral T>
    requires(!std::same_as<T, char> && !std::same_as<T, bool>)
void Dopisz(std::wstring& linia, T liczba) {
    if constexpr (std::is_signed_v<T>) Dopisz(linia, static_cast<long long>(liczba));
    else Dopisz(linia, static_cast<unsigned long long>(liczba));
}
void ZapiszLinie(const std::wstring& linia) noexcept;
}  // namespace protokol

// One event: the pieces one after another, as one line.
template <class... T>
void Protokoluj(const T&... kawalki) noexcept {
    if (!ProtokolOtwarty()) return;
    try {
        std::wstring linia;
        (protokol::Dopisz(linia, kawalki), ...);
        protokol::ZapiszLinie(linia);
    } catch (...) {
        // A log that cannot take a line never stops the installation.
    }
}

// "yes"/"no" for the options and answers the log records.
[[nodiscard]] constexpr const char* TakNie(bool tak) noexcept { return tak ? "yes" : "no"; }
