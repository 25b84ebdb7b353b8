// Patch lists applied to files on disk, under Wine: result codes, refused and
// skipped entries, numbered lists, and patches made by the patch maker.

#include "install/Poprawki.h"

#include "../PomocnicyWin.h"
#include "Kompresja.h"
#include "TworzeniePoprawek.h"
#include "base/Blad.h"
#include "payload/Dekompresja.h"
#include "sys/files.h"
#include "sys/folders.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bajty = std::vector<std::uint8_t>;

std::string Tekst(const Bajty& b) { return std::string(b.begin(), b.end()); }
Bajty Bajtowo(std::string_view s) { return Bajty(s.begin(), s.end()); }

// Old and new versions of a text and of an executable-like file.
const std::string kStaryTekst = std::string(1500, '=') + "\r\nVelt readme\r\nZelpax\r\n" + std::string(900, '-');
const std::string kNowyTekst = std::string(1500, '=') + "\r\nVelt readme, edition 3\r\nZelpax\r\n" +
                               std::string(900, '-') + "\r\nnew line\r\n";
Bajty Program(bool nowy) {
    Bajty b(6000);
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
    if (nowy) {
        b.insert(b.begin() + 3000, 40, 0x90);
        b[5500] ^= 0xFF;
    }
    return b;
}

// A patch folder ("cd\") and a target folder ("cel\") in a fresh folder, and
// a file beside them that no entry may reach ("sekret.txt").
class Poprawki : public ::testing::Test {
public:
    // Also the fresh start of each case of a table.
    void SetUp() override {
        tmp_.Odnow();
        ASSERT_TRUE(sys::CreateFolder(Cd()));
        ASSERT_TRUE(sys::CreateFolder(Cel()));
        Zapisz(korzen_ + "\\sekret.txt", kStaryTekst);
    }
    std::string Cd() const { return korzen_ + "\\cd"; }
    std::string Cel() const { return korzen_ + "\\cel"; }
    static void Zapisz(const std::string& sciezka, std::string_view tresc) {
        ASSERT_TRUE(sys::WriteWholeFile(sciezka, tresc)) << sciezka;
    }
    static std::string Czytaj(const std::string& sciezka) {
        return sys::ReadWholeFile(sciezka, 1 << 20).value_or("<missing>");
    }
    bool JestTymczasowy() const { return sys::EntryExists(Cel() + "\\" + PlikTymczasowyPoprawki); }

