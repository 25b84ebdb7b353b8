// The ZIP reader over byte buffers: archives made by Info-ZIP zip at build time
// (tests/payload/ArchiwaZip.cmake, in archiwa_zip/ beside the test program),
// and small archives put together here for the hostile cases.

#include "payload/KAZip.h"

#include "base/Blad.h"
#include "base/StronyKodowe.h"
#include "payload/Dekompresja.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bajty = std::vector<std::uint8_t>;

const std::string KatalogArchiwow = "archiwa_zip/";

std::optional<Bajty> Wczytaj(const std::string& sciezka) {
    std::ifstream plik(sciezka, std::ios::binary);
    if (!plik) return std::nullopt;
    return Bajty(std::istreambuf_iterator<char>(plik), {});
}

// An archive of the build; the test is skipped in a tree that has not made them.
#define ARCHIWUM(zmienna, nazwa)                                                                 \
    const auto zmienna##_plik = Wczytaj(KatalogArchiwow + (nazwa));                            \
    if (!zmienna##_plik) GTEST_SKIP() << "no test archives in " << KatalogArchiwow;            \
    const Bajty& zmienna = *zmienna##_plik

Bajty Wejscie(const std::string& nazwa) { return Wczytaj(KatalogArchiwow + "wejscie/" + nazwa).value_or(Bajty{}); }

void Dopisz16(Bajty& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Dopisz32(Bajty& b, std::uint32_t v) {
    Dopisz16(b, v & 0xFFFF);
    Dopisz16(b, v >> 16);
}
void DopiszTekst(Bajty& b, std::string_view t) { b.insert(b.end(), t.begin(), t.end()); }

std::uint32_t Crc(std::string_view t) {
    return static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(t.data()), static_cast<uInt>(t.size())));
}

// A member of a hand-made archive; its data go in as they are (stored, or
// deflated elsewhere), with the sizes given.
struct Czlonek {
    std::string nazwa;
    std::string dane;
    std::uint16_t metoda = 0;
    std::uint32_t rozmiar = 0;  // uncompressed size announced
    std::uint16_t flagi = 0;
    std::uint32_t atrybuty = 0x20;
    std::uint32_t crc = 0;  // CRC-32 of the uncompressed content
};

Czlonek Zapisany(std::string nazwa, std::string dane, std::uint32_t atrybuty = 0x20) {
    const auto rozmiar = static_cast<std::uint32_t>(dane.size());
    const std::uint32_t crc = Crc(dane);
    return {std::move(nazwa), std::move(dane), 0, rozmiar, 0, atrybuty, crc};
}

// What a local header and a central directory entry share: from the flags to
// the length of the (empty) extra field.
void DopiszWspolne(Bajty& b, const Czlonek& c) {
    Dopisz16(b, c.flagi);
    Dopisz16(b, c.metoda);
    Dopisz32(b, 0);
    Dopisz32(b, c.crc);
    Dopisz32(b, static_cast<std::uint32_t>(c.dane.size()));
    Dopisz32(b, c.rozmiar);
    Dopisz16(b, static_cast<std::uint32_t>(c.nazwa.size()));
    Dopisz16(b, 0);
}

Bajty Archiwum(const std::vector<Czlonek>& czlonki, std::string_view komentarz = {}) {
    Bajty b;
    std::vector<std::uint32_t> pozycje;
    for (const auto& c : czlonki) {
        pozycje.push_back(static_cast<std::uint32_t>(b.size()));
        Dopisz32(b, SygnaturaNaglowkaLokalnego);
        Dopisz16(b, 20);
        DopiszWspolne(b, c);
        DopiszTekst(b, c.nazwa);
        DopiszTekst(b, c.dane);
    }
    const auto katalog = static_cast<std::uint32_t>(b.size());
    for (std::size_t i = 0; i < czlonki.size(); ++i) {
        const auto& c = czlonki[i];
        Dopisz32(b, SygnaturaKatalogu);
        Dopisz16(b, 20);
        Dopisz16(b, 20);
        DopiszWspolne(b, c);
        Dopisz16(b, 0);
        Dopisz16(b, 0);
        Dopisz16(b, 0);
        Dopisz32(b, c.atrybuty);
        Dopisz32(b, pozycje[i]);
        DopiszTekst(b, c.nazwa);
    }
    const auto rozmiarKatalogu = static_cast<std::uint32_t>(b.size()) - katalog;
    Dopisz32(b, SygnaturaKoncaKatalogu);
    Dopisz32(b, 0);
    Dopisz16(b, static_cast<std::uint32_t>(czlonki.size()));
    Dopisz16(b, static_cast<std::uint32_t>(czlonki.size()));
    Dopisz32(b, rozmiarKatalogu);
    Dopisz32(b, katalog);
    Dopisz16(b, static_cast<std::uint32_t>(komentarz.size()));
    DopiszTekst(b, komentarz);
    return b;
}

