// Extracting members of Info-ZIP archives (tests/payload/ArchiwaZip.cmake)
// into files under Wine: content, folders, attributes, the overwrite actions,
// and the installer's ExtractFromZip.

#include "payload/untCompress.h"

#include "base/Blad.h"
#include "install/Rozpakowanie.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/result.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bajty = std::vector<std::uint8_t>;

std::optional<Bajty> Wczytaj(const std::string& sciezka) {
    std::ifstream plik(sciezka, std::ios::binary);
    if (!plik) return std::nullopt;
    return Bajty(std::istreambuf_iterator<char>(plik), {});
}

std::string Wejscie(const std::string& nazwa) {
    const auto b = Wczytaj("archiwa_zip/wejscie/" + nazwa);
    return b ? std::string(b->begin(), b->end()) : std::string("(missing input)");
}

// Sets the DOS attribute byte of the central record of `nazwa`, as an archive
// made on Windows would carry hidden and system files.
void UstawAtrybuty(Bajty& archiwum, std::string_view nazwa, std::uint8_t atrybuty) {
    for (std::size_t i = 0; i + 46 <= archiwum.size(); ++i) {
        if (archiwum[i] != 'P' || archiwum[i + 1] != 'K' || archiwum[i + 2] != 1 || archiwum[i + 3] != 2) continue;
        const std::size_t dlugosc = archiwum[i + 28] | (archiwum[i + 29] << 8);
        if (std::string_view(reinterpret_cast<const char*>(&archiwum[i + 46]), dlugosc) == nazwa) {
            archiwum[i + 38] = atrybuty;
            return;
        }
    }
    ADD_FAILURE() << "no central record of " << nazwa;
}

// The position of the central record of `nazwa`; the archive's size when
// there is none.
std::size_t RekordKatalogu(const Bajty& archiwum, std::string_view nazwa) {
    for (std::size_t i = 0; i + 46 <= archiwum.size(); ++i) {
        if (archiwum[i] != 'P' || archiwum[i + 1] != 'K' || archiwum[i + 2] != 1 || archiwum[i + 3] != 2) continue;
        const std::size_t dlugosc = archiwum[i + 28] | (archiwum[i + 29] << 8);
        if (std::string_view(reinterpret_cast<const char*>(&archiwum[i + 46]), dlugosc) == nazwa) return i;
    }
    return archiwum.size();
}

class KAZipPliki : public ::testing::Test {
protected:
    void SetUp() override {
        auto zwykle = Wczytaj("archiwa_zip/zwykle.zip");
        if (!zwykle) GTEST_SKIP() << "no test archives in archiwa_zip/";
        zwykle_ = std::move(*zwykle);
        zip_.Close();
        zip_.OverwriteAction = oaOverwrite;
        zip_.ApplyAtributes = true;
        zip_.OnOverwriteFile = nullptr;
    }
    void TearDown() override {
        zip_.Close();
        zip_.OverwriteAction = oaSkip;
        zip_.OnOverwriteFile = nullptr;
    }

    std::string P(const std::string& nazwa) const { return tmp_ / nazwa; }
    std::optional<std::string> Plik(const std::string& nazwa) const {
        return sys::ReadWholeFile(P(nazwa), 1 << 20);
    }

    TKAZip& zip_ = dmCompress.KAZip;
    Bajty zwykle_;
    pomocnicy::KatalogTymczasowy tmp_{"velt zip"};
    const std::string katalog_ = tmp_.Sciezka();
};

TEST_F(KAZipPliki, DataModuleSettings) {
    const TdmCompress modul;
    EXPECT_EQ(modul.KAZip.OverwriteAction, oaSkip);
    EXPECT_TRUE(modul.KAZip.ApplyAtributes);
    EXPECT_EQ(modul.KAZip.CompressionType, ctMaximum);
    EXPECT_EQ(modul.KAZip.SaveMethod, FastSave);
    EXPECT_EQ(modul.KAZip.ComponentVersion, "2.0");
    EXPECT_FALSE(modul.KAZip.IsZipFile());
}

