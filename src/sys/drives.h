#pragma once
// Drives. Roots and labels are single-byte Windows-1250.
//
// Queries that touch a medium (free space, volume label) keep the system from
// asking the user to insert a disk: an empty CD or floppy drive simply fails.

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

// The Windows drive types the wizard tells apart (drives.cpp ties them to
// the DRIVE_* values).
enum DriveTypeNumber : unsigned {
    kDriveNoRoot = 1,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdRom = 5,
};

// The Windows drive type (kDriveFixed, kDriveRemote, kDriveCdRom, ...) of a
// path's drive root (see DriveRoot); 0 when the path names no drive.
[[nodiscard]] unsigned DriveType(std::string_view path);

// Free bytes available to this user on drive `drive` (1 = A:, 3 = C:, 0 = the
// current drive); -1 for a drive number that names no usable drive.
[[nodiscard]] std::int64_t FreeBytes(int drive);

// The volume label of a root such as "C:\"; nullopt when the drive cannot be
// read.
[[nodiscard]] std::optional<std::string> VolumeLabel(std::string_view root);

}  // namespace sys