std::string Tekst(const Bajty& b) { return {b.begin(), b.end()}; }

// Where the first central record begins: cutting there leaves the local
// headers alone, without directory and end record.
std::size_t PoczatekKatalogu(const Bajty& b) {
    for (std::size_t i = 0; i + 4 <= b.size(); ++i)
        if (b[i] == 'P' && b[i + 1] == 'K' && b[i + 2] == 1 && b[i + 3] == 2) return i;
    return b.size();
}

TEST(KAZip, ReadsArchivesMadeByZip) {
    ARCHIWUM(zwykle, "zwykle.zip");
    TKAZip zip;
    zip.Open(zwykle);
    ASSERT_TRUE(zip.IsZipFile());
    EXPECT_FALSE(zip.HasBadEntries());
    EXPECT_EQ(zip.EndOfCentralDirPosition(), static_cast<std::int64_t>(zwykle.size()) - 22);

    struct Oczekiwany {
        const char* nazwa;
        std::uint16_t metoda;
        bool katalog;
        std::uint32_t atrybutyDos;  // the low byte of the external attributes
        const char* wejscie;        // the input file it holds; nullptr for a folder
    };
    const Oczekiwany oczekiwane[] = {
        {"tekst.txt", 8, false, 0x00, "tekst.txt"},
        {"pusty.txt", 0, false, 0x00, "pusty.txt"},
        {"dane.bin", 0, false, 0x00, "dane.bin"},
        {"chroniony.txt", 0, false, 0x01, "chroniony.txt"},
        {"Katalog/", 0, true, 0x10, nullptr},
        {"Katalog/Sub/", 0, true, 0x10, nullptr},
        {"Katalog/Sub/plik.txt", 8, false, 0x00, "Katalog/Sub/plik.txt"},
    };
    const TKAZipEntries& wpisy = zip.Entries();
    ASSERT_EQ(wpisy.Count(), static_cast<int>(std::size(oczekiwane)));
    for (int i = 0; i < wpisy.Count(); ++i) {
        const auto& o = oczekiwane[i];
        SCOPED_TRACE(o.nazwa);
        const auto& wpis = wpisy[i];
        EXPECT_EQ(wpis.FileName(), o.nazwa);
        EXPECT_EQ(wpis.CentralDirectoryFile.CompressionMethod, o.metoda);
        EXPECT_EQ(wpis.IsFolder(), o.katalog);
        EXPECT_EQ(wpis.CentralDirectoryFile.ExternalFileAttributes & 0xFF, o.atrybutyDos);
        EXPECT_EQ(wpis.LocalFile.FileName, o.nazwa);
        EXPECT_FALSE(wpis.LocalFile.ExtraField.empty());  // zip's time and owner fields
        EXPECT_EQ(wpis.CompressionType(), o.metoda == 8 ? ctNormal : ctUnknown);
        EXPECT_GE(wpis.Date().Rok, 2020);
        if (o.wejscie) {
            EXPECT_EQ(zip.Zawartosc(wpis), Wejscie(o.wejscie));
        }
    }
}

