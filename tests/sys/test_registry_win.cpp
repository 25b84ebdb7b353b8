#include "base/StronyKodowe.h"
#include "sys/registry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using sys::RegistryKey;
using sys::RegistryRoot;

// Each test works below a key of its own and removes it afterwards.
class Rejestr : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = std::string("Software\\VeltTests\\") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, base_));
    }
    void TearDown() override { EXPECT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, base_)); }

    // Checks existence with the plain API, independently of the wrapper.
    static bool KeyExists(const std::wstring& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    std::wstring WideBase() const { return std::wstring(base_.begin(), base_.end()); }

    std::string base_;
};

TEST_F(Rejestr, ReadOnlyOpeningNeverCreates) {
    EXPECT_FALSE(RegistryKey::OpenRead(RegistryRoot::CurrentUser, base_ + "\\Missing"));
    EXPECT_FALSE(RegistryKey::OpenFull(RegistryRoot::CurrentUser, base_ + "\\Missing", false));
    EXPECT_FALSE(KeyExists(WideBase()));
    EXPECT_FALSE(RegistryKey::Exists(RegistryRoot::CurrentUser, base_));
}

TEST_F(Rejestr, FullOpeningCreatesWhenAsked) {
    auto key = RegistryKey::OpenFull(RegistryRoot::CurrentUser, base_ + "\\A\\B", true);
    ASSERT_TRUE(key);
    EXPECT_TRUE(KeyExists(WideBase() + L"\\A\\B"));
    EXPECT_TRUE(RegistryKey::OpenFull(RegistryRoot::CurrentUser, base_ + "\\A\\B", false));
    EXPECT_FALSE(RegistryKey::OpenFull(RegistryRoot::CurrentUser, "", true)) << "never the root itself";
}

TEST_F(Rejestr, ValuesRoundTrip) {
    auto key = RegistryKey::OpenFull(RegistryRoot::CurrentUser, base_, true);
    ASSERT_TRUE(key);
    // "C:\Program Files\Łódź" in Windows-1250.
    const std::string sciezka = "C:\\Program Files\\Łódź"_cp1250;
    ASSERT_TRUE(key->WriteString("Katalog", sciezka));
    ASSERT_TRUE(key->WriteDword("Liczba", 0xDEADBEEF));
    ASSERT_TRUE(key->WriteBool("Tak", true));
    ASSERT_TRUE(key->WriteBool("Nie", false));
    ASSERT_TRUE(key->WriteString("Pusty", ""));
    const std::string dlugi(5000, 'x');
    ASSERT_TRUE(key->WriteString("Dlugi", dlugi));

    auto odczyt = RegistryKey::OpenRead(RegistryRoot::CurrentUser, base_);
    ASSERT_TRUE(odczyt);
    EXPECT_EQ(odczyt->ReadString("Katalog"), sciezka);
    EXPECT_EQ(odczyt->ReadDword("Liczba"), 0xDEADBEEFu);
    EXPECT_EQ(odczyt->ReadDword("Tak"), 1u);
    EXPECT_EQ(odczyt->ReadDword("Nie"), 0u);
    EXPECT_EQ(odczyt->ReadString("Pusty"), "");
    EXPECT_EQ(odczyt->ReadString("Dlugi"), dlugi);
    EXPECT_FALSE(odczyt->ReadString("Brak"));
    EXPECT_FALSE(odczyt->ReadString("Liczba")) << "a DWORD is no string";
    EXPECT_FALSE(odczyt->ReadDword("Katalog")) << "a string is no DWORD";

    // The system holds real Unicode letters, not the single-byte codes.
    wchar_t buffer[64] = {};
    DWORD size = sizeof(buffer);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, WideBase().c_str(), L"Katalog", RRF_RT_REG_SZ, nullptr, buffer, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(buffer), L"C:\\Program Files\\\u0141\u00F3d\u017A");
}

TEST_F(Rejestr, DeleteTreeRemovesNestedKeys) {
    {
        auto key = RegistryKey::OpenFull(RegistryRoot::CurrentUser, base_ + "\\X\\Y\\Z", true);
        ASSERT_TRUE(key);
        ASSERT_TRUE(key->WriteDword("v", 1));
        ASSERT_TRUE(RegistryKey::OpenFull(RegistryRoot::CurrentUser, base_ + "\\X\\W", true));
    }
    EXPECT_EQ(RegistryKey::DeleteIfEmpty(RegistryRoot::CurrentUser, base_ + "\\X").error,
              static_cast<std::uint32_t>(ERROR_DIR_NOT_EMPTY));
    EXPECT_TRUE(RegistryKey::DeleteIfEmpty(RegistryRoot::CurrentUser, base_ + "\\X\\W"));
    EXPECT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, base_ + "\\X"));
    EXPECT_FALSE(KeyExists(WideBase() + L"\\X"));
    EXPECT_TRUE(KeyExists(WideBase()));
    EXPECT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, base_ + "\\X")) << "already gone";
    EXPECT_TRUE(RegistryKey::DeleteIfEmpty(RegistryRoot::CurrentUser, base_ + "\\X")) << "already gone";
    auto key = RegistryKey::OpenFull(RegistryRoot::CurrentUser, base_, false);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->DeleteValue("Brak")) << "already gone";
    // The root itself is never the target.
    for (const auto& r : {RegistryKey::DeleteTree(RegistryRoot::CurrentUser, ""),
                          RegistryKey::DeleteIfEmpty(RegistryRoot::CurrentUser, "")})
        EXPECT_EQ(r.error, static_cast<std::uint32_t>(ERROR_INVALID_PARAMETER));
}

}  // namespace
