#include "install/Wersje.h"

#include <limits>

std::int32_t LiczbaLubZero(std::string_view tekst) noexcept {
    std::size_t i = 0;
    while (i < tekst.size() && tekst[i] == ' ') ++i;
    bool ujemna = false;
    if (i < tekst.size() && (tekst[i] == '+' || tekst[i] == '-')) ujemna = tekst[i++] == '-';
    if (i == tekst.size()) return 0;
    // Accumulated as a magnitude so that the most negative number fits.
    const std::int64_t granica = ujemna ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t wartosc = 0;
    for (; i < tekst.size(); ++i) {
        if (tekst[i] < '0' || tekst[i] > '9') return 0;
        wartosc = wartosc * 10 + (tekst[i] - '0');
        if (wartosc > granica) return 0;
    }
    return static_cast<std::int32_t>(ujemna ? -wartosc : wartosc);
}

WersjaPliku RozbierzWersje(std::string_view tekst) noexcept {
    const auto kropka = tekst.find('.');
    WersjaPliku wersja;
    if (kropka != std::string_view::npos) {
        wersja.glowna = LiczbaLubZero(tekst.substr(0, kropka));
        tekst.remove_prefix(kropka + 1);
    }
    wersja.poboczna = LiczbaLubZero(tekst.substr(0, tekst.find('.')));
    return wersja;
}
