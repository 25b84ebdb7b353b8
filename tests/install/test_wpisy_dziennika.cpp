#include "install/WpisyDziennika.h"

#include "base/StronyKodowe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using R = RodzajWpisu;

const std::vector<WpisDziennika> kWpisy = {
    {R::Poczatek, {"3", "C:\\Program Files\\Velt"}},
    {R::Katalog, {"C:\\Program Files\\Velt\\Dane"}},
    {R::Zastapiony, {"C:\\Program Files\\Velt\\a.dll", "C:\\Program Files\\Velt\\a.dll.velt-kopia"}},
    // A registry value's previous bytes hold zeros (UTF-16).
    {R::Wartosc, {"HKCU", "SOFTWARE\\Zelpax\\EngVelt", "Katalog", "1", std::string("C\0:\0\0\0", 6)}},
    {R::Plik, {"C:\\Program Files\\Velt\\łóź.txt"_cp1250}},
};

std::string Zakodowane(const std::vector<WpisDziennika>& wpisy) {
    std::string s;
    for (const auto& w : wpisy) s += KodujWpis(w);
    return s;
}

OdczytDziennika Czytaj(const std::string& s) {
    return CzytajDziennik(std::span(reinterpret_cast<const std::uint8_t*>(s.data()), s.size()));
}

TEST(WpisyDziennika, ReadsWholeRecordsAndIgnoresATornOrDamagedTail) {
    const std::string cale = Zakodowane(kWpisy);
    const std::size_t ostatni = KodujWpis(kWpisy.back()).size();
    const std::size_t przedOstatnim = cale.size() - ostatni;
    const std::vector<WpisDziennika> bezOstatniego(kWpisy.begin(), kWpisy.end() - 1);
    struct Przypadek {
        const char* opis;
        std::string bajty;
        std::vector<WpisDziennika> wpisy;
        bool urwany;
    };
    std::vector<Przypadek> przypadki = {
        {"every record whole", cale, kWpisy, false},
        {"empty file", "", {}, false},
        {"first record torn after its length", cale.substr(0, 3), {}, true},
    };
    // The power may go after any byte of the last record.
    for (std::size_t n = 1; n < ostatni; ++n)
        przypadki.push_back({"last record cut short", cale.substr(0, przedOstatnim + n), bezOstatniego, true});
    std::string zepsuty = cale;
    zepsuty[cale.size() - 2] ^= 0x40;
    przypadki.push_back({"last record's body damaged", zepsuty, bezOstatniego, true});
    std::string dlugi = cale;
    dlugi[przedOstatnim + 3] = '\x7F';  // a length past the end of the file
    przypadki.push_back({"last record's length damaged", dlugi, bezOstatniego, true});
    std::string zeraNaKoncu = cale + std::string(12, '\0');  // space the system allocated, never written
    przypadki.push_back({"zeros after the last record", zeraNaKoncu, kWpisy, true});
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis + std::string(" at ") + std::to_string(p.bajty.size()));
        const OdczytDziennika odczyt = Czytaj(p.bajty);
        EXPECT_EQ(odczyt.wpisy, p.wpisy);
        EXPECT_EQ(odczyt.urwany, p.urwany);
    }
}

TEST(WpisyDziennika, UndoOrderAndTheBackupsThatStillHoldOldContent) {
    const std::vector<WpisDziennika> wpisy = {
        {R::Poczatek, {"3", "C:\\V"}},
        {R::Katalog, {"C:\\V"}},
        {R::Zastapiony, {"C:\\V\\a", "C:\\V\\a.velt-kopia", "5:100", "7:200", "C:\\V\\a.velt-nowy"}},
        {R::Katalog, {"C:\\V\\d"}},
        {R::Plik, {"C:\\V\\d\\b"}},
        {R::Numer, {"C:\\V\\d\\b", "1f"}},
        // A source file named like the backup above: the backup moves on.
        {R::Zastapiony, {"C:\\V\\A.velt-kopia", "C:\\V\\a.velt-kopia2", "5:100", "9:300", "C:\\V\\x"}},
        {R::Zastapiony, {"C:\\V\\c", "C:\\V\\c.velt-kopia", "1:1", "2:2", "C:\\V\\c.velt-nowy"}},
        // Nothing was there: no backup.
        {R::Zastapiony, {"C:\\V\\e", "", "", "3:3", "C:\\V\\e.velt-nowy"}},
        {R::Cofanie, {}},
    };
    EXPECT_EQ(KolejnoscCofania(wpisy), (std::vector<std::size_t>{8, 7, 6, 4, 2, 3, 1}));
    EXPECT_EQ(BiezaceKopieZapasowe(wpisy),
              (std::vector<KopiaZapasowa>{{2, "C:\\V\\a.velt-kopia2"}, {7, "C:\\V\\c.velt-kopia"}}));
    EXPECT_EQ(PrzenoszaceKopie(wpisy), (std::vector<bool>{false, false, false, false, false, false, true, false, false, false}));
    EXPECT_TRUE(CofanieZdecydowane(wpisy));
    EXPECT_TRUE(MaZmiany(wpisy));
    EXPECT_FALSE(MaZmiany({{R::Poczatek, {"3", "C:\\V"}}, {R::Cofanie, {}}}));
}