    // Makes the patch `plik` turning `stara` into `nowa` and appends its entry
    // (for target `cel`) to the list `lista`.
    void Dodaj(const std::string& lista, const std::string& plik, const std::string& cel, std::string_view stara,
               std::string_view nowa) {
        const auto p = TworzPoprawke(Bajtowo(stara), Bajtowo(nowa), plik, cel);
        Zapisz(Cd() + "\\" + plik, Tekst(p.Plik));
        DodajWpis(lista, p.Wpis);
    }
    // The readme patch, its entry changed by `zmien`, in info.pth.
    void DodajZmieniony(const std::function<void(WpisPoprawki&)>& zmien) {
        const auto p = TworzPoprawke(Bajtowo(kStaryTekst), Bajtowo(kNowyTekst), "readme.pat", "readme.txt");
        Zapisz(Cd() + "\\readme.pat", Tekst(p.Plik));
        WpisPoprawki w = p.Wpis;
        zmien(w);
        DodajWpis("info.pth", w);
    }
    // Makes the file `rozmiar` bytes long without writing them all.
    static void Wydluz(const std::string& sciezka, std::uint64_t rozmiar) {
        const HANDLE h = CreateFileA(sciezka.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER l;
        l.QuadPart = static_cast<LONGLONG>(rozmiar);
        EXPECT_TRUE(SetFilePointerEx(h, l, nullptr, FILE_BEGIN) && SetEndOfFile(h));
        CloseHandle(h);
    }
    void DodajWpis(const std::string& lista, const WpisPoprawki& wpis) {
        const std::string sciezka = Cd() + "\\" + lista;
        const std::string dotad = sys::ReadWholeFile(sciezka, 1 << 20).value_or("");
        Zapisz(sciezka, dotad + Tekst(ZakodujWpis(wpis)));
    }

    pomocnicy::KatalogTymczasowy tmp_{"velt-poprawki"};
    const std::string korzen_ = tmp_.Sciezka();
};

TEST_F(Poprawki, ResultCodesOfOneList) {
    const std::string program = Tekst(Program(false));
    const std::string programNowy = Tekst(Program(true));
    std::string zlaSuma = kStaryTekst;
    zlaSuma[10] = '#';

    struct Przypadek {
        const char* opis;
        std::function<void(Poprawki&)> przygotuj;
        std::int32_t kod;
        std::string readme;  // content of readme.txt afterwards
        bool tymczasowy;     // whether the temporary file stays
    };
    const Przypadek przypadki[] = {
        {"applied: text and executable",
         [&](Poprawki& t) {
             t.Zapisz(t.Cel() + "\\Velt.exe", program);
             t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst, kNowyTekst);
             t.Dodaj("info.pth", "velt.pat", "Velt.exe", program, programNowy);
         },
         PoprawkiZastosowane, kNowyTekst, false},
        {"empty list", [](Poprawki& t) { t.Zapisz(t.Cd() + "\\info.pth", ""); }, PoprawkiZastosowane, kStaryTekst,
         false},
        {"no list", [](Poprawki&) {}, ListaNieOtwarta, kStaryTekst, false},
        {"check sum differs",
         [&](Poprawki& t) {
             t.Dodaj("info.pth", "readme.pat", "readme.txt", zlaSuma, kNowyTekst);
         },
         PoprawkaZlaSuma, kStaryTekst, false},
        {"size differs",
         [&](Poprawki& t) { t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst + "x", kNowyTekst); },
         PoprawkaZlyRozmiar, kStaryTekst, false},
        {"target missing",
         [&](Poprawki& t) { t.Dodaj("info.pth", "readme.pat", "brak.txt", kStaryTekst, kNowyTekst); },
         PoprawkaZlyRozmiar, kStaryTekst, false},
        {"hidden target is not found",
         [&](Poprawki& t) {
             ASSERT_TRUE(sys::SetAttributes(t.Cel() + "\\readme.txt", FILE_ATTRIBUTE_HIDDEN));
             t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst, kNowyTekst);
         },
         PoprawkaZlyRozmiar, kStaryTekst, false},
        {"temporary file cannot be written",
         [&](Poprawki& t) {
             ASSERT_TRUE(sys::CreateFolder(t.Cel() + "\\" + PlikTymczasowyPoprawki));
             t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst, kNowyTekst);
         },
         PoprawkaNiezapisana, kStaryTekst, true},
        {"read-only target cannot be replaced",
         [&](Poprawki& t) {
             ASSERT_TRUE(sys::SetAttributes(t.Cel() + "\\readme.txt", FILE_ATTRIBUTE_READONLY));
             t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst, kNowyTekst);
         },
         PoprawkaCelNiezastapiony, kStaryTekst, true},
        {"after a refused entry a matching one is skipped",
         [&](Poprawki& t) {
             t.Dodaj("info.pth", "zla.pat", "readme.txt", zlaSuma, kNowyTekst);
             t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst, kNowyTekst);
         },
         PoprawkaZlaSuma, kStaryTekst, false},
        {"after a refused entry the size test still runs",
         [&](Poprawki& t) {
             t.Dodaj("info.pth", "zla.pat", "readme.txt", zlaSuma, kNowyTekst);
             t.Dodaj("info.pth", "brak.pat", "brak.txt", kStaryTekst, kNowyTekst);
         },
         PoprawkaZlyRozmiar, kStaryTekst, false},
        {"target climbing out of the folder",
         [&](Poprawki& t) {
             t.Dodaj("info.pth", "sekret.pat", "..\\sekret.txt", kStaryTekst, kNowyTekst);
             t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst, kNowyTekst);
         },
         PoprawkaNazwaPozaKatalogiem, kStaryTekst, false},
        {"absolute target",
         [&](Poprawki& t) { t.Dodaj("info.pth", "sekret.pat", t.korzen_ + "\\sekret.txt", kStaryTekst, kNowyTekst); },
         PoprawkaNazwaPozaKatalogiem, kStaryTekst, false},
        {"patch climbing out of the folder",
         [&](Poprawki& t) {
             t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst, kNowyTekst);
             t.Zapisz(t.Cd() + "\\info.pth", "");
             t.DodajWpis("info.pth", {"..\\cd\\readme.pat", "readme.txt", static_cast<std::uint32_t>(kStaryTekst.size()),
                                      100000, 100000});
         },
         PoprawkaNazwaPozaKatalogiem, kStaryTekst, false},
        // Sizes that a 32-bit process cannot hold are refused before anything
        // is read or allocated.
        {"script capacity of 4 GB",
         [&](Poprawki& t) { t.DodajZmieniony([](WpisPoprawki& w) { w.PojemnoscSkryptu = 0xFFFFFFFF; }); },
         PoprawkaZaDuza, kStaryTekst, false},
        {"new capacity of 4 GB",
         [&](Poprawki& t) { t.DodajZmieniony([](WpisPoprawki& w) { w.NowaPojemnosc = 0xFFFFFFF0; }); },
         PoprawkaZaDuza, kStaryTekst, false},
        {"old size above the ceiling",
         [&](Poprawki& t) {
             t.DodajZmieniony([](WpisPoprawki& w) { w.StaryRozmiar = NajwiekszyPlik + 1; });
         },
         PoprawkaZaDuza, kStaryTekst, false},
        {"patch file above the ceiling",
         [&](Poprawki& t) {
             t.DodajZmieniony([](WpisPoprawki&) {});
             t.Wydluz(t.Cd() + "\\readme.pat", NajwiekszyPlik + 1);
         },
         PoprawkaZaDuza, kStaryTekst, false},
        {"after a refused entry an oversized one is not read",
         [&](Poprawki& t) {
             t.Dodaj("info.pth", "zla.pat", "readme.txt", zlaSuma, kNowyTekst);
             t.DodajWpis("info.pth", {"brak.pat", "readme.txt", 1, 0xFFFFFFFF, 1});
         },
         PoprawkaZlaSuma, kStaryTekst, false},
    };
    for (const auto& p : przypadki) {
        SetUp();
        Zapisz(Cel() + "\\readme.txt", kStaryTekst);
        p.przygotuj(*this);
        EXPECT_EQ(ApplyPatchList("info.pth", Cd(), Cel()), p.kod) << p.opis;
        sys::Ignore(sys::SetAttributes(Cel() + "\\readme.txt", FILE_ATTRIBUTE_NORMAL), "test");
        EXPECT_EQ(Czytaj(Cel() + "\\readme.txt"), p.readme) << p.opis;
        EXPECT_EQ(JestTymczasowy(), p.tymczasowy) << p.opis;
        EXPECT_EQ(Czytaj(korzen_ + "\\sekret.txt"), kStaryTekst) << p.opis;
        if (p.kod == PoprawkiZastosowane && sys::FileExists(Cel() + "\\Velt.exe")) {
            EXPECT_EQ(Czytaj(Cel() + "\\Velt.exe"), programNowy) << p.opis;
        }
    }
}