TEST_F(KAZipPliki, MembersBecomeFilesWithTheirAttributes) {
    UstawAtrybuty(zwykle_, "dane.bin", 0x06);  // hidden and system
    zip_.Open(zwykle_);
    ASSERT_TRUE(zip_.IsZipFile());
    struct Przypadek {
        const char* czlonek;
        const char* cel;
        std::uint32_t atrybuty;
        const char* wejscie;
    };
    const Przypadek przypadki[] = {
        {"tekst.txt", "t.txt", FILE_ATTRIBUTE_ARCHIVE, "tekst.txt"},
        {"KATALOG\\sub\\PLIK.txt", "p.txt", FILE_ATTRIBUTE_ARCHIVE, "Katalog/Sub/plik.txt"},
        {"pusty.txt", "pusty.txt", FILE_ATTRIBUTE_ARCHIVE, "pusty.txt"},
        {"chroniony.txt", "ch.txt", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, "chroniony.txt"},
        {"dane.bin", "d.bin", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, "dane.bin"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.czlonek);
        ASSERT_NO_THROW(zip_.Extract(p.czlonek, P(p.cel)));
        EXPECT_EQ(Plik(p.cel), Wejscie(p.wejscie));
        EXPECT_EQ(sys::Attributes(P(p.cel)), p.atrybuty);
    }
    // A folder member makes the destination folder and the missing ones above.
    ASSERT_NO_THROW(zip_.Extract("Katalog/Sub/", P("a\\b\\c")));
    EXPECT_TRUE(sys::FolderExists(P("a\\b\\c")));

    zip_.ApplyAtributes = false;
    ASSERT_NO_THROW(zip_.Extract("chroniony.txt", P("ch2.txt")));
    EXPECT_EQ(sys::Attributes(P("ch2.txt")).value_or(0) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(KAZipPliki, OverwriteActions) {
    zip_.Open(zwykle_);
    struct Przypadek {
        const char* opis;
        TOverwriteAction akcja;
        bool zObsluga;            // a handler that redirects to "inny.txt" with oaOverwrite
        bool celIstnieje;
        int wywolania;            // of the handler
        const char* stary;        // what "cel.txt" holds afterwards; nullptr: no file
        bool innyZapisany;
    };
    const Przypadek przypadki[] = {
        {"skip", oaSkip, false, true, 0, "stary", false},
        {"skip, nothing there", oaSkip, false, false, 0, nullptr, false},
        {"skip all", oaSkipAll, true, true, 0, "stary", false},
        {"overwrite", oaOverwrite, false, true, 0, "new", false},
        {"overwrite all, handler not asked", oaOverwriteAll, true, true, 0, "new", false},
        {"skip, handler redirects", oaSkip, true, true, 1, "stary", true},
        {"skip, handler not asked when nothing is there", oaSkip, true, false, 0, "new", false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        sys::Ignore(sys::RemoveFile(P("cel.txt")), "each case starts afresh");
        sys::Ignore(sys::RemoveFile(P("inny.txt")), "each case starts afresh");
        if (p.celIstnieje) {
            ASSERT_TRUE(sys::WriteWholeFile(P("cel.txt"), "stary"));
        }
        int wywolania = 0;
        zip_.OnOverwriteFile = nullptr;
        if (p.zObsluga)
            zip_.OnOverwriteFile = [&](std::string& sciezka, TOverwriteAction& akcja) {
                ++wywolania;
                sciezka = P("inny.txt");
                akcja = oaOverwrite;
            };
        zip_.OverwriteAction = p.akcja;
        ASSERT_NO_THROW(zip_.Extract("chroniony.txt", P("cel.txt")));
        EXPECT_EQ(wywolania, p.wywolania);
        const std::string nowy = Wejscie("chroniony.txt");
        EXPECT_EQ(Plik("cel.txt"), p.stary == nullptr ? std::nullopt
                                   : std::optional<std::string>(std::string(p.stary) == "new" ? nowy : p.stary));
        EXPECT_EQ(Plik("inny.txt").has_value(), p.innyZapisany);
        for (const char* f : {"cel.txt", "inny.txt"})
            sys::Ignore(sys::SetAttributes(P(f), FILE_ATTRIBUTE_NORMAL), "the next case removes it");
    }
}

TEST_F(KAZipPliki, FailuresAreErrors) {
    const auto bzip2 = Wczytaj("archiwa_zip/bzip2.zip");
    ASSERT_TRUE(bzip2);
    ASSERT_TRUE(sys::WriteWholeFile(P("t.txt"), "stary"));
    zip_.Open(*bzip2);
    try {
        zip_.Extract("tekst.txt", P("t.txt"));
        ADD_FAILURE() << "no error";
    } catch (const BladProgramu& blad) {
        EXPECT_STREQ(blad.komunikat(), "Cannot process this file: tekst.txt ");
    }
    EXPECT_EQ(Plik("t.txt"), "stary");  // a member that cannot be read replaces nothing

    zip_.Open(zwykle_);
    EXPECT_THROW(zip_.Extract("brak.txt", P("b.txt")), BladProgramu);
    EXPECT_THROW(zip_.Extract("tekst.txt", P("brak\\t.txt")), BladProgramu);
    EXPECT_FALSE(sys::EntryExists(P("b.txt")));

    const Bajty smieci(1000, 'x');
    zip_.Open(smieci);
    EXPECT_FALSE(zip_.IsZipFile());
    EXPECT_THROW(zip_.Extract("tekst.txt", P("x.txt")), BladProgramu);
}

TEST_F(KAZipPliki, ExtractFromZipAsTheInstallerDoes) {
    Bajty bezKonca = zwykle_;
    for (std::size_t i = 0; i + 4 <= bezKonca.size(); ++i)
        if (bezKonca[i] == 'P' && bezKonca[i + 1] == 'K' && bezKonca[i + 2] == 1 && bezKonca[i + 3] == 2) {
            bezKonca.resize(i);
            break;
        }
    const auto komentarz = Wczytaj("archiwa_zip/komentarz2000.zip");
    const auto bzip2 = Wczytaj("archiwa_zip/bzip2.zip");
    ASSERT_TRUE(komentarz && bzip2);
    // Damaged members: a CRC-32 that the content does not have, and a local
    // header that is not where the directory says.
    Bajty zlyCrc = zwykle_;
    const std::size_t rekord = RekordKatalogu(zlyCrc, "dane.bin");
    ASSERT_LT(rekord, zlyCrc.size());
    zlyCrc[rekord + 16] ^= 0xFF;
    Bajty zlyNaglowek = zwykle_;
    const std::size_t tekst = RekordKatalogu(zlyNaglowek, "tekst.txt");
    ASSERT_LT(tekst, zlyNaglowek.size());
    const std::size_t lokalny = zlyNaglowek[tekst + 42] | (zlyNaglowek[tekst + 43] << 8);
    zlyNaglowek[lokalny + 2] = 9;
    struct Przypadek {
        const char* opis;
        const Bajty* archiwum;
        const char* czlonek;
        bool wynik;
    };
    const Przypadek przypadki[] = {
        {"deflated", &zwykle_, "tekst.txt", true},
        {"stored, another case", &zwykle_, "DANE.BIN", true},
        {"no end record", &bezKonca, "Katalog/Sub/plik.txt", true},
        {"end record out of reach", &*komentarz, "tekst.txt", true},
        {"method 12", &*bzip2, "tekst.txt", false},
        {"wrong CRC-32", &zlyCrc, "dane.bin", false},
        {"damaged local header", &zlyNaglowek, "tekst.txt", false},
        {"missing member", &zwykle_, "brak.txt", false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.opis);
        std::vector<std::string> zapisane;
        zip_.OverwriteAction = oaSkip;  // the installer overwrites whatever was set
        ASSERT_TRUE(sys::WriteWholeFile(P("stary.txt"), "stary"));
        EXPECT_EQ(ExtractFromZip(*p.archiwum, p.czlonek, P("nowy.txt"), zapisane), p.wynik);
        EXPECT_EQ(ExtractFromZip(*p.archiwum, p.czlonek, P("stary.txt"), zapisane), p.wynik);
        EXPECT_FALSE(zip_.IsZipFile());  // closed again
        if (p.wynik) {
            const auto tresc = Plik("nowy.txt");
            EXPECT_TRUE(tresc && !tresc->empty());
            EXPECT_EQ(Plik("stary.txt"), tresc);
            EXPECT_EQ(zapisane, std::vector<std::string>{P("nowy.txt")});  // only the file it created
        } else {
            EXPECT_FALSE(Plik("nowy.txt"));
            EXPECT_EQ(Plik("stary.txt"), "stary");
            EXPECT_TRUE(zapisane.empty());
        }
        sys::Ignore(sys::RemoveFile(P("nowy.txt")), "each case starts afresh");
    }
}

}  // namespace
