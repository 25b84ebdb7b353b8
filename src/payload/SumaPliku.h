#pragma once
// The digest that the packer stores of each file it packs, so that the wizard
// can tell a whole file from one that a damaged disc or a damaged instal.exe
// gave it, before it replaces anything. The digest travels as a small
// resource of its own beside the file's packed parts (ZasobSumy names it); the
// parts themselves keep their format.
//
// Record form, 16 bytes: "VSUM", the file's size (64 bits LE), the CRC-32 of
// its whole content (32 bits LE).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct SumaPliku {
    std::uint64_t rozmiar = 0;  // bytes
    std::uint32_t crc = 0;      // CRC-32 (the ZIP one) of all of them
    bool operator==(const SumaPliku&) const = default;
};

// The digest of `dane`; a file that comes in parts is summed part after part.
[[nodiscard]] SumaPliku PoliczSume(std::span<const std::uint8_t> dane);
[[nodiscard]] SumaPliku DoliczSume(SumaPliku dotad, std::span<const std::uint8_t> dalej);

// The record's bytes, and back: nullopt for anything that is not exactly one
// record.
inline constexpr std::size_t kRozmiarSumy = 16;
[[nodiscard]] std::string KodujSume(const SumaPliku& suma);
[[nodiscard]] std::optional<SumaPliku> CzytajSume(std::span<const std::uint8_t> bajty);

// The name of the resource that holds the digest of the file whose first
// packed part is the resource `pierwszaCzesc`.
[[nodiscard]] std::string ZasobSumy(std::string_view pierwszaCzesc);
