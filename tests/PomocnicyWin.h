#pragma once
// Helpers shared by the Win32 tests.

#include "sys/files.h"
#include "sys/handle.h"

#include <windows.h>

#include <optional>
#include <string>

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

}  // namespace pomocnicy
