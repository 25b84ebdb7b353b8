#include "app/Umowa.h"

#include "base/Jezyki.h"

std::vector<std::string> PodzielNaLinie(std::string_view tekst) {
    std::vector<std::string> linie;
    std::size_t poczatek = 0;
    for (std::size_t i = 0; i < tekst.size(); ++i) {
        if (tekst[i] != '\r' && tekst[i] != '\n') continue;
        linie.emplace_back(tekst.substr(poczatek, i - poczatek));
        if (tekst[i] == '\r' && i + 1 < tekst.size() && tekst[i + 1] == '\n') ++i;
        poczatek = i + 1;
    }
    if (poczatek < tekst.size()) linie.emplace_back(tekst.substr(poczatek));
    return linie;
}

const ZbiorZnakow& ZnakiKlawiszowe() {
    static const ZbiorZnakow zbior =
        Zbior({138, 140, 142, 143, 154, 156, 158, 159, 163, 165, 170, 175, 179, 185, 186, 191},
              {{192, 214}, {216, 246}, {248, 255}});
    return zbior;
}

const ZbiorZnakow& ZnakiWymuszajace() {
    static const ZbiorZnakow zbior = Zbior({236, 241});
    return zbior;
}

bool TenSamJezykLokalizacji(std::uint8_t jezykPliku, std::uint32_t lokalizacja) {
    switch (jezykPliku) {
    case JezykPolski: return lokalizacja == 1045;
    case JezykFrancuski: return lokalizacja == 1036;
    default: return true;
    }
}

bool SciezkaKlawiszy(std::uint8_t jezykPliku, std::uint32_t lokalizacja, bool ntPowyzej4,
                     std::string_view linia) {
    return ntPowyzej4 && (!TenSamJezykLokalizacji(jezykPliku, lokalizacja) ||
                          ZawieraZnakZeZbioru(linia, ZnakiWymuszajace()));
}

std::string_view UkladKlawiaturyDlaJezyka(std::uint8_t jezykPliku) {
    return jezykPliku == JezykFrancuski ? "0000040c" : "00000415";
}

std::vector<KawalekLinii> PodzielNaKawalki(std::string_view linia) {
    std::vector<KawalekLinii> kawalki;
    std::size_t poczatek = 0;
    for (std::size_t i = 0; i < linia.size(); ++i) {
        if (!ZnakiKlawiszowe().test(static_cast<unsigned char>(linia[i]))) continue;
        if (i > poczatek) kawalki.push_back({false, std::string(linia.substr(poczatek, i - poczatek))});
        kawalki.push_back({true, std::string(1, linia[i])});
        poczatek = i + 1;
    }
    if (poczatek < linia.size()) kawalki.push_back({false, std::string(linia.substr(poczatek))});
    return kawalki;
}
