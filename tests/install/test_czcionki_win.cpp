#include "install/Czcionki.h"

#include "sys/files.h"
#include "sys/folders.h"
#include "sys/registry.h"
#include "sys/text.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

namespace {

using pomocnicy::UsunDrzewo;

// The files the build makes for the medium, beside the tests' folder.
std::string PlikiNosnika() {
    const auto self = sys::ModuleFileName();
    if (!self) return {};
    const std::string tests = self->substr(0, self->find_last_of('\\'));
    return tests.substr(0, tests.find_last_of('\\') + 1) + "medium-files\\";
}

std::string Zawartosc(const std::string& plik) { return sys::ReadWholeFile(plik, 1 << 20).value_or("<none>"); }

std::optional<std::string> Wartosc(sys::RegistryRoot korzen, const std::string& klucz, const std::string& nazwa) {
    const auto k = sys::RegistryKey::OpenRead(korzen, klucz);
    return k ? k->ReadString(nazwa) : std::nullopt;
}

class CzcionkiTest : public ::testing::Test {
protected:
    void SetUp() override {
        zrodlo_ = PlikiNosnika();
        czcionka_ = Zawartosc(zrodlo_ + "Stedt.ttf");
        ASSERT_NE(czcionka_, "<none>") << zrodlo_;
        ASSERT_TRUE(sys::CreateFolder(baza_ + "Fonts"));
        ASSERT_TRUE(sys::CreateFolder(baza_ + "cel"));
        miejsca_ = {baza_ + "Fonts\\", sys::RegistryRoot::CurrentUser,
                    "Software\\Velt testy czcionek " + std::to_string(GetCurrentProcessId())};
    }
    void TearDown() override {
        WycofajCzcionke();
        sys::Ignore(sys::RegistryKey::DeleteTree(miejsca_.kluczGlowny, miejsca_.klucz), "test clean-up");
    }

    // Takes the test's copy out of the font table again: the table is the
    // session's, and Wine keeps public fonts in a cache of the prefix.
    void WycofajCzcionke() const {
        if (const auto plik = Zarejestrowana()) RemoveFontResourceW(sys::ToWide(*plik).c_str());
    }

    std::optional<std::string> Zarejestrowana() const { return Wartosc(miejsca_.kluczGlowny, miejsca_.klucz, "STEDT"); }

