#include "base/Wydania.h"

#include "base/Blad.h"
#include "base/StronyKodowe.h"

#include <algorithm>

namespace {

// JezykInterfejsu values of the language pairs.
constexpr std::uint8_t PL = 0, EN = 1, FR = 2, DE = 3, IT = 4, ES = 5, RU = 6;

// Edition 1 predates the common key scheme and keeps a path of its own.
constexpr std::string_view kKluczWydania1 = "SOFTWARE\\Zelpax\\Velt";

// One record per edition that has one. Titles are Polish product names; the
// dictionaries and the professional editions carry a foreign title for their
// own language.
constexpr TZPXAppConst kRekordy[] = {
    {1, 1, EN, PL, "Velt 1.0 Translator angielsko-polski", "Velt 1.0 Translator angielsko-polski",
     kKluczWydania1, "Velt.exe", "Slowniki", {EN, PL, 0, 0}, 2},
    {3, 5, EN, PL, "Velt 1.5 Translator angielsko-polski", "Velt 1.5 Translator angielsko-polski",
     "SOFTWARE\\Zelpax\\EngVelt", "VeltEn.exe", "Slowniki", {EN, PL, 0, 0}, 2},
    {9, 2, EN, PL, "Lexor English-Polish Dictionary", "Lexor 2.0 angielsko-polski",
     "SOFTWARE\\Zelpax\\EngLexor", "LexorEn.exe", "Dane", {EN, PL, 0, 0}, 2},
    {10, 2, DE, PL, "Lexor Deutsch-Polnisch", "Lexor 2.0 niemiecko-polski",
     "SOFTWARE\\Zelpax\\DeuLexor", "LexorDe.exe", "Dane", {DE, PL, 0, 0}, 2},
    {12, 3, IT, PL, "Velt 1.5 Traduttore italiano-polacco", "Velt 1.5 Translator wlosko-polski",
     "SOFTWARE\\Zelpax\\ItaVelt", "VeltIt.exe", "Slowniki", {IT, PL, 0, 0}, 2},
    {14, 3, ES, PL, "Velt 1.5 Traductor espanol-polaco", "Velt 1.5 Translator hiszpansko-polski",
     "SOFTWARE\\Zelpax\\EspVelt", "VeltEs.exe", "Slowniki", {ES, PL, 0, 0}, 2},
    {15, 4, RU, PL, "Velt 1.5 Translator rosyjsko-polski", "Velt 1.5 Translator rosyjsko-polski",
     "SOFTWARE\\Zelpax\\RusVelt", "VeltRu.exe", "Slowniki", {RU, PL, 0, 0}, 2},
    {16, 2, FR, PL, "Lexor Francais-Polonais", "Lexor 2.0 francusko-polski",
     "SOFTWARE\\Zelpax\\FraLexor", "LexorFr.exe", "Dane", {FR, PL, 0, 0}, 2},
    {17, 6, EN, PL, "Velt Pro 2.0 English-Polish", "Velt Pro 2.0 angielsko-polski",
     "SOFTWARE\\Zelpax\\EngVeltPro", "VeltEnPro.exe", "Slowniki", {EN, PL, PL, EN}, 4},
    {18, 6, DE, PL, "Velt Pro 2.0 Deutsch-Polnisch", "Velt Pro 2.0 niemiecko-polski",
     "SOFTWARE\\Zelpax\\DeuVeltPro", "VeltDePro.exe", "Slowniki", {DE, PL, PL, DE}, 4},
    {19, 6, FR, PL, "Velt Pro 2.0 Francais-Polonais", "Velt Pro 2.0 francusko-polski",
     "SOFTWARE\\Zelpax\\FraVeltPro", "VeltFrPro.exe", "Slowniki", {FR, PL, PL, FR}, 4},
    {20, 6, IT, PL, "Velt Pro 2.0 Italiano-Polacco", "Velt Pro 2.0 wlosko-polski",
     "SOFTWARE\\Zelpax\\ItaVeltPro", "VeltItPro.exe", "Slowniki", {IT, PL, PL, IT}, 4},
    {21, 6, ES, PL, "Velt Pro 2.0 Espanol-Polaco", "Velt Pro 2.0 hiszpansko-polski",
     "SOFTWARE\\Zelpax\\EspVeltPro", "VeltEsPro.exe", "Slowniki", {ES, PL, PL, ES}, 4},
};
static_assert(std::size(kRekordy) == 13);

constexpr const TZPXAppConst* ZnajdzRekord(std::int32_t wydanie) {
    for (const auto& r : kRekordy)
        if (r.AppIndex == wydanie) return &r;
    return nullptr;
}
static_assert(ZnajdzRekord(3)->RegistryKey == "SOFTWARE\\Zelpax\\EngVelt");
static_assert(ZnajdzRekord(3)->Lang1 == EN && ZnajdzRekord(3)->Lang2 == PL && ZnajdzRekord(3)->Variant == 5);
static_assert(ZnajdzRekord(3)->Title1 == ZnajdzRekord(3)->Title2);

}  // namespace

