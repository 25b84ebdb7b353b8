#include "base/KonwersjaZnakow.h"

namespace {

// Each direction undoes the other on the bytes the mapping lists.
constexpr bool Odwracalna(const TMapaKonwersji& mapa) {
    std::size_t przeniesione = 0;
    for (std::size_t b = 0; b < 256; ++b) {
        const uint8_t zapisany = mapa.doZapisu[b];
        if (zapisany != b) {
            ++przeniesione;
            if (mapa.zZapisu[zapisany] != b) return false;
        }
        const uint8_t jezyka = mapa.zZapisu[b];
        if (jezyka != b && mapa.doZapisu[jezyka] != b) return false;
    }
    return przeniesione == mapa.liczbaPar;
}

// Every Cyrillic letter of Windows-1251 has its own stored letter, so no Russian
// text loses a letter on the way to the stored form and back.
constexpr bool CyrylicaPelna() {
    for (std::size_t b = 0x80; b < 0x100; ++b) {
        const bool cyrylica = b >= 0xC0 || b == 0xA8 || b == 0xB8;
        if (cyrylica != (MapaRosyjska.doZapisu[b] != b)) return false;
    }
    return true;
}

static_assert(MapaRosyjska.liczbaPar == 66 && CyrylicaPelna() && Odwracalna(MapaRosyjska));
static_assert(MapaZachodnia.liczbaPar == 0);
static_assert(MapaTurecka.liczbaPar == 2 && Odwracalna(MapaTurecka) &&
              MapaTurecka.doZapisu[0xDE] == 0xAA && MapaTurecka.doZapisu[0xFE] == 0xBA);

} // namespace

std::string KonwertujZnaki(std::string_view tekst, uint8_t jezyk, KierunekKonwersji kierunek) {
    std::string wynik(tekst);
    if (!JezykKonwertowany(jezyk)) return wynik;
    const uint8_t kod = KodKonwersji(jezyk);
    for (char& c : wynik)
        c = static_cast<char>(KonwertujBajt(static_cast<uint8_t>(c), kod, kierunek));
    return wynik;
}
