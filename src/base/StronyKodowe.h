#pragma once
// The single-byte Windows code pages of the program's texts: 1250 (the program's
// own, Central European), 1251 (Cyrillic), 1252 (West European) and 1254 (Turkish).
// Bytes 0..127 are ASCII in all four; the tables give the characters of 128..255.
// A byte that a code page leaves undefined stands for the C1 control of the same
// value, so every byte has a character and a conversion between two code pages
// keeps every byte it can.
//
// Everything here is constexpr so that tables of text can be written in UTF-8 and
// turned into their single-byte form while the program is compiled.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The value is the code page's number, as the system's conversion functions take it.
enum class StronaKodowa : uint16_t {
    Windows1250 = 1250,
    Windows1251 = 1251,
    Windows1252 = 1252,
    Windows1254 = 1254,
};

// Characters of the bytes 128..255, in byte order.
inline constexpr std::array<char32_t, 128> Tablica1250 = {
    /* 80 */ U'€', U'\u0081', U'‚', U'\u0083', U'„', U'…', U'†', U'‡', U'\u0088', U'‰', U'Š', U'‹', U'Ś', U'Ť', U'Ž', U'Ź',
    /* 90 */ U'\u0090', U'‘', U'’', U'“', U'”', U'•', U'–', U'—', U'\u0098', U'™', U'š', U'›', U'ś', U'ť', U'ž', U'ź',
    /* A0 */ U'\u00A0', U'ˇ', U'˘', U'Ł', U'¤', U'Ą', U'¦', U'§', U'¨', U'©', U'Ş', U'«', U'¬', U'\u00AD', U'®', U'Ż',
    /* B0 */ U'°', U'±', U'˛', U'ł', U'´', U'µ', U'¶', U'·', U'¸', U'ą', U'ş', U'»', U'Ľ', U'˝', U'ľ', U'ż',
    /* C0 */ U'Ŕ', U'Á', U'Â', U'Ă', U'Ä', U'Ĺ', U'Ć', U'Ç', U'Č', U'É', U'Ę', U'Ë', U'Ě', U'Í', U'Î', U'Ď',
    /* D0 */ U'Đ', U'Ń', U'Ň', U'Ó', U'Ô', U'Ő', U'Ö', U'×', U'Ř', U'Ů', U'Ú', U'Ű', U'Ü', U'Ý', U'Ţ', U'ß',
    /* E0 */ U'ŕ', U'á', U'â', U'ă', U'ä', U'ĺ', U'ć', U'ç', U'č', U'é', U'ę', U'ë', U'ě', U'í', U'î', U'ď',
    /* F0 */ U'đ', U'ń', U'ň', U'ó', U'ô', U'ő', U'ö', U'÷', U'ř', U'ů', U'ú', U'ű', U'ü', U'ý', U'ţ', U'˙',
};

inline constexpr std::array<char32_t, 128> Tablica1251 = {
    /* 80 */ U'Ђ', U'Ѓ', U'‚', U'ѓ', U'„', U'…', U'†', U'‡', U'€', U'‰', U'Љ', U'‹', U'Њ', U'Ќ', U'Ћ', U'Џ',
    /* 90 */ U'ђ', U'‘', U'’', U'“', U'”', U'•', U'–', U'—', U'\u0098', U'™', U'љ', U'›', U'њ', U'ќ', U'ћ', U'џ',
    /* A0 */ U'\u00A0', U'Ў', U'ў', U'Ј', U'¤', U'Ґ', U'¦', U'§', U'Ё', U'©', U'Є', U'«', U'¬', U'\u00AD', U'®', U'Ї',
    /* B0 */ U'°', U'±', U'І', U'і', U'ґ', U'µ', U'¶', U'·', U'ё', U'№', U'є', U'»', U'ј', U'Ѕ', U'ѕ', U'ї',
    /* C0 */ U'А', U'Б', U'В', U'Г', U'Д', U'Е', U'Ж', U'З', U'И', U'Й', U'К', U'Л', U'М', U'Н', U'О', U'П',
    /* D0 */ U'Р', U'С', U'Т', U'У', U'Ф', U'Х', U'Ц', U'Ч', U'Ш', U'Щ', U'Ъ', U'Ы', U'Ь', U'Э', U'Ю', U'Я',
    /* E0 */ U'а', U'б', U'в', U'г', U'д', U'е', U'ж', U'з', U'и', U'й', U'к', U'л', U'м', U'н', U'о', U'п',
    /* F0 */ U'р', U'с', U'т', U'у', U'ф', U'х', U'ц', U'ч', U'ш', U'щ', U'ъ', U'ы', U'ь', U'э', U'ю', U'я',
};

