#pragma once
// Character conversion between a language's code page and the stored form of its
// texts, which is Windows-1250 bytes. A conversion code, chosen by the language,
// selects a byte mapping; each byte is mapped on its own, and a byte that the
// mapping does not list stays as it is.
//
// Code 9 (Russian) pairs the 66 Cyrillic letters of Windows-1251 one to one with
// Latin letters of Windows-1250, so Russian text can be stored in Latin letters and
// turned back into Cyrillic. Codes 2, 5, 7, 13 (Windows-1252) and 16 (Windows-1254)
// exchange the letters that both code pages have at different byte values. For
// Windows-1252 there are none: every letter it shares with Windows-1250 sits at the
// same byte. Windows-1254 puts Ş and ş elsewhere.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Jezyki.h"
#include "base/StronyKodowe.h"

enum class KierunekKonwersji : uint8_t {
    DoPostaciZapisanej,  // from the language's code page to Windows-1250
    ZPostaciZapisanej,   // from Windows-1250 to the language's code page
};

inline constexpr uint8_t KodFrancuski = 2;
inline constexpr uint8_t KodSzwedzki = 5;
inline constexpr uint8_t KodWloski = 7;
inline constexpr uint8_t KodRosyjski = 9;
inline constexpr uint8_t KodPortugalski = 13;
inline constexpr uint8_t KodTurecki = 16;

// Conversion code of each language 0..12; the codes without a mapping of their own
// convert nothing.
inline constexpr std::array<uint8_t, LiczbaJezykow> KodyKonwersji = {
    4, 1, 2, 3, 7, 6, 9, 10, 5, 13, 14, 15, 16,
};

// The conversion code of a language, taken from its low seven bits; 0 (no mapping)
// for a value without one.
[[nodiscard]] constexpr uint8_t KodKonwersji(uint8_t jezyk) {
    const uint8_t wartosc = jezyk & 0x7F;
    return wartosc < KodyKonwersji.size() ? KodyKonwersji[wartosc] : 0;
}

// Whether the conversion applies to a language at all. Only these exact values
// convert; any other value, one with the high bit set included, leaves text as is.
[[nodiscard]] constexpr bool JezykKonwertowany(uint8_t jezyk) {
    switch (jezyk) {
    case JezykFrancuski:
    case JezykWloski:
    case JezykRosyjski:
    case JezykSzwedzki:
    case JezykPortugalski:
    case JezykTurecki: return true;
    default: return false;
    }
}

// A Russian letter and its stored Latin letter, in lower and upper case.
struct TLiteraRosyjska {
    char32_t mala, malaZapisana, duza, duzaZapisana;
};

inline constexpr std::array<TLiteraRosyjska, 33> TransliteracjaRosyjska = {{
    {U'а', U'a', U'А', U'A'},
    {U'б', U'b', U'Б', U'B'},
    {U'в', U'v', U'В', U'V'},
    {U'г', U'g', U'Г', U'G'},
    {U'д', U'd', U'Д', U'D'},
    {U'е', U'e', U'Е', U'E'},
    {U'ё', U'ë', U'Ё', U'Ë'},
    {U'ж', U'ž', U'Ж', U'Ž'},
    {U'з', U'z', U'З', U'Z'},
    {U'и', U'i', U'И', U'I'},
    {U'й', U'j', U'Й', U'J'},
    {U'к', U'k', U'К', U'K'},
    {U'л', U'l', U'Л', U'L'},
    {U'м', U'm', U'М', U'M'},
    {U'н', U'n', U'Н', U'N'},
    {U'о', U'o', U'О', U'O'},
    {U'п', U'p', U'П', U'P'},
    {U'р', U'r', U'Р', U'R'},
    {U'с', U's', U'С', U'S'},
    {U'т', U't', U'Т', U'T'},
    {U'у', U'u', U'У', U'U'},
    {U'ф', U'f', U'Ф', U'F'},
    {U'х', U'h', U'Х', U'H'},
    {U'ц', U'c', U'Ц', U'C'},
    {U'ч', U'č', U'Ч', U'Č'},
    {U'ш', U'š', U'Ш', U'Š'},
    {U'щ', U'w', U'Щ', U'W'},
    {U'ъ', U'x', U'Ъ', U'X'},
    {U'ы', U'y', U'Ы', U'Y'},
    {U'ь', U'q', U'Ь', U'Q'},
    {U'э', U'é', U'Э', U'É'},
    {U'ю', U'ü', U'Ю', U'Ü'},
    {U'я', U'ä', U'Я', U'Ä'},
}};

