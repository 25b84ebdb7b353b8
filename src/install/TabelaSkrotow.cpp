#include "install/TabelaSkrotow.h"

#include "base/StronyKodowe.h"
#include "base/Wydania.h"

namespace {

constexpr std::uint8_t G = SkrotGrupy;
constexpr std::uint8_t GT = SkrotGrupy | SkrotPulpituTranslatora;
constexpr std::uint8_t GS = SkrotGrupy | SkrotPulpituSlownika;
constexpr std::uint8_t K = SkrotKonfiguracji;
constexpr std::uint8_t P = SkrotTlumaczeniaPlikow;

// Names are written in UTF-8 here and stored in Windows-1250 (see below).
struct TWierszZrodlowy {
    std::uint8_t Rodzaj;
    ZbiorWydan Wydania;
    ZbiorJezykow Jezyki;
    std::string_view Plik;
    std::string_view Nazwa;
};

// From edition 4 on, a target has a Polish row for language 0 and a row in the
// edition's own language. The Russian edition keeps Polish names for both:
// link names are file names in the program's code page, which has no Cyrillic.
constexpr TWierszZrodlowy kWiersze[] = {
    // Editions 1 to 3, English-Polish translator.
    {G, {2, 3}, {0, 1}, "VeltEn.exe", "Translator angielsko-polski"},
    {G, {2, 3}, {0, 1}, "VeltPl.exe", "Translator polsko-angielski"},
    {G, {2, 3}, {0, 1}, "VeltInt.exe", "Translator stron WWW"},
    {G, {2, 3}, {0, 1}, "LexorEn.exe", "Słownik angielsko-polski"},
    {G, {2, 3}, {0, 1}, "LexorPl.exe", "Słownik polsko-angielski"},
    {G, {2, 3}, {0, 1}, "Ang_Gram.hlp", "Gramatyka angielska"},
    {G, {1, 2, 3, 4}, {0, 1, 2}, "Velt.hlp", "Pomoc do translatora"},
    {G, {1, 2, 3, 4}, {0, 1, 2}, "Lex_or.hlp", "Pomoc do słownika"},
    {G, {2, 3, 4}, {0, 1, 3}, "Deinstalator.exe", "Deinstalator"},
    {GT, {1}, {0, 1}, "Velt.exe", "Translator angielsko-polski"},
    {GS, {1}, {0, 1}, "Lexor.exe", "Słownik angielsko-polski"},
    {G, {1}, {0, 1}, "DeInstal.exe", "Deinstalator"},
    {K, {1, 2}, {0, 1}, "Konfig.exe", "Konfiguracja"},

    // Editions 4 and 6, German-Polish translator.
    {GT, {4, 6}, {0}, "VeltDe.exe", "Translator niemiecko-polski"},
    {GT, {4, 6}, {3}, "VeltDe.exe", "Übersetzer Deutsch-Polnisch"},
    {G, {4, 6}, {0}, "VeltPlDe.exe", "Translator polsko-niemiecki"},
    {G, {4, 6}, {3}, "VeltPlDe.exe", "Übersetzer Polnisch-Deutsch"},
    {GS, {4, 6}, {0}, "LexorDe.exe", "Słownik niemiecko-polski"},
    {GS, {4, 6}, {3}, "LexorDe.exe", "Wörterbuch Deutsch-Polnisch"},
    {G, {4, 6}, {0}, "Niem_Gram.hlp", "Gramatyka niemiecka"},
    {G, {4, 6}, {3}, "Niem_Gram.hlp", "Deutsche Grammatik"},
    {G, {6}, {0}, "VeltIntDe.exe", "Translator stron WWW"},
    {G, {6}, {3}, "VeltIntDe.exe", "Webseiten-Übersetzer"},
    {G | P, {6}, {0}, "VeltFileDe.exe", "Tłumaczenie plików"},
    {G | P, {6}, {3}, "VeltFileDe.exe", "Dateiübersetzung"},
    {G, {6}, {0}, "Velt.hlp", "Pomoc do translatora"},
    {G, {6}, {3}, "Velt.hlp", "Hilfe zum Übersetzer"},
    {G, {6}, {0}, "Deinstalator.exe", "Deinstalator"},
    {G, {6}, {3}, "Deinstalator.exe", "Deinstallation"},
    {K, {4, 6}, {0}, "Konfig.exe", "Konfiguracja"},
    {K, {4, 6}, {3}, "Konfig.exe", "Konfiguration"},

    // Edition 8, French-Polish translator.
    {GT, {8}, {0}, "VeltFr.exe", "Translator francusko-polski"},
    {GT, {8}, {2}, "VeltFr.exe", "Traducteur français-polonais"},
    {G, {8}, {0}, "VeltPlFr.exe", "Translator polsko-francuski"},
    {G, {8}, {2}, "VeltPlFr.exe", "Traducteur polonais-français"},
    {GS, {8}, {0}, "LexorFr.exe", "Słownik francusko-polski"},
    {GS, {8}, {2}, "LexorFr.exe", "Dictionnaire français-polonais"},
    {G | P, {8}, {0}, "VeltFileFr.exe", "Tłumaczenie plików"},
    {G | P, {8}, {2}, "VeltFileFr.exe", "Traduction de fichiers"},
    {G, {8}, {0}, "Velt.hlp", "Pomoc do translatora"},
    {G, {8}, {2}, "Velt.hlp", "Aide du traducteur"},
    {G, {8}, {0}, "Deinstalator.exe", "Deinstalator"},
    {G, {8}, {2}, "Deinstalator.exe", "Désinstallation"},

    // Editions 9 and 10, English and German dictionaries.
    {GS, {9}, {0}, "LexorEn.exe", "Słownik angielsko-polski"},
    {GS, {9}, {1}, "LexorEn.exe", "English-Polish Dictionary"},
    {GS, {9}, {0}, "LexorPl.exe", "Słownik polsko-angielski"},
    {GS, {9}, {1}, "LexorPl.exe", "Polish-English Dictionary"},
    {GS, {10}, {0}, "LexorDe.exe", "Słownik niemiecko-polski"},
    {GS, {10}, {3}, "LexorDe.exe", "Wörterbuch Deutsch-Polnisch"},
    {GS, {10}, {0}, "LexorPlDe.exe", "Słownik polsko-niemiecki"},
    {GS, {10}, {3}, "LexorPlDe.exe", "Wörterbuch Polnisch-Deutsch"},
    {G, {9, 10}, {0}, "Lex_or.hlp", "Pomoc do słownika"},
    {G, {9}, {1}, "Lex_or.hlp", "Dictionary Help"},
    {G, {10}, {3}, "Lex_or.hlp", "Hilfe zum Wörterbuch"},
    {G, {9, 10}, {0}, "Odinstaluj.exe", "Odinstaluj"},
    {G, {9}, {1}, "Odinstaluj.exe", "Uninstall"},
    {G, {10}, {3}, "Odinstaluj.exe", "Deinstallation"},

    // Editions 11 and 12, Italian-Polish translator.
    {GT, {11, 12}, {0}, "VeltIt.exe", "Translator włosko-polski"},
    {GT, {11, 12}, {4}, "VeltIt.exe", "Traduttore italiano-polacco"},
    {G, {11, 12}, {0}, "VeltPlIt.exe", "Translator polsko-włoski"},
    {G, {11, 12}, {4}, "VeltPlIt.exe", "Traduttore polacco-italiano"},
    {G, {12}, {0}, "VeltIntIt.exe", "Translator stron WWW"},
    {G, {12}, {4}, "VeltIntIt.exe", "Traduttore di pagine web"},
    {G, {11, 12}, {0}, "Wlo_Gram.hlp", "Gramatyka włoska"},
    {G, {11, 12}, {4}, "Wlo_Gram.hlp", "Grammatica italiana"},
    {G, {11, 12}, {0}, "Velt.hlp", "Pomoc do translatora"},
    {G, {11, 12}, {4}, "Velt.hlp", "Guida del traduttore"},
    {G, {11, 12}, {0}, "Deinstalator.exe", "Deinstalator"},
    {G, {11, 12}, {4}, "Deinstalator.exe", "Disinstallazione"},
    {K, {12}, {0}, "Konfig.exe", "Konfiguracja"},
    {K, {12}, {4}, "Konfig.exe", "Configurazione"},

    // Edition 14, Spanish-Polish translator.
    {GT, {14}, {0}, "VeltEs.exe", "Translator hiszpańsko-polski"},
    {GT, {14}, {5}, "VeltEs.exe", "Traductor espanol-polaco"},
    {G, {14}, {0}, "VeltPlEs.exe", "Translator polsko-hiszpański"},
    {G, {14}, {5}, "VeltPlEs.exe", "Traductor polaco-espanol"},
    {GS, {14}, {0}, "LexorEs.exe", "Słownik hiszpańsko-polski"},
    {GS, {14}, {5}, "LexorEs.exe", "Diccionario espanol-polaco"},
    {G, {14}, {0}, "Velt.hlp", "Pomoc do translatora"},
    {G, {14}, {5}, "Velt.hlp", "Ayuda del traductor"},
    {G, {14}, {0}, "Deinstalator.exe", "Deinstalator"},
    {G, {14}, {5}, "Deinstalator.exe", "Desinstalación"},

    // Edition 15, Russian-Polish translator.
    {GT, {15}, {0, 6}, "VeltRu.exe", "Translator rosyjsko-polski"},
    {G, {15}, {0, 6}, "VeltPlRu.exe", "Translator polsko-rosyjski"},
    {GS, {15}, {0, 6}, "LexorRu.exe", "Słownik rosyjsko-polski"},
    {G, {15}, {0, 6}, "Ros_Gram.hlp", "Gramatyka rosyjska"},
    {G, {15}, {0, 6}, "Velt.hlp", "Pomoc do translatora"},
    {G, {15}, {0, 6}, "Deinstalator.exe", "Deinstalator"},
};
static_assert(std::size(kWiersze) <= LiczbaWierszySkrotow);

// Group names, in UTF-8 like the rows. Columns: pl, en, fr, de, it, es, ru,
// then the languages that only choose fonts and agreements.
using Kolumny = std::array<std::string_view, LiczbaKolumnGrup>;
constexpr std::string_view kGrupa3 = "Translator Velt 1.5";
// The columns given, the rest empty.
constexpr Kolumny Grupy(std::initializer_list<std::string_view> nazwy) {
    Kolumny k{};
    for (std::size_t j = 0; j < LiczbaKolumnGrup; ++j) k[j] = std::string_view("", 0);
    std::size_t j = 0;
    for (std::string_view n : nazwy) k[j++] = n;
    return k;
}
constexpr std::array<Kolumny, LiczbaWydan> kGrupy = {
    /* 1 */ Grupy({"Translator Velt 1.0", "Translator Velt 1.0"}),
    /* 2 */ Grupy({"Translator Velt 1.2", "Translator Velt 1.2", "Translator Velt 1.2", "Translator Velt 1.2"}),
    /* 3 */ Grupy({kGrupa3, kGrupa3, kGrupa3, kGrupa3}),
    /* 4 */ Grupy({"Translator Velt 1.0 niemiecki", "", "", "Velt 1.0 Deutsch"}),
    /* 5 */ Grupy({"Translator Velt 1.2 niemiecki", "", "", "Velt 1.2 Deutsch"}),
    /* 6 */ Grupy({"Translator Velt 1.5 niemiecki", "", "", "Velt 1.5 Deutsch"}),
    /* 7 */ Grupy({"Translator Velt 1.0 francuski", "", "Velt 1.0 Français"}),
    /* 8 */ Grupy({"Translator Velt 1.5 francuski", "", "Velt 1.5 Français"}),
    /* 9 */ Grupy({"Słownik Lexor angielski", "Lexor English"}),
    /* 10 */ Grupy({"Słownik Lexor niemiecki", "", "", "Lexor Deutsch"}),
    /* 11 */ Grupy({"Translator Velt 1.0 włoski", "", "", "", "Velt 1.0 Italiano"}),
    /* 12 */ Grupy({"Translator Velt 1.5 włoski", "", "", "", "Velt 1.5 Italiano"}),
    /* 13 */ Grupy({"Translator Velt 1.0 hiszpański", "", "", "", "", "Velt 1.0 Espanol"}),
    /* 14 */ Grupy({"Translator Velt 1.5 hiszpański", "", "", "", "", "Velt 1.5 Espanol"}),
    /* 15 */ Grupy({"Translator Velt 1.5 rosyjski", "", "", "", "", "", "Translator Velt 1.5 rosyjski"}),
    /* 16 */ Grupy({"Słownik Lexor francuski", "", "Lexor Français"}),
    /* 17 */ Grupy({"Velt Pro 2.0 angielski", "Velt Pro 2.0 English"}),
    /* 18 */ Grupy({"Velt Pro 2.0 niemiecki", "", "", "Velt Pro 2.0 Deutsch"}),
    /* 19 */ Grupy({"Velt Pro 2.0 francuski", "", "Velt Pro 2.0 Français"}),
    /* 20 */ Grupy({"Velt Pro 2.0 włoski", "", "", "", "Velt Pro 2.0 Italiano"}),
    /* 21 */ Grupy({"Velt Pro 2.0 hiszpański", "", "", "", "", "Velt Pro 2.0 Espanol"}),
};

// Edition 3 names its group in Polish in its four columns, shorter than its
// product title, and has no group for the other languages.
constexpr bool GrupyWydania3() {
    const Kolumny& k = kGrupy[2];
    for (std::size_t j = 0; j < LiczbaKolumnGrup; ++j)
        if ((j < 4) != (k[j] == kGrupa3)) return false;
    return true;
}
static_assert(GrupyWydania3());

// ---- UTF-8 to Windows-1250, while compiling ---------------------------------
// Every name (rows first, then the group cells row by row) is stored once in
// one pool; the tables hold views into it.

template <class F>
constexpr void KazdaNazwa(F f) {
    for (const auto& w : kWiersze) f(w.Nazwa);
    for (const auto& k : kGrupy)
        for (std::string_view n : k) f(n);
}

constexpr std::size_t DlugoscW1250(std::string_view utf8) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size(); ++n) i += CzytajZnakUtf8(utf8, i).dlugosc;
    return n;
}

