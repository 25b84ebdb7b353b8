#pragma once
// Version information of a file (its VERSIONINFO resource).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sys {

// One entry of "\VarFileInfo\Translation": a language identifier (0x0409 US
// English) and a code page (1200 Unicode, 1250, ...).
struct Translation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;

    friend bool operator==(const Translation&, const Translation&) = default;
};

// The four numbers of the fixed file version, e.g. 5.81.4704.1100.
struct FixedVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;

    friend bool operator==(const FixedVersion&, const FixedVersion&) = default;
};

// A copy of a file's version information. Owns its bytes; nothing stays open.
class VersionInfo {
public:
    // nullopt when the file has no version information (its size is 0) or
    // cannot be read.
    [[nodiscard]] static std::optional<VersionInfo> Read(std::string_view path);

    // The translations in their stored order; empty when there are none.
    [[nodiscard]] std::vector<Translation> Translations() const;

    // The text of `name` (for instance "FileVersion") in the string table of
    // `translation`, "\StringFileInfo\LLLLCCCC\name" with four hexadecimal
    // digits each, converted to Windows-1250; nullopt when there is none.
    [[nodiscard]] std::optional<std::string> StringValue(Translation translation, std::string_view name) const;

    // The fixed file version; nullopt when the fixed part is missing or
    // malformed.
    [[nodiscard]] std::optional<FixedVersion> FileVersion() const;

private:
    explicit VersionInfo(std::vector<unsigned char> data) : data_(std::move(data)) {}

    // The bytes of a sub-block, checked to lie inside the copy.
    [[nodiscard]] std::optional<std::pair<const void*, unsigned>> Query(const std::wstring& block) const;

    std::vector<unsigned char> data_;
};

}  // namespace sys