// A byte mapping in both directions. Bytes it does not list map to themselves.
struct TMapaKonwersji {
    std::array<uint8_t, 256> doZapisu{};
    std::array<uint8_t, 256> zZapisu{};
    std::size_t liczbaPar = 0;
};

namespace szczegoly {

// Deliberately not constexpr: two pairs sharing a byte would make a mapping lose
// letters. The mappings are built only while compiling, where reaching this call
// stops the build.
inline void MapowanieNiejednoznaczne() {}

class BudowaMapy {
public:
    constexpr BudowaMapy() {
        for (std::size_t b = 0; b < 256; ++b)
            mapa_.doZapisu[b] = mapa_.zZapisu[b] = static_cast<uint8_t>(b);
    }
    constexpr void Dodaj(uint8_t jezyka, uint8_t zapisany) {
        if (zajetyJezyka_[jezyka] || zajetyZapisany_[zapisany]) MapowanieNiejednoznaczne();
        zajetyJezyka_[jezyka] = zajetyZapisany_[zapisany] = true;
        mapa_.doZapisu[jezyka] = zapisany;
        mapa_.zZapisu[zapisany] = jezyka;
        ++mapa_.liczbaPar;
    }
    constexpr TMapaKonwersji Mapa() const { return mapa_; }

private:
    TMapaKonwersji mapa_{};
    std::array<bool, 256> zajetyJezyka_{};
    std::array<bool, 256> zajetyZapisany_{};
};

constexpr TMapaKonwersji MapaRosyjska() {
    BudowaMapy budowa;
    for (const TLiteraRosyjska& litera : TransliteracjaRosyjska) {
        budowa.Dodaj(WymaganyBajtZnaku(StronaKodowa::Windows1251, litera.mala),
                     WymaganyBajtZnaku(StronaKodowa::Windows1250, litera.malaZapisana));
        budowa.Dodaj(WymaganyBajtZnaku(StronaKodowa::Windows1251, litera.duza),
                     WymaganyBajtZnaku(StronaKodowa::Windows1250, litera.duzaZapisana));
    }
    return budowa.Mapa();
}

// The characters a code page shares with Windows-1250 at another byte. The C1
// stand-ins for undefined bytes are no characters and take no part.
constexpr TMapaKonwersji MapaWymiany(StronaKodowa strona) {
    BudowaMapy budowa;
    for (std::size_t b = 0x80; b < 0x100; ++b) {
        const char32_t znak = ZnakBajtu(strona, static_cast<uint8_t>(b));
        if (znak >= 0x80 && znak < 0xA0) continue;
        const std::optional<uint8_t> zapisany = BajtZnaku(StronaKodowa::Windows1250, znak);
        if (zapisany && *zapisany != b) budowa.Dodaj(static_cast<uint8_t>(b), *zapisany);
    }
    return budowa.Mapa();
}

} // namespace szczegoly

inline constexpr TMapaKonwersji MapaRosyjska = szczegoly::MapaRosyjska();
inline constexpr TMapaKonwersji MapaZachodnia = szczegoly::MapaWymiany(StronaKodowa::Windows1252);
inline constexpr TMapaKonwersji MapaTurecka = szczegoly::MapaWymiany(StronaKodowa::Windows1254);

// One byte through the mapping of a conversion code; a code without a mapping
// leaves every byte as it is.
[[nodiscard]] constexpr uint8_t KonwertujBajt(uint8_t bajt, uint8_t kod, KierunekKonwersji kierunek) {
    const auto przez = [&](const TMapaKonwersji& mapa) {
        return kierunek == KierunekKonwersji::DoPostaciZapisanej ? mapa.doZapisu[bajt]
                                                                 : mapa.zZapisu[bajt];
    };
    switch (kod) {
    case KodRosyjski: return przez(MapaRosyjska);
    case KodFrancuski:
    case KodSzwedzki:
    case KodWloski:
    case KodPortugalski: return przez(MapaZachodnia);
    case KodTurecki: return przez(MapaTurecka);
    default: return bajt;
    }
}

// Converts a string for a language: languages 2, 4, 6, 8, 9 and 12 through the
// mapping of their conversion code, every other value unchanged. The result has
// the length of the input.
[[nodiscard]] std::string KonwertujZnaki(std::string_view tekst, uint8_t jezyk,
                                         KierunekKonwersji kierunek);
