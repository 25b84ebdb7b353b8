#include "sys/drives.h"

#include "sys/text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

namespace {

// A letter the system does not use, or 0 when all are taken.
int WolnyNumerDysku() {
    const std::uint32_t zajete = sys::LogicalDrives();
    for (int numer = 26; numer >= 4; --numer)
        if ((zajete & (1u << (numer - 1))) == 0) return numer;
    return 0;
}

// The volume label of a root such as "C:\\"; nullopt when the drive cannot be
// read.
std::optional<std::string> EtykietaWoluminu(std::string_view korzen) {
    sys::NoCriticalErrorBox bezPytaniaODysk;
    wchar_t etykieta[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(sys::ToWide(korzen).c_str(), etykieta, MAX_PATH + 1, nullptr, nullptr, nullptr,
                               nullptr, 0))
        return std::nullopt;
    return sys::FromWide(etykieta);
}

TEST(Dyski, RootOfAPath) {
    struct Przypadek {
        const char* sciezka;
        const char* korzen;
    };
    const Przypadek przypadki[] = {
        {"C:\\Program Files\\VeltAng", "C:\\"},
        {"d:", "d:\\"},
        {"D:plik.txt", "D:\\"},
        {"\\\\serwer\\udzial\\katalog\\plik", "\\\\serwer\\udzial\\"},
        {"\\\\serwer\\udzial", "\\\\serwer\\udzial\\"},
        {"\\\\serwer\\udzial\\", "\\\\serwer\\udzial\\"},
        // No drive part.
        {"", ""},
        {"plik.txt", ""},
        {"\\katalog\\plik", ""},
        {"1:\\x", ""},
        {":\\", ""},
        {"\\\\serwer", ""},
        {"\\\\serwer\\", ""},
        {"\\\\\\udzial", ""},
        {"\\\\", ""},
    };
    for (const auto& p : przypadki) EXPECT_EQ(sys::DriveRoot(p.sciezka), p.korzen) << '"' << p.sciezka << '"';
}

TEST(Dyski, Types) {
    const int wolny = WolnyNumerDysku();
    ASSERT_NE(wolny, 0);
    const std::string brak = std::string(1, static_cast<char>('A' + wolny - 1)) + ":\\katalog";
    struct Przypadek {
        std::string sciezka;
        sys::DriveKind typ;
    };
    const Przypadek przypadki[] = {
        {"C:\\windows", sys::DriveKind::Fixed},
        {"c:", sys::DriveKind::Fixed},
        {brak, sys::DriveKind::NoRoot},
        {"", sys::DriveKind::Unknown},
        {"katalog\\plik", sys::DriveKind::Unknown},
    };
    for (const auto& p : przypadki) EXPECT_EQ(sys::DriveType(p.sciezka), p.typ) << p.sciezka;
}

TEST(Dyski, LettersAndRootsAgree) {
    const std::uint32_t litery = sys::LogicalDrives();
    EXPECT_TRUE(litery & (1u << 2)) << "C:";
    const auto korzenie = sys::LogicalDriveRoots();
    std::uint32_t zKorzeni = 0;
    for (const auto& k : korzenie) {
        ASSERT_EQ(k.size(), 3u) << k;
        EXPECT_EQ(k.substr(1), ":\\");
        zKorzeni |= 1u << (std::toupper(static_cast<unsigned char>(k[0])) - 'A');
    }
    EXPECT_EQ(zKorzeni, litery);
}

TEST(Dyski, FreeSpace) {
    EXPECT_GT(sys::FreeBytes(3).value_or(-1), 0) << "C:";
    EXPECT_GE(sys::FreeBytes(0).value_or(-1), 0) << "the current drive";
    const int wolny = WolnyNumerDysku();
    ASSERT_NE(wolny, 0);
    for (const int numer : {wolny, -1, 27, 1000}) EXPECT_FALSE(sys::FreeBytes(numer)) << numer;
}

TEST(Dyski, VolumeLabel) {
    EXPECT_TRUE(EtykietaWoluminu("C:\\"));
    const int wolny = WolnyNumerDysku();
    ASSERT_NE(wolny, 0);
    EXPECT_FALSE(EtykietaWoluminu(std::string(1, static_cast<char>('A' + wolny - 1)) + ":\\"));
}

}  // namespace