// The end record behind archive comments of growing length: found in the
// first window, in the second, not at all in a short archive (its local
// headers are then scanned), and in the third window of a long one.
TEST(KAZip, EndRecordBehindAComment) {
    struct Przypadek {
        const char* archiwum;
        bool koniecZnaleziony;
        std::vector<std::string> nazwy;
    };
    const Przypadek przypadki[] = {
        {"komentarz200.zip", true, {"tekst.txt"}},
        {"komentarz1000.zip", true, {"tekst.txt"}},
        {"komentarz2000.zip", false, {"tekst.txt"}},
        {"duze2000.zip", true, {"duze.bin", "tekst.txt"}},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.archiwum);
        ARCHIWUM(archiwum, p.archiwum);
        EXPECT_EQ(SzukajKoncaKatalogu(archiwum) >= 0, p.koniecZnaleziony);
        TKAZip zip;
        zip.Open(archiwum);
        ASSERT_TRUE(zip.IsZipFile());
        EXPECT_EQ(zip.HasBadEntries(), !p.koniecZnaleziony);
        ASSERT_EQ(zip.Entries().Count(), static_cast<int>(p.nazwy.size()));
        for (const auto& nazwa : p.nazwy) EXPECT_EQ(zip.Zawartosc(zip.Entries().Item(nazwa)), Wejscie(nazwa));
    }
}

TEST(KAZip, ArchiveWithoutEndRecordIsScanned) {
    ARCHIWUM(zwykle, "zwykle.zip");
    const Bajty obciete(zwykle.begin(), zwykle.begin() + static_cast<std::ptrdiff_t>(PoczatekKatalogu(zwykle)));
    TKAZip zip;
    zip.Open(obciete);
    ASSERT_TRUE(zip.IsZipFile());
    EXPECT_TRUE(zip.HasBadEntries());
    EXPECT_EQ(zip.EndOfCentralDirPosition(), -1);
    EXPECT_EQ(zip.EndOfCentralDir().TotalNumberOfEntries, 7);
    EXPECT_EQ(zip.EndOfCentralDir().OffsetOfStartOfCentralDirectory, obciete.size());
    const auto& wpisy = zip.Entries();
    ASSERT_EQ(wpisy.Count(), 7);
    // Made up from the local headers: folders by their trailing "/".
    EXPECT_EQ(wpisy[0].CentralDirectoryFile.ExternalFileAttributes, 0x20u);
    EXPECT_EQ(wpisy[4].CentralDirectoryFile.ExternalFileAttributes, 0x10u);
    EXPECT_EQ(wpisy[4].CentralDirectoryFile.VersionMadeBy, 20);
    for (int i = 0; i < wpisy.Count(); ++i) {
        const auto pozycja = wpisy[i].CentralDirectoryFile.RelativeOffsetOfLocalHeader;
        EXPECT_EQ(Tekst(Bajty(obciete.begin() + pozycja, obciete.begin() + pozycja + 4)), "PK\3\4") << i;
        EXPECT_EQ(wpisy[i].FileName(), wpisy[i].LocalFile.FileName);
    }
    EXPECT_EQ(zip.Zawartosc(wpisy.Item("katalog/sub/plik.txt")), Wejscie("Katalog/Sub/plik.txt"));
    EXPECT_EQ(zip.Zawartosc(wpisy.Item("dane.bin")), Wejscie("dane.bin"));
}

TEST(KAZip, MethodsOtherThanStoredAndDeflatedCannotBeProcessed) {
    ARCHIWUM(bzip2, "bzip2.zip");
    TKAZip zip;
    zip.Open(bzip2);
    ASSERT_EQ(zip.Entries().Count(), 1);
    EXPECT_EQ(zip.Entries()[0].CentralDirectoryFile.CompressionMethod, 12);
    try {
        (void)zip.Zawartosc(zip.Entries()[0]);
        ADD_FAILURE() << "no error";
    } catch (const BladProgramu& blad) {
        EXPECT_STREQ(blad.komunikat(), "Cannot process this file: tekst.txt ");
    }
    // An encrypted member likewise, whatever its method.
    Czlonek zaszyfrowany = Zapisany("tajny.txt", "abc");
    zaszyfrowany.flagi = 1;
    const Bajty archiwum = Archiwum({zaszyfrowany});
    zip.Open(archiwum);
    EXPECT_THROW((void)zip.Zawartosc(zip.Entries()[0]), BladProgramu);
}

