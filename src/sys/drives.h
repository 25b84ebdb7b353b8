#pragma once
// Drives. Roots are single-byte Windows-1250.
//
// Queries that touch a medium (free space) keep the system from asking the
// user to insert a disk: an empty CD or floppy drive simply fails.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

// Turns the system's "insert a disk" box into a plain failure of the calls
// made while the guard lives. The error mode is per process; the program has
// one thread.
class NoCriticalErrorBox {
public:
    NoCriticalErrorBox() noexcept;
    ~NoCriticalErrorBox();
    NoCriticalErrorBox(const NoCriticalErrorBox&) = delete;
    NoCriticalErrorBox& operator=(const NoCriticalErrorBox&) = delete;

private:
    unsigned previous_;
};

// The drive letters in use, bit 0 for A: (GetLogicalDrives).
[[nodiscard]] std::uint32_t LogicalDrives();

// The roots of the drives in use, such as "C:\", in the system's order and
// case.
[[nodiscard]] std::vector<std::string> LogicalDriveRoots();

// The root of a path's drive with a trailing backslash: "C:\" for "C:\a\b" or
// "c:", "\\server\share\" for "\\server\share\a". Empty when the path names
// no drive.
[[nodiscard]] std::string DriveRoot(std::string_view path);

// The Windows drive types, with the DRIVE_* numbers (drives.cpp ties them
// together).
enum class DriveKind : unsigned {
    Unknown = 0,
    NoRoot = 1,  // no volume is mounted there
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

// The drive type of a path's drive root (see DriveRoot); Unknown when the path
// names no drive.
[[nodiscard]] DriveKind DriveType(std::string_view path);

// Free bytes available to this user on drive `drive` (1 = A:, 3 = C:, 0 = the
// current drive); nullopt for a drive number that names no usable drive.
[[nodiscard]] std::optional<std::int64_t> FreeBytes(int drive);
// Free bytes available to this user where `path` lies, asked of the path
// itself or, while it does not exist yet, of its nearest existing parent:
// a network share ("\\server\share\...") answers for itself, as a drive
// letter does. nullopt when no part of the path can be asked.
[[nodiscard]] std::optional<std::int64_t> FreeBytesAt(std::string_view path);

}  // namespace sys