TEST_F(Poprawki, EscapePairsAndCopiesOnDisk) {
    const std::string stara = kStaryTekst;
    const std::uint32_t suma = SumaBajtow(Bajtowo(stara));
    const std::uint8_t e = '=';
    // "a", E E, copy of old bytes 1502.. (low byte 0xDE), "b".
    const Bajty skrypt{static_cast<std::uint8_t>(suma), static_cast<std::uint8_t>(suma >> 8),
                       static_cast<std::uint8_t>(suma >> 16), static_cast<std::uint8_t>(suma >> 24), e, 'a', e, e,
                       e, 0xDE, 0x05, 0, 0, 'b'};
    Zapisz(Cel() + "\\readme.txt", stara);
    Zapisz(Cd() + "\\r.pat", Tekst(SpakujBlok(skrypt)));
    DodajWpis("info.pth", {"r.pat", "readme.txt", static_cast<std::uint32_t>(stara.size()),
                           static_cast<std::uint32_t>(skrypt.size()), 300});
    EXPECT_EQ(ApplyPatchList("info.pth", Cd() + "\\", Cel() + "\\"), PoprawkiZastosowane);
    EXPECT_EQ(Czytaj(Cel() + "\\readme.txt"), "a=" + stara.substr(0x5DE, 256) + "b");
    EXPECT_FALSE(JestTymczasowy());
}