TEST(KAZip, NamesAreNormalisedAndFoundWithoutRegardToCase) {
    const std::pair<const char*, const char*> nazwy[] = {
        {"Dir\\Sub/File.EXE", "Dir/Sub/File.EXE"},
        {"C:/x/y.txt", "x/y.txt"},
        {"C:\\x\\y.txt", "x/y.txt"},
        {"//server/share/x.txt", "x.txt"},
        {"\\\\server\\share\\dir\\x.txt", "dir/x.txt"},
        {"//server", "server"},  // no share: nothing more to drop
        {"a/b.txt", "a/b.txt"},
        {"", ""},
    };
    for (const auto& [nazwa, postac] : nazwy) EXPECT_EQ(NormalizujNazwe(nazwa), postac) << nazwa;

    const Bajty archiwum = Archiwum({Zapisany("Dir\\Sub/File.EXE", "1"), Zapisany("x/y.txt", "2"),
                                     // Windows-1250 "Żółw.txt"
                                     Zapisany("x.txt", "3"), Zapisany("X.TXT", "4"), Zapisany("Żółw.txt"_cp1250, "5")});
    TKAZip zip;
    zip.Open(archiwum);
    const std::pair<const char*, int> szukane[] = {
        {"dir/sub/file.exe", 0}, {"C:/x/y.txt", 1}, {"//server/share/x.txt", 2},
        {"X.txt", 2},  // the first in directory order wins
        {"żółw.TXT"_cp1250, 4},
        {"y.txt", -1}, {"Dir", -1},
    };
    for (const auto& [nazwa, indeks] : szukane) EXPECT_EQ(zip.Entries().IndexOf(nazwa), indeks) << nazwa;
    EXPECT_THROW((void)zip.Entries().Item("brak.txt"), BladProgramu);
}

// Where the backwards search looks: an end record `odKonca` bytes before the
// end of a buffer of `rozmiar` bytes.
TEST(KAZip, EndRecordSearchWindows) {
    struct Przypadek {
        std::size_t rozmiar;
        std::size_t odKonca;
        bool znaleziony;
    };
    const Przypadek przypadki[] = {
        {22, 22, true},           {21, 21, false},          {300, 278, true},
        {1023, 279, false},       {1024, 279, true},        {1024, 1302, false},
        {2000, 1302, true},       {2000, 1303, false},      {65535, 1303, false},
        {65536, 1303, true},      {70000, 1046 + 65536, true}, {70000, 1046 + 65537, false},
        {100000, 1046 + 65536 + 10, false},
    };
    for (const auto& p : przypadki) {
        Bajty b(p.rozmiar, 'P');  // a "P" without the rest steps back by four
        if (p.odKonca <= p.rozmiar) {
            const std::size_t pozycja = p.rozmiar - p.odKonca;
            const std::uint8_t sygnatura[] = {0x50, 0x4B, 0x05, 0x06};
            std::copy(std::begin(sygnatura), std::end(sygnatura), b.begin() + static_cast<std::ptrdiff_t>(pozycja));
            // Every other position of its neighbourhood is probed as well.
            for (std::size_t i = 0; i < b.size(); ++i)
                if (i < pozycja || i >= pozycja + 4) b[i] = static_cast<std::uint8_t>(i % 3 ? 'x' : 'P');
        }
        EXPECT_EQ(SzukajKoncaKatalogu(b) >= 0, p.znaleziony) << p.rozmiar << " " << p.odKonca;
    }
}