TZPXAppConst AktualnyAppConst;
std::int32_t NumerWydania = 0;
std::uint8_t AktualnyLang1 = 0;
std::uint8_t AktualnyLang2 = 0;
const TZPXAppFunctions ZPXAppFunctions;

const TZPXAppConst& RekordWydaniaInstalatora() noexcept { return *ZnajdzRekord(WydanieInstalatora); }

void UstawAppConst(const TZPXAppConst& rekord) {
    AktualnyAppConst = rekord;
    NumerWydania = rekord.AppIndex;
    AktualnyLang1 = rekord.Lang1;
    AktualnyLang2 = rekord.Lang2;
}

void PobierzAppConst(std::int32_t wydanie, TZPXAppConst& wynik) {
    if (!(wydanie >= 1 && wydanie <= LiczbaWydan)) return;
    // Edition 2 was an earlier release of 3 and installs with its record.
    // Edition 1 has a record, but it is read only by its own programs, which
    // keep their key elsewhere (see KluczRejestruWydania); here it is refused
    // like the editions without one.
    const TZPXAppConst* rekord = wydanie == 1 ? nullptr : ZnajdzRekord(wydanie == 2 ? 3 : wydanie);
    if (!rekord) throw BladProgramu("Error !");
    wynik = *rekord;
}

std::string KluczRejestruWydania(std::int32_t wydanie) {
    if (wydanie == 1) return std::string(kKluczWydania1);
    TZPXAppConst rekord;
    PobierzAppConst(wydanie, rekord);
    return std::string(rekord.RegistryKey);
}

std::string TZPXAppFunctions::Tytul(std::uint8_t jezyk) const {
    return std::string(jezyk == AktualnyAppConst.Lang1 ? AktualnyAppConst.Title1 : AktualnyAppConst.Title2);
}

std::string TZPXAppFunctions::NazwaRodzaju(int rodzaj) const {
    switch (rodzaj) {
        case RodzajTranslator: return "Velt";
        case RodzajTranslatorInteraktywny: return "VeltInt";
        case RodzajSlownik: return "ExtDict";
        case RodzajTranslatorPlikow: return "VeltFile";
    }
    throw BladProgramu("Błąd !!!"_cp1250);
}

std::string TZPXAppFunctions::KluczRodzaju(int rodzaj) const {
    std::string klucz(AktualnyAppConst.RegistryKey);
    if (klucz.empty() || klucz.back() != '\\') klucz += '\\';
    return klucz + NazwaRodzaju(rodzaj);
}

std::string_view WpisWydania(const TabelaWydan& tabela, std::int32_t wydanie) noexcept {
    return (wydanie >= 1 && wydanie <= LiczbaWydan) ? tabela[static_cast<std::size_t>(wydanie - 1)]
                                                    : std::string_view{};
}

bool WpisWydania(const FlagiWydan& tabela, std::int32_t wydanie) noexcept {
    return wydanie >= 1 && wydanie <= LiczbaWydan && tabela[static_cast<std::size_t>(wydanie - 1)];
}

// The family, by edition number:
//   1-3 English-Polish translator 1.0, 1.2, 1.5     9  English-Polish dictionary
//   4-6 German-Polish translator 1.0, 1.2, 1.5      10 German-Polish dictionary
//   7-8 French-Polish translator 1.0, 1.5           16 French-Polish dictionary
//   11-12 Italian-Polish translator 1.0, 1.5        17-21 professional editions:
//   13-14 Spanish-Polish translator 1.0, 1.5              EN, DE, FR, IT, ES
//   15 Russian-Polish translator 1.5

