#include "setup/ZnacznikInstalacji.h"

#include "base/Wydania.h"
#include "sys/registry.h"

#include <gtest/gtest.h>

namespace {

using sys::RegistryKey;
using sys::RegistryRoot;

class ZnacznikInstalacji : public ::testing::Test {
protected:
    void SetUp() override {
        UstawAppConst(RekordWydaniaInstalatora());
        ASSERT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, klucz_));
    }
    void TearDown() override { EXPECT_TRUE(RegistryKey::DeleteTree(RegistryRoot::CurrentUser, klucz_)); }

    static std::optional<std::uint32_t> Znacznik() {
        DWORD type = 0, value = 0, size = sizeof(value);
        if (RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Zelpax\\EngVelt", L"InstallationInProgress",
                         RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS)
            return std::nullopt;
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        return value;
    }

    const std::string klucz_ = KluczRejestruWydania(3);
};

TEST_F(ZnacznikInstalacji, SetThenClear) {
    UstawInstalacjeWToku(3, true);
    EXPECT_EQ(Znacznik(), 1u);
    UstawInstalacjeWToku(3, false);
    EXPECT_EQ(Znacznik(), 0u);
}

TEST_F(ZnacznikInstalacji, ClearingCreatesNothing) {
    UstawInstalacjeWToku(3, false);
    EXPECT_FALSE(RegistryKey::Exists(RegistryRoot::CurrentUser, klucz_));
}

TEST_F(ZnacznikInstalacji, EditionTwoSharesTheKey) {
    UstawInstalacjeWToku(2, true);
    EXPECT_EQ(Znacznik(), 1u);
}

TEST_F(ZnacznikInstalacji, NumberWithoutKeyWritesNowhere) {
    UstawInstalacjeWToku(0, true);
    UstawInstalacjeWToku(22, true);
    DWORD size = 0;
    EXPECT_NE(RegGetValueW(HKEY_CURRENT_USER, nullptr, L"InstallationInProgress", RRF_RT_ANY, nullptr, nullptr,
                           &size),
              ERROR_SUCCESS);
}

}  // namespace
