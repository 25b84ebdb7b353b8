#include "sys/security.h"

#include "sys/files.h"
#include "sys/lasterror.h"
#include "sys/text.h"

#include <aclapi.h>
#include <sddl.h>

#include <array>
#include <initializer_list>

namespace sys {

namespace {

using TokenHandle = NullHandle<HANDLE, &CloseHandle, struct TokenKind>;

// The journal folder's descriptor: owner Administrators; SYSTEM and
// Administrators full control, Users read and execute (0x1200a9), each for
// the folder and everything made in it; nothing inherited from above.
constexpr wchar_t kAdminFolder[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
// The same without Users.
constexpr wchar_t kAdminOnlyFolder[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

const wchar_t* AdminFolderSddl(Readers readers) {
    return readers == Readers::Users ? kAdminFolder : kAdminOnlyFolder;
}

constexpr std::wstring_view kSystem = L"S-1-5-18";
constexpr std::wstring_view kAdministrators = L"S-1-5-32-544";
constexpr std::wstring_view kTrustedInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

// What lets a trustee change an entry or what it holds. Generic bits stay
// unmapped in inherit-only ACEs.
constexpr DWORD kChanges = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER |
                           GENERIC_WRITE | GENERIC_ALL;

std::wstring SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!sid || !ConvertSidToStringSidW(sid, &text)) return {};
    const LocalMemory owned(text);
    return text;
}

bool Admin(PSID sid, std::wstring_view alsoAdmin, bool owner) {
    const std::wstring s = SidText(sid);
    if (s.empty()) return false;
    if (s == kSystem || s == kAdministrators || (!alsoAdmin.empty() && s == alsoAdmin)) return true;
    return !owner && s == kTrustedInstaller;
}

// Who counts as an administrator in a descriptor, and which rights of an
// ACE for anyone else make it untrusted.
struct Weighing {
    bool installerMayOwn;    // TrustedInstaller, as owner too
    bool creatorIsAdmin;     // CREATOR OWNER: the elevated program that makes the entries
    bool inheritOnlyCounts;  // ACEs that only pass to new entries
    DWORD rights;
};

constexpr Weighing kJournal{false, false, true, kChanges};
// What an administrator installs into: as the journal, but the system's
// installer may own it (it owns the program-files folder), and whoever
// makes an entry there is the installing administrator, as long as no one
// else may make entries (which counts by itself).
constexpr Weighing kInstallTarget{true, true, true, kChanges};
// A folder the target is made in with a protected DACL of its own: only
// what lets others delete or rename the target or this folder, or make
// either theirs through its DACL or owner. Adding entries beside the target,
// or what passes to new entries, cannot touch it.
constexpr Weighing kInstallParent{true, false, false,
                                  FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_ALL};

constexpr const Weighing& Install(InstallRole role) {
    return role == InstallRole::Target ? kInstallTarget : kInstallParent;
}

constexpr std::wstring_view kCreatorOwner = L"S-1-3-0";

bool OnlyAdminsMay(const SecurityDescriptor& sd, std::wstring_view alsoAdmin, const Weighing& w) {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!GetSecurityDescriptorOwner(sd.get(), &owner, &defaulted) || !Admin(owner, alsoAdmin, !w.installerMayOwn))
        return false;
    BOOL present = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(sd.get(), &present, &dacl, &defaulted) || !present || !dacl) return false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) return false;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        switch (header->AceType) {
        case ACCESS_DENIED_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_ACE_TYPE:
        case ACCESS_DENIED_OBJECT_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE: continue;
        // A condition of a callback ACE is not weighed: it may hold.
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
            if (!w.inheritOnlyCounts && (header->AceFlags & INHERIT_ONLY_ACE)) continue;
            // Both lay out the mask and the SID alike.
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
            if ((allowed->Mask & w.rights) == 0 || Admin(&allowed->SidStart, alsoAdmin, false)) continue;
            if (w.creatorIsAdmin && SidText(&allowed->SidStart) == kCreatorOwner) continue;
            return false;
        }
        // An allowing kind this code does not read.
        default: return false;
        }
    }
    return true;
}

// The SID of the account the process runs as, "S-1-..."; empty when unknown.
std::wstring ProcessUser() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    const TokenHandle token(raw);
    alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof(buffer), &size)) return {};
    return SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
}

// Who else counts as an administrator where the system keeps no descriptors.
const std::wstring& AlsoAdmin() {
    static const std::wstring sid = SystemKeepsFileSecurity() ? std::wstring() : ProcessUser();
    return sid;
}

enum class Kind { Folder, File };

