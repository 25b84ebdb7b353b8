#pragma once
// Names around the font installation: the free file name in a folder that
// already holds fonts, and the names of the font character sets.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// `nazwa` with one "0" inserted in front of its first "." (at its end when it
// has none): "Stedt.ttf" gives "Stedt0.ttf", "Stedt0.ttf" gives "Stedt00.ttf".
[[nodiscard]] std::string NazwaZZerem(std::string_view nazwa);

// The first of `nazwa`, NazwaZZerem(nazwa), NazwaZZerem of that, ... for
// which `zajeta` answers false. nullopt once a name would grow past
// `najdluzsza` characters (a file name has at most 255), so a folder that
// answers "taken" for everything cannot keep the search going.
[[nodiscard]] std::optional<std::string> WolnaNazwa(std::string_view nazwa,
                                                    const std::function<bool(const std::string&)>& zajeta,
                                                    std::size_t najdluzsza = 255);

// A font character set as LOGFONT numbers it, with its published name.
struct ZestawZnakow {
    std::uint8_t numer;
    std::string_view nazwa;
};

// The names searched, in this order.
inline constexpr std::array<ZestawZnakow, 19> kZestawyZnakow{{
    {0, "ANSI_CHARSET"},
    {1, "DEFAULT_CHARSET"},
    {2, "SYMBOL_CHARSET"},
    {128, "SHIFTJIS_CHARSET"},
    {129, "HANGEUL_CHARSET"},
    {134, "GB2312_CHARSET"},
    {136, "CHINESEBIG5_CHARSET"},
    {255, "OEM_CHARSET"},
    {130, "JOHAB_CHARSET"},
    {177, "HEBREW_CHARSET"},
    {178, "ARABIC_CHARSET"},
    {161, "GREEK_CHARSET"},
    {162, "TURKISH_CHARSET"},
    {163, "VIETNAMESE_CHARSET"},
    {222, "THAI_CHARSET"},
    {238, "EASTEUROPE_CHARSET"},
    {204, "RUSSIAN_CHARSET"},
    {77, "MAC_CHARSET"},
    {186, "BALTIC_CHARSET"},
}};

// The name of character set `numer`; "Unknown charset N" for one outside the
// table.
[[nodiscard]] std::string NazwaZestawuZnakow(int numer);
