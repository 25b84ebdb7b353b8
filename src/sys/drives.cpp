#include "sys/drives.h"

#include "sys/text.h"

#include <windows.h>

namespace sys {

static_assert(static_cast<unsigned>(DriveKind::Unknown) == DRIVE_UNKNOWN &&
              static_cast<unsigned>(DriveKind::NoRoot) == DRIVE_NO_ROOT_DIR &&
              static_cast<unsigned>(DriveKind::Removable) == DRIVE_REMOVABLE &&
              static_cast<unsigned>(DriveKind::Fixed) == DRIVE_FIXED &&
              static_cast<unsigned>(DriveKind::Remote) == DRIVE_REMOTE &&
              static_cast<unsigned>(DriveKind::CdRom) == DRIVE_CDROM &&
              static_cast<unsigned>(DriveKind::RamDisk) == DRIVE_RAMDISK);

namespace {

bool IsLetter(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

NoCriticalErrorBox::NoCriticalErrorBox() noexcept : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {
    SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
}

NoCriticalErrorBox::~NoCriticalErrorBox() { SetErrorMode(previous_); }

std::uint32_t LogicalDrives() { return GetLogicalDrives(); }

std::vector<std::string> LogicalDriveRoots() {
    std::vector<std::string> roots;
    std::wstring buffer(128, L'\0');
    DWORD n = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n > buffer.size()) {
        buffer.assign(n + 1, L'\0');
        n = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (n == 0 || n > buffer.size()) return roots;
    // A sequence of NUL-terminated roots.
    std::wstring_view rest(buffer.data(), n);
    while (!rest.empty()) {
        const auto end = rest.find(L'\0');
        const std::wstring_view root = rest.substr(0, end);
        if (!root.empty()) roots.push_back(FromWide(root));
        if (end == std::wstring_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return roots;
}

std::string DriveRoot(std::string_view path) {
    if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') return std::string(path.substr(0, 2)) + "\\";
    if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
        const auto serverEnd = path.find('\\', 2);
        if (serverEnd == std::string_view::npos || serverEnd == 2) return {};
        const auto shareEnd = path.find('\\', serverEnd + 1);
        const std::string_view share = path.substr(0, shareEnd);
        if (share.size() == serverEnd + 1) return {};
        return std::string(share) + "\\";
    }
    return {};
}

DriveKind DriveType(std::string_view path) {
    const std::string root = DriveRoot(path);
    if (root.empty()) return DriveKind::Unknown;
    const UINT type = GetDriveTypeW(ToWide(root).c_str());
    return type <= static_cast<UINT>(DriveKind::RamDisk) ? static_cast<DriveKind>(type) : DriveKind::Unknown;
}

std::optional<std::int64_t> FreeBytes(int drive) {
    if (drive < 0 || drive > 26) return std::nullopt;
    std::wstring root;
    if (drive > 0) root = {static_cast<wchar_t>(L'A' + drive - 1), L':', L'\\'};
    NoCriticalErrorBox guard;
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(drive > 0 ? root.c_str() : nullptr, &available, &total, &free)) return std::nullopt;
    // Beyond 2^63 bytes nothing is real; keep the value positive.
    if (available.QuadPart > static_cast<ULONGLONG>(INT64_MAX)) return INT64_MAX;
    return static_cast<std::int64_t>(available.QuadPart);
}

std::optional<std::int64_t> FreeBytesAt(std::string_view path) {
    const std::string root = DriveRoot(path);
    if (root.empty()) return std::nullopt;
    NoCriticalErrorBox guard;
    std::string folder(path);
    for (;;) {
        // The system wants a folder; a share's root only with its backslash.
        std::string asked = folder;
        if (asked.empty() || asked.back() != '\\') asked += '\\';
        ULARGE_INTEGER available{}, total{}, free{};
        if (GetDiskFreeSpaceExW(ToWide(asked).c_str(), &available, &total, &free)) {
            if (available.QuadPart > static_cast<ULONGLONG>(INT64_MAX)) return INT64_MAX;
            return static_cast<std::int64_t>(available.QuadPart);
        }
        if (asked.size() <= root.size()) return std::nullopt;
        const auto slash = folder.find_last_of('\\');
        if (slash == std::string::npos || slash + 1 < root.size()) folder = root;
        else folder.resize(slash);
    }
}

}  // namespace sys
