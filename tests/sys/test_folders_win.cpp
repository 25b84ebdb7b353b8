#include "sys/folders.h"

#include "base/StronyKodowe.h"
#include "sys/files.h"
#include "sys/text.h"

#include <gtest/gtest.h>

#include "../PomocnicyWin.h"

#include <string>

namespace {

using pomocnicy::ZmienionyTmp;

TEST(Katalogi, SystemFoldersExistWithTrailingBackslash) {
    const std::optional<std::string> katalogi[] = {sys::TempFolder(), sys::WindowsFolder(), sys::SystemFolder(),
                                                   sys::FontsFolder()};
    for (const auto& k : katalogi) {
        ASSERT_TRUE(k);
        ASSERT_FALSE(k->empty());
        EXPECT_EQ(k->back(), '\\') << *k;
        EXPECT_TRUE(sys::FolderExists(*k)) << *k;
    }
    EXPECT_EQ(sys::FontsFolder(), *sys::WindowsFolder() + "Fonts\\");
}

TEST(Katalogi, TempFolderFromTheEnvironment) {
    const auto temp = sys::TempFolder();
    ASSERT_TRUE(temp);
    const std::string podstawa = *temp + "velt tmp " + std::to_string(GetCurrentProcessId());
    const std::wstring cyrylica = sys::ToWide(podstawa) + L"\u041F\u0430\u043F\u043A\u0430";
    ASSERT_TRUE(sys::CreateFolder(podstawa + "Łódź"_cp1250));
    ASSERT_TRUE(CreateDirectoryW(cyrylica.c_str(), nullptr));
    {
        ZmienionyTmp tmp(sys::ToWide(podstawa + "Łódź"_cp1250));
        EXPECT_EQ(sys::TempFolder(), podstawa + "Łódź\\"_cp1250) << "backslash added, letters kept";
    }
    {
        ZmienionyTmp tmp(cyrylica);
        const auto krotki = sys::TempFolder();
        ASSERT_TRUE(krotki);
        EXPECT_EQ(krotki->find('?'), std::string::npos) << *krotki;
        EXPECT_EQ(krotki->back(), '\\');
        EXPECT_TRUE(sys::FolderExists(*krotki)) << *krotki;
    }
    {
        // Longer than the 261-character buffer: not determined.
        ZmienionyTmp tmp(L"C:\\" + std::wstring(300, L'x'));
        EXPECT_FALSE(sys::TempFolder());
    }
    EXPECT_EQ(sys::TempFolder(), temp);
    EXPECT_TRUE(RemoveDirectoryW(cyrylica.c_str()));
    EXPECT_TRUE(sys::RemoveFolder(podstawa + "Łódź"_cp1250));
}

TEST(Katalogi, ShellFolderValues) {
    const std::string klucz = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    auto zapis = sys::RegistryKey::OpenFull(sys::RegistryRoot::CurrentUser, klucz, true);
    ASSERT_TRUE(zapis);
    const auto temp = sys::TempFolder();
    ASSERT_TRUE(temp);
    const std::wstring cyrylica = sys::ToWide(*temp) + L"velt \u041F\u0430\u043F\u043A\u0430";
    ASSERT_TRUE(CreateDirectoryW(cyrylica.c_str(), nullptr));
    ASSERT_EQ(RegSetValueExW(zapis->handle(), L"VeltCyrylica", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(cyrylica.c_str()),
                             static_cast<DWORD>((cyrylica.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_TRUE(zapis->WriteString("VeltPolski", "C:\\Menu Start\\Programy Łódź"_cp1250));
    ASSERT_TRUE(zapis->WriteString("VeltPusty", ""));
    ASSERT_TRUE(zapis->WriteDword("VeltLiczba", 7));

    EXPECT_EQ(sys::ShellFolder(sys::RegistryRoot::CurrentUser, "VeltPolski"),
              "C:\\Menu Start\\Programy Łódź"_cp1250);
    EXPECT_EQ(sys::ShellFolder(sys::RegistryRoot::CurrentUser, "VeltPusty"), "");
    EXPECT_FALSE(sys::ShellFolder(sys::RegistryRoot::CurrentUser, "VeltLiczba")) << "not a string";
    EXPECT_FALSE(sys::ShellFolder(sys::RegistryRoot::CurrentUser, "VeltBrak"));
    EXPECT_FALSE(sys::ShellFolder(sys::RegistryRoot::LocalMachine, "VeltPolski")) << "another root";
    const auto krotki = sys::ShellFolder(sys::RegistryRoot::CurrentUser, "VeltCyrylica");
    ASSERT_TRUE(krotki);
    EXPECT_EQ(krotki->find('?'), std::string::npos) << *krotki;
    EXPECT_TRUE(sys::FolderExists(*krotki)) << *krotki;

    for (const wchar_t* nazwa : {L"VeltCyrylica", L"VeltPolski", L"VeltPusty", L"VeltLiczba"})
        EXPECT_EQ(RegDeleteValueW(zapis->handle(), nazwa), ERROR_SUCCESS);
    EXPECT_TRUE(RemoveDirectoryW(cyrylica.c_str()));
}

TEST(Katalogi, ProgramFilesFolder) {
    const auto katalog = sys::ProgramFilesFolder();
    ASSERT_TRUE(katalog);
    EXPECT_TRUE(sys::FolderExists(*katalog)) << *katalog;
}

}  // namespace
