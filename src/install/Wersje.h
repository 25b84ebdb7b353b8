#pragma once
// The version text of a file ("5.81.4704.1100", the "FileVersion" text of its
// version information) reduced to the two numbers the installer compares.

#include <cstdint>
#include <string_view>

struct WersjaPliku {
    std::int32_t glowna = 0;
    std::int32_t poboczna = 0;

    friend bool operator==(const WersjaPliku&, const WersjaPliku&) = default;
};

// The whole text as a decimal integer: leading spaces, an optional sign and
// at least one digit, nothing after them. 0 for anything else and for a
// number outside the signed 32-bit range.
[[nodiscard]] std::int32_t LiczbaLubZero(std::string_view tekst) noexcept;

// The major number is the text before the first "."; the minor number is the
// text after it up to the next "." (or to the end). A text without any "."
// has an empty major part (0) and the whole text as its minor part, so
// "6, 0, 2900, 0" gives 0.0. Each part goes through LiczbaLubZero.
[[nodiscard]] WersjaPliku RozbierzWersje(std::string_view tekst) noexcept;

// Whether `wersja` is at least `glowna`.`poboczna`.
[[nodiscard]] constexpr bool JestCoNajmniej(WersjaPliku wersja, std::int32_t glowna, std::int32_t poboczna) noexcept {
    return wersja.glowna > glowna || (wersja.glowna == glowna && wersja.poboczna >= poboczna);
}