    std::string zrodlo_, czcionka_;
    pomocnicy::KatalogTymczasowy tmp_{"velt czcionki"};
    const std::string baza_ = tmp_.Sciezka() + "\\";
    MiejscaCzcionki miejsca_;
};

TEST_F(CzcionkiTest, CopiedIntoTheFontsFolderAndRegistered) {
    EXPECT_TRUE(InstalujCzcionke(miejsca_, "STEDT", "Stedt.ttf", zrodlo_, baza_ + "cel\\"));
    EXPECT_EQ(Zawartosc(baza_ + "Fonts\\Stedt.ttf"), czcionka_);
    EXPECT_EQ(Zarejestrowana(), baza_ + "Fonts\\Stedt.ttf");
    EXPECT_FALSE(sys::EntryExists(baza_ + "cel\\Stedt.ttf"));
}

TEST_F(CzcionkiTest, FontAlreadyInTheFontsFolderWritesNothing) {
    ASSERT_TRUE(sys::WriteWholeFile(baza_ + "Fonts\\Stedt.ttf", "starsza czcionka"));
    EXPECT_TRUE(InstalujCzcionke(miejsca_, "STEDT", "Stedt.ttf", zrodlo_, baza_ + "cel\\"));
    EXPECT_EQ(Zawartosc(baza_ + "Fonts\\Stedt.ttf"), "starsza czcionka");
    EXPECT_FALSE(sys::RegistryKey::Exists(miejsca_.kluczGlowny, miejsca_.klucz));
    EXPECT_FALSE(sys::EntryExists(baza_ + "cel\\Stedt.ttf"));
}

TEST_F(CzcionkiTest, WithoutFontsFolderTheFirstFreeNameOfTheTarget) {
    struct Przypadek {
        std::string katalogCzcionek;
        std::vector<std::string> obecne;
        std::string katalogZapasowy;  // under the test folder
        std::string wybrana;
    };
    const Przypadek przypadki[] = {
        {"", {}, "cel\\", "Stedt.ttf"},
        {"brak\\", {"Stedt.ttf"}, "cel\\", "Stedt0.ttf"},
        {"brak\\", {"Stedt.ttf", "Stedt0.ttf"}, "cel\\", "Stedt00.ttf"},
        {"brak\\", {"Stedt0.ttf"}, "cel\\", "Stedt.ttf"},
        // The target folder given with no backslash, or with one too many.
        {"", {"Stedt.ttf"}, "cel", "Stedt0.ttf"},
        {"", {}, "cel\\\\", "Stedt.ttf"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.wybrana + " in " + p.katalogZapasowy);
        WycofajCzcionke();
        UsunDrzewo(baza_ + "cel");
        ASSERT_TRUE(sys::CreateFolder(baza_ + "cel"));
        for (const auto& n : p.obecne) ASSERT_TRUE(sys::WriteWholeFile(baza_ + "cel\\" + n, n));
        miejsca_.katalogCzcionek = p.katalogCzcionek.empty() ? "" : baza_ + p.katalogCzcionek;

        EXPECT_TRUE(InstalujCzcionke(miejsca_, "STEDT", "Stedt.ttf", zrodlo_, baza_ + p.katalogZapasowy));
        EXPECT_EQ(Zawartosc(baza_ + "cel\\" + p.wybrana), czcionka_);
        EXPECT_EQ(Zarejestrowana(), baza_ + "cel\\" + p.wybrana);
        for (const auto& n : p.obecne) EXPECT_EQ(Zawartosc(baza_ + "cel\\" + n), n);
    }
}

TEST_F(CzcionkiTest, NothingToCopyNothingRegistered) {
    struct Przypadek {
        const char* opis;
        std::string zrodlo;
        std::string katalogZapasowy;
    };
    const Przypadek przypadki[] = {
        {"font missing from the medium", baza_ + "brak\\", baza_ + "cel\\"},
        {"no fonts folder, no target folder", zrodlo_, baza_ + "brak\\"},
        {"no fonts folder, target not given", zrodlo_, ""},
    };
    miejsca_.katalogCzcionek = baza_ + "brak\\";
    for (const auto& p : przypadki) {
        EXPECT_FALSE(InstalujCzcionke(miejsca_, "STEDT", "Stedt.ttf", p.zrodlo, p.katalogZapasowy)) << p.opis;
        EXPECT_FALSE(sys::RegistryKey::Exists(miejsca_.kluczGlowny, miejsca_.klucz)) << p.opis;
        EXPECT_FALSE(sys::EntryExists(baza_ + "cel\\Stedt.ttf")) << p.opis;
    }
    // With a fonts folder, a missing font fails there and in the target.
    miejsca_.katalogCzcionek = baza_ + "Fonts\\";
    EXPECT_FALSE(InstalujCzcionke(miejsca_, "STEDT", "Stedt.ttf", baza_ + "brak\\", baza_ + "cel\\"));
    EXPECT_FALSE(sys::EntryExists(baza_ + "Fonts\\Stedt.ttf"));
    EXPECT_FALSE(sys::RegistryKey::Exists(miejsca_.kluczGlowny, miejsca_.klucz));
}

// The system's own fonts folder and registration key.
TEST_F(CzcionkiTest, InstalledIntoTheSystem) {
    const MiejscaCzcionki system = MiejscaCzcionkiSystemu();
    ASSERT_FALSE(system.katalogCzcionek.empty());
    ASSERT_TRUE(sys::FolderExists(system.katalogCzcionek));
    EXPECT_EQ(system.klucz, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
    const std::string plik = system.katalogCzcionek + "Stedt.ttf";
    // A previous run's font.
    RemoveFontResourceW(sys::ToWide(plik).c_str());
    sys::Ignore(sys::RemoveFile(plik), "may not be there");

    EXPECT_TRUE(InstalujCzcionke("STEDT", "Stedt.ttf", zrodlo_, baza_ + "cel\\"));
    EXPECT_EQ(Zawartosc(plik), czcionka_);
    EXPECT_EQ(Wartosc(system.kluczGlowny, system.klucz, "STEDT"), plik);
    EXPECT_TRUE(MaZestawZnakow("STEDT", "EASTEUROPE_CHARSET"));
    EXPECT_TRUE(MaZestawZnakow("STEDT", "ANSI_CHARSET"));
    EXPECT_FALSE(MaZestawZnakow("STEDT", "RUSSIAN_CHARSET"));

    // Now present: true, and not even the registration is written again.
    {
        auto klucz = sys::RegistryKey::OpenFull(system.kluczGlowny, system.klucz, false);
        ASSERT_TRUE(klucz);
        ASSERT_TRUE(klucz->WriteString("STEDT", "znacznik"));
    }
    EXPECT_TRUE(InstalujCzcionke("STEDT", "Stedt.ttf", baza_ + "brak\\", baza_ + "cel\\"));
    EXPECT_EQ(Wartosc(system.kluczGlowny, system.klucz, "STEDT"), "znacznik");
    EXPECT_FALSE(sys::EntryExists(baza_ + "cel\\Stedt.ttf"));

    if (auto klucz = sys::RegistryKey::OpenFull(system.kluczGlowny, system.klucz, false))
        RegDeleteValueW(klucz->handle(), L"STEDT");
    RemoveFontResourceW(sys::ToWide(plik).c_str());
    sys::Ignore(sys::RemoveFile(plik), "test clean-up");
}

TEST(ZestawyZnakow, FacesAndTheirCharacterSets) {
    std::vector<std::string> lista{"wcześniej"};
    ZestawyZnakow("Taka czcionka nie istnieje", lista);
    EXPECT_EQ(lista, std::vector<std::string>{"wcześniej"});
    EXPECT_FALSE(MaZestawZnakow("Taka czcionka nie istnieje", "ANSI_CHARSET"));
    // Longer than any face name: not cut down to some face.
    EXPECT_FALSE(MaZestawZnakow("STEDT" + std::string(40, ' '), "ANSI_CHARSET"));
    EXPECT_FALSE(MaZestawZnakow("", "ANSI_CHARSET"));

    // The medium's font, for this process only: every character set its
    // code-page bits name, once each.
    const std::wstring plik = sys::ToWide(PlikiNosnika() + "Stedt.ttf");
    ASSERT_GT(AddFontResourceExW(plik.c_str(), FR_PRIVATE, nullptr), 0);
    lista.clear();
    ZestawyZnakow("STEDT", lista);
    std::sort(lista.begin(), lista.end());
    EXPECT_EQ(lista, (std::vector<std::string>{"ANSI_CHARSET", "EASTEUROPE_CHARSET"}));
    EXPECT_TRUE(MaZestawZnakow("stedt", "EASTEUROPE_CHARSET"));
    // Exact names only.
    EXPECT_FALSE(MaZestawZnakow("STEDT", "easteurope_charset"));
    EXPECT_FALSE(MaZestawZnakow("STEDT", "EASTEUROPE"));
    RemoveFontResourceExW(plik.c_str(), FR_PRIVATE, nullptr);
}

TEST(ZestawyZnakow, InterfaceFont) {
    const bool arial = MaZestawZnakow("Arial", "EASTEUROPE_CHARSET");
    const bool tahoma = MaZestawZnakow("Tahoma", "EASTEUROPE_CHARSET");
    EXPECT_EQ(WybierzCzcionkeInterfejsu(), !arial && tahoma ? "Tahoma" : "Arial");
}

}  // namespace
