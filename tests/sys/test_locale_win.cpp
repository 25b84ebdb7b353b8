#include "sys/locale.h"

#include <gtest/gtest.h>

namespace {

TEST(Lokalizacja, SystemVersionIsOfTheNtFamily) {
    const sys::WindowsVersion v = sys::SystemVersion();
    EXPECT_TRUE(v.nt);
    EXPECT_GE(v.major, 5u);
    EXPECT_NE(sys::ThreadLocale(), 0u);
}

TEST(Lokalizacja, LayoutIdentifiersAreCheckedFirst) {
    for (const char* klid : {"", "0415", "0000041G", "000004150", "0x000415", " 0000415"})
        EXPECT_FALSE(sys::LoadKeyboardLayoutById(klid, false)) << '"' << klid << '"';
    EXPECT_TRUE(sys::LoadKeyboardLayoutById("00000409", false));
}

TEST(Lokalizacja, GuardRestoresTheLayout) {
    const sys::KeyboardLayout przed = sys::CurrentKeyboardLayout();
    ASSERT_NE(przed, nullptr);
    {
        sys::KeyboardLayoutGuard straz;
        EXPECT_EQ(straz.remembered(), przed);
        for (const char* klid : {"00000415", "0000040c"}) {
            const auto uklad = sys::LoadKeyboardLayoutById(klid, true);
            ASSERT_TRUE(uklad) << klid;
            EXPECT_TRUE(sys::ActivateLayout(*uklad));
        }
    }
    EXPECT_EQ(sys::CurrentKeyboardLayout(), przed);
    EXPECT_FALSE(sys::ActivateLayout(nullptr));
}

}  // namespace
