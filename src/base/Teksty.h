#pragma once
// The text table `Teksty`: every text the program shows, by message id (1..400) and
// interface language. Columns 0..6 hold Polish, English, French, German, Italian,
// Spanish and Russian; languages 7..12 have no column and read the Polish one.
//
// Encodings: a text of language j (0..6) is in code page StronaKodowaJezyka(j), the
// code page of the language's font character set, and the Win32 layer converts it
// with that code page: Polish, English and German in Windows-1250; French, Italian
// and Spanish in Windows-1252, so that their accented letters come out right;
// Russian in Windows-1251. The Russian column is stored in Latin letters
// (Windows-1250, the conversion of KonwersjaZnakow.h) and only the lookup for
// language 6 turns it into Cyrillic. StronaKodowaTekstu gives the code page of any
// lookup's result, for every language value.
//
// Texts may hold "%s" and "%d", which the caller fills in with the platform's
// format function, and CR LF line breaks.

#include <array>
#include <cstdint>
#include <string>

#include "base/Jezyki.h"
#include "base/StronyKodowe.h"

// 1..340 are the inherited table; the program's own texts follow.
inline constexpr int LiczbaTekstow = 400;
inline constexpr int LiczbaKolumnTekstow = 7;

// The message ids this program uses.
enum Tekst : int {
    TekstTytulOkna = 1,              // %s: product title
    TekstTytulNaglowka = 2,          // %s: product title
    TekstWstecz = 3,
    TekstDalej = 4,
    TekstZamknij = 5,
    TekstAnuluj = 6,
    TekstZakoncz = 7,
    TekstPrzerwij = 8,
    TekstKrok = 21,                  // %d: page, %d: number of pages, %s: page title
    TekstStronaWstep = 22,
    TekstStronaUmowa = 23,
    TekstStronaOpcje = 25,
    TekstStronaInstalacja = 26,
    TekstStronaKoniec = 27,
    TekstCzyPrzerwacInstalacje = 41,
    TekstWstep = 61,                 // %s, %s: product title twice
    TekstAkceptujeUmowe = 81,
    TekstNieAkceptujeUmowy = 82,
    TekstZainstalujWKatalogu = 121,
    TekstZmienKatalog = 122,
    TekstMiejsceWolne = 123,         // %s: size in MB
    TekstMiejsceWymagane = 124,      // %s: size in MB
    TekstZainstalujSlowniki = 125,
    TekstUtworzGrupe = 126,
    TekstSkrotyTranslatorow = 127,
    TekstSkrotySlownikow = 128,
    TekstZaMaloMiejsca = 129,
    TekstNieMoznaUtworzycKatalogu = 130,  // %s: folder
    TekstSkrotyDlaWszystkich = 131,
    TekstUprawnieniaAdministratora = 132,
    TekstInstaluje = 141,            // %s: product title
    TekstKopiowaniePlikow = 142,
    TekstTworzenieSkrotow = 143,
    TekstTworzenieRejestru = 144,
    TekstPlikZ = 145,                // %s: source path
    TekstPlikDo = 146,               // %s: target path
    TekstUsuwanieSkopiowanych = 147,
    TekstInstalacjaUdana = 161,
    TekstInstalacjaBlad = 162,
    TekstInstalacjaPrzerwana = 163,
    TekstUwaga = 181,
    TekstTak = 182,
    TekstNie = 183,
    TekstTrzeciPrzycisk = 184,       // empty: the button is never shown
    TekstWybierzKatalog = 221,
    TekstOK = 222,
    TekstNowyKatalog = 224,
    TekstNieMoznaUtworzycFolderu = 225,  // %s: folder name
    TekstNowyKatalogTytul = 226,
    TekstNowyKatalogDodaj = 227,
    TekstNowyKatalogAnuluj = 228,
    TekstInstalatorCD = 301,         // Polish without a placeholder, English with %s: product title
    TekstWitajCD = 302,              // %s: product title
    TekstWylogowanieWstrzymane = 361,  // why a logoff waits for the installation
    TekstZlyPrzelacznik = 362,         // %s: the command-line argument not understood
    TekstPomocPrzelacznikow = 363,     // %s x 14: the switches, in the order of PrzelacznikiPomocy
    TekstCofnacPrzerwanaInstalacje = 364,  // Yes undoes a run that died, No keeps its files
    TekstNapedCD = 365,                // what screen readers call the CD dialog's drive list
    TekstCofniecieNiepelne = 366,          // the end page's sentence: the undo finishes at the next start
    TekstBezDziennika = 367,               // the journal cannot be written: Yes goes on without it
    TekstKatalogDlaInnych = 368,           // %s: the folder others may change; Yes installs all the same
    TekstProtokolOdrzucony = 369,          // %s: the /LOG file, refused as not a plain file of its own
    TekstOdpowiedziNieczytelne = 370,      // %s: the answer file that cannot be read
    TekstOdpowiedziZlyWiersz = 371,        // %s: the answer file, %d: its line not understood
};