TEST_F(Poprawki, ErrorsThatEndTheList) {
    const struct {
        const char* opis;
        std::function<void(Poprawki&)> przygotuj;
        std::string readme;  // earlier entries stay applied
    } przypadki[] = {
        {"list ends inside an entry",
         [](Poprawki& t) {
             t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst, kNowyTekst);
             const std::string l = Czytaj(t.Cd() + "\\info.pth");
             t.Zapisz(t.Cd() + "\\info.pth", l + l.substr(0, 7));
         },
         kNowyTekst},
        {"patch file missing",
         [](Poprawki& t) { t.DodajWpis("info.pth", {"brak.pat", "readme.txt", 1, 1, 1}); }, kStaryTekst},
        {"damaged patch file",
         [](Poprawki& t) {
             t.Dodaj("info.pth", "readme.pat", "readme.txt", kStaryTekst, kNowyTekst);
             t.Zapisz(t.Cd() + "\\readme.pat", "\xff\xff\xff garbage");
         },
         kStaryTekst},
        {"script capacity too small",
         [](Poprawki& t) {
             const auto p = TworzPoprawke(Bajtowo(kStaryTekst), Bajtowo(kNowyTekst), "readme.pat", "readme.txt");
             t.Zapisz(t.Cd() + "\\readme.pat", Tekst(p.Plik));
             WpisPoprawki w = p.Wpis;
             w.PojemnoscSkryptu -= 1;
             t.DodajWpis("info.pth", w);
         },
         kStaryTekst},
        {"new content over its capacity",
         [](Poprawki& t) {
             const auto p = TworzPoprawke(Bajtowo(kStaryTekst), Bajtowo(kNowyTekst), "readme.pat", "readme.txt");
             t.Zapisz(t.Cd() + "\\readme.pat", Tekst(p.Plik));
             WpisPoprawki w = p.Wpis;
             w.NowaPojemnosc -= 1;
             t.DodajWpis("info.pth", w);
         },
         kStaryTekst},
    };
    for (const auto& p : przypadki) {
        SetUp();
        Zapisz(Cel() + "\\readme.txt", kStaryTekst);
        p.przygotuj(*this);
        EXPECT_THROW((void)ApplyPatchList("info.pth", Cd(), Cel()), BladProgramu) << p.opis;
        EXPECT_EQ(Czytaj(Cel() + "\\readme.txt"), p.readme) << p.opis;
        EXPECT_FALSE(JestTymczasowy()) << p.opis;
    }
}

TEST_F(Poprawki, RecordsThenNumberedListsUpToTheFirstGap) {
    // info.pth patches a.txt, info2.pth b.txt, info4.pth c.txt (never reached).
    for (const char* n : {"a.txt", "b.txt", "c.txt"}) Zapisz(Cel() + "\\" + n, kStaryTekst);
    Dodaj("info.pth", "a.pat", "a.txt", kStaryTekst, kNowyTekst);
    Dodaj("info2.pth", "b.pat", "b.txt", kStaryTekst, kNowyTekst);
    Dodaj("info4.pth", "c.pat", "c.txt", kStaryTekst, kNowyTekst);

    // Edition 3: both records, then the numbered step offers them again,
    // which changes nothing; the gap at 3 stops it.
    ZastosujPoprawki(3, Cd(), Cel());
    EXPECT_EQ(Czytaj(Cel() + "\\a.txt"), kNowyTekst);
    EXPECT_EQ(Czytaj(Cel() + "\\b.txt"), kNowyTekst);
    EXPECT_EQ(Czytaj(Cel() + "\\c.txt"), kStaryTekst);
    EXPECT_FALSE(JestTymczasowy());
    ZastosujPoprawki(3, Cd(), Cel());
    EXPECT_EQ(Czytaj(Cel() + "\\a.txt"), kNowyTekst);
    EXPECT_EQ(ApplyPatchList("info.pth", Cd(), Cel()), PoprawkaZlyRozmiar);

    // Edition 1 has no record; with info2.pth gone the numbered step applies
    // info.pth alone, and a damaged list there does not stop the step.
    for (const char* n : {"a.txt", "b.txt"}) Zapisz(Cel() + "\\" + n, kStaryTekst);
    ASSERT_TRUE(sys::RemoveFile(Cd() + "\\info2.pth"));
    ZastosujPoprawki(1, Cd(), Cel());
    EXPECT_EQ(Czytaj(Cel() + "\\a.txt"), kNowyTekst);
    EXPECT_EQ(Czytaj(Cel() + "\\b.txt"), kStaryTekst);

    Zapisz(Cel() + "\\a.txt", kStaryTekst);
    Zapisz(Cd() + "\\info.pth", "\x01");  // ends inside an entry
    Dodaj("info2.pth", "b.pat", "b.txt", kStaryTekst, kNowyTekst);
    ZastosujPoprawki(1, Cd(), Cel());
    EXPECT_EQ(Czytaj(Cel() + "\\b.txt"), kNowyTekst);
    // For a record's list the same error ends the step.
    Zapisz(Cel() + "\\b.txt", kStaryTekst);
    EXPECT_THROW(ZastosujPoprawki(2, Cd(), Cel()), BladProgramu);
    EXPECT_EQ(Czytaj(Cel() + "\\b.txt"), kStaryTekst);
}

}  // namespace