const TabelaWydan KatalogiDomyslne = {
    "Velt", "VeltAng", "VeltAng", "VeltNiem", "VeltNiem", "VeltNiem", "VeltFranc", "VeltFranc",
    "LexorAng", "LexorNiem", "VeltWlos", "VeltWlos", "VeltHiszp", "VeltHiszp", "VeltRos",
    "LexorFranc", "VeltProAng", "VeltProNiem", "VeltProFranc", "VeltProWlos", "VeltProHiszp"};

const TabelaWydan NazwyDeinstalacji = {
    "Velt", "EngVelt", "EngVelt", "DeuVelt", "DeuVelt", "DeuVelt", "FraVelt", "FraVelt",
    "EngLexor", "DeuLexor", "ItaVelt", "ItaVelt", "EspVelt", "EspVelt", "RusVelt",
    "FraLexor", "EngVeltPro", "DeuVeltPro", "FraVeltPro", "ItaVeltPro", "EspVeltPro"};

// Four dictionary data files, two per translation direction, and the main
// program, which is unpacked from the wizard's resources instead of copied.
const TabelaWydan PlikiWydania = {
    "<angpol.dat><angpol.idx><polang.dat><polang.idx><velt.exe>",
    "<angpol.dat><angpol.idx><polang.dat><polang.idx><velten.exe>",
    "<angpol.dat><angpol.idx><polang.dat><polang.idx><velten.exe>",
    "<niempol.dat><niempol.idx><polniem.dat><polniem.idx><veltde.exe>",
    "<niempol.dat><niempol.idx><polniem.dat><polniem.idx><veltde.exe>",
    "<niempol.dat><niempol.idx><polniem.dat><polniem.idx><veltde.exe>",
    "<franpol.dat><franpol.idx><polfran.dat><polfran.idx><veltfr.exe>",
    "<franpol.dat><franpol.idx><polfran.dat><polfran.idx><veltfr.exe>",
    "<lexoren.exe>",
    "<lexorde.exe>",
    "<wlospol.dat><wlospol.idx><polwlos.dat><polwlos.idx><veltit.exe>",
    "<wlospol.dat><wlospol.idx><polwlos.dat><polwlos.idx><veltit.exe>",
    "<hiszpol.dat><hiszpol.idx><polhisz.dat><polhisz.idx><veltes.exe>",
    "<hiszpol.dat><hiszpol.idx><polhisz.dat><polhisz.idx><veltes.exe>",
    "<rospol.dat><rospol.idx><polros.dat><polros.idx><veltru.exe>",
    "<lexorfr.exe>",
    "<angpol.dat><angpol.idx><polang.dat><polang.idx><veltenpro.exe>",
    "<niempol.dat><niempol.idx><polniem.dat><polniem.idx><veltdepro.exe>",
    "<franpol.dat><franpol.idx><polfran.dat><polfran.idx><veltfrpro.exe>",
    "<wlospol.dat><wlospol.idx><polwlos.dat><polwlos.idx><veltitpro.exe>",
    "<hiszpol.dat><hiszpol.idx><polhisz.dat><polhisz.idx><veltespro.exe>"};

// The two dictionary programs and their data files. The dictionary editions
// are nothing but dictionaries, so the option does not apply to them.
const TabelaWydan PlikiSlownikow = {
    "<lexoren.exe><lexorpl.exe><lexoren.dat><lexorpl.dat>",
    "<lexoren.exe><lexorpl.exe><lexoren.dat><lexorpl.dat>",
    "<lexoren.exe><lexorpl.exe><lexoren.dat><lexorpl.dat>",
    "<lexorde.exe><lexorpl.exe><lexorde.dat><lexorpl.dat>",
    "<lexorde.exe><lexorpl.exe><lexorde.dat><lexorpl.dat>",
    "<lexorde.exe><lexorpl.exe><lexorde.dat><lexorpl.dat>",
    "<lexorfr.exe><lexorpl.exe><lexorfr.dat><lexorpl.dat>",
    "<lexorfr.exe><lexorpl.exe><lexorfr.dat><lexorpl.dat>",
    "",
    "",
    "<lexorit.exe><lexorpl.exe><lexorit.dat><lexorpl.dat>",
    "<lexorit.exe><lexorpl.exe><lexorit.dat><lexorpl.dat>",
    "<lexores.exe><lexorpl.exe><lexores.dat><lexorpl.dat>",
    "<lexores.exe><lexorpl.exe><lexores.dat><lexorpl.dat>",
    "<lexorru.exe><lexorpl.exe><lexorru.dat><lexorpl.dat>",
    "",
    "<lexoren.exe><lexorpl.exe><lexoren.dat><lexorpl.dat>",
    "<lexorde.exe><lexorpl.exe><lexorde.dat><lexorpl.dat>",
    "<lexorfr.exe><lexorpl.exe><lexorfr.dat><lexorpl.dat>",
    "<lexorit.exe><lexorpl.exe><lexorit.dat><lexorpl.dat>",
    "<lexores.exe><lexorpl.exe><lexores.dat><lexorpl.dat>"};

