#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/Jezyki.h"
#include "base/KonwersjaZnakow.h"
#include "base/StronyKodowe.h"
#include "base/Teksty.h"

namespace {

struct PrzypadekTekstu {
    uint8_t jezyk;
    int id;
    std::string_view tekst;  // the exact bytes
};

const PrzypadekTekstu Przypadki[] = {
    // Ids outside the table, and one that no row names.
    {JezykPolski, 0, ""},
    {JezykPolski, 341, ""},
    {JezykPolski, -1, ""},
    {JezykRosyjski, 341, ""},
    // Languages without a column read Polish; the high bit selects nothing.
    {JezykPortugalski, TekstZamknij, "Zamknij"},
    {JezykTurecki, TekstZamknij, "Zamknij"},
    {255, TekstZamknij, "Zamknij"},
    {128 + JezykAngielski, TekstZamknij, "Close"},
    // Language 134 reads the Russian column in its stored Latin form.
    {128 + JezykRosyjski, TekstZamknij, "Zakrytq"},
    // Polish and English as they stand, spaces, quotes and line breaks included.
    {JezykPolski, TekstWstecz, "<<  Wstecz"},
    {JezykPolski, TekstDalej, "Dalej  >>"},
    {JezykPolski, TekstZakoncz, "Zako\xF1" "cz"},
    {JezykPolski, TekstZainstalujWKatalogu, " Zainstaluj w katalogu:  "},
    {JezykPolski, TekstNieMoznaUtworzycKatalogu,
     "Nie mo\xBFna utworzy\xE6 katalogu \"%s\".\r\nWybierz inny katalog."},
    {JezykPolski, TekstInstaluje, "Instaluj\xEA \"%s\""},
    {JezykPolski, TekstInstalacjaBlad,
     "Wyst\xB9pi\xB3 b\xB3\xB9" "d podczas instalacji. Mo\xBFliwe przyczyny to:\r\n\r\n"
     "1. Sprawd\x9F, czy na dysku jest wystarczaj\xB9" "ca ilo\x9C\xE6 miejsca.\r\n"
     "2. Tw\xF3j nap\xEA" "d CD-ROM mo\xBF" "e wymaga\xE6 czyszczenia."},
    {JezykPolski, TekstInstalatorCD, "Instalator"},
    {JezykPolski, TekstWitajCD,
     "Witamy w programie instalacyjnym produktu \"%s\". \r\n\r\nProsz\xEA w\xB3o\xBFy\xE6 do "
     "nap\xEA" "du p\xB3yt\xEA CD z programem, wybra\xE6 nap\xEA" "d i nacisn\xB9\xE6 OK:"},
    {JezykAngielski, TekstTytulOkna, "%s - Installer"},
    {JezykAngielski, TekstZainstalujWKatalogu, " Install in directory:  "},
    {JezykAngielski, TekstNieMoznaUtworzycFolderu, "Folder \"%s\" cannot be created."},
    {JezykAngielski, TekstInstalatorCD, "%s - Instalator"},
    {JezykAngielski, TekstZaMaloMiejsca,
     "There is too little disk space in the selected directory.\r\nDo you want to continue ?"},
    // The other columns in their code pages.
    {JezykFrancuski, TekstWstecz, "<<  En arriere"},
    {JezykFrancuski, TekstInstalacjaPrzerwana,
     "L'installation a \xE9t\xE9 interrompue \xE0 la demande de l'utilisateur."},
    {JezykNiemiecki, TekstTytulOkna, "Installationsprogramm - %s"},
    {JezykNiemiecki, TekstZamknij, "Schlie\xDF" "en"},
    {JezykNiemiecki, TekstNieMoznaUtworzycFolderu, "Der Ordner \x84%s\x93 kann nicht erstellt werden."},
    {JezykWloski, TekstCzyPrzerwacInstalacje,
     "L'installazione non \xE8 terminata. Interrompere l'installazione?"},
    {JezykHiszpanski, TekstWstecz, "<<  Atr\xE1s"},
    {JezykHiszpanski, TekstZaMaloMiejsca,
     "No hay espacio suficiente en la ubicaci\xF3n seleccionada para instalar el programa.\r\n"
     "\xBF" "Desea continuar?"},
    // Russian comes out in Windows-1251 with its placeholders intact.
    {JezykRosyjski, TekstZamknij, "\xC7\xE0\xEA\xF0\xFB\xF2\xFC"},
    {JezykRosyjski, TekstKrok, "\xD8\xE0\xE3 %d \xE8\xE7 %d: %s"},
};

TEST(Teksty, PobierzTekst) {
    for (const PrzypadekTekstu& p : Przypadki)
        EXPECT_EQ(PobierzTekst(p.jezyk, p.id), p.tekst) << "language " << int(p.jezyk) << " id " << p.id;
}

TEST(Teksty, PustePrzyciskiWKazdymJezyku) {
    for (int jezyk = 0; jezyk < 256; ++jezyk) {
        EXPECT_EQ(PobierzTekst(uint8_t(jezyk), TekstTrzeciPrzycisk), "") << jezyk;
        EXPECT_EQ(PobierzTekst(uint8_t(jezyk), 0), "") << jezyk;
        EXPECT_EQ(PobierzTekst(uint8_t(jezyk), LiczbaTekstow + 1), "") << jezyk;
    }
}

bool PustyZZamiaru(int id) { return id == TekstTrzeciPrzycisk; }

// "%d" and "%s" in order, and any other use of "%".
std::vector<std::string> Zastepniki(std::string_view tekst) {
    std::vector<std::string> wynik;
    for (std::size_t i = 0; i < tekst.size(); ++i)
        if (tekst[i] == '%') wynik.emplace_back(tekst.substr(i, 2));
    return wynik;
}

std::size_t LiczbaLinii(std::string_view tekst) {
    std::size_t liczba = 0;
    for (std::size_t i = tekst.find("\r\n"); i != tekst.npos; i = tekst.find("\r\n", i + 2)) ++liczba;
    return liczba;
}

// A translation slip shows as a text missing, a placeholder lost, doubled or moved,
// or a line break lost. The English texts that the table gives with another shape
// are the known exceptions.
TEST(Teksty, KazdyJezykMaTenSamKsztalt) {
    for (const Tekst id : TekstyProgramu) {
        if (PustyZZamiaru(id)) continue;
        const std::string polski = PobierzTekst(JezykPolski, id);
        for (uint8_t jezyk = 0; jezyk < LiczbaKolumnTekstow; ++jezyk) {
            const std::string tekst = PobierzTekst(jezyk, id);
            EXPECT_FALSE(tekst.empty()) << "language " << int(jezyk) << " id " << id;
            if (!(jezyk == JezykAngielski && id == TekstInstalatorCD)) {
                EXPECT_EQ(Zastepniki(tekst), Zastepniki(polski)) << "language " << int(jezyk) << " id " << id;
            }
            if (!(jezyk == JezykAngielski && id == TekstNieMoznaUtworzycKatalogu)) {
                EXPECT_EQ(LiczbaLinii(tekst), LiczbaLinii(polski)) << "language " << int(jezyk) << " id " << id;
            }
        }
    }
    EXPECT_EQ(Zastepniki(PobierzTekst(JezykAngielski, TekstInstalatorCD)), std::vector<std::string>{"%s"});
}

TEST(Teksty, RosyjskiWCyrylicy) {
    for (const Tekst id : TekstyProgramu) {
        const std::string rosyjski = PobierzTekst(JezykRosyjski, id);
        for (std::size_t i = 0; i < rosyjski.size(); ++i) {
            const char c = rosyjski[i];
            const bool litera = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            if (litera) {
                EXPECT_TRUE(i > 0 && rosyjski[i - 1] == '%') << "id " << id << " at " << i;
            }
        }
        // Back to the stored form gives what a read without conversion gives.
        EXPECT_EQ(KonwertujZnaki(rosyjski, JezykRosyjski, KierunekKonwersji::DoPostaciZapisanej),
                  PobierzTekst(128 + JezykRosyjski, id))
            << "id " << id;
    }
}

TEST(Teksty, KolumnyBezKonwersjiPozaRosyjskim) {
    for (const Tekst id : TekstyProgramu) {
        for (uint8_t jezyk = LiczbaKolumnTekstow; jezyk < LiczbaJezykow; ++jezyk)
            EXPECT_EQ(PobierzTekst(jezyk, id), PobierzTekst(JezykPolski, id)) << int(jezyk) << " " << id;
        for (uint8_t jezyk = 0; jezyk < JezykRosyjski; ++jezyk)
            EXPECT_EQ(PobierzTekst(uint8_t(128 + jezyk), id), PobierzTekst(jezyk, id)) << int(jezyk) << " " << id;
    }
}

// What the Win32 layer shows: the text read in the code page StronaKodowaTekstu names.
TEST(Teksty, StronaKodowaTekstu) {
    struct Przypadek {
        uint8_t jezyk;
        int id;
        char32_t znak;
    };
    const Przypadek przypadki[] = {
        {JezykPolski, TekstZakoncz, U'ń'},
        {JezykFrancuski, TekstInstalacjaPrzerwana, U'à'},
        {JezykNiemiecki, TekstNieMoznaUtworzycFolderu, U'„'},
        {JezykWloski, TekstCzyPrzerwacInstalacje, U'è'},
        {JezykHiszpanski, TekstZaMaloMiejsca, U'¿'},
        {JezykRosyjski, TekstNieMoznaUtworzycKatalogu, U'ё'},
        {128 + JezykRosyjski, TekstNieMoznaUtworzycKatalogu, U'ë'},
        {JezykCzeski, TekstZakoncz, U'ń'},
    };
    for (const Przypadek& p : przypadki) {
        const StronaKodowa strona = StronaKodowaTekstu(p.jezyk);
        std::u32string znaki;
        for (const char c : PobierzTekst(p.jezyk, p.id)) znaki += ZnakBajtu(strona, uint8_t(c));
        EXPECT_NE(znaki.find(p.znak), znaki.npos) << int(p.jezyk) << " " << p.id;
    }
    for (uint8_t jezyk = 0; jezyk < LiczbaKolumnTekstow; ++jezyk)
        EXPECT_EQ(StronaKodowaTekstu(jezyk), StronaKodowaJezyka(jezyk)) << int(jezyk);
}

TEST(Jezyki, WartosciPozaTabelaCzytajaPolski) {
    for (const uint8_t jezyk : {uint8_t(13), uint8_t(127), uint8_t(134), uint8_t(255)}) {
        EXPECT_EQ(DaneJezyka(jezyk).Kod, "PL") << int(jezyk);
        EXPECT_EQ(DaneJezyka(jezyk).PlikUmowy, "umowapol.txt") << int(jezyk);
        EXPECT_EQ(StronaKodowaJezyka(jezyk), StronaKodowa::Windows1250) << int(jezyk);
    }
    EXPECT_EQ(DaneJezyka(JezykTurecki).PlikUmowy, "umowatu.txt");
    EXPECT_EQ(StronaKodowaJezyka(JezykTurecki), StronaKodowa::Windows1254);
}

} // namespace

namespace {

TEST(JezykZLokalizacji, OnlyFiveLanguagesAreDetected) {
    for (std::uint32_t lcid : {1031u, 2055u, 3079u, 4103u, 5127u}) EXPECT_EQ(JezykZLokalizacji(lcid), JezykNiemiecki);
    for (std::uint32_t lcid : {1034u, 2058u, 3082u}) EXPECT_EQ(JezykZLokalizacji(lcid), JezykHiszpanski);
    for (std::uint32_t lcid : {1036u, 2060u, 3084u}) EXPECT_EQ(JezykZLokalizacji(lcid), JezykFrancuski);
    for (std::uint32_t lcid : {1040u, 2064u}) EXPECT_EQ(JezykZLokalizacji(lcid), JezykWloski);
    EXPECT_EQ(JezykZLokalizacji(1049), JezykRosyjski);
    // English never comes from the locale; the user picks it on the first page.
    for (std::uint32_t lcid : {1033u, 2057u, 1045u, 0u, 1038u, 6151u}) EXPECT_EQ(JezykZLokalizacji(lcid), JezykPolski);
}

}  // namespace
