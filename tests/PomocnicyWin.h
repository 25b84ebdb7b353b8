#pragma once
// Helpers shared by the Win32 tests.

#include "sys/files.h"
#include "sys/folders.h"
#include "sys/handle.h"
#include "sys/security.h"
#include "sys/registry.h"
#include "sys/text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <aclapi.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pomocnicy {

// Removes a folder with everything in it, read-only entries included.
inline void UsunDrzewo(const std::string& katalog) {
    auto wpisy = sys::DirectoryEnumeration::Open(katalog + "\\*");
    while (auto w = wpisy.Next()) {
        if (w->name == "." || w->name == "..") continue;
        const std::string sciezka = katalog + "\\" + w->name;
        sys::Ignore(sys::SetAttributes(sciezka, FILE_ATTRIBUTE_NORMAL), "test clean-up");
        if (w->IsFolder()) UsunDrzewo(sciezka);
        else sys::Ignore(sys::RemoveFile(sciezka), "test clean-up");
    }
    sys::Ignore(sys::RemoveFolder(katalog), "test clean-up");
}

// A fresh folder of the running test under the temporary folder, removed
// with everything in it when the object goes. Its name is `nazwa`, the
// process id and the test's name (with blanks between), so that neither two
// runs nor two tests share one and a run that died leaves nothing in the way.
class KatalogTymczasowy {
public:
    explicit KatalogTymczasowy(std::string_view nazwa) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string nazwaTestu = test ? test->name() : "";
        // A parameterised test's name holds "/", which would make it a path.
        for (char& c : nazwaTestu)
            if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) c = '-';
        sciezka_ = sys::TempFolder().value() + std::string(nazwa) + " " + std::to_string(GetCurrentProcessId()) +
                   (nazwaTestu.empty() ? "" : " " + nazwaTestu);
        Odnow();
    }
    ~KatalogTymczasowy() { UsunDrzewo(sciezka_); }
    KatalogTymczasowy(const KatalogTymczasowy&) = delete;
    KatalogTymczasowy& operator=(const KatalogTymczasowy&) = delete;

    // Without a trailing backslash.
    const std::string& Sciezka() const noexcept { return sciezka_; }
    std::string operator/(std::string_view nazwa) const { return sciezka_ + "\\" + std::string(nazwa); }

    // Empty again, for the next case of a table. A folder that cannot be made
    // ends the test (gtest reports the exception), as no case can run in it.
    void Odnow() {
        UsunDrzewo(sciezka_);
        if (!sys::CreateFolder(sciezka_)) throw std::runtime_error("cannot create the test folder " + sciezka_);
    }
    // Removes it now; false when something in it would not go.
    [[nodiscard]] bool Usun() {
        UsunDrzewo(sciezka_);
        return !sys::EntryExists(sciezka_);
    }

private:
    std::string sciezka_;
};

// TMP, which GetTempPath reads first, names `value` while the object lives.
class ZmienionyTmp {
public:
    explicit ZmienionyTmp(const std::wstring& value) {
        wchar_t old[32768];
        const DWORD n = GetEnvironmentVariableW(L"TMP", old, 32768);
        if (n > 0 && n < 32768) old_ = std::wstring(old, n);
        SetEnvironmentVariableW(L"TMP", value.c_str());
    }
    ~ZmienionyTmp() { SetEnvironmentVariableW(L"TMP", old_ ? old_->c_str() : nullptr); }
    ZmienionyTmp(const ZmienionyTmp&) = delete;
    ZmienionyTmp& operator=(const ZmienionyTmp&) = delete;

private:
    std::optional<std::wstring> old_;
};

// Lets everyone change the file or folder `sciezka`, as a user's own would
// let them; false when its DACL cannot be set.
inline bool OtworzDlaWszystkich(const std::string& sciezka) {
    const auto sd = sys::SecurityDescriptor::FromSddl(L"D:(A;OICI;FA;;;WD)");
    BOOL jest = FALSE, domyslny = FALSE;
    PACL dacl = nullptr;
    if (!sd || !GetSecurityDescriptorDacl(sd->get(), &jest, &dacl, &domyslny)) return false;
    std::wstring w = sys::ToWide(sciezka);
    return SetNamedSecurityInfoW(w.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl,
                                 nullptr) == ERROR_SUCCESS;
}

// A value of the Explorer's "Shell Folders" key set (or, with nullopt,
// removed) for the life of the object: where the program finds the special
// folders of the user and of the machine.
class ZmienionyFolder {
public:
    ZmienionyFolder(sys::RegistryRoot root, std::string_view value, std::optional<std::string> folder)
        : root_(root), value_(value) {
        auto key = sys::RegistryKey::OpenFull(root_, kShellFolders, true);
        EXPECT_TRUE(key);
        old_ = key->ReadString(value_);
        Ustaw(*key, folder);
    }
    ~ZmienionyFolder() {
        if (auto key = sys::RegistryKey::OpenFull(root_, kShellFolders, true)) Ustaw(*key, old_);
    }
    ZmienionyFolder(const ZmienionyFolder&) = delete;
    ZmienionyFolder& operator=(const ZmienionyFolder&) = delete;

private:
    static constexpr std::string_view kShellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

    void Ustaw(sys::RegistryKey& key, const std::optional<std::string>& folder) {
        if (folder) EXPECT_TRUE(key.WriteString(value_, *folder));
        else RegDeleteValueW(key.handle(), sys::ToWide(value_).c_str());
    }
    sys::RegistryRoot root_;
    std::string value_;
    std::optional<std::string> old_;
};

}  // namespace pomocnicy