const TabelaWydan WersjeWydan = {
    "1.0", "1.2", "1.5", "1.0", "1.2", "1.5", "1.0", "1.5", "2.0", "2.0", "1.0",
    "1.5", "1.0", "1.5", "1.5", "2.0", "2.0", "2.0", "2.0", "2.0", "2.0"};

const TabelaWydan ProgramyGlowne = {
    "Velt.exe", "VeltEn.exe", "VeltEn.exe", "VeltDe.exe", "VeltDe.exe", "VeltDe.exe",
    "VeltFr.exe", "VeltFr.exe", "LexorEn.exe", "LexorDe.exe", "VeltIt.exe", "VeltIt.exe",
    "VeltEs.exe", "VeltEs.exe", "VeltRu.exe", "LexorFr.exe", "VeltEnPro.exe", "VeltDePro.exe",
    "VeltFrPro.exe", "VeltItPro.exe", "VeltEsPro.exe"};

const TabelaWydan Deinstalatory = {
    "DeInstalator.exe", "DeInstalator.exe", "DeInstalator.exe", "DeInstalator.exe",
    "DeInstalator.exe", "DeInstalator.exe", "DeInstalator.exe", "DeInstalator.exe",
    "Odinstaluj.exe", "Odinstaluj.exe", "DeInstalator.exe", "DeInstalator.exe",
    "DeInstalator.exe", "DeInstalator.exe", "DeInstalator.exe", "Odinstaluj.exe",
    "DeInstalator.exe", "DeInstalator.exe", "DeInstalator.exe", "DeInstalator.exe",
    "DeInstalator.exe"};

// Resource names: program, version, part letter. The professional editions
// are larger and travel in three parts.
const TabelaWydan ZasobyA = {
    "VELT10A", "VELTEN12A", "VELTEN15A", "VELTDE10A", "VELTDE12A", "VELTDE15A", "VELTFR10A",
    "VELTFR15A", "LEXOREN20A", "LEXORDE20A", "VELTIT10A", "VELTIT15A", "VELTES10A", "VELTES15A",
    "VELTRU15A", "LEXORFR20A", "VELTENPRO20A", "VELTDEPRO20A", "VELTFRPRO20A", "VELTITPRO20A",
    "VELTESPRO20A"};
const TabelaWydan ZasobyB = {
    "VELT10B", "VELTEN12B", "VELTEN15B", "VELTDE10B", "VELTDE12B", "VELTDE15B", "VELTFR10B",
    "VELTFR15B", "", "", "VELTIT10B", "VELTIT15B", "VELTES10B", "VELTES15B",
    "VELTRU15B", "", "VELTENPRO20B", "VELTDEPRO20B", "VELTFRPRO20B", "VELTITPRO20B",
    "VELTESPRO20B"};
const TabelaWydan ZasobyC = {
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "VELTENPRO20C", "VELTDEPRO20C", "VELTFRPRO20C", "VELTITPRO20C", "VELTESPRO20C"};

//                          1      2      3      4      5      6      7      8      9      10     11
const FlagiWydan MaSyntezeMowy = {false, false, false, false, false, true,  false, false, false, false, false,
//                          12     13     14     15     16     17     18     19     20     21
                                  false, true,  false, true,  false, true,  false, false, false, false};
const FlagiWydan MaCzcionke = {false, true,  true,  false, false, true,  false, false, false, false, true,
                               false, true,  false, true,  false, true,  false, false, false, false};
