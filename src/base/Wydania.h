#pragma once
// Edition data. Everything that differs between the editions of the product
// family is constant data here: one record per edition and per-edition tables
// of 21 entries indexed by the edition number (1-based). The wizard is built
// for one edition, 3 (English-Polish); the other entries describe the family.
//
// Every string is single-byte Windows-1250.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Edition numbers run from 1 to 21.
constexpr std::int32_t LiczbaWydan = 21;
constexpr std::int32_t WydanieInstalatora = 3;

struct TZPXAppConst {
    std::int32_t AppIndex = 0;
    // Variant of the edition; resource unpacking treats 1 specially.
    std::int32_t Variant = 0;
    // The edition's language pair, in JezykInterfejsu numbering.
    std::uint8_t Lang1 = 0;
    std::uint8_t Lang2 = 0;
    // Product title when the interface language is Lang1, and for every other.
    std::string_view Title1;
    std::string_view Title2;
    // Key path used under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
    std::string_view RegistryKey;
    // Settings of the installed programs that the wizard itself never reads.
    std::string_view PlikTranslatora;
    std::string_view KatalogSlownikow;
    std::array<std::uint8_t, 4> KierunkiTlumaczenia{};
    std::int32_t LiczbaSlownikow = 0;
};

// The current edition: a copy of its record, its number and its language pair.
// Set once at start; the run never changes it.
extern TZPXAppConst AktualnyAppConst;
extern std::int32_t NumerWydania;
extern std::uint8_t AktualnyLang1;
extern std::uint8_t AktualnyLang2;

// The record of this build's own edition.
const TZPXAppConst& RekordWydaniaInstalatora() noexcept;

// Makes `rekord` current: its number and language pair become current too.
void UstawAppConst(const TZPXAppConst& rekord);

// Copies the record of `wydanie` into `wynik`. Editions 2 and 3 share the
// record of 3. Editions 1, 4-8, 11 and 13 have none: raises BladProgramu
// "Error !". Any number outside 1..21 does nothing. `wynik` is unchanged
// whenever no record is copied.
void PobierzAppConst(std::int32_t wydanie, TZPXAppConst& wynik);

// The edition's registry key path; "" outside 1..21. Raises as PobierzAppConst.
std::string KluczRejestruWydania(std::int32_t wydanie);

// Program kinds of the product, for NazwaRodzaju and KluczRodzaju.
enum RodzajProgramu : int {
    RodzajTranslator = 1,
    RodzajTranslatorInteraktywny = 3,
    RodzajSlownik = 5,
    RodzajTranslatorPlikow = 7,
};

// Stateless operations on the current edition; one instance for the program.
class TZPXAppFunctions {
public:
    // Product title for an interface language.
    std::string Tytul(std::uint8_t jezyk) const;
    // Name of a program kind; raises BladProgramu "Błąd !!!" for any other kind.
    std::string NazwaRodzaju(int rodzaj) const;
    // The current edition's key, a backslash, then NazwaRodzaju(rodzaj).
    std::string KluczRodzaju(int rodzaj) const;
};
extern const TZPXAppFunctions ZPXAppFunctions;

// Per-edition tables. Entry N belongs to edition N; an empty entry means the
// edition does not use the item. ListaNazw entries are "<name>" runs.
using TabelaWydan = std::array<std::string_view, LiczbaWydan>;
using FlagiWydan = std::array<bool, LiczbaWydan>;

extern const TabelaWydan KatalogiDomyslne;   // folder under the program-files folder
extern const TabelaWydan NazwyDeinstalacji;  // uninstall entry name
extern const TabelaWydan PlikiWydania;       // the edition's own skip list
extern const TabelaWydan PlikiSlownikow;     // dictionary files, skipped when not wanted
extern const TabelaWydan WersjeWydan;        // version text
extern const TabelaWydan ProgramyGlowne;     // main program file name
extern const TabelaWydan Deinstalatory;      // uninstaller file name
extern const TabelaWydan ZasobyA;            // packed parts of the main program
extern const TabelaWydan ZasobyB;
extern const TabelaWydan ZasobyC;
extern const FlagiWydan MaSyntezeMowy;       // install the speech component
extern const FlagiWydan MaCzcionke;          // install the font "STEDT"

// The entry of `wydanie` in a table; "" (or false) outside 1..21.
std::string_view WpisWydania(const TabelaWydan& tabela, std::int32_t wydanie) noexcept;
bool WpisWydania(const FlagiWydan& tabela, std::int32_t wydanie) noexcept;
