#include "sys/files.h"

#include "sys/lasterror.h"
#include "sys/text.h"

#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace sys {

namespace {

// Whether the program's code page holds `text` exactly (no '?' and no
// best-fit substitutes).
bool FitsProgramCodePage(std::wstring_view text) { return ToWide(FromWide(text)) == text; }

// Largest block handed to one ReadFile or WriteFile call.
constexpr std::size_t kMaxBlock = 0x40000000;

bool PlainDiskFile(HANDLE h) {
    if (GetFileType(h) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) return false;
    return (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
           info.nNumberOfLinks == 1;
}

// The same of `h`, opened at `path`, asked of the name as well: Wine shows a
// Unix link as a reparse point to the name only, Windows to the handle too.
bool PlainDiskFileAt(HANDLE h, std::string_view path) {
    const auto byName = Attributes(path);
    return byName && (*byName & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 && PlainDiskFile(h);
}

// The native calls that reach what the Win32 ones do not: a file's number
// alone, and a rename relative to an open folder. ntdll is in every process
// before any code of the program runs, so they are looked up, not imported.
struct NtCalls {
    using Query = LONG(NTAPI*)(HANDLE, IO_STATUS_BLOCK*, void*, ULONG, FILE_INFORMATION_CLASS);
    using Set = LONG(NTAPI*)(HANDLE, IO_STATUS_BLOCK*, void*, ULONG, FILE_INFORMATION_CLASS);
    using ToDosError = ULONG(NTAPI*)(LONG);
    Query query = nullptr;
    Set set = nullptr;
    ToDosError toDosError = nullptr;
};

template <class F>
F NtProc(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

const NtCalls& Nt() {
    static const NtCalls calls{NtProc<NtCalls::Query>("NtQueryInformationFile"),
                               NtProc<NtCalls::Set>("NtSetInformationFile"),
                               NtProc<NtCalls::ToDosError>("RtlNtStatusToDosError")};
    return calls;
}

// NtSetInformationFile as a Result.
Result SetInformation(HANDLE h, void* info, ULONG size, int infoClass) {
    if (!Nt().set || !Nt().toDosError) return Result{ERROR_NOT_SUPPORTED};
    IO_STATUS_BLOCK status{};
    const LONG s = Nt().set(h, &status, info, size, static_cast<FILE_INFORMATION_CLASS>(infoClass));
    if (s >= 0) return {};
    const ULONG e = Nt().toDosError(s);
    return Result{e != 0 ? e : ERROR_GEN_FAILURE};
}

std::uint64_t Join(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

// What the open `h` is; `path`, when not empty, is its name, asked as well
// (see Entry::Info). With `full` the volume, number, names and stamp too:
// GetFileInformationByHandle, which under Wine costs more than a small
// file's whole copy for the volume's serial number.
std::optional<EntryInfo> InfoOf(HANDLE h, std::string_view path, bool full) {
    // FileAttributeTagInformation: the attributes, and whether a reparse
    // point names another entry.
    struct {
        ULONG attributes;
        ULONG tag;
    } tag{};
    IO_STATUS_BLOCK status{};
    constexpr auto kFileAttributeTagInformation = static_cast<FILE_INFORMATION_CLASS>(35);
    if (h == INVALID_HANDLE_VALUE || !Nt().query ||
        Nt().query(h, &status, &tag, sizeof tag, kFileAttributeTagInformation) != 0)
        return std::nullopt;
    EntryInfo info;
    info.attributes = tag.attributes;
    if (tag.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        info.link = IsReparseTagNameSurrogate(tag.tag);
    } else if (!path.empty()) {
        // A reparse point the handle does not show is a link of the host's
        // that Wine followed.
        const auto byName = Attributes(path);
        info.link = !byName || (*byName & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }
    if (!full) return info;
    BY_HANDLE_FILE_INFORMATION data{};
    if (!GetFileInformationByHandle(h, &data)) return std::nullopt;
    info.volume = data.dwVolumeSerialNumber;
    info.number = Join(data.nFileIndexHigh, data.nFileIndexLow);
    info.names = data.nNumberOfLinks;
    info.stamp.size = static_cast<std::int64_t>(Join(data.nFileSizeHigh, data.nFileSizeLow));
    info.stamp.writeTime = Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return info;
}

// Reads the open `h` to its end, from where it stands.
std::optional<std::string> ReadToEnd(HANDLE h, std::size_t maxBytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(h, &size) || size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > maxBytes)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    // The file may grow while it is read: read to its real end, and give up
    // once it passes the limit.
    std::string block(65536, '\0');
    for (;;) {
        const std::size_t room = maxBytes - bytes.size();
        const DWORD ask = static_cast<DWORD>(room < block.size() ? room + 1 : block.size());
        DWORD done = 0;
        if (!ReadFile(h, block.data(), ask, &done, nullptr)) {
            if (GetLastError() == ERROR_HANDLE_EOF) break;
            return std::nullopt;
        }
        if (done == 0) break;
        if (done > room) return std::nullopt;
        bytes.append(block.data(), done);
    }
    return bytes;
}

}  // namespace

std::optional<std::string> FromSystemPath(std::wstring_view path) {
    if (FitsProgramCodePage(path)) return FromWide(path);
    const std::wstring full(path);
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD n = GetShortPathNameW(full.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::nullopt;
        if (n < buffer.size()) {
            const std::wstring_view shortPath(buffer.data(), n);
            if (!FitsProgramCodePage(shortPath)) return std::nullopt;
            return FromWide(shortPath);
        }
        buffer.resize(n + 1);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> Attributes(std::string_view path) {
    const DWORD a = GetFileAttributesW(ToWide(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

Result SetAttributes(std::string_view path, std::uint32_t attributes) {
    return Outcome(SetFileAttributesW(ToWide(path).c_str(), attributes));
}

bool EntryExists(std::string_view path) { return Attributes(path).has_value(); }

bool FileExists(std::string_view path) {
    const auto a = Attributes(path);
    return a && (*a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(std::string_view path) {
    const auto a = Attributes(path);
    return a && (*a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

Result CreateFolder(std::string_view path) { return Outcome(CreateDirectoryW(ToWide(path).c_str(), nullptr)); }

Result RemoveFolder(std::string_view path) { return Outcome(RemoveDirectoryW(ToWide(path).c_str())); }

Result RemoveFile(std::string_view path) { return Outcome(DeleteFileW(ToWide(path).c_str())); }

Result CopyFileTo(std::string_view from, std::string_view to, bool failIfExists) {
    return Outcome(CopyFileW(ToWide(from).c_str(), ToWide(to).c_str(), failIfExists ? TRUE : FALSE));
}

Result MoveEntry(std::string_view from, std::string_view to) {
    return Outcome(MoveFileW(ToWide(from).c_str(), ToWide(to).c_str()));
}

Result MoveReplacing(std::string_view from, std::string_view to) {
    return Outcome(MoveFileExW(ToWide(from).c_str(), ToWide(to).c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED));
}

namespace {
std::vector<MoveAtStart>& ScheduledMoves() noexcept {
    static std::vector<MoveAtStart> moves;
    return moves;
}
}  // namespace

Result MoveAtNextStart(std::string_view from, std::string_view to) {
    const std::wstring target = ToWide(to);
    const Result r = Outcome(MoveFileExW(ToWide(from).c_str(), to.empty() ? nullptr : target.c_str(),
                                         MOVEFILE_DELAY_UNTIL_REBOOT | (to.empty() ? 0 : MOVEFILE_REPLACE_EXISTING)));
    if (r) ScheduledMoves().push_back({std::string(from), std::string(to)});
    return r;
}

const std::vector<MoveAtStart>& MovesAtNextStart() noexcept { return ScheduledMoves(); }

std::uint64_t CurrentFileTime() noexcept {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

std::uint64_t Milliseconds() noexcept { return GetTickCount64(); }

std::optional<FileStamp> StampOf(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(ToWide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    FileStamp stamp;
    stamp.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    stamp.writeTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

std::optional<std::uint64_t> FileNumber(std::string_view path) {
    const File f = File::OpenAttributes(path);
    if (!f) return std::nullopt;
    return f.Number();
}

std::optional<std::string> ModuleFileName() {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    // A truncated name fills the buffer exactly; grow until it fits.
    while (buffer.size() <= 32768) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::nullopt;
        if (n < buffer.size()) return FromSystemPath(std::wstring_view(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
    return std::nullopt;
}

File File::OpenRead(std::string_view path) {
    return Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN);
}

File File::Create(std::string_view path) { return CreateForWriting(path, CREATE_ALWAYS); }

File File::CreateNew(std::string_view path) { return CreateForWriting(path, CREATE_NEW); }

File File::OpenAppend(std::string_view path, bool truncate) {
    return Open(path, FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                truncate ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
}

File File::OpenAttributes(std::string_view path) {
    return Open(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                FILE_FLAG_BACKUP_SEMANTICS);
}

File File::OpenPlainForWriting(std::string_view path, bool& created) {
    // The link itself is opened, never what it points to; DELETE lets the
    // caller take back a file it made.
    constexpr std::uint32_t access = GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE;
    constexpr std::uint32_t flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
    created = false;
    File f = Open(path, access, FILE_SHARE_READ, CREATE_NEW, flags);
    if (f) {
        created = true;
        return f;
    }
    if (f.error_ != ERROR_FILE_EXISTS && f.error_ != ERROR_ALREADY_EXISTS) return f;
    f = Open(path, access, FILE_SHARE_READ, OPEN_EXISTING, flags);
    if (!f) return f;
    if (!PlainDiskFileAt(f.handle_.get(), path)) {
        File refused;
        refused.error_ = ERROR_CANT_ACCESS_FILE;
        return refused;
    }
    return f;
}

File File::OpenAppendPlain(std::string_view path, bool truncate) {
    // Append-only: every write goes to the end, whoever else appends.
    constexpr DWORD kAppend = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    // Emptying it takes the right to write anywhere in it, which the handle
    // kept then gives up again.
    File f = Open(path, kAppend | (truncate ? FILE_WRITE_DATA : 0), kShare, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
    const auto failed = [](std::uint32_t error) {
        File none;
        none.error_ = error;
        return none;
    };
    if (!f) return f;
    if (!PlainDiskFileAt(f.handle_.get(), path)) return failed(ERROR_BAD_FILE_TYPE);
    if (!truncate) return f;
    FILE_END_OF_FILE_INFO end{};
    if (!SetFileInformationByHandle(f.handle_.get(), FileEndOfFileInfo, &end, sizeof end)) return failed(LastError());
    HANDLE appendOnly = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), f.handle_.get(), GetCurrentProcess(), &appendOnly, kAppend, FALSE, 0))
        return failed(LastError());
    f.handle_.reset(appendOnly);
    return f;
}

File File::FromInherited(std::uint64_t number) {
    File f;
    f.error_ = ERROR_BAD_FILE_TYPE;
    // Handle values fit in 32 bits, in 32-bit and 64-bit processes alike.
    if (number == 0 || number > 0xFFFFFFFFu) return f;
    const auto h = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(number));
    DWORD flags = 0;
    // One the process opened itself is not inheritable; an inherited one is.
    if (!GetHandleInformation(h, &flags) || (flags & HANDLE_FLAG_INHERIT) == 0 || !PlainDiskFile(h)) return f;
    Ignore(Outcome(SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0)),
           "a handle still inheritable only reaches a process started to inherit handles");
    f.handle_.reset(h);
    f.error_ = 0;
    return f;
}

File File::CreateForWriting(std::string_view path, std::uint32_t disposition) {
    return Open(path, GENERIC_WRITE, FILE_SHARE_READ, disposition, FILE_ATTRIBUTE_NORMAL);
}

File File::Open(std::string_view path, std::uint32_t access, std::uint32_t share, std::uint32_t disposition,
                std::uint32_t flags) {
    File f;
    HANDLE h = CreateFileW(ToWide(path).c_str(), access, share, nullptr, disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        f.error_ = LastError();
    } else {
        f.handle_.reset(h);
        f.error_ = 0;
    }
    return f;
}

Transfer File::Read(void* buffer, std::size_t size) {
    if (!handle_) return Transfer{0, ERROR_INVALID_HANDLE};
    DWORD done = 0;
    const DWORD ask = static_cast<DWORD>(std::min(size, kMaxBlock));
    if (!ReadFile(handle_.get(), buffer, ask, &done, nullptr)) {
        const std::uint32_t e = LastError();
        return Transfer{done, e == ERROR_HANDLE_EOF ? 0u : e};
    }
    return Transfer{done, 0};
}

Transfer File::Write(const void* buffer, std::size_t size) {
    if (!handle_) return Transfer{0, ERROR_INVALID_HANDLE};
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    Transfer t;
    while (t.bytes < size) {
        const DWORD ask = static_cast<DWORD>(std::min(size - t.bytes, kMaxBlock));
        DWORD done = 0;
        const BOOL ok = WriteFile(handle_.get(), bytes + t.bytes, ask, &done, nullptr);
        t.bytes += done;
        if (!ok) {
            t.error = LastError();
            break;
        }
        // A disk file takes everything or fails; never spin on a device that
        // takes nothing.
        if (done == 0) {
            t.error = ERROR_WRITE_FAULT;
            break;
        }
    }
    return t;
}

bool File::IsPlainDiskFile() const { return handle_ && PlainDiskFile(handle_.get()); }

std::uint64_t File::HandleNumber() const noexcept {
    return handle_ ? static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle_.get())) : 0;
}

std::optional<std::int64_t> File::Size() const {
    LARGE_INTEGER size{};
    if (!handle_ || !GetFileSizeEx(handle_.get(), &size)) return std::nullopt;
    return static_cast<std::int64_t>(size.QuadPart);
}

std::optional<std::uint64_t> File::Number() const {
    if (!handle_) return std::nullopt;
    // FileInternalInformation: the one query that reads the number without
    // also asking for the volume (GetFileInformationByHandle costs several
    // times a file's whole copy under Wine).
    IO_STATUS_BLOCK status{};
    LARGE_INTEGER number{};
    constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
    if (!Nt().query || Nt().query(handle_.get(), &status, &number, sizeof number, kFileInternalInformation) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(number.QuadPart);
}

std::optional<EntryInfo> File::Info() const { return InfoOf(handle_.get(), {}, true); }

Result File::Flush() {
    if (!handle_) return Result{ERROR_INVALID_HANDLE};
    return Outcome(FlushFileBuffers(handle_.get()));
}

Result File::Truncate() {
    if (!handle_) return Result{ERROR_INVALID_HANDLE};
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(handle_.get(), start, nullptr, FILE_BEGIN)) return Result{LastError()};
    return Outcome(SetEndOfFile(handle_.get()));
}

Result File::DeleteWhenClosed() {
    if (!handle_) return Result{ERROR_INVALID_HANDLE};
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return Outcome(SetFileInformationByHandle(handle_.get(), FileDispositionInfo, &disposition, sizeof(disposition)));
}

Result File::Close() {
    if (!handle_) return Result{ERROR_INVALID_HANDLE};
    error_ = ERROR_INVALID_HANDLE;
    return Outcome(CloseHandle(handle_.release()));
}

std::optional<std::string> ReadWholeFile(std::string_view path, std::size_t maxBytes) {
    const File f = File::OpenRead(path);
    if (!f) return std::nullopt;
    return ReadToEnd(f.handle_.get(), maxBytes);
}

Result WriteWholeFile(std::string_view path, std::string_view bytes) {
    File f = File::Create(path);
    if (!f) return Result{f.error()};
    const Transfer t = f.Write(bytes.data(), bytes.size());
    const Result closed = f.Close();
    if (t.error != 0) return Result{t.error};
    return closed;
}

DirectoryEnumeration DirectoryEnumeration::Open(std::string_view pattern) {
    DirectoryEnumeration e;
    HANDLE h = FindFirstFileW(ToWide(pattern).c_str(), &e.pending_);
    if (h == INVALID_HANDLE_VALUE) {
        e.error_ = LastError();
    } else {
        e.handle_.reset(h);
        e.hasPending_ = true;
        e.error_ = 0;
    }
    return e;
}

std::optional<DirectoryEntry> DirectoryEnumeration::Next() {
    if (!hasPending_) return std::nullopt;
    DirectoryEntry entry;
    const std::wstring_view longName(pending_.cFileName);
    const std::wstring_view shortName(pending_.cAlternateFileName);
    if (FitsProgramCodePage(longName) || shortName.empty() || !FitsProgramCodePage(shortName))
        entry.name = FromWide(longName);
    else
        entry.name = FromWide(shortName);
    entry.attributes = pending_.dwFileAttributes;
    entry.size = static_cast<std::int64_t>((static_cast<std::uint64_t>(pending_.nFileSizeHigh) << 32) |
                                           pending_.nFileSizeLow);
    hasPending_ = FindNextFileW(handle_.get(), &pending_) != FALSE;
    if (!hasPending_) {
        const std::uint32_t e = LastError();
        error_ = e == ERROR_NO_MORE_FILES ? 0 : e;
    }
    return entry;
}

Entry Entry::Open(std::string_view path, std::uint32_t access, std::uint32_t share) {
    Entry e;
    e.path_ = path;
    HANDLE h = CreateFileW(ToWide(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        e.error_ = LastError();
    } else {
        e.handle_.reset(h);
        e.error_ = 0;
    }
    return e;
}

std::optional<EntryInfo> Entry::Info() const {
    if (!handle_) return std::nullopt;
    return InfoOf(handle_.get(), path_, true);
}

std::optional<EntryInfo> Entry::Kind() const {
    if (!handle_) return std::nullopt;
    return InfoOf(handle_.get(), path_, false);
}

Result Entry::SetAttributes(std::uint32_t attributes) {
    // FileBasicInformation; times of 0 stay as they are.
    struct {
        LARGE_INTEGER creation, access, write, change;
        ULONG attributes;
    } basic{};
    basic.attributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetInformation(handle_.get(), &basic, sizeof basic, 4);
}

Result Entry::Delete() {
    // FileDispositionInformation.
    BOOLEAN remove = TRUE;
    return SetInformation(handle_.get(), &remove, sizeof remove, 13);
}

Result Entry::MoveTo(const Entry& folder, std::string_view name, bool replace) {
    // FileRenameInformation with the folder as its root: the native call,
    // since Wine's SetFileInformationByHandle refuses a root.
    const std::wstring wide = ToWide(name);
    const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + (wide.size() + 1) * sizeof(wchar_t);
    std::vector<unsigned char> buffer(size);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = folder.handle_.get();
    info->FileNameLength = static_cast<DWORD>(wide.size() * sizeof(wchar_t));
    std::copy(wide.begin(), wide.end(), info->FileName);
    return SetInformation(handle_.get(), info, static_cast<ULONG>(size), 10);
}

std::optional<std::string> Entry::ReadAll(std::size_t maxBytes) {
    if (!handle_) return std::nullopt;
    return ReadToEnd(handle_.get(), maxBytes);
}

HeldFolders HeldFolders::Open(std::string_view path) {
    HeldFolders held;
    // The volume's root: "X:\" or "\\server\share\".
    std::size_t root = std::string_view::npos;
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
        root = 3;
    } else if (path.size() > 2 && path.substr(0, 2) == "\\\\") {
        const std::size_t server = path.find('\\', 2);
        const std::size_t share = server == std::string_view::npos ? server : path.find('\\', server + 1);
        if (share != std::string_view::npos && share > server + 1) root = share + 1;
    }
    const std::size_t last = path.find_last_of('\\');
    if (root == std::string_view::npos || last == std::string_view::npos || last + 1 < root || last + 1 == path.size()) {
        held.error_ = ERROR_BAD_PATHNAME;
        return held;
    }
    for (std::size_t end = root;; end = path.find('\\', end + 1)) {
        // The root keeps its backslash; every other level goes without one.
        const std::string_view level = path.substr(0, end == root ? root : end);
        // Reading the folder is what makes the share mode count: a handle
        // that only reads attributes would not stop a rename.
        Entry folder = Entry::Open(level, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE);
        if (!folder) {
            const std::uint32_t e = folder.error();
            held.error_ = e == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : e;
            return held;
        }
        const auto info = folder.Kind();
        if (!info || info->link) {
            held.error_ = ERROR_CANT_ACCESS_FILE;
            held.link_ = level;
            return held;
        }
        if (!info->IsFolder()) {
            held.error_ = ERROR_PATH_NOT_FOUND;
            return held;
        }
        held.folders_.push_back(std::move(folder));
        if ((end == root ? root - 1 : end) == last) break;
    }
    held.error_ = 0;
    return held;
}

}  // namespace sys