inline constexpr std::array<char32_t, 128> Tablica1252 = {
    /* 80 */ U'€', U'\u0081', U'‚', U'ƒ', U'„', U'…', U'†', U'‡', U'ˆ', U'‰', U'Š', U'‹', U'Œ', U'\u008D', U'Ž', U'\u008F',
    /* 90 */ U'\u0090', U'‘', U'’', U'“', U'”', U'•', U'–', U'—', U'˜', U'™', U'š', U'›', U'œ', U'\u009D', U'ž', U'Ÿ',
    /* A0 */ U'\u00A0', U'¡', U'¢', U'£', U'¤', U'¥', U'¦', U'§', U'¨', U'©', U'ª', U'«', U'¬', U'\u00AD', U'®', U'¯',
    /* B0 */ U'°', U'±', U'²', U'³', U'´', U'µ', U'¶', U'·', U'¸', U'¹', U'º', U'»', U'¼', U'½', U'¾', U'¿',
    /* C0 */ U'À', U'Á', U'Â', U'Ã', U'Ä', U'Å', U'Æ', U'Ç', U'È', U'É', U'Ê', U'Ë', U'Ì', U'Í', U'Î', U'Ï',
    /* D0 */ U'Ð', U'Ñ', U'Ò', U'Ó', U'Ô', U'Õ', U'Ö', U'×', U'Ø', U'Ù', U'Ú', U'Û', U'Ü', U'Ý', U'Þ', U'ß',
    /* E0 */ U'à', U'á', U'â', U'ã', U'ä', U'å', U'æ', U'ç', U'è', U'é', U'ê', U'ë', U'ì', U'í', U'î', U'ï',
    /* F0 */ U'ð', U'ñ', U'ò', U'ó', U'ô', U'õ', U'ö', U'÷', U'ø', U'ù', U'ú', U'û', U'ü', U'ý', U'þ', U'ÿ',
};

inline constexpr std::array<char32_t, 128> Tablica1254 = {
    /* 80 */ U'€', U'\u0081', U'‚', U'ƒ', U'„', U'…', U'†', U'‡', U'ˆ', U'‰', U'Š', U'‹', U'Œ', U'\u008D', U'\u008E', U'\u008F',
    /* 90 */ U'\u0090', U'‘', U'’', U'“', U'”', U'•', U'–', U'—', U'˜', U'™', U'š', U'›', U'œ', U'\u009D', U'\u009E', U'Ÿ',
    /* A0 */ U'\u00A0', U'¡', U'¢', U'£', U'¤', U'¥', U'¦', U'§', U'¨', U'©', U'ª', U'«', U'¬', U'\u00AD', U'®', U'¯',
    /* B0 */ U'°', U'±', U'²', U'³', U'´', U'µ', U'¶', U'·', U'¸', U'¹', U'º', U'»', U'¼', U'½', U'¾', U'¿',
    /* C0 */ U'À', U'Á', U'Â', U'Ã', U'Ä', U'Å', U'Æ', U'Ç', U'È', U'É', U'Ê', U'Ë', U'Ì', U'Í', U'Î', U'Ï',
    /* D0 */ U'Ğ', U'Ñ', U'Ò', U'Ó', U'Ô', U'Õ', U'Ö', U'×', U'Ø', U'Ù', U'Ú', U'Û', U'Ü', U'İ', U'Ş', U'ß',
    /* E0 */ U'à', U'á', U'â', U'ã', U'ä', U'å', U'æ', U'ç', U'è', U'é', U'ê', U'ë', U'ì', U'í', U'î', U'ï',
    /* F0 */ U'ğ', U'ñ', U'ò', U'ó', U'ô', U'õ', U'ö', U'÷', U'ø', U'ù', U'ú', U'û', U'ü', U'ı', U'ş', U'ÿ',
};