// Bytes that only look like an archive: the component stays inside them and
// either closes or keeps what it could read.
TEST(KAZip, HostileArchives) {
    const Bajty dobre = Archiwum({Zapisany("a.txt", "alfa"), Zapisany("b.txt", "beta")});
    const std::size_t koniec = dobre.size() - 22;
    auto zmienione = [&](std::size_t gdzie, std::vector<std::uint8_t> nowe) {
        Bajty b = dobre;
        std::copy(nowe.begin(), nowe.end(), b.begin() + static_cast<std::ptrdiff_t>(gdzie));
        return b;
    };
    const std::size_t katalog = PoczatekKatalogu(dobre);
    // Local headers alone, the first one's compressed size taking the scan
    // exactly 4 GB on: a 32-bit size wraps back to its start.
    Bajty zawijane(dobre.begin(), dobre.begin() + static_cast<std::ptrdiff_t>(katalog));
    const std::uint32_t zawiniecie = 0u - (30u + 5u);
    for (int i = 0; i < 4; ++i) zawijane[18 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(zawiniecie >> (8 * i));
    struct Przypadek {
        const char* opis;
        Bajty bajty;
        bool zip;
        int wpisy;
        bool zle;
    };
    const Przypadek przypadki[] = {
        {"well-formed", dobre, true, 2, false},
        {"empty", {}, false, 0, false},
        {"end record alone", Archiwum({}), true, 0, false},
        {"count larger than the directory", zmienione(koniec + 10, {3}), false, 0, false},
        {"directory beyond the end", zmienione(koniec + 16, {0xFF, 0xFF, 0xFF, 0x7F}), false, 0, false},
        {"name running past the end", zmienione(katalog + 46 + 5 + 28, {0xFF, 0xFF}), false, 0, false},
        {"local header beyond the end", zmienione(katalog + 42, {0xFF, 0xFF, 0xFF, 0xFF}), true, 2, true},
        {"local header signature damaged", zmienione(0, {'P', 'K', 9, 9}), true, 2, true},
        {"cut inside the first local header", Bajty(dobre.begin(), dobre.begin() + 20), false, 0, false},
        {"cut after the local headers", Bajty(dobre.begin(), dobre.begin() + static_cast<std::ptrdiff_t>(katalog)), true, 2, true},
        {"no signature anywhere", Bajty(500, 'x'), false, 0, false},
        {"scan: compressed size wrapping to the start", zawijane, true, 1, true},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        TKAZip zip;
        int zmiany = 0;
        zip.OnZipChange = [&] { ++zmiany; };
        zip.Open(p.bajty);
        EXPECT_EQ(zip.IsZipFile(), p.zip);
        EXPECT_EQ(zip.Entries().Count(), p.wpisy);
        EXPECT_EQ(zip.HasBadEntries(), p.zle);
        EXPECT_EQ(zmiany, p.zip ? 1 : 2);  // Open's own Close, and one more for a buffer without archive
        for (int i = 0; i < zip.Entries().Count(); ++i) (void)zip.Zawartosc(zip.Entries()[i]);
    }
}

// Member content that cannot be had whole, or whose CRC-32 differs, gives
// nothing.
TEST(KAZip, MemberContent) {
    // "alfa" deflated as a raw stream (fixed Huffman block).
    const std::string alfa = {'\x4b', '\xcc', '\x49', '\x4b', '\x04', '\x00'};
    auto z = [](std::string dane, std::uint16_t metoda, std::uint32_t rozmiar) {
        return Czlonek{"m", std::move(dane), metoda, rozmiar};
    };
    struct Przypadek {
        const char* opis;
        Czlonek czlonek;
        std::string tresc;
        bool zlyCrc = false;  // the record's CRC-32 is not that of `tresc`
    };
    const Przypadek przypadki[] = {
        {"stored", z("alfa", 0, 4), "alfa"},
        {"stored, shorter than announced", z("alfa", 0, 3), "alf"},
        {"deflated", z(alfa, 8, 4), "alfa"},
        {"deflated, fewer bytes than announced", z(alfa, 8, 5), ""},
        {"deflated, more than announced", z(alfa, 8, 2), "al"},
        {"deflated, huge size announced", z(alfa, 8, 0xFFFFFFFF), ""},
        {"deflated, damaged", z("\xff\xff\xff\xff", 8, 4), ""},
        {"deflated, cut short", z(alfa.substr(0, 2), 8, 4), ""},
        {"empty", z("", 0, 0), ""},
        {"stored, wrong CRC-32", z("alfa", 0, 4), "", true},
        {"deflated, wrong CRC-32", z(alfa, 8, 4), "", true},
        {"deflated, above the size ceiling", z(alfa, 8, NajwiekszyPlik + 1), ""},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Czlonek czlonek = p.czlonek;
        czlonek.crc = Crc(p.zlyCrc ? "alfa!" : p.tresc);
        const Bajty archiwum = Archiwum({czlonek});
        TKAZip zip;
        zip.Open(archiwum);
        ASSERT_EQ(zip.Entries().Count(), 1);
        EXPECT_EQ(Tekst(zip.Zawartosc(zip.Entries()[0])), p.tresc);
        // An empty member is told from a damaged one.
        EXPECT_EQ(zip.ZawartoscCala(zip.Entries()[0]).has_value(), !p.tresc.empty() || p.czlonek.rozmiar == 0);
    }
    // A stored member that the end of the buffer cuts short, found by the scan.
    Bajty obciete = Archiwum({Zapisany("m", "alfa")});
    obciete.resize(30 + 1 + 2);
    TKAZip zip;
    zip.Open(obciete);
    ASSERT_EQ(zip.Entries().Count(), 1);
    EXPECT_TRUE(zip.Zawartosc(zip.Entries()[0]).empty());
}

// 65,535 records of a 3 MB archive all point at one local header with a
// 64 KiB name and extra field: each record must not cost its own copy of them
// (8 GB in all), and the member is still read.
TEST(KAZip, ManyRecordsShareOneLocalHeader) {
    const std::string dane = "alfa";
    Bajty b;
    Dopisz32(b, SygnaturaNaglowkaLokalnego);
    for (std::uint32_t v : {20u, 0u, 0u, 0u, 0u}) Dopisz16(b, v);
    Dopisz32(b, Crc(dane));
    Dopisz32(b, 4);
    Dopisz32(b, 4);
    Dopisz16(b, 0xFFFF);
    Dopisz16(b, 0xFFFF);
    b.resize(b.size() + 2 * 0xFFFF, 'n');
    DopiszTekst(b, dane);
    const auto katalog = static_cast<std::uint32_t>(b.size());
    constexpr int Rekordow = 0xFFFF;
    for (int i = 0; i < Rekordow; ++i) {
        Dopisz32(b, SygnaturaKatalogu);
        for (std::uint32_t v : {20u, 20u, 0u, 0u, 0u, 0u}) Dopisz16(b, v);
        Dopisz32(b, Crc(dane));
        Dopisz32(b, 4);
        Dopisz32(b, 4);
        for (std::uint32_t v : {1u, 0u, 0u, 0u, 0u}) Dopisz16(b, v);
        Dopisz32(b, 0x20);
        Dopisz32(b, 0);
        DopiszTekst(b, "m");
    }
    const auto rozmiarKatalogu = static_cast<std::uint32_t>(b.size()) - katalog;
    Dopisz32(b, SygnaturaKoncaKatalogu);
    Dopisz32(b, 0);
    Dopisz16(b, Rekordow);
    Dopisz16(b, Rekordow);
    Dopisz32(b, rozmiarKatalogu);
    Dopisz32(b, katalog);
    Dopisz16(b, 0);

    TKAZip zip;
    zip.Open(b);
    ASSERT_TRUE(zip.IsZipFile());
    EXPECT_FALSE(zip.HasBadEntries());
    ASSERT_EQ(zip.Entries().Count(), Rekordow);
    EXPECT_EQ(zip.Entries()[Rekordow - 1].LocalFile.FileName.size(), 0xFFFFu);
    EXPECT_EQ(Tekst(zip.Zawartosc(zip.Entries()[Rekordow - 1])), dane);
}

TEST(KAZip, DerivedValues) {
    const std::pair<std::uint16_t, TZipCompressionType> typy[] = {
        {0, ctNormal}, {2, ctMaximum}, {4, ctFast}, {6, ctSuperFast}, {7, ctSuperFast}, {8, ctNormal}};
    for (std::uint16_t metoda : {8, 9, 0, 12}) {
        for (const auto& [flagi, typ] : typy) {
            TKAZipEntriesEntry wpis;
            wpis.CentralDirectoryFile.CompressionMethod = metoda;
            wpis.CentralDirectoryFile.GeneralPurposeBitFlag = flagi;
            EXPECT_EQ(wpis.CompressionType(), metoda == 8 || metoda == 9 ? typ : ctUnknown) << metoda << " " << flagi;
            EXPECT_EQ(wpis.Encrypted(), (flagi & 1) != 0);
        }
    }
    // 2026-12-08 18:57:34
    EXPECT_EQ(DataDos(((2026 - 1980) << 9) | (12 << 5) | 8, (18 << 11) | (57 << 5) | 17),
              (TDataPliku{2026, 12, 8, 18, 57, 34}));
}

}  // namespace