constexpr std::size_t RozmiarPuli() {
    std::size_t n = 0;
    KazdaNazwa([&](std::string_view s) { n += DlugoscW1250(s); });
    return n;
}

constexpr std::array<char, RozmiarPuli()> ZbudujPule() {
    std::array<char, RozmiarPuli()> pula{};
    std::size_t poz = 0;
    KazdaNazwa([&](std::string_view s) {
        for (std::size_t i = 0; i < s.size();) {
            const ZnakUtf8 z = CzytajZnakUtf8(s, i);
            // A character outside Windows-1250 stops the build here.
            pula[poz++] = static_cast<char>(WymaganyBajtZnaku(StronaKodowa::Windows1250, z.znak));
            i += z.dlugosc;
        }
    });
    return pula;
}
constexpr auto kPula = ZbudujPule();

// Hands out the pool in the order KazdaNazwa visits the names.
class CzytnikPuli {
public:
    constexpr std::string_view Nastepna(std::string_view utf8) {
        const std::size_t n = DlugoscW1250(utf8);
        const std::string_view w(kPula.data() + poz_, n);
        poz_ += n;
        return w;
    }

private:
    std::size_t poz_ = 0;
};

struct TTabele {
    std::array<TWierszSkrotu, LiczbaWierszySkrotow> skroty{};
    std::array<Kolumny, LiczbaWydan> grupy{};
};