// The file a Plik or Tymczasowy record made is the one whose number follows
// it, and only until the next record of that path.
TEST(WpisyDziennika, FileNumbersFollowTheirRecord) {
    const std::vector<WpisDziennika> wpisy = {
        {R::Plik, {"C:\\V\\a"}},
        {R::Numer, {"C:\\V\\A", "2a"}},  // the case of a path does not matter
        {R::Tymczasowy, {"C:\\V\\b.velt-nowy"}},
        // The run died between creating it and recording its number.
        {R::Plik, {"C:\\V\\c"}},
        {R::Zastapiony, {"C:\\V\\b", "", "", "1:2", "C:\\V\\b.velt-nowy"}},
        {R::Numer, {"C:\\V\\b.velt-nowy", "ffffffffffffffff"}},
        // A number after a later record of the path belongs to that record.
        {R::Plik, {"C:\\V\\d"}},
        {R::Zastapiony, {"C:\\V\\d", "C:\\V\\d.velt-kopia", "1:1", "2:2", "C:\\V\\d.velt-nowy"}},
        {R::Numer, {"C:\\V\\d", "5"}},
        {R::Plik, {"C:\\V\\zly"}},
        {R::Numer, {"C:\\V\\zly", "nie-liczba"}},
    };
    const std::vector<std::optional<std::uint64_t>> oczekiwane = {
        0x2a, std::nullopt, 0xffffffffffffffffull, std::nullopt, std::nullopt, std::nullopt,
        std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
    };
    EXPECT_EQ(NumeryPlikow(wpisy), oczekiwane);

    // The volume comes with the number; the stamp with a later record of the
    // same number, once the file was written whole. A journal that keeps them
    // writes them back as they were.
    const std::vector<WpisDziennika> zeStemplem = {
        {R::Plik, {"C:\\V\\f"}},
        {R::Numer, {"C:\\V\\f", "7", "5a000000"}},
        {R::Numer, {"C:\\V\\f", "8", "5a000000", "9:9"}},  // another file's number: not this one's stamp
        {R::Numer, {"C:\\V\\f", "7", "5a000000", "3:4"}},
        {R::Plik, {"C:\\V\\g"}},
        {R::Numer, {"C:\\V\\g", "9", "", "1:2"}},
    };
    const auto pliki = ZapisanePliki(zeStemplem);
    ASSERT_TRUE(pliki[0] && pliki[4]);
    EXPECT_EQ(*pliki[0], (ZapisanyPlik{7, 0x5a000000u, StempelPliku{3, 4}}));
    EXPECT_EQ(*pliki[4], (ZapisanyPlik{9, std::nullopt, StempelPliku{1, 2}}));
    for (const std::size_t i : {0u, 4u})
        EXPECT_EQ(ZapisanePliki({zeStemplem[i], WpisNumeru(Pole(zeStemplem[i], 0), *pliki[i])})[0], pliki[i]);
}

