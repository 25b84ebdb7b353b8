#include "install/KodowanieSciezki.h"

namespace {

constexpr char kCyfry[] = "0123456789ABCDEF";

std::uint8_t BajtKlucza(std::int32_t wydanie, std::size_t i) {
    // Unsigned arithmetic: wraps instead of overflowing for any edition number.
    return static_cast<std::uint8_t>(0x5Au + 13u * static_cast<std::uint32_t>(wydanie) + 7u * i);
}

int WartoscCyfry(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string ZakodujSciezke(std::string_view sciezka, std::int32_t wydanie) {
    std::string wynik;
    wynik.reserve(sciezka.size() * 2);
    for (std::size_t i = 0; i < sciezka.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(static_cast<std::uint8_t>(sciezka[i]) ^ BajtKlucza(wydanie, i));
        wynik += kCyfry[b >> 4];
        wynik += kCyfry[b & 15];
    }
    return wynik;
}

std::optional<std::string> OdkodujSciezke(std::string_view zapis, std::int32_t wydanie) {
    if (zapis.size() % 2 != 0) return std::nullopt;
    std::string wynik;
    wynik.reserve(zapis.size() / 2);
    for (std::size_t i = 0; i < zapis.size() / 2; ++i) {
        const int g = WartoscCyfry(zapis[2 * i]);
        const int d = WartoscCyfry(zapis[2 * i + 1]);
        if (g < 0 || d < 0) return std::nullopt;
        wynik += static_cast<char>(static_cast<std::uint8_t>(g << 4 | d) ^ BajtKlucza(wydanie, i));
    }
    return wynik;
}