constexpr TTabele ZbudujTabele() {
    TTabele t;
    CzytnikPuli czytnik;
    for (std::size_t i = 0; i < std::size(kWiersze); ++i) {
        const auto& w = kWiersze[i];
        t.skroty[i] = {w.Rodzaj, w.Wydania, w.Jezyki, w.Plik, czytnik.Nastepna(w.Nazwa)};
    }
    for (std::size_t i = 0; i < kGrupy.size(); ++i)
        for (std::size_t j = 0; j < LiczbaKolumnGrup; ++j) t.grupy[i][j] = czytnik.Nastepna(kGrupy[i][j]);
    return t;
}

// A name is a file name: no character that a file name cannot hold.
constexpr bool PoprawneNazwy() {
    for (const auto& w : kWiersze) {
        if (w.Plik.empty() || w.Nazwa.empty()) return false;
        for (char c : w.Nazwa)
            if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
    }
    return true;
}
static_assert(PoprawneNazwy());

constexpr TTabele kTabele = ZbudujTabele();
constexpr const auto& kTabelaSkrotow = kTabele.skroty;

}  // namespace

const std::array<TWierszSkrotu, LiczbaWierszySkrotow> TabelaSkrotow = kTabele.skroty;
const std::array<std::array<std::string_view, LiczbaKolumnGrup>, LiczbaWydan> NazwaGrupy = kTabele.grupy;