// An undo deletes a file it finds only while it is the run's, as the run
// left it: what the handle that the undo opened tells is weighed against what
// the run recorded.
TEST(WpisyDziennika, FileFoundIsTheRunsOnlyAsTheRunLeftIt) {
    using O = OcenaPliku;
    const StempelPliku stempel{100, 5000};
    const ZapisanyPlik zapisany{0x2a, 7u, stempel};
    const ZastanyPlik taki{false, 7, 0x2a, stempel};
    const auto z = [&](auto zmiana) {
        ZastanyPlik p = taki;
        zmiana(p);
        return p;
    };
    struct Przypadek {
        const char* opis;
        std::optional<ZapisanyPlik> zapisany;
        ZastanyPlik zastany;
        std::optional<std::uint64_t> czasDziennika;
        O ocena;
    };
    const Przypadek przypadki[] = {
        {"as the run left it", zapisany, taki, 6000, O::Runu},
        {"the same number on another volume", zapisany, z([](ZastanyPlik& p) { p.wolumin = 8; }), 6000, O::InnyWolumin},
        {"an older journal, which holds no volume", ZapisanyPlik{0x2a, std::nullopt, stempel},
         z([](ZastanyPlik& p) { p.wolumin = 8; }), 6000, O::Runu},
        {"another file took the name", zapisany, z([](ZastanyPlik& p) { p.numer = 0x2b; }), 6000, O::Inny},
        {"a link or a folder took the name", zapisany, z([](ZastanyPlik& p) { p.obcy = true; }), 6000, O::Inny},
        {"rewritten in place: another size", zapisany, z([](ZastanyPlik& p) { p.stempel.rozmiar = 101; }), 6000,
         O::Przepisany},
        {"rewritten in place: another time", zapisany, z([](ZastanyPlik& p) { p.stempel.czas = 5001; }), std::nullopt,
         O::Przepisany},
        // The run died while writing it: no stamp, only the journal's time.
        {"no stamp, written before the journal's last record", ZapisanyPlik{0x2a, 7u, std::nullopt}, taki, 6000,
         O::Runu},
        {"no stamp, written after the journal's last record", ZapisanyPlik{0x2a, 7u, std::nullopt}, taki, 4000,
         O::Przepisany},
        {"the run's own undo weighs no journal's time", ZapisanyPlik{0x2a, 7u, std::nullopt}, taki, std::nullopt,
         O::Runu},
        {"no number: the run died right after making it, still empty", std::nullopt,
         z([](ZastanyPlik& p) { p.stempel.rozmiar = 0; }), 6000, O::Runu},
        {"no number, and content", std::nullopt, taki, 6000, O::Inny},
    };
    for (const Przypadek& p : przypadki) EXPECT_EQ(OcenPlik(p.zapisany, p.zastany, p.czasDziennika), p.ocena) << p.opis;
}

// HKEY_CURRENT_USER is the hive of whoever replays a journal: a record is
// replayed only in the hive of the account that wrote it.
TEST(WpisyDziennika, RegistryRecordsReplayedOnlyInTheirOwnersHive) {
    const std::string ja = "S-1-5-21-1-2-3-1001";
    EXPECT_EQ(PoleKorzenia(true, ja), "HKLM");
    EXPECT_EQ(PoleKorzenia(false, ja), "HKCU:" + ja);
    EXPECT_EQ(PoleKorzenia(false, ""), "HKCU");
    struct Przypadek {
        std::string pole;
        bool odtworzony;
    };
    for (const Przypadek& p : {
             Przypadek{"HKLM", true},
             Przypadek{"HKCU:" + ja, true},
             Przypadek{"HKCU:S-1-5-21-1-2-3-1002", false},
             Przypadek{"HKCU:" + ja + "0", false},
             Przypadek{"HKCU", false},  // an older wizard's: whose hive is not known
             Przypadek{"HKCU:", false},
         }) {
        EXPECT_EQ(KorzenDoOdtworzenia(p.pole, ja), p.odtworzony) << p.pole;
        EXPECT_EQ(KorzenDoOdtworzenia(p.pole, ""), p.pole == "HKLM") << p.pole;
    }
}

TEST(WpisyDziennika, StampsAndNumbersRoundTripAndRefuseWhatTheyAreNot) {
    for (const StempelPliku s : {StempelPliku{0, 0}, StempelPliku{5'000'000'000, 133'000'000'000'000'000ull}})
        EXPECT_EQ(CzytajStempel(TekstStempla(s)), s);
    for (const char* zle : {"", "5", ":5", "5:", "-1:5", "5:x", "5:5:5"}) EXPECT_EQ(CzytajStempel(zle), std::nullopt) << zle;
    for (const std::uint64_t n : {std::uint64_t{0}, std::uint64_t{0x1234abcd}, ~std::uint64_t{0}})
        EXPECT_EQ(CzytajNumer(TekstNumeru(n)), n);
    for (const char* zle : {"", "g", "1 ", "10000000000000000"}) EXPECT_EQ(CzytajNumer(zle), std::nullopt) << zle;
}

}  // namespace
