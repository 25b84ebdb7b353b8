#pragma once
// The interface languages (`JezykInterfejsu`, one byte) and what belongs to each:
// the two-letter code, the font character set (as the GDI number) and the agreement
// file. Languages 7..12 have no column in the text table; they serve fonts and
// agreement files only.

#include <array>
#include <cstdint>
#include <string_view>

#include "base/StronyKodowe.h"
#include "ui/Types.h"

inline constexpr uint8_t JezykPolski = 0;
inline constexpr uint8_t JezykAngielski = 1;
inline constexpr uint8_t JezykFrancuski = 2;
inline constexpr uint8_t JezykNiemiecki = 3;
inline constexpr uint8_t JezykWloski = 4;
inline constexpr uint8_t JezykHiszpanski = 5;
inline constexpr uint8_t JezykRosyjski = 6;
inline constexpr uint8_t JezykWegierski = 7;
inline constexpr uint8_t JezykSzwedzki = 8;
inline constexpr uint8_t JezykPortugalski = 9;
inline constexpr uint8_t JezykCzeski = 10;
inline constexpr uint8_t JezykDunski = 11;
inline constexpr uint8_t JezykTurecki = 12;
inline constexpr int LiczbaJezykow = 13;

// Font character sets: the widget layer's GDI numbers.
inline constexpr uint8_t ZestawAnsi = ui::kCharsetAnsi;
inline constexpr uint8_t ZestawTurecki = ui::kCharsetTurkish;
inline constexpr uint8_t ZestawRosyjski = ui::kCharsetRussian;
inline constexpr uint8_t ZestawEuropyWschodniej = ui::kCharsetEastEurope;

struct TJezyk {
    std::string_view Kod;         // two letters, e.g. "PL"
    uint8_t ZestawZnakow;         // font character set
    std::string_view PlikUmowy;   // agreement file name in the source folder
    // The language's name in itself, in the code page of its own character
    // set (StronaKodowaJezyka): what a screen reader says for its flag,
    // whatever the interface language.
    std::string_view NazwaWlasna;
};

// Turkish is written with the 1252 literal: its two letters here have the
// same bytes in 1254.
inline constexpr std::array<TJezyk, LiczbaJezykow> Jezyki = {{
    {"PL", ZestawEuropyWschodniej, "umowapol.txt", "Polski"},
    {"EN", ZestawEuropyWschodniej, "umowaang.txt", "English"},
    {"FR", ZestawAnsi, "umowafr.txt", "Français"_cp1252},
    {"DE", ZestawEuropyWschodniej, "umowadeu.txt", "Deutsch"},
    {"IT", ZestawAnsi, "umowait.txt", "Italiano"},
    {"ES", ZestawAnsi, "umowaes.txt", "Español"_cp1252},
    {"RU", ZestawRosyjski, "umowaru.txt", "Русский"_cp1251},
    {"HU", ZestawEuropyWschodniej, "umowahu.txt", "Magyar"},
    {"SV", ZestawAnsi, "umowasv.txt", "Svenska"},
    {"PO", ZestawAnsi, "umowapo.txt", "Português"_cp1252},
    {"CZ", ZestawEuropyWschodniej, "umowacz.txt", "Čeština"_cp1250},
    {"DA", ZestawAnsi, "umowada.txt", "Dansk"},
    {"TU", ZestawTurecki, "umowatu.txt", "Türkçe"_cp1252},
}};

// The record of a language. A value outside 0..12 gets the Polish record: the
// program's own language, whose texts and agreement always exist.
[[nodiscard]] constexpr const TJezyk& DaneJezyka(uint8_t jezyk) {
    return jezyk < Jezyki.size() ? Jezyki[jezyk] : Jezyki[JezykPolski];
}

// The code page in which text written for a font character set is shown. A set
// that no language uses reads as Windows-1250.
// The widget layer holds the one mapping; the text table relies on it.
[[nodiscard]] constexpr StronaKodowa StronaKodowaZestawu(uint8_t zestaw) {
    return static_cast<StronaKodowa>(ui::CodePageOfCharset(zestaw));
}
static_assert(StronaKodowaZestawu(ZestawAnsi) == StronaKodowa::Windows1252 &&
              StronaKodowaZestawu(ZestawTurecki) == StronaKodowa::Windows1254 &&
              StronaKodowaZestawu(ZestawRosyjski) == StronaKodowa::Windows1251 &&
              StronaKodowaZestawu(ZestawEuropyWschodniej) == StronaKodowa::Windows1250);

// The code page of a language's font character set: the code page in which that
// language's texts and agreement file are written.
[[nodiscard]] constexpr StronaKodowa StronaKodowaJezyka(uint8_t jezyk) {
    return StronaKodowaZestawu(DaneJezyka(jezyk).ZestawZnakow);
}

// The interface language of a thread locale: German, Spanish, French, Italian
// and Russian locales give their language; every other locale, Polish and
// English included, gives Polish.
[[nodiscard]] constexpr uint8_t JezykZLokalizacji(uint32_t lcid) {
    switch (lcid) {
    case 1031: case 2055: case 3079: case 4103: case 5127: return JezykNiemiecki;
    case 1034: case 2058: case 3082: return JezykHiszpanski;
    case 1036: case 2060: case 3084: return JezykFrancuski;
    case 1040: case 2064: return JezykWloski;
    case 1049: return JezykRosyjski;
    default: return JezykPolski;
    }
}
