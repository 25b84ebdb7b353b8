#include "sys/files.h"

#include "base/StronyKodowe.h"
#include "sys/folders.h"
#include "sys/text.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace {

// "Łódź.txt" in Windows-1250.
const std::string kLodz = "Łódź.txt"_cp1250;

// Each test works in a folder of its own under the temporary folder.
class Pliki : public ::testing::Test {
protected:
    std::string P(const std::string& nazwa) const { return tmp_ / nazwa; }

    pomocnicy::KatalogTymczasowy tmp_{"velt pliki"};
    const std::string katalog_ = tmp_.Sciezka();
};

TEST_F(Pliki, PolishNamesAreStoredInUnicode) {
    ASSERT_TRUE(sys::WriteWholeFile(P(kLodz), "zawartość"));
    const std::wstring unicode = sys::ToWide(katalog_) + L"\\\u0141\u00F3d\u017A.txt";
    EXPECT_NE(GetFileAttributesW(unicode.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(sys::FileExists(P(kLodz)));
    EXPECT_EQ(sys::ReadWholeFile(P(kLodz), 100), "zawartość");

    auto lista = sys::DirectoryEnumeration::Open(P("*.txt"));
    ASSERT_TRUE(lista);
    const auto e = lista.Next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name, kLodz);
    EXPECT_FALSE(lista.Next());
}

TEST_F(Pliki, CopyMoveAndReplace) {
    ASSERT_TRUE(sys::WriteWholeFile(P("a"), "AAA"));
    ASSERT_TRUE(sys::WriteWholeFile(P("b"), "BB"));

    EXPECT_EQ(sys::CopyFileTo(P("a"), P("b"), true).error, static_cast<std::uint32_t>(ERROR_FILE_EXISTS));
    EXPECT_EQ(sys::ReadWholeFile(P("b"), 10), "BB");
    EXPECT_TRUE(sys::CopyFileTo(P("a"), P("b"), false));
    EXPECT_EQ(sys::ReadWholeFile(P("b"), 10), "AAA");
    EXPECT_TRUE(sys::CopyFileTo(P("a"), P(kLodz), true));
    EXPECT_EQ(sys::CopyFileTo(P("brak"), P("c"), false).error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));

    ASSERT_TRUE(sys::WriteWholeFile(P("nowy"), "N"));
    EXPECT_EQ(sys::MoveEntry(P("nowy"), P("b")).error, static_cast<std::uint32_t>(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(sys::MoveEntry(P("nowy"), P("c")));
    EXPECT_FALSE(sys::EntryExists(P("nowy")));
    EXPECT_TRUE(sys::MoveReplacing(P("c"), P("b")));
    EXPECT_FALSE(sys::EntryExists(P("c")));
    EXPECT_EQ(sys::ReadWholeFile(P("b"), 10), "N");

    // A read-only file is not deleted until its attribute goes. (Whether it
    // can be overwritten depends on the user: Wine running as root can.)
    ASSERT_TRUE(sys::SetAttributes(P("b"), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(*sys::Attributes(P("b")) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(sys::RemoveFile(P("b")));
    ASSERT_TRUE(sys::SetAttributes(P("b"), FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(sys::RemoveFile(P("b")));
    EXPECT_FALSE(sys::EntryExists(P("b")));
    EXPECT_EQ(sys::RemoveFile(P("b")).error, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Pliki, Folders) {
    EXPECT_TRUE(sys::CreateFolder(P("k")));
    EXPECT_EQ(sys::CreateFolder(P("k")).error, static_cast<std::uint32_t>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(sys::CreateFolder(P("brak\\k")).error, static_cast<std::uint32_t>(ERROR_PATH_NOT_FOUND))
        << "one level only";
    EXPECT_TRUE(sys::FolderExists(P("k")));
    EXPECT_TRUE(sys::FolderExists(P("k\\")));
    EXPECT_FALSE(sys::FileExists(P("k")));
    EXPECT_TRUE(sys::EntryExists(P("k")));

    ASSERT_TRUE(sys::WriteWholeFile(P("k\\f"), ""));
    EXPECT_TRUE(sys::FileExists(P("k\\f")));
    EXPECT_FALSE(sys::FolderExists(P("k\\f")));
    EXPECT_EQ(sys::RemoveFolder(P("k")).error, static_cast<std::uint32_t>(ERROR_DIR_NOT_EMPTY));
    ASSERT_TRUE(sys::RemoveFile(P("k\\f")));
    EXPECT_TRUE(sys::RemoveFolder(P("k")));
    EXPECT_FALSE(sys::EntryExists(P("k")));
    EXPECT_FALSE(sys::Attributes(P("k")));
}

TEST_F(Pliki, BlocksInAndOut) {
    std::string dane(100000, '\0');
    for (std::size_t i = 0; i < dane.size(); ++i) dane[i] = static_cast<char>(i * 7 + i / 256);
    {
        sys::File f = sys::File::Create(P(kLodz));
        ASSERT_TRUE(f);
        for (std::size_t od = 0; od < dane.size(); od += 32768) {
            const std::size_t n = std::min<std::size_t>(32768, dane.size() - od);
            const sys::Transfer t = f.Write(dane.data() + od, n);
            EXPECT_EQ(t.bytes, n);
            EXPECT_EQ(t.error, 0u);
        }
        EXPECT_EQ(f.Size(), 100000);
        EXPECT_TRUE(f.Close());
        EXPECT_FALSE(f);
        EXPECT_EQ(f.Write("x", 1).error, static_cast<std::uint32_t>(ERROR_INVALID_HANDLE));
    }
    sys::File f = sys::File::OpenRead(P(kLodz));
    ASSERT_TRUE(f);
    EXPECT_EQ(f.Size(), 100000);
    std::string wczytane;
    char blok[32768];
    for (;;) {
        const sys::Transfer t = f.Read(blok, sizeof(blok));
        ASSERT_EQ(t.error, 0u);
        if (t.bytes == 0) break;
        wczytane.append(blok, t.bytes);
    }
    EXPECT_EQ(wczytane, dane);

    const sys::File brak = sys::File::OpenRead(P("brak"));
    EXPECT_FALSE(brak);
    EXPECT_EQ(brak.error(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(sys::File::Create(P("brak\\plik"))) << "the folder does not exist";
}

TEST_F(Pliki, WholeFilesWithinTheirLimit) {
    struct Przypadek {
        std::size_t rozmiar;
        std::size_t limit;
        bool wczytany;
    };
    const Przypadek przypadki[] = {
        {0, 0, true}, {10, 10, true}, {11, 10, false}, {70000, 70000, true}, {70001, 70000, false}, {5, 0, false},
    };
    for (const auto& p : przypadki) {
        const std::string dane(p.rozmiar, 'q');
        ASSERT_TRUE(sys::WriteWholeFile(P("w"), dane));
        const auto wynik = sys::ReadWholeFile(P("w"), p.limit);
        EXPECT_EQ(wynik.has_value(), p.wczytany) << p.rozmiar << " bytes, limit " << p.limit;
        if (wynik) {
            EXPECT_EQ(*wynik, dane);
        }
    }
    EXPECT_FALSE(sys::ReadWholeFile(P("brak"), 100));
    EXPECT_FALSE(sys::ReadWholeFile(katalog_, 100)) << "a folder is no file";
}

TEST_F(Pliki, EnumerationListsEveryEntry) {
    ASSERT_TRUE(sys::CreateFolder(P("podkatalog")));
    ASSERT_TRUE(sys::WriteWholeFile(P("pusty"), ""));
    ASSERT_TRUE(sys::WriteWholeFile(P(kLodz), std::string(1234, 'x')));
    ASSERT_TRUE(sys::WriteWholeFile(P("ukryty"), "abc"));
    ASSERT_TRUE(sys::SetAttributes(P("ukryty"), FILE_ATTRIBUTE_HIDDEN));
    // A Cyrillic name cannot be written in Windows-1250.
    const std::wstring cyrylica = sys::ToWide(katalog_) + L"\\\u0422\u0435\u0441\u0442.txt";
    HANDLE h = CreateFileW(cyrylica.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    struct Wpis {
        bool katalog;
        std::int64_t rozmiar;
        bool operator==(const Wpis&) const = default;
    };
    std::map<std::string, Wpis> wpisy;
    auto lista = sys::DirectoryEnumeration::Open(P("*"));
    ASSERT_TRUE(lista);
    while (auto e = lista.Next()) wpisy[e->name] = Wpis{e->IsFolder(), e->size};
    EXPECT_EQ(lista.error(), 0u);
    EXPECT_FALSE(lista.Next()) << "stays at its end";
    const std::map<std::string, Wpis> oczekiwane = {
        {".", {true, 0}},      {"..", {true, 0}},      {"podkatalog", {true, 0}},
        {"pusty", {false, 0}}, {kLodz, {false, 1234}}, {"ukryty", {false, 3}},
    };
    std::vector<std::string> inne;
    for (const auto& [nazwa, wpis] : wpisy) {
        const auto o = oczekiwane.find(nazwa);
        if (o == oczekiwane.end())
            inne.push_back(nazwa);
        else
            EXPECT_EQ(wpis, o->second) << nazwa;
    }
    EXPECT_EQ(wpisy.size(), oczekiwane.size() + 1);
    // The Cyrillic file comes under its short name, which opens it.
    ASSERT_EQ(inne.size(), 1u);
    EXPECT_EQ(inne[0].find('?'), std::string::npos) << inne[0];
    EXPECT_TRUE(sys::FileExists(P(inne[0]))) << inne[0];

    auto nic = sys::DirectoryEnumeration::Open(P("*.nic"));
    EXPECT_FALSE(nic);
    EXPECT_EQ(nic.error(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(nic.Next());
    EXPECT_FALSE(sys::DirectoryEnumeration::Open(P("brak\\*")));
}

TEST_F(Pliki, SystemPathsOutsideTheCodePageComeShort) {
    const std::wstring cyrylica = sys::ToWide(katalog_) + L"\\\u041F\u0430\u043F\u043A\u0430";
    ASSERT_TRUE(CreateDirectoryW(cyrylica.c_str(), nullptr));

    const auto krotka = sys::FromSystemPath(cyrylica);
    ASSERT_TRUE(krotka);
    EXPECT_TRUE(sys::FolderExists(*krotka)) << *krotka;
    EXPECT_EQ(krotka->find('?'), std::string::npos);
    EXPECT_EQ(sys::FromSystemPath(sys::ToWide(P(kLodz))), P(kLodz)) << "Windows-1250 names stay as they are";
    EXPECT_FALSE(sys::FromSystemPath(cyrylica + L"\\\u0411\u0435\u0437")) << "a missing path has no short form";
}

TEST(ModuleFileName, NamesThisProgram) {
    const auto self = sys::ModuleFileName();
    ASSERT_TRUE(self);
    EXPECT_TRUE(sys::FileExists(*self)) << *self;
    ASSERT_GT(self->size(), 4u);
    std::string koncowka = self->substr(self->size() - 4);
    for (char& c : koncowka) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(koncowka, ".exe");
}

}  // namespace
