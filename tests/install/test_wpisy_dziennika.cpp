#include "install/WpisyDziennika.h"

#include "app/StronyKodowe.h"

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
        {R::Zastapiony, {"C:\\V\\a", "C:\\V\\a.velt-kopia"}},
        {R::Katalog, {"C:\\V\\d"}},
        {R::Plik, {"C:\\V\\d\\b"}},
        // A source file named like the backup above: the backup moves on.
        {R::Zastapiony, {"C:\\V\\A.velt-kopia", "C:\\V\\a.velt-kopia2"}},
        {R::Zastapiony, {"C:\\V\\c", "C:\\V\\c.velt-kopia"}},
    };
    EXPECT_EQ(KolejnoscCofania(wpisy), (std::vector<std::size_t>{6, 5, 4, 2, 3, 1}));
    EXPECT_EQ(BiezaceKopieZapasowe(wpisy), (std::vector<std::string>{"C:\\V\\a.velt-kopia2", "C:\\V\\c.velt-kopia"}));
}

}  // namespace
