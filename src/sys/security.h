#pragma once
// Who may change a file or folder. The installation journal is replayed by an
// elevated wizard, so its folder and files must be out of ordinary users'
// reach: these read and set their owners and DACLs. Paths are single-byte
// Windows-1250; an entry that is a link (a reparse point) is never followed.

#include "sys/handle.h"
#include "sys/result.h"

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

namespace sys {

class Entry;

using LocalMemory = NullHandle<HLOCAL, &LocalFree, struct LocalMemoryKind>;

// A security descriptor the system allocated (LocalFree); owns it.
class SecurityDescriptor {
public:
    // From its SDDL text; nullopt when the text is not a descriptor.
    [[nodiscard]] static std::optional<SecurityDescriptor> FromSddl(std::wstring_view sddl);
    // Takes a descriptor that LocalFree releases.
    explicit SecurityDescriptor(PSECURITY_DESCRIPTOR sd) noexcept : memory_(sd) {}

    [[nodiscard]] PSECURITY_DESCRIPTOR get() const noexcept { return memory_.get(); }

private:
    LocalMemory memory_;
};

// Whether only administrators can change what `sd` guards: it is owned by
// SYSTEM or Administrators, and no ACE allows anyone but SYSTEM,
// Administrators and TrustedInstaller to write, append, delete, add or
// remove entries inside, or change the DACL or the owner. ACEs that only
// pass to new entries (inherit-only, CREATOR OWNER) count too: they decide
// who may change the journal files made inside. No DACL at all lets everyone
// in. `alsoAdmin`: one more SID (as "S-1-...") that counts as an
// administrator, owner included; empty for none.
[[nodiscard]] bool OnlyAdminsMayChange(const SecurityDescriptor& sd, std::wstring_view alsoAdmin = {});

// Whether `sd` names SYSTEM or Administrators as the owner. Only a process
// with an administrator's token can give an object such an owner, so a named
// object in a global namespace that has another owner, or none, was made by
// someone who is not an administrator.
[[nodiscard]] bool OwnedByAdmins(const SecurityDescriptor& sd);

// What an administrator installs programs into. Unlike the journal's test,
// TrustedInstaller may own the folder (it owns the program-files folder).
enum class InstallRole {
    // The folder the programs go in: everything counts as above, except that
    // CREATOR OWNER stands for the installing administrator (whether others
    // may make entries there counts by itself).
    Target,
    // A folder the target is made in with a protected DACL of its own: only
    // ACEs on the folder itself that let others delete or rename what is in
    // it, rename it, or change its DACL or owner count.
    Parent,
};
[[nodiscard]] bool OnlyAdminsMayChangeInstalled(const SecurityDescriptor& sd, InstallRole role,
                                                std::wstring_view alsoAdmin = {});

enum class Access {
    Missing,     // nothing of the kind asked for is there
    AdminsOnly,  // as OnlyAdminsMayChange
    Others,      // others may change it, or that cannot be ruled out (a link, an unreadable descriptor)
};
// What the folder or file at `path` allows, read from the entry itself. Where
// the system keeps no descriptors (SystemKeepsFileSecurity), the account
// running the program counts as an administrator too.
[[nodiscard]] Access FolderAccess(std::string_view path);
[[nodiscard]] Access FileAccess(std::string_view path);
// As FolderAccess, weighed as OnlyAdminsMayChangeInstalled.
[[nodiscard]] Access InstallFolderAccess(std::string_view path, InstallRole role);

// The same of an entry open with READ_CONTROL, read through its handle:
// Missing when it is not of the kind asked for (`folder` or a file).
[[nodiscard]] Access AccessOf(const Entry& entry, bool folder);

// Who besides SYSTEM and Administrators may look into a folder made for
// administrators: Users (read and execute), or no one.
enum class Readers { Users, None };
// Creates the folder `path` (its parent must exist; fails when it exists)
// owned by Administrators, with a protected DACL: SYSTEM and Administrators
// full control, `readers` read and execute, passed on to every file and
// folder made inside.
[[nodiscard]] Result CreateAdminFolder(std::string_view path, Readers readers = Readers::Users);
// Gives an existing folder that owner and DACL, taking its ownership from
// whoever had it (administrators only). Entries inside keep what they have.
// A link is refused (ERROR_CANT_ACCESS_FILE), and so is a file
// (ERROR_DIRECTORY).
[[nodiscard]] Result ProtectFolder(std::string_view path, Readers readers = Readers::Users);

// The SID of the account the process runs as ("S-1-5-18" for the system
// account, "S-1-5-21-..." for a person's), from its token; empty when it
// cannot be read.
[[nodiscard]] std::string ProcessUserSid();

// Whether the system keeps the descriptors given to files and folders. Wine
// (8.0, measured) does not: it reports the account running it as the owner
// of its own files (Anonymous for other Unix users'), makes the DACL from the
// Unix mode bits, and turns a DACL it is given into mode bits. Every process
// of that account runs with the administrators' token there.
[[nodiscard]] bool SystemKeepsFileSecurity() noexcept;

// Whether the process runs with an administrator's full token, not the
// filtered one an administrator's programs get unasked. Under Wine every
// process does.
[[nodiscard]] bool ProcessElevated();

}  // namespace sys
