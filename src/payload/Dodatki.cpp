#include "payload/Dodatki.h"

#include <array>

namespace {

constexpr std::uint8_t P = DodatekSpakowany;
constexpr std::uint8_t Z = DodatekZArchiwum;

constexpr std::string_view kVelt10En = "Velt 1.0 Translator angielsko-polski";
constexpr std::string_view kVelt12En = "Velt 1.2 Translator angielsko-polski";
constexpr std::string_view kVelt15En = "Velt 1.5 Translator angielsko-polski";
constexpr std::string_view kVelt10De = "Velt 1.0 Translator niemiecko-polski";
constexpr std::string_view kVelt12De = "Velt 1.2 Translator niemiecko-polski";
constexpr std::string_view kVelt15De = "Velt 1.5 Translator niemiecko-polski";
constexpr std::string_view kVelt10Fr = "Velt 1.0 Translator francusko-polski";
constexpr std::string_view kVelt15Fr = "Velt 1.5 Translator francusko-polski";
constexpr std::string_view kVelt10It = "Velt 1.0 Translator wlosko-polski";
constexpr std::string_view kVelt15It = "Velt 1.5 Translator wlosko-polski";
constexpr std::string_view kVelt10Es = "Velt 1.0 Translator hiszpansko-polski";
constexpr std::string_view kVelt15Es = "Velt 1.5 Translator hiszpansko-polski";
constexpr std::string_view kVelt15Ru = "Velt 1.5 Translator rosyjsko-polski";
constexpr std::string_view kLexorEn = "Lexor 2.0 angielsko-polski";
constexpr std::string_view kLexorDe = "Lexor 2.0 niemiecko-polski";
constexpr std::string_view kLexorFr = "Lexor 2.0 francusko-polski";
constexpr std::string_view kLexorIt = "Lexor 2.0 wlosko-polski";
constexpr std::string_view kLexorEs = "Lexor 2.0 hiszpansko-polski";
constexpr std::string_view kLexorRu = "Lexor 2.0 rosyjsko-polski";
constexpr std::string_view kLexor = "Lexor 2.0";
constexpr std::string_view kVeltProEn = "Velt Pro 2.0 angielsko-polski";
constexpr std::string_view kVeltProDe = "Velt Pro 2.0 niemiecko-polski";
constexpr std::string_view kVeltProFr = "Velt Pro 2.0 francusko-polski";

// Item N is entry N - 1. Large files travel in two resources, each part
// within the capacity of one update item.
constexpr std::array<TDodatek, LiczbaDodatkow> kDodatki = {{
    {"Velt.exe", "VELT10EXEA", "VELT10EXEB", P, kVelt10En, "1.0.3"},                  // 1
    {"VeltPl.exe", "VELT10PLEXE", "", P, kVelt10En, "1.0.3"},                         // 2
    {"DeInstalator.exe", "VELT10DEINST", "", P, kVelt10En, "1.0.3"},                  // 3
    {"angpol.dat", "VELT10ANGPOLDA", "VELT10ANGPOLDB", P, kVelt10En, "1.0.3"},        // 4
    {"angpol.idx", "VELT10ANGPOLI", "", P, kVelt10En, "1.0.3"},                       // 5
    {"polang.dat", "VELT10POLANGDA", "VELT10POLANGDB", P, kVelt10En, "1.0.3"},        // 6
    {"polang.idx", "VELT10POLANGI", "", P, kVelt10En, "1.0.3"},                       // 7
    {"VeltDe.exe", "VELTDE10EXEA", "VELTDE10EXEB", P, kVelt10De, "1.0.2"},            // 8
    {"niempol.dat", "VELTDE10NIEMPOLDA", "VELTDE10NIEMPOLDB", P, kVelt10De, "1.0.2"}, // 9
    {"niempol.idx", "VELTDE10NIEMPOLI", "", P, kVelt10De, "1.0.2"},                   // 10
    {"polniem.dat", "VELTDE10POLNIEMDA", "VELTDE10POLNIEMDB", P, kVelt10De, "1.0.2"}, // 11
    {"polniem.idx", "VELTDE10POLNIEMI", "", P, kVelt10De, "1.0.2"},                   // 12
    {"VeltDe.exe", "VELTDE15EXEA", "VELTDE15EXEB", P, kVelt15De, "1.5.1"},            // 13
    {"lexorde.exe", "VELTDE15LEXORDE", "", P, kVelt15De, "1.5.1"},                    // 14
    {"VeltEn.exe", "VELTEN12EXEA", "VELTEN12EXEB", P, kVelt12En, "1.2.1"},            // 15
    {"lexoren.exe", "VELTEN12LEXOREN", "", P, kVelt12En, "1.2.1"},                    // 16
    {"VeltEn.exe", "VELTEN15EXEA", "VELTEN15EXEB", P, kVelt15En, "1.5.2"},            // 17
    {"lexoren.exe", "VELTEN15LEXOREN", "", P, kVelt15En, "1.5.2"},                    // 18
    {"lexorpl.exe", "VELTEN15LEXORPL", "", P, kVelt15En, "1.5.2"},                    // 19
    {"VeltDe.exe", "VELTDE12EXEA", "VELTDE12EXEB", P, kVelt12De, "1.2.1"},            // 20
    {"VeltFr.exe", "VELTFR10EXEA", "VELTFR10EXEB", P, kVelt10Fr, "1.0.1"},            // 21
    {"franpol.dat", "VELTFR10FRANPOLDA", "VELTFR10FRANPOLDB", P, kVelt10Fr, "1.0.1"}, // 22
    {"polfran.dat", "VELTFR10POLFRANDA", "VELTFR10POLFRANDB", P, kVelt10Fr, "1.0.1"}, // 23
    {"VeltFr.exe", "VELTFR15EXEA", "VELTFR15EXEB", P, kVelt15Fr, "1.5.1"},            // 24
    {"LexorEn.exe", "LEXOREN20EXE", "", P, kLexorEn, "2.0.1"},                        // 25
    {"lexoren.dat", "LEXOREN20DATA", "LEXOREN20DATB", P, kLexorEn, "2.0.1"},          // 26
    {"LexorDe.exe", "LEXORDE20EXE", "", P, kLexorDe, "2.0.1"},                        // 27
    {"lexorde.dat", "LEXORDE20DATA", "LEXORDE20DATB", P, kLexorDe, "2.0.1"},          // 28
    {"VeltIt.exe", "VELTIT10EXEA", "VELTIT10EXEB", P, kVelt10It, "1.0.1"},            // 29
    {"VeltIt.exe", "VELTIT15EXEA", "VELTIT15EXEB", P, kVelt15It, "1.5.1"},            // 30
    {"VeltEs.exe", "VELTES10EXEA", "VELTES10EXEB", P, kVelt10Es, "1.0.1"},            // 31
    {"VeltEs.exe", "VELTES15EXEA", "VELTES15EXEB", P, kVelt15Es, "1.5.1"},            // 32
    {"VeltRu.exe", "VELTRU15EXEA", "VELTRU15EXEB", P, kVelt15Ru, "1.5.1"},            // 33
    {"rospol.dat", "VELTRU15ROSPOLDA", "VELTRU15ROSPOLDB", P, kVelt15Ru, "1.5.1"},    // 34
    {"polros.dat", "VELTRU15POLROSDA", "VELTRU15POLROSDB", P, kVelt15Ru, "1.5.1"},    // 35
    {"LexorFr.exe", "LEXORFR20EXE", "", P, kLexorFr, "2.0.1"},                        // 36
    {"VeltEnPro.exe", "VELTENPRO20ZIP", "", Z, kVeltProEn, "2.0.2"},                  // 37
    {"angpol.dat", "VELTENPRO20ZIP", "", Z, kVeltProEn, "2.0.2"},                     // 38
    {"angpol.idx", "VELTENPRO20ZIP", "", Z, kVeltProEn, "2.0.2"},                     // 39
    {"polang.dat", "VELTENPRO20ZIP", "", Z, kVeltProEn, "2.0.2"},                     // 40
    {"polang.idx", "VELTENPRO20ZIP", "", Z, kVeltProEn, "2.0.2"},                     // 41
    {"lexorit.exe", "LEXORIT20EXE", "", P, kLexorIt, "2.0.1"},                        // 42
    {"lexores.exe", "LEXORES20EXE", "", P, kLexorEs, "2.0.1"},                        // 43
    {"lexorru.exe", "LEXORRU20EXE", "", P, kLexorRu, "2.0.1"},                        // 44
    {"lexorpl.dat", "LEXORPL20DATA", "LEXORPL20DATB", P, kLexor, "2.0.1"},            // 45
    {"VeltDePro.exe", "VELTDEPRO20ZIP", "", Z, kVeltProDe, "2.0.1"},                  // 46
    {"niempol.dat", "VELTDEPRO20ZIP", "", Z, kVeltProDe, "2.0.1"},                    // 47
    {"Odinstaluj.exe", "LEXOR20ODINST", "", P, kLexor, "2.0.1"},                      // 48
    {"VeltFrPro.exe", "VELTFRPRO20ZIP", "", Z, kVeltProFr, "2.0.1"},                  // 49
}};

constexpr bool ZArchiwum(std::int32_t numer) {
    return (numer >= 37 && numer <= 41) || numer == 46 || numer == 47 || numer == 49;
}

constexpr bool RodzajeZgodne() {
    for (std::int32_t n = 1; n <= LiczbaDodatkow; ++n)
        if (kDodatki[n - 1].Rodzaj != (ZArchiwum(n) ? Z : P)) return false;
    return true;
}
static_assert(RodzajeZgodne(), "items 37-41, 46, 47 and 49 come from archives, the others are packed");

constexpr bool WierszeKompletne() {
    for (const TDodatek& d : kDodatki) {
        if (d.Plik.empty() || d.Zasob1.empty() || d.Tytul.empty() || d.Wersja.empty()) return false;
        // An archive is one resource.
        if (d.Rodzaj == Z && !d.Zasob2.empty()) return false;
    }
    return true;
}
static_assert(WierszeKompletne());

// The archive items of one product come out of one archive, and no two
// products share one.
constexpr bool ArchiwaProduktow() {
    for (const TDodatek& a : kDodatki)
        for (const TDodatek& b : kDodatki)
            if (a.Rodzaj == Z && b.Rodzaj == Z && (a.Tytul == b.Tytul) != (a.Zasob1 == b.Zasob1)) return false;
    return true;
}
static_assert(ArchiwaProduktow());

constexpr std::array<std::int32_t, 4> kListaWydania1 = {4, 5, 6, 7};
constexpr std::array<std::int32_t, 5> kListaWydania4 = {8, 9, 10, 11, 12};
constexpr std::array<std::int32_t, 2> kListaWydania6 = {13, 14};
// Variant 1 of edition 4 takes the program alone.
constexpr std::span<const std::int32_t> kListaWydania4Wariant1(kListaWydania4.data(), 1);

// The lists install packed items only.
template <std::size_t N>
constexpr bool TylkoSpakowane(const std::array<std::int32_t, N>& lista) {
    for (std::int32_t n : lista)
        if (n < 1 || n > LiczbaDodatkow || kDodatki[n - 1].Rodzaj != P) return false;
    return true;
}
static_assert(TylkoSpakowane(kListaWydania1) && TylkoSpakowane(kListaWydania4) && TylkoSpakowane(kListaWydania6));

}  // namespace

const TDodatek* Dodatek(std::int32_t numer) noexcept {
    if (numer < 1 || numer > LiczbaDodatkow) return nullptr;
    return &kDodatki[static_cast<std::size_t>(numer - 1)];
}

std::span<const std::int32_t> ListaDodatkow(std::int32_t wydanie, std::int32_t wariant) noexcept {
    switch (wydanie) {
    case 1: return kListaWydania1;
    case 4: return wariant == 1 ? kListaWydania4Wariant1 : std::span<const std::int32_t>(kListaWydania4);
    case 6: return kListaWydania6;
    default: return {};
    }
}