// Every id of the enumeration above; the table must hold a row for each.
inline constexpr std::array TekstyProgramu = {
    TekstTytulOkna, TekstTytulNaglowka, TekstWstecz, TekstDalej, TekstZamknij, TekstAnuluj,
    TekstZakoncz, TekstPrzerwij, TekstKrok, TekstStronaWstep, TekstStronaUmowa,
    TekstStronaOpcje, TekstStronaInstalacja, TekstStronaKoniec, TekstCzyPrzerwacInstalacje,
    TekstWstep, TekstAkceptujeUmowe, TekstNieAkceptujeUmowy, TekstZainstalujWKatalogu,
    TekstZmienKatalog, TekstMiejsceWolne, TekstMiejsceWymagane, TekstZainstalujSlowniki,
    TekstUtworzGrupe, TekstSkrotyTranslatorow, TekstSkrotySlownikow, TekstZaMaloMiejsca,
    TekstNieMoznaUtworzycKatalogu, TekstSkrotyDlaWszystkich, TekstUprawnieniaAdministratora,
    TekstInstaluje, TekstKopiowaniePlikow, TekstTworzenieSkrotow, TekstTworzenieRejestru,
    TekstPlikZ, TekstPlikDo, TekstUsuwanieSkopiowanych, TekstInstalacjaUdana,
    TekstInstalacjaBlad, TekstInstalacjaPrzerwana, TekstUwaga, TekstTak, TekstNie,
    TekstTrzeciPrzycisk, TekstWybierzKatalog, TekstOK, TekstNowyKatalog,
    TekstNieMoznaUtworzycFolderu, TekstNowyKatalogTytul, TekstNowyKatalogDodaj,
    TekstNowyKatalogAnuluj, TekstInstalatorCD, TekstWitajCD, TekstWylogowanieWstrzymane,
    TekstZlyPrzelacznik, TekstPomocPrzelacznikow, TekstCofnacPrzerwanaInstalacje, TekstNapedCD,
    TekstCofniecieNiepelne, TekstBezDziennika, TekstKatalogDlaInnych, TekstProtokolOdrzucony,
    TekstOdpowiedziNieczytelne, TekstOdpowiedziZlyWiersz,
};

// The column a language reads: its low seven bits when they are 1..6, else Polish.
[[nodiscard]] constexpr int KolumnaTekstu(uint8_t jezyk) {
    const int wartosc = jezyk & 0x7F;
    return wartosc >= 1 && wartosc < LiczbaKolumnTekstow ? wartosc : JezykPolski;
}

// The code page of what PobierzTekst returns for a language: Windows-1251 for
// exactly 6, else the code page of the column read. A column-6 read under another
// value (134, say) gives the stored Latin form, which is Windows-1250.
[[nodiscard]] constexpr StronaKodowa StronaKodowaTekstu(uint8_t jezyk) {
    if (jezyk == JezykRosyjski) return StronaKodowa::Windows1251;
    const int kolumna = KolumnaTekstu(jezyk);
    return kolumna == JezykRosyjski ? StronaKodowa::Windows1250
                                    : StronaKodowaJezyka(static_cast<uint8_t>(kolumna));
}

// The text of a message id in a language; empty for an id outside 1..400 and for an
// empty cell. For language 6 exactly, the stored Latin form is converted to
// Windows-1251, with the "d" and "s" of "%d" and "%s" kept.
[[nodiscard]] std::string PobierzTekst(uint8_t jezyk, int id);
