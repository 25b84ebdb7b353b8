#include "sys/version.h"

#include "sys/files.h"
#include "sys/folders.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <string>

namespace {

TEST(Wersja, SystemLibraryHasVersionInformation) {
    const auto system = sys::SystemFolder();
    ASSERT_TRUE(system);
    const auto info = sys::VersionInfo::Read(*system + "comctl32.dll");
    ASSERT_TRUE(info);
    const auto tlumaczenia = info->Translations();
    ASSERT_FALSE(tlumaczenia.empty());
    const auto tekst = info->StringValue(tlumaczenia.front(), "FileVersion");
    ASSERT_TRUE(tekst);
    const auto stala = info->FileVersion();
    ASSERT_TRUE(stala);
    EXPECT_GE(stala->major, 5u);
    // The text and the fixed numbers tell the same version.
    EXPECT_EQ(tekst->rfind(std::to_string(stala->major) + "." + std::to_string(stala->minor), 0), 0u) << *tekst;

    EXPECT_FALSE(info->StringValue(tlumaczenia.front(), "NoSuchValue"));
    EXPECT_FALSE(info->StringValue(sys::Translation{0x1234, 0x5678}, "FileVersion"));
}

TEST(Wersja, FilesWithoutVersionInformation) {
    pomocnicy::KatalogTymczasowy tmp("velt wersja");
    const std::string plik = tmp / "wersja.dll";
    // Empty, plain text, a bare header and a header cut short after its
    // pointer to the PE part.
    const std::string zawartosci[] = {
        "",
        "To nie jest program.",
        "MZ",
        std::string("MZ") + std::string(58, '\0') + std::string("\x40\0\0\0", 4) + "PE",
        std::string("MZ") + std::string(58, '\0') + std::string("\xff\xff\xff\x7f", 4),
    };
    for (const auto& z : zawartosci) {
        ASSERT_TRUE(sys::WriteWholeFile(plik, z));
        EXPECT_FALSE(sys::VersionInfo::Read(plik)) << z.size() << " bytes";
    }
    EXPECT_TRUE(sys::RemoveFile(plik));
    EXPECT_FALSE(sys::VersionInfo::Read(plik)) << "missing file";
}

}  // namespace