// Any reparse point counts as a link here: what only administrators may
// change is a plain folder or file.
bool Link(const EntryInfo& info) { return info.link || (info.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

Access Weigh(const Entry& entry, bool folder, const Weighing& w) {
    const auto info = entry.Kind();
    if (!info || Link(*info)) return Access::Others;
    if (info->IsFolder() != folder) return Access::Missing;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(entry.native(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                        nullptr, nullptr, nullptr, nullptr, &sd) != ERROR_SUCCESS)
        return Access::Others;
    return OnlyAdminsMay(SecurityDescriptor(sd), AlsoAdmin(), w) ? Access::AdminsOnly : Access::Others;
}

Access EntryAccess(std::string_view path, Kind wanted, const Weighing& w = kJournal) {
    const Entry entry = Entry::Open(path, READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!entry) {
        const DWORD e = entry.error();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? Access::Missing : Access::Others;
    }
    return Weigh(entry, wanted == Kind::Folder, w);
}

// Enables privileges of the process's token for the scope, as far as the
// token holds them; what was enabled before stays so.
class Privileges {
public:
    explicit Privileges(std::initializer_list<const wchar_t*> names) {
        HANDLE raw = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return;
        token_.reset(raw);
        Set wanted{};
        for (const wchar_t* name : names) {
            if (wanted.count == wanted.privileges.size()) break;
            LUID_AND_ATTRIBUTES& p = wanted.privileges[wanted.count];
            if (!LookupPrivilegeValueW(nullptr, name, &p.Luid)) continue;
            p.Attributes = SE_PRIVILEGE_ENABLED;
            ++wanted.count;
        }
        DWORD size = 0;
        // A token without one of them enables the others
        // (ERROR_NOT_ALL_ASSIGNED); the open that needs it then fails.
        if (!AdjustTokenPrivileges(token_.get(), FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&wanted), sizeof(previous_),
                                   reinterpret_cast<TOKEN_PRIVILEGES*>(&previous_), &size))
            previous_.count = 0;
    }
    ~Privileges() {
        if (token_ && previous_.count != 0)
            Ignore(AdjustTokenPrivileges(token_.get(), FALSE, reinterpret_cast<TOKEN_PRIVILEGES*>(&previous_), 0,
                                         nullptr, nullptr),
                   "a privilege left enabled is one the token holds anyway");
    }
    Privileges(const Privileges&) = delete;
    Privileges& operator=(const Privileges&) = delete;

private:
    // TOKEN_PRIVILEGES with room for a few.
    struct Set {
        DWORD count;
        std::array<LUID_AND_ATTRIBUTES, 2> privileges;
    };
    TokenHandle token_;
    Set previous_{};
};

}  // namespace

std::optional<SecurityDescriptor> SecurityDescriptor::FromSddl(std::wstring_view sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(std::wstring(sddl).c_str(), SDDL_REVISION_1, &sd,
                                                              nullptr))
        return std::nullopt;
    return SecurityDescriptor(sd);
}

bool OnlyAdminsMayChange(const SecurityDescriptor& sd, std::wstring_view alsoAdmin) {
    return OnlyAdminsMay(sd, alsoAdmin, kJournal);
}

bool OnlyAdminsMayChangeInstalled(const SecurityDescriptor& sd, InstallRole role, std::wstring_view alsoAdmin) {
    return OnlyAdminsMay(sd, alsoAdmin, Install(role));
}

bool OwnedByAdmins(const SecurityDescriptor& sd) {
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    return GetSecurityDescriptorOwner(sd.get(), &owner, &defaulted) && Admin(owner, {}, true);
}

Access FolderAccess(std::string_view path) { return EntryAccess(path, Kind::Folder); }
Access FileAccess(std::string_view path) { return EntryAccess(path, Kind::File); }
Access InstallFolderAccess(std::string_view path, InstallRole role) {
    return EntryAccess(path, Kind::Folder, Install(role));
}

Access AccessOf(const Entry& entry, bool folder) { return Weigh(entry, folder, kJournal); }

Result CreateAdminFolder(std::string_view path, Readers readers) {
    const auto sd = SecurityDescriptor::FromSddl(AdminFolderSddl(readers));
    if (!sd) return Result{LastError()};
    SECURITY_ATTRIBUTES sa{sizeof(sa), sd->get(), FALSE};
    return Outcome(CreateDirectoryW(ToWide(path).c_str(), &sa));
}

Result ProtectFolder(std::string_view path, Readers readers) {
    const auto sd = SecurityDescriptor::FromSddl(AdminFolderSddl(readers));
    if (!sd) return Result{LastError()};
    // Taking ownership, and setting a DACL that does not let us in, is what
    // these privileges are for; an open with backup semantics uses them.
    const Privileges privileges{SE_TAKE_OWNERSHIP_NAME, SE_RESTORE_NAME};
    const Entry entry =
        Entry::Open(path, READ_CONTROL | WRITE_DAC | WRITE_OWNER, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!entry) return Result{entry.error()};
    const auto info = entry.Kind();
    if (!info) return Result{LastError()};
    if (Link(*info)) return Result{ERROR_CANT_ACCESS_FILE};
    if (!info->IsFolder()) return Result{ERROR_DIRECTORY};
    // Set on this entry alone: SetSecurityInfo would pass the new ACEs on to
    // the entries inside too, walking whatever a user made of them.
    return Outcome(
        SetKernelObjectSecurity(entry.native(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, sd->get()));
}

std::string ProcessUserSid() { return FromWide(ProcessUser()); }

bool SystemKeepsFileSecurity() noexcept {
    // Wine's ntdll tells itself by this export; Windows' never has it.
    static const bool kept = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return !ntdll || GetProcAddress(ntdll, "wine_get_version") == nullptr;
    }();
    return kept;
}

bool ProcessElevated() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    const TokenHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

}  // namespace sys
