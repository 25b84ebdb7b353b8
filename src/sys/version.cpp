#include "sys/version.h"

#include "sys/systemdll.h"
#include "sys/text.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>

#include <windows.h>

namespace sys {

std::optional<VersionInfo> VersionInfo::Read(std::string_view path) {
    const std::wstring wide = ToWide(path);
    DWORD unused = 0;
    const DWORD size = dll::GetFileVersionInfoSizeW(wide.c_str(), &unused);
    if (size == 0) return std::nullopt;
    std::vector<unsigned char> data(size);
    if (!dll::GetFileVersionInfoW(wide.c_str(), 0, size, data.data())) return std::nullopt;
    return VersionInfo(std::move(data));
}

std::optional<std::pair<const void*, unsigned>> VersionInfo::Query(const std::wstring& block) const {
    void* found = nullptr;
    UINT length = 0;
    if (!dll::VerQueryValueW(data_.data(), block.c_str(), &found, &length) || found == nullptr) return std::nullopt;
    // The answer points into our copy; a malformed resource must not lead
    // outside it.
    const auto* begin = data_.data();
    const auto* at = static_cast<const unsigned char*>(found);
    if (at < begin || at > begin + data_.size()) return std::nullopt;
    return std::make_pair(static_cast<const void*>(at), static_cast<unsigned>(length));
}

std::vector<Translation> VersionInfo::Translations() const {
    std::vector<Translation> list;
    const auto found = Query(L"\\VarFileInfo\\Translation");
    if (!found) return list;
    const auto* at = static_cast<const unsigned char*>(found->first);
    const std::size_t room = static_cast<std::size_t>(data_.data() + data_.size() - at);
    const std::size_t bytes = std::min<std::size_t>(found->second, room);
    for (std::size_t i = 0; i + 4 <= bytes; i += 4) {
        list.push_back(Translation{static_cast<std::uint16_t>(at[i] | (at[i + 1] << 8)),
                                   static_cast<std::uint16_t>(at[i + 2] | (at[i + 3] << 8))});
    }
    return list;
}

std::optional<std::string> VersionInfo::StringValue(Translation translation, std::string_view name) const {
    wchar_t table[16];
    std::swprintf(table, std::size(table), L"%04X%04X", static_cast<unsigned>(translation.language),
                  static_cast<unsigned>(translation.codePage));
    const auto found = Query(L"\\StringFileInfo\\" + std::wstring(table) + L"\\" + ToWide(name));
    if (!found) return std::nullopt;
    // The length counts characters, with or without the terminating NUL.
    const auto* text = static_cast<const wchar_t*>(found->first);
    const std::size_t room =
        static_cast<std::size_t>(data_.data() + data_.size() - static_cast<const unsigned char*>(found->first)) /
        sizeof(wchar_t);
    std::wstring_view value(text, std::min<std::size_t>(found->second, room));
    if (const auto nul = value.find(L'\0'); nul != std::wstring_view::npos) value = value.substr(0, nul);
    return FromWide(value);
}

std::optional<FixedVersion> VersionInfo::FileVersion() const {
    const auto found = Query(L"\\");
    if (!found || found->second < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
    const auto* at = static_cast<const unsigned char*>(found->first);
    if (static_cast<std::size_t>(data_.data() + data_.size() - at) < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, at, sizeof(fixed));
    if (fixed.dwSignature != 0xFEEF04BD) return std::nullopt;
    return FixedVersion{HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                        HIWORD(fixed.dwFileVersionLS), LOWORD(fixed.dwFileVersionLS)};
}

}  // namespace sys
