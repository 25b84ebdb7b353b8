#pragma once
// What the wizard knows about the files it carries packed in its own
// resources: how each part of an edition's main program is unpacked, and the
// update items with the per-edition lists that name them. Constant data and
// pure functions; the unpacking itself is install/Rozpakowanie.h.
//
// Every string is single-byte Windows-1250 (resource names are ASCII).

#include <cstdint>
#include <span>
#include <string_view>

// Parts of the main program, in the order they are written: the resource
// names ZasobyA, ZasobyB, ZasobyC of base/Wydania.h.
inline constexpr int LiczbaCzesciProgramu = 3;

// Whether part `czesc` (0 first, 1 second, 2 third) of the main program of
// `wydanie` is stored with the prefix-code stage alone, so that the result of
// HuffmanDecode is written unchanged. Otherwise both stages apply (capacity
// PojemnoscCzesciProgramu). The first part always has both; the older
// editions, up to 3, store their further parts without the LZ stage.
[[nodiscard]] constexpr bool CzescTylkoPierwszymEtapem(std::int32_t wydanie, int czesc) noexcept {
    return czesc > 0 && wydanie <= 3;
}

// How an update item reaches its file.
enum RodzajDodatku : std::uint8_t {
    // The concatenation of its resources, each unpacked with both stages
    // (capacity PojemnoscDodatku).
    DodatekSpakowany = 0,
    // The member named like the file inside the ZIP archive held by its first
    // resource.
    DodatekZArchiwum = 1,
    // Any other value: the item cannot be installed.
};

// One row of the update item table.
struct TDodatek {
    std::string_view Plik;    // file name in the target folder (and ZIP member name for kind 1)
    std::string_view Zasob1;  // first resource
    std::string_view Zasob2;  // second resource; "" when the item has one part
    std::uint8_t Rodzaj = DodatekSpakowany;
    // Not read by the wizard: the product the item belongs to and its version.
    std::string_view Tytul;
    std::string_view Wersja;
};

// Items are numbered 1..LiczbaDodatkow.
inline constexpr std::int32_t LiczbaDodatkow = 49;

// The row of item `numer`; nullptr outside 1..LiczbaDodatkow.
[[nodiscard]] const TDodatek* Dodatek(std::int32_t numer) noexcept;

// The items that the update list of `wydanie` installs, in order; `wariant` is
// the edition record's Variant. Empty for an edition without a list. Whether
// a list is installed at all is a build switch (install/Rozpakowanie.h).
[[nodiscard]] std::span<const std::int32_t> ListaDodatkow(std::int32_t wydanie, std::int32_t wariant) noexcept;