namespace szczegoly {

struct ParaZnakBajt {
    char32_t znak;
    uint8_t bajt;
};
using OdwrotnaTablica = std::array<ParaZnakBajt, 128>;

// The upper half sorted by character, for a binary search from character to byte.
constexpr OdwrotnaTablica Odwroc(const std::array<char32_t, 128>& tablica) {
    OdwrotnaTablica wynik{};
    for (std::size_t i = 0; i < tablica.size(); ++i) {
        ParaZnakBajt para{tablica[i], static_cast<uint8_t>(0x80 + i)};
        std::size_t j = i;
        for (; j > 0 && wynik[j - 1].znak > para.znak; --j) wynik[j] = wynik[j - 1];
        wynik[j] = para;
    }
    return wynik;
}

// A code page must not hold a character twice, nor an ASCII character in its upper
// half: either would make the byte of a character ambiguous.
constexpr bool Jednoznaczna(const OdwrotnaTablica& odwrotna) {
    if (odwrotna[0].znak < 0x80) return false;
    for (std::size_t i = 1; i < odwrotna.size(); ++i)
        if (odwrotna[i - 1].znak == odwrotna[i].znak) return false;
    return true;
}

inline constexpr OdwrotnaTablica Odwrotna1250 = Odwroc(Tablica1250);
inline constexpr OdwrotnaTablica Odwrotna1251 = Odwroc(Tablica1251);
inline constexpr OdwrotnaTablica Odwrotna1252 = Odwroc(Tablica1252);
inline constexpr OdwrotnaTablica Odwrotna1254 = Odwroc(Tablica1254);
static_assert(Jednoznaczna(Odwrotna1250) && Jednoznaczna(Odwrotna1251) &&
              Jednoznaczna(Odwrotna1252) && Jednoznaczna(Odwrotna1254));

constexpr const OdwrotnaTablica& OdwrotnaStrony(StronaKodowa strona) {
    switch (strona) {
    case StronaKodowa::Windows1251: return Odwrotna1251;
    case StronaKodowa::Windows1252: return Odwrotna1252;
    case StronaKodowa::Windows1254: return Odwrotna1254;
    case StronaKodowa::Windows1250: break;
    }
    return Odwrotna1250;
}

} // namespace szczegoly

// The upper half of a code page. A value outside the four (a cast number) reads as
// Windows-1250, the program's own code page.
constexpr const std::array<char32_t, 128>& TablicaStrony(StronaKodowa strona) {
    switch (strona) {
    case StronaKodowa::Windows1251: return Tablica1251;
    case StronaKodowa::Windows1252: return Tablica1252;
    case StronaKodowa::Windows1254: return Tablica1254;
    case StronaKodowa::Windows1250: break;
    }
    return Tablica1250;
}

// The Unicode code point of a byte.
[[nodiscard]] constexpr char32_t ZnakBajtu(StronaKodowa strona, uint8_t bajt) {
    return bajt < 0x80 ? char32_t{bajt} : TablicaStrony(strona)[bajt - 0x80];
}

// The byte of a code point, or nothing when the code page cannot hold it.
[[nodiscard]] constexpr std::optional<uint8_t> BajtZnaku(StronaKodowa strona, char32_t znak) {
    if (znak < 0x80) return static_cast<uint8_t>(znak);
    const szczegoly::OdwrotnaTablica& odwrotna = szczegoly::OdwrotnaStrony(strona);
    std::size_t od = 0, do_ = odwrotna.size();
    while (od < do_) {
        const std::size_t srodek = (od + do_) / 2;
        if (odwrotna[srodek].znak < znak)
            od = srodek + 1;
        else
            do_ = srodek;
    }
    if (od < odwrotna.size() && odwrotna[od].znak == znak) return odwrotna[od].bajt;
    return std::nullopt;
}

// Deliberately not constexpr: reached while a constant is evaluated, the call stops
// the build, and the compiler's message names the reason. At run time the
// character becomes '?', as in every conversion here.
inline uint8_t ZnakPozaStronaKodowa() { return '?'; }

// The byte of a code point that the code page must hold. In a constant expression a
// character outside the code page is a compile error.
[[nodiscard]] constexpr uint8_t WymaganyBajtZnaku(StronaKodowa strona, char32_t znak) {
    const std::optional<uint8_t> bajt = BajtZnaku(strona, znak);
    return bajt ? *bajt : ZnakPozaStronaKodowa();
}

// One character read from UTF-8 text.
struct ZnakUtf8 {
    char32_t znak;     // the code point; 0 when not poprawny
    uint8_t dlugosc;   // bytes consumed: 1..4; 1 for a malformed byte, so reading can go
                       // on after it; 0 at the end of the text
    bool poprawny;     // false for a truncated, overlong or stray sequence, a surrogate,
                       // a code point above U+10FFFF, and at the end of the text
};

