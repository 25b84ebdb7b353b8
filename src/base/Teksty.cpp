#include "base/Teksty.h"

#include <cstddef>
#include <string_view>

#include "base/KonwersjaZnakow.h"

namespace {

// The rows below are read as UTF-8, which the compiler must keep them in.
static_assert(std::string_view("żЖ") == "\xC5\xBC\xD0\x96", "compile with a UTF-8 execution character set");

// The columns are the interface languages up to Russian, in their order.
static_assert(LiczbaKolumnTekstow == JezykRosyjski + 1 && LiczbaKolumnTekstow <= LiczbaJezykow);

struct TWierszTekstu {
    int id;
    std::array<std::string_view, LiczbaKolumnTekstow> teksty;
};

constexpr TWierszTekstu Wiersze[] = {
#include "base/Teksty.inc"
};

// Deliberately not constexpr: each is called only when a row breaks its rule, and
// reaching it while the table is built stops the build with its name as the reason.
void NiepoprawnyUtf8() {}
void ZnakKoncaLiniiBezParyCRLF() {}
void LiteraLacinskaWTekscieRosyjskim() {}
void TekstRosyjskiNiePrzetrwaKonwersji() {}
void WierszePozaKolejnosciaLubPozaZakresem() {}
void BrakWierszaTekstuProgramu() {}

constexpr bool LiteraLacinska(uint8_t bajt) {
    return (bajt >= 'A' && bajt <= 'Z') || (bajt >= 'a' && bajt <= 'z');
}

// The bytes of a text: one per character, so one per byte that does not continue
// a UTF-8 sequence. Zapisz rejects malformed sequences.
constexpr std::size_t DlugoscZapisu(std::string_view utf8) {
    std::size_t dlugosc = 0;
    for (const char c : utf8)
        if ((static_cast<uint8_t>(c) & 0xC0) != 0x80) ++dlugosc;
    return dlugosc;
}

constexpr std::size_t RozmiarZapisu() {
    std::size_t rozmiar = 0;
    for (const TWierszTekstu& wiersz : Wiersze)
        for (std::string_view tekst : wiersz.teksty) rozmiar += DlugoscZapisu(tekst);
    return rozmiar;
}

// Converts a text to its stored form at `cel`, checking the rules of its column.
// Returns the position after it.
constexpr std::size_t Zapisz(std::string_view utf8, int kolumna, char* cel, std::size_t poz) {
    const bool rosyjski = kolumna == JezykRosyjski;
    const StronaKodowa strona = StronaKodowaJezyka(static_cast<uint8_t>(kolumna));
    uint8_t poprzedni = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        uint8_t bajt = static_cast<uint8_t>(utf8[i]);
        if (bajt < 0x80) {
            ++i;  // ASCII, the same in every code page: the common case, kept cheap
        } else {
            const ZnakUtf8 znak = CzytajZnakUtf8(utf8, i);
            if (!znak.poprawny) NiepoprawnyUtf8();
            i += znak.dlugosc;
            bajt = WymaganyBajtZnaku(strona, znak.znak);
        }
        if ((bajt == '\n') != (poprzedni == '\r')) ZnakKoncaLiniiBezParyCRLF();
        uint8_t zapisany = bajt;
        if (rosyjski) {
            // The lookup turns every stored Latin letter into Cyrillic, except the
            // letter of a placeholder, so no other Latin letter may stand here.
            const bool zastepnik = poprzedni == '%' && (bajt == 'd' || bajt == 's');
            if (LiteraLacinska(bajt) && !zastepnik) LiteraLacinskaWTekscieRosyjskim();
            zapisany = KonwertujBajt(bajt, KodRosyjski, KierunekKonwersji::DoPostaciZapisanej);
            if (!zastepnik &&
                KonwertujBajt(zapisany, KodRosyjski, KierunekKonwersji::ZPostaciZapisanej) != bajt)
                TekstRosyjskiNiePrzetrwaKonwersji();
        }
        cel[poz++] = static_cast<char>(zapisany);
        poprzedni = bajt;
    }
    if (poprzedni == '\r') ZnakKoncaLiniiBezParyCRLF();
    return poz;
}

constexpr std::size_t LiczbaKomorek = std::size_t{LiczbaTekstow} * LiczbaKolumnTekstow;

// All texts back to back; the text of cell k spans [poczatki[k], poczatki[k + 1]),
// where k = (id - 1) * LiczbaKolumnTekstow + column.
struct TTabelaTekstow {
    std::array<char, RozmiarZapisu()> bajty{};
    std::array<uint32_t, LiczbaKomorek + 1> poczatki{};
};

constexpr TTabelaTekstow ZbudujTabele() {
    TTabelaTekstow tabela;
    std::size_t poz = 0;
    std::size_t wiersz = 0;
    for (int id = 1; id <= LiczbaTekstow; ++id) {
        const bool jest = wiersz < std::size(Wiersze) && Wiersze[wiersz].id == id;
        for (int kolumna = 0; kolumna < LiczbaKolumnTekstow; ++kolumna) {
            tabela.poczatki[std::size_t(id - 1) * LiczbaKolumnTekstow + kolumna] =
                static_cast<uint32_t>(poz);
            if (jest)
                poz = Zapisz(Wiersze[wiersz].teksty[kolumna], kolumna, tabela.bajty.data(), poz);
        }
        if (jest) ++wiersz;
    }
    // A row left over is out of id order, a duplicate, or outside the table.
    if (wiersz != std::size(Wiersze)) WierszePozaKolejnosciaLubPozaZakresem();
    tabela.poczatki[LiczbaKomorek] = static_cast<uint32_t>(poz);
    return tabela;
}

constexpr TTabelaTekstow Teksty = ZbudujTabele();

constexpr bool MaWiersz(int id) {
    for (const TWierszTekstu& wiersz : Wiersze)
        if (wiersz.id == id) return true;
    return false;
}

constexpr bool KazdyTekstProgramuMaWiersz() {
    for (const Tekst id : TekstyProgramu)
        if (!MaWiersz(id)) BrakWierszaTekstuProgramu();
    return true;
}
static_assert(KazdyTekstProgramuMaWiersz());
static_assert(Teksty.poczatki.back() == Teksty.bajty.size());

std::string_view Komorka(int kolumna, int id) {
    const std::size_t k = std::size_t(id - 1) * LiczbaKolumnTekstow + std::size_t(kolumna);
    const uint32_t poczatek = Teksty.poczatki[k];
    return {Teksty.bajty.data() + poczatek, Teksty.poczatki[k + 1] - poczatek};
}

} // namespace

std::string PobierzTekst(uint8_t jezyk, int id) {
    if (id < 1 || id > LiczbaTekstow) return {};
    const std::string_view zapis = Komorka(KolumnaTekstu(jezyk), id);
    if (jezyk != JezykRosyjski) return std::string(zapis);

    std::string wynik = KonwertujZnaki(zapis, jezyk, KierunekKonwersji::ZPostaciZapisanej);
    // The conversion also turns the Latin "d" and "s" of placeholders into Cyrillic.
    for (std::size_t i = 0; i + 1 < zapis.size(); ++i)
        if (zapis[i] == '%' && (zapis[i + 1] == 'd' || zapis[i + 1] == 's')) wynik[i + 1] = zapis[i + 1];
    return wynik;
}
