#pragma once
// Small string routines shared by the whole program.
//
// Strings are single-byte Windows-1250. Case mapping follows the letter pairs
// of that code page, so Polish and other Central European letters compare and
// convert the same on every system code page. Positions are 1-based.

#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// A set of byte values.
using ZbiorZnakow = std::bitset<256>;

// Builds a set from single bytes and inclusive ranges, e.g.
// Zbior({'a'}, {{'0', '9'}}).
struct ZakresZnakow {
    unsigned char od;
    unsigned char doZnaku;
};
ZbiorZnakow Zbior(std::initializer_list<unsigned char> znaki,
                  std::initializer_list<ZakresZnakow> zakresy = {});

// One byte upper- and lower-cased by the Windows-1250 letter pairs. The pair
// 188/190 (L with caron) is deliberately left alone in both directions.
unsigned char NaDuzy(unsigned char znak) noexcept;
unsigned char NaMaly(unsigned char znak) noexcept;

std::string NaDuze(std::string_view tekst);
std::string NaMale(std::string_view tekst);

// Equality after NaMale on both sides: the comparison used for file names,
// drive letters and list entries.
bool RowneBezWielkosciLiter(std::string_view a, std::string_view b) noexcept;

// The string without its trailing decimal digits, never shorter than one
// character ("abc123" -> "abc", "123" -> "1"; "" stays "").
std::string BezCyfrNaKoncu(std::string_view tekst);

// Whether `tekst` begins with `poczatek`; without `wielkoscLiter` both sides
// are compared after NaMale.
bool ZaczynaSieOd(std::string_view tekst, std::string_view poczatek, bool wielkoscLiter) noexcept;

// Whether 1-based `pozycja` lies within `tekst` and the byte there is in `zbior`.
bool ZnakZeZbioru(const ZbiorZnakow& zbior, std::string_view tekst, std::int64_t pozycja) noexcept;

bool ZawieraZnakZeZbioru(std::string_view tekst, const ZbiorZnakow& zbior) noexcept;

// Looks at each byte from `pozycja` on, forwards (or backwards when `wstecz`),
// and stops at the first one in `zbior` or when the position leaves the string.
// `pozycja` is left where the walk stopped; the result says whether it is still
// within the string. A position of 0 or less returns false at once, unchanged.
bool SzukajZnaku(std::string_view tekst, std::int64_t& pozycja, const ZbiorZnakow& zbior,
                 bool wstecz) noexcept;

// A name list (`ListaNazw`) is a string of entries "<name>".

// `nazwa` as an entry of a name list: "<name>" in lower case.
std::string WpisListy(std::string_view nazwa);

// Whether `nazwa` is a whole entry of `lista`, in any letter case.
bool JestNaLiscie(std::string_view nazwa, std::string_view lista);

constexpr bool WZakresie(std::int64_t wartosc, std::int64_t od, std::int64_t doWartosci) noexcept {
    return od <= wartosc && wartosc <= doWartosci;
}
