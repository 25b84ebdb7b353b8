#include "payload/SumaPliku.h"

#include <zlib.h>

namespace {
constexpr char kZnacznik[4] = {'V', 'S', 'U', 'M'};
}  // namespace

SumaPliku DoliczSume(SumaPliku dotad, std::span<const std::uint8_t> dalej) {
    // zlib takes at most 4 GiB - 1 per call.
    constexpr std::size_t kKawalek = 1u << 30;
    while (!dalej.empty()) {
        const std::size_t n = dalej.size() < kKawalek ? dalej.size() : kKawalek;
        dotad.crc = static_cast<std::uint32_t>(crc32(dotad.crc, dalej.data(), static_cast<uInt>(n)));
        dotad.rozmiar += n;
        dalej = dalej.subspan(n);
    }
    return dotad;
}

SumaPliku PoliczSume(std::span<const std::uint8_t> dane) { return DoliczSume({}, dane); }

std::string KodujSume(const SumaPliku& suma) {
    std::string wynik(kZnacznik, sizeof kZnacznik);
    for (int i = 0; i < 8; ++i) wynik.push_back(static_cast<char>((suma.rozmiar >> (8 * i)) & 0xFF));
    for (int i = 0; i < 4; ++i) wynik.push_back(static_cast<char>((suma.crc >> (8 * i)) & 0xFF));
    return wynik;
}

std::optional<SumaPliku> CzytajSume(std::span<const std::uint8_t> bajty) {
    if (bajty.size() != kRozmiarSumy) return std::nullopt;
    for (std::size_t i = 0; i < sizeof kZnacznik; ++i)
        if (bajty[i] != static_cast<std::uint8_t>(kZnacznik[i])) return std::nullopt;
    SumaPliku suma;
    for (int i = 7; i >= 0; --i) suma.rozmiar = suma.rozmiar << 8 | bajty[4 + static_cast<std::size_t>(i)];
    for (int i = 3; i >= 0; --i) suma.crc = suma.crc << 8 | bajty[12 + static_cast<std::size_t>(i)];
    return suma;
}

std::string ZasobSumy(std::string_view pierwszaCzesc) { return std::string(pierwszaCzesc) + "_SUMA"; }
