#pragma once
// The shortcut table shared by every edition, and the names of the Start-menu
// group. Which links an installation makes is decided here, without the
// system: the shell side (Skroty.h) only asks which rows apply.
//
// Every string is single-byte Windows-1250.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "base/Wydania.h"

// Bit values of TWierszSkrotu::Rodzaj.
enum RodzajSkrotu : std::uint8_t {
    SkrotPulpituTranslatora = 1,
    SkrotPulpituSlownika = 2,
    SkrotGrupy = 4,
    // Carried by the table for the installed programs; the wizard ignores them.
    SkrotKonfiguracji = 8,
    SkrotTlumaczeniaPlikow = 16,
};

// A set of edition numbers 0..255; any other number is never a member.
struct ZbiorWydan {
    std::array<std::uint8_t, 32> bajty{};

    constexpr ZbiorWydan() = default;
    constexpr ZbiorWydan(std::initializer_list<int> wydania) {
        for (int w : wydania)
            if (w >= 0 && w <= 255) bajty[static_cast<std::size_t>(w) / 8] |= std::uint8_t(1u << (w % 8));
    }
    [[nodiscard]] constexpr bool Zawiera(std::int64_t wydanie) const {
        return wydanie >= 0 && wydanie <= 255 &&
               (bajty[static_cast<std::size_t>(wydanie) / 8] >> (wydanie % 8) & 1) != 0;
    }
};

// A set of interface languages 0..15; any other value is never a member.
struct ZbiorJezykow {
    std::uint16_t bity = 0;

    constexpr ZbiorJezykow() = default;
    constexpr ZbiorJezykow(std::initializer_list<int> jezyki) {
        for (int j : jezyki)
            if (j >= 0 && j <= 15) bity |= std::uint16_t(1u << j);
    }
    [[nodiscard]] constexpr bool Zawiera(std::int64_t jezyk) const {
        return jezyk >= 0 && jezyk <= 15 && (bity >> jezyk & 1) != 0;
    }
};

struct TWierszSkrotu {
    std::uint8_t Rodzaj = 0;  // RodzajSkrotu bits
    ZbiorWydan Wydania;
    ZbiorJezykow Jezyki;
    std::string_view Plik;   // target, relative to the target folder
    std::string_view Nazwa;  // link file name without ".lnk", and its description
};

inline constexpr std::size_t LiczbaWierszySkrotow = 256;
// Rows in table order; rows past the last used one are empty and match nothing.
extern const std::array<TWierszSkrotu, LiczbaWierszySkrotow> TabelaSkrotow;

// The rows for `wydanie` and `jezyk` whose Rodzaj has every bit of `rodzaj`,
// in table order. Pointers into TabelaSkrotow.
[[nodiscard]] std::vector<const TWierszSkrotu*> WybierzSkroty(std::int64_t wydanie, std::int64_t jezyk,
                                                             std::uint8_t rodzaj);

// Start-menu group names: per edition, one per JezykInterfejsu 0..12; "" where
// the edition has no group for that language.
inline constexpr std::size_t LiczbaKolumnGrup = 13;
extern const std::array<std::array<std::string_view, LiczbaKolumnGrup>, LiczbaWydan> NazwaGrupy;

// The group name of `wydanie` (1..21) for `jezyk`; "" outside the table.
[[nodiscard]] std::string_view NazwaGrupyWydania(std::int64_t wydanie, std::int64_t jezyk) noexcept;