namespace {

constexpr int LiczbaGrupy(std::int64_t wydanie, std::int64_t jezyk, std::uint8_t bit) {
    int n = 0;
    for (const auto& w : kTabelaSkrotow)
        if ((w.Rodzaj & bit) && w.Wydania.Zawiera(wydanie) && w.Jezyki.Zawiera(jezyk)) ++n;
    return n;
}
// This build's edition: nine group entries in both its languages, no desktop link.
static_assert(LiczbaGrupy(3, 0, SkrotGrupy) == 9 && LiczbaGrupy(3, 1, SkrotGrupy) == 9);
static_assert(LiczbaGrupy(3, 0, SkrotPulpituTranslatora | SkrotPulpituSlownika) == 0);
static_assert(LiczbaGrupy(3, 1, SkrotPulpituTranslatora | SkrotPulpituSlownika) == 0);

}  // namespace

std::vector<const TWierszSkrotu*> WybierzSkroty(std::int64_t wydanie, std::int64_t jezyk, std::uint8_t rodzaj) {
    std::vector<const TWierszSkrotu*> wynik;
    if (rodzaj == 0) return wynik;
    for (const auto& w : TabelaSkrotow)
        if ((w.Rodzaj & rodzaj) == rodzaj && w.Wydania.Zawiera(wydanie) && w.Jezyki.Zawiera(jezyk))
            wynik.push_back(&w);
    return wynik;
}

std::string_view NazwaGrupyWydania(std::int64_t wydanie, std::int64_t jezyk) noexcept {
    if (wydanie < 1 || wydanie > LiczbaWydan || jezyk < 0 || jezyk >= std::int64_t{LiczbaKolumnGrup}) return {};
    return NazwaGrupy[static_cast<std::size_t>(wydanie - 1)][static_cast<std::size_t>(jezyk)];
}
