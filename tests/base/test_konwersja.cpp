#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "base/Jezyki.h"
#include "base/KonwersjaZnakow.h"
#include "base/StronyKodowe.h"

namespace {

// UTF-8 text in a code page, through the library's own decoder and tables.
std::string Zakoduj(std::string_view utf8, StronaKodowa strona) {
    std::string wynik;
    for (std::size_t i = 0; i < utf8.size();) {
        const ZnakUtf8 znak = CzytajZnakUtf8(utf8, i);
        EXPECT_TRUE(znak.poprawny) << "at " << i;
        if (!znak.poprawny) return wynik;
        i += znak.dlugosc;
        const std::optional<uint8_t> bajt = BajtZnaku(strona, znak.znak);
        EXPECT_TRUE(bajt.has_value()) << "U+" << std::hex << uint32_t(znak.znak);
        wynik += static_cast<char>(bajt.value_or('?'));
    }
    return wynik;
}

std::string WszystkieBajty() {
    std::string wynik;
    for (int b = 0; b < 256; ++b) wynik += static_cast<char>(b);
    return wynik;
}

constexpr StronaKodowa Strony[] = {StronaKodowa::Windows1250, StronaKodowa::Windows1251,
                                   StronaKodowa::Windows1252, StronaKodowa::Windows1254};

struct PrzypadekUtf8 {
    const char* opis;
    std::string_view tekst;
    char32_t znak;
    uint8_t dlugosc;
    bool poprawny;
};

const PrzypadekUtf8 PrzypadkiUtf8[] = {
    {"ASCII", "A", U'A', 1, true},
    {"two bytes", "\xC5\xBC", U'ż', 2, true},
    {"three bytes", "\xE2\x82\xAC", U'€', 3, true},
    {"four bytes", "\xF0\x9F\x98\x80", 0x1F600, 4, true},
    {"highest code point", "\xF4\x8F\xBF\xBF", 0x10FFFF, 4, true},
    {"end of text", "", 0, 0, false},
    {"truncated two", "\xC5", 0, 1, false},
    {"truncated four", "\xF0\x9F\x98", 0, 1, false},
    {"stray continuation", "\x80" "A", 0, 1, false},
    {"continuation missing", "\xC5" "A", 0, 1, false},
    {"overlong two", "\xC0\xAF", 0, 1, false},
    {"overlong three", "\xE0\x80\xAF", 0, 1, false},
    {"overlong four", "\xF0\x80\x80\xAF", 0, 1, false},
    {"surrogate", "\xED\xA0\x80", 0, 1, false},
    {"above U+10FFFF", "\xF4\x90\x80\x80", 0, 1, false},
    {"five-byte lead", "\xF8\x88\x80\x80\x80", 0, 1, false},
    {"byte FF", "\xFF", 0, 1, false},
};

TEST(StronyKodowe, CzytajZnakUtf8) {
    for (const PrzypadekUtf8& p : PrzypadkiUtf8) {
        const ZnakUtf8 znak = CzytajZnakUtf8(p.tekst, 0);
        EXPECT_EQ(znak.poprawny, p.poprawny) << p.opis;
        EXPECT_EQ(znak.dlugosc, p.dlugosc) << p.opis;
        EXPECT_EQ(uint32_t(znak.znak), uint32_t(p.znak)) << p.opis;
    }
}

TEST(StronyKodowe, KazdyBajtWracaPrzezSwojZnak) {
    for (StronaKodowa strona : Strony)
        for (int b = 0; b < 256; ++b)
            EXPECT_EQ(BajtZnaku(strona, ZnakBajtu(strona, uint8_t(b))), uint8_t(b))
                << int(strona) << " byte " << b;
}

struct PrzypadekZnaku {
    StronaKodowa strona;
    char32_t znak;
    std::optional<uint8_t> bajt;
};

TEST(StronyKodowe, ZnakiWStronachIPozaNimi) {
    const PrzypadekZnaku przypadki[] = {
        {StronaKodowa::Windows1250, U'ą', 0xB9},  {StronaKodowa::Windows1250, U'Ż', 0xAF},
        {StronaKodowa::Windows1250, U'„', 0x84},  {StronaKodowa::Windows1250, U'€', 0x80},
        {StronaKodowa::Windows1251, U'Ж', 0xC6},  {StronaKodowa::Windows1251, U'ё', 0xB8},
        {StronaKodowa::Windows1252, U'à', 0xE0},  {StronaKodowa::Windows1252, U'¿', 0xBF},
        {StronaKodowa::Windows1254, U'Ş', 0xDE},  {StronaKodowa::Windows1254, U'ı', 0xFD},
        // An undefined byte keeps its C1 stand-in.
        {StronaKodowa::Windows1250, U'\u0083', 0x83},
        {StronaKodowa::Windows1250, U'Ж', std::nullopt},
        {StronaKodowa::Windows1250, U'à', std::nullopt},
        {StronaKodowa::Windows1251, U'ą', std::nullopt},
        {StronaKodowa::Windows1252, U'ł', std::nullopt},
        {StronaKodowa::Windows1254, U'ţ', std::nullopt},
        {StronaKodowa::Windows1252, 0x110000, std::nullopt},
        {StronaKodowa::Windows1252, 0xFFFFFFFF, std::nullopt},
    };
    for (const PrzypadekZnaku& p : przypadki) {
        EXPECT_EQ(BajtZnaku(p.strona, p.znak), p.bajt)
            << int(p.strona) << " U+" << std::hex << uint32_t(p.znak);
        if (p.bajt) {
            EXPECT_EQ(uint32_t(ZnakBajtu(p.strona, *p.bajt)), uint32_t(p.znak));
        }
    }
}

TEST(StronyKodowe, KonwertujStroneKodowa) {
    struct Przypadek {
        std::string_view tekst;
        StronaKodowa z, na;
        std::string_view wynik;
    };
    const Przypadek przypadki[] = {
        {"Za\xBF\xF3\xB3\xE6", StronaKodowa::Windows1250, StronaKodowa::Windows1252, "Za?\xF3??"},
        {"\xA3\xF3" "d\x9F", StronaKodowa::Windows1250, StronaKodowa::Windows1251, "??d?"},
        {"\xC6\xE0", StronaKodowa::Windows1251, StronaKodowa::Windows1250, "??"},
        {"\xAA\xBA", StronaKodowa::Windows1250, StronaKodowa::Windows1254, "\xDE\xFE"},
        {"\xE0\xF3\xBF", StronaKodowa::Windows1252, StronaKodowa::Windows1250, "?\xF3?"},
        {"plain ASCII", StronaKodowa::Windows1251, StronaKodowa::Windows1252, "plain ASCII"},
        {"", StronaKodowa::Windows1250, StronaKodowa::Windows1251, ""},
    };
    for (const Przypadek& p : przypadki)
        EXPECT_EQ(KonwertujStroneKodowa(p.tekst, p.z, p.na), p.wynik) << p.tekst;
    // Same code page: every byte stays, undefined ones included.
    EXPECT_EQ(KonwertujStroneKodowa(WszystkieBajty(), StronaKodowa::Windows1252,
                                    StronaKodowa::Windows1252),
              WszystkieBajty());
}

struct PrzypadekTransliteracji {
    std::string_view cyrylica;
    std::string_view zapis;  // UTF-8 of the stored Latin form
};

// The pangram holds every one of the 33 letters.
const PrzypadekTransliteracji Transliteracje[] = {
    {"Съешь же ещё этих мягких французских булок, да выпей чаю",
     "Sxešq že ewë étih mägkih francuzskih bulok, da vypej čaü"},
    {"СЪЕШЬ ЖЕ ЕЩЁ ЭТИХ МЯГКИХ ФРАНЦУЗСКИХ БУЛОК, ДА ВЫПЕЙ ЧАЮ",
     "SXEŠQ ŽE EWË ÉTIH MÄGKIH FRANCUZSKIH BULOK, DA VYPEJ ČAÜ"},
    {"Ёлка «123»", "Ëlka «123»"},
    {"", ""},
};

TEST(KonwersjaZnakow, RosyjskiDoZapisuIZPowrotem) {
    for (const PrzypadekTransliteracji& p : Transliteracje) {
        const std::string cyrylica = Zakoduj(p.cyrylica, StronaKodowa::Windows1251);
        const std::string zapis = Zakoduj(p.zapis, StronaKodowa::Windows1250);
        EXPECT_EQ(KonwertujZnaki(cyrylica, JezykRosyjski, KierunekKonwersji::DoPostaciZapisanej), zapis)
            << p.zapis;
        EXPECT_EQ(KonwertujZnaki(zapis, JezykRosyjski, KierunekKonwersji::ZPostaciZapisanej), cyrylica)
            << p.zapis;
    }
}

TEST(KonwersjaZnakow, RosyjskiJestBijekcja) {
    const std::string wszystkie = WszystkieBajty();
    const std::string doZapisu =
        KonwertujZnaki(wszystkie, JezykRosyjski, KierunekKonwersji::DoPostaciZapisanej);
    const std::string zZapisu =
        KonwertujZnaki(wszystkie, JezykRosyjski, KierunekKonwersji::ZPostaciZapisanej);

    const std::string cyrylica = Zakoduj(
        "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя",
        StronaKodowa::Windows1251);
    const std::string lacina = Zakoduj(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyzËŽČŠÉÜÄëžčšéüä",
        StronaKodowa::Windows1250);
    ASSERT_EQ(cyrylica.size(), 66u);
    ASSERT_EQ(lacina.size(), 66u);
    const std::set<char> zbiorCyrylicy(cyrylica.begin(), cyrylica.end());
    const std::set<char> zbiorLaciny(lacina.begin(), lacina.end());

    std::set<char> obrazy;
    for (int b = 0; b < 256; ++b) {
        const char bajt = static_cast<char>(b);
        const bool jestCyrylica = zbiorCyrylicy.count(bajt) != 0;
        const bool jestLacina = zbiorLaciny.count(bajt) != 0;
        // To the stored form: exactly the Cyrillic letters move, each to its own Latin letter.
        EXPECT_EQ(doZapisu[b] != bajt, jestCyrylica) << b;
        if (jestCyrylica) {
            EXPECT_TRUE(zbiorLaciny.count(doZapisu[b])) << b;
            obrazy.insert(doZapisu[b]);
            EXPECT_EQ(zZapisu[static_cast<uint8_t>(doZapisu[b])], bajt) << b;
        }
        // From the stored form: exactly the Latin letters move, and come back.
        EXPECT_EQ(zZapisu[b] != bajt, jestLacina) << b;
        if (jestLacina) {
            EXPECT_EQ(doZapisu[static_cast<uint8_t>(zZapisu[b])], bajt) << b;
        }
    }
    EXPECT_EQ(obrazy, zbiorLaciny);
}

// For the languages that exchange letters, converting to the stored form is the
// same as converting the characters from the language's code page to
// Windows-1250, and back, for every character both have.
TEST(KonwersjaZnakow, WymianaZgodnaZeStronamiKodowymi) {
    struct Przypadek {
        uint8_t jezyk;
        std::size_t przeniesione;
    };
    const Przypadek przypadki[] = {
        {JezykFrancuski, 0}, {JezykWloski, 0},       {JezykSzwedzki, 0},
        {JezykPortugalski, 0}, {JezykTurecki, 2},
    };
    for (const Przypadek& p : przypadki) {
        const StronaKodowa strona = StronaKodowaJezyka(p.jezyk);
        std::size_t przeniesione = 0;
        for (int b = 0x80; b < 0x100; ++b) {
            const std::string bajt(1, static_cast<char>(b));
            const std::string doZapisu =
                KonwertujZnaki(bajt, p.jezyk, KierunekKonwersji::DoPostaciZapisanej);
            if (doZapisu != bajt) ++przeniesione;
            if (BajtZnaku(StronaKodowa::Windows1250, ZnakBajtu(strona, uint8_t(b)))) {
                EXPECT_EQ(doZapisu, KonwertujStroneKodowa(bajt, strona, StronaKodowa::Windows1250))
                    << int(p.jezyk) << " byte " << b;
                EXPECT_EQ(KonwertujZnaki(doZapisu, p.jezyk, KierunekKonwersji::ZPostaciZapisanej), bajt)
                    << int(p.jezyk) << " byte " << b;
            }
        }
        EXPECT_EQ(przeniesione, p.przeniesione) << int(p.jezyk);
    }
    EXPECT_EQ(KonwertujZnaki("\xDE\xFE", JezykTurecki, KierunekKonwersji::DoPostaciZapisanej),
              "\xAA\xBA");
}

TEST(KonwersjaZnakow, InneJezykiBezZmian) {
    // 134 and 255 carry the high bit: only the exact language values convert.
    const uint8_t jezyki[] = {JezykPolski, JezykAngielski, JezykNiemiecki, JezykHiszpanski,
                              JezykWegierski, JezykCzeski, JezykDunski, 13, 127, 134, 255};
    const std::string wszystkie = WszystkieBajty();
    for (uint8_t jezyk : jezyki) {
        EXPECT_EQ(KonwertujZnaki(wszystkie, jezyk, KierunekKonwersji::DoPostaciZapisanej), wszystkie)
            << int(jezyk);
        EXPECT_EQ(KonwertujZnaki(wszystkie, jezyk, KierunekKonwersji::ZPostaciZapisanej), wszystkie)
            << int(jezyk);
    }
}

} // namespace