// Reads the character that begins at byte `pozycja` of `tekst`.
[[nodiscard]] constexpr ZnakUtf8 CzytajZnakUtf8(std::string_view tekst, std::size_t pozycja) {
    if (pozycja >= tekst.size()) return {0, 0, false};
    const auto bajt = [&](std::size_t i) { return static_cast<uint8_t>(tekst[i]); };
    const uint8_t pierwszy = bajt(pozycja);
    if (pierwszy < 0x80) return {pierwszy, 1, true};

    // The lead byte gives the length, its own bits of the code point, and the least
    // code point of that length; below it the sequence is overlong.
    uint8_t dlugosc = 0;
    char32_t znak = 0;
    char32_t najmniejszy = 0;
    if ((pierwszy & 0xE0) == 0xC0) {
        dlugosc = 2;
        znak = pierwszy & 0x1F;
        najmniejszy = 0x80;
    } else if ((pierwszy & 0xF0) == 0xE0) {
        dlugosc = 3;
        znak = pierwszy & 0x0F;
        najmniejszy = 0x800;
    } else if ((pierwszy & 0xF8) == 0xF0) {
        dlugosc = 4;
        znak = pierwszy & 0x07;
        najmniejszy = 0x10000;
    } else {
        return {0, 1, false};
    }
    if (tekst.size() - pozycja < dlugosc) return {0, 1, false};
    for (std::size_t i = 1; i < dlugosc; ++i) {
        const uint8_t nastepny = bajt(pozycja + i);
        if ((nastepny & 0xC0) != 0x80) return {0, 1, false};
        znak = (znak << 6) | (nastepny & 0x3F);
    }
    if (znak < najmniejszy || znak > 0x10FFFF || (znak >= 0xD800 && znak <= 0xDFFF))
        return {0, 1, false};
    return {znak, dlugosc, true};
}

// Converts single-byte text from one code page to another, byte for byte; a
// character that the target code page cannot hold becomes '?'.
[[nodiscard]] inline std::string KonwertujStroneKodowa(std::string_view tekst, StronaKodowa z,
                                                       StronaKodowa na) {
    std::string wynik(tekst);
    if (z == na) return wynik;
    for (char& c : wynik) {
        const uint8_t bajt = static_cast<uint8_t>(c);
        if (bajt < 0x80) continue;
        c = static_cast<char>(BajtZnaku(na, ZnakBajtu(z, bajt)).value_or('?'));
    }
    return wynik;
}

// Single-byte text written readably in the source: "Język"_cp1250 is the five
// bytes the program holds for it. A character the code page lacks, or a
// malformed sequence, stops the build.
template <std::size_t N>
struct LiteralUtf8 {
    char znaki[N]{};
    consteval LiteralUtf8(const char (&tekst)[N]) {
        for (std::size_t i = 0; i < N; ++i) znaki[i] = tekst[i];
    }
    constexpr std::string_view Tekst() const { return {znaki, N - 1}; }
};

namespace szczegoly {

// Deliberately not constexpr, as ZnakPozaStronaKodowa.
inline void NiepoprawnyLiteralUtf8() {}

constexpr std::size_t LiczbaZnakow(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8)
        if ((static_cast<uint8_t>(c) & 0xC0) != 0x80) ++n;
    return n;
}

// The literal's bytes with a terminating zero, made while compiling.
template <StronaKodowa Strona, LiteralUtf8 Utf8>
inline constexpr auto Zapis = [] {
    constexpr std::string_view tekst = Utf8.Tekst();
    std::array<char, LiczbaZnakow(tekst) + 1> bajty{};
    std::size_t poz = 0;
    for (std::size_t i = 0; i < tekst.size();) {
        const ZnakUtf8 z = CzytajZnakUtf8(tekst, i);
        if (!z.poprawny) NiepoprawnyLiteralUtf8();
        bajty[poz++] = static_cast<char>(WymaganyBajtZnaku(Strona, z.znak));
        i += z.dlugosc;
    }
    return bajty;
}();

}  // namespace szczegoly

template <LiteralUtf8 Utf8>
constexpr const char* operator""_cp1250() {
    return szczegoly::Zapis<StronaKodowa::Windows1250, Utf8>.data();
}
template <LiteralUtf8 Utf8>
constexpr const char* operator""_cp1251() {
    return szczegoly::Zapis<StronaKodowa::Windows1251, Utf8>.data();
}
template <LiteralUtf8 Utf8>
constexpr const char* operator""_cp1252() {
    return szczegoly::Zapis<StronaKodowa::Windows1252, Utf8>.data();
}
