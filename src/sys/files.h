#pragma once
// Files and folders. Every path and name is single-byte Windows-1250 and
// crosses to the system as UTF-16; nothing here changes the process's current
// folder.

#include "sys/handle.h"
#include "sys/result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

namespace sys {

// A path the system hands over, in the program's single-byte form: unchanged
// when Windows-1250 holds every character, otherwise its short 8.3 form.
// nullopt when neither form can carry it (for instance a path that does not
// exist, or a volume without short names).
[[nodiscard]] std::optional<std::string> FromSystemPath(std::wstring_view path);

// The attributes of a file or folder (FILE_ATTRIBUTE_*), nullopt when there is
// no such entry or it cannot be examined.
[[nodiscard]] std::optional<std::uint32_t> Attributes(std::string_view path);
[[nodiscard]] Result SetAttributes(std::string_view path, std::uint32_t attributes);

// Whether `path` names an existing entry of any kind.
[[nodiscard]] bool EntryExists(std::string_view path);
// Whether `path` names an existing file (not a folder).
[[nodiscard]] bool FileExists(std::string_view path);
// Whether `path` names an existing folder. A trailing backslash is accepted.
[[nodiscard]] bool FolderExists(std::string_view path);

// Creates one folder; its parent must exist. Fails when the folder exists.
[[nodiscard]] Result CreateFolder(std::string_view path);
// Removes a folder, which must be empty.
[[nodiscard]] Result RemoveFolder(std::string_view path);
// Deletes one file. A read-only file is not deleted.
[[nodiscard]] Result RemoveFile(std::string_view path);

// Copies a file with its attributes. With `failIfExists` an existing target is
// left alone and the copy fails (ERROR_FILE_EXISTS); otherwise it is replaced
// unless it is read-only.
[[nodiscard]] Result CopyFileTo(std::string_view from, std::string_view to, bool failIfExists);
// Renames or moves a file or folder; fails when `to` exists.
[[nodiscard]] Result MoveEntry(std::string_view from, std::string_view to);
// Renames a file over an existing one in a single step (copying across
// volumes when it has to).
[[nodiscard]] Result MoveReplacing(std::string_view from, std::string_view to);
// Has the system rename `from` over `to` when it next starts, or delete
// `from` then when `to` is empty (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT:
// administrators only).
[[nodiscard]] Result MoveAtNextStart(std::string_view from, std::string_view to);
// What this process has had MoveAtNextStart schedule so far, oldest first:
// what waits for the next restart of Windows ("to" empty: a delete).
struct MoveAtStart {
    std::string from, to;
};
[[nodiscard]] const std::vector<MoveAtStart>& MovesAtNextStart() noexcept;

// What tells a file's content from what another file brought under its name
// later: its size and last-write time, which a rename keeps on every file
// system.
struct FileStamp {
    std::int64_t size = 0;          // bytes
    std::uint64_t writeTime = 0;    // FILETIME: 100 ns units since 1601, UTC
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// The system's clock as FILETIME (UTC), as file and registry times read.
[[nodiscard]] std::uint64_t CurrentFileTime() noexcept;
// Milliseconds since the system started: a clock for intervals, which a
// change of the system's time does not move.
[[nodiscard]] std::uint64_t Milliseconds() noexcept;
// The stamp of the file `path`; nullopt when no file (or a folder) is there.
[[nodiscard]] std::optional<FileStamp> StampOf(std::string_view path);
// The file system's number of the file `path` (see File::Number); nullopt
// when there is no file or the system gives none.
[[nodiscard]] std::optional<std::uint64_t> FileNumber(std::string_view path);

// The full path of the running program file; nullopt in the unlikely case that
// it cannot be read or expressed (see FromSystemPath).
[[nodiscard]] std::optional<std::string> ModuleFileName();

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { CloseHandle(h); }
};

// What the system says of an open file or folder (GetFileInformationByHandle).
struct EntryInfo {
    std::uint32_t attributes = 0;  // FILE_ATTRIBUTE_*
    // A junction, a symbolic link or a mount point: a name that stands for
    // another entry, anywhere. Other reparse points (a file of a cloud
    // service's, a compressed one) are the entry itself.
    bool link = false;
    std::uint32_t volume = 0;  // the serial number of the volume that holds it
    std::uint64_t number = 0;  // as File::Number: unique on its volume only
    std::uint32_t names = 0;   // its hard links: more than one, and another folder may name it too
    FileStamp stamp;           // a folder's size is 0

    [[nodiscard]] bool IsFolder() const noexcept { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

// Bytes moved by one read or write, and the error that stopped it (0 when it
// went through). A write can move some bytes and still fail, e.g. with
// ERROR_DISK_FULL (112).
struct [[nodiscard]] Transfer {
    std::size_t bytes = 0;
    std::uint32_t error = 0;
};

// An open file for binary block input or output. Owns its handle.
class File {
public:
    // Opens an existing file for reading; others may read it at the same time.
    [[nodiscard]] static File OpenRead(std::string_view path);
    // Creates a file for writing, replacing and truncating an existing one. The
    // new file gets the default attributes and the current time.
    [[nodiscard]] static File Create(std::string_view path);
    // The same, but only where no entry holds the name yet: otherwise it fails
    // (ERROR_FILE_EXISTS for a file) and leaves the entry alone.
    [[nodiscard]] static File CreateNew(std::string_view path);
    // Opens a file for appending, creating it when missing (and emptying it
    // first with `truncate`). Every write lands at the end, also when another
    // process appends to the same file; others may read and append meanwhile.
    [[nodiscard]] static File OpenAppend(std::string_view path, bool truncate);
    // Opens an existing file or folder for its attributes only, which no
    // other opener's share mode refuses.
    [[nodiscard]] static File OpenAttributes(std::string_view path);
    // Opens a file for writing without ever following a link: a new file
    // where no entry holds the name (`created` true), else the file there
    // when it is a plain file with a single name; a folder, a link (reparse
    // point) or a file with more names (hard links) is left alone and refused
    // (ERROR_CANT_ACCESS_FILE). What an existing file holds stays until
    // Truncate. Others may read it meanwhile.
    [[nodiscard]] static File OpenPlainForWriting(std::string_view path, bool& created);
    // As OpenAppend, but never through a link, a device or a pipe: a link
    // (a reparse point) is opened as itself, not followed, and what was
    // opened is kept only when IsPlainDiskFile holds. Anything else fails
    // with ERROR_BAD_FILE_TYPE and is left as it was (`truncate` empties the
    // file only once it passed); a file the call made afresh always passes.
    [[nodiscard]] static File OpenAppendPlain(std::string_view path, bool truncate);
    // Takes over the handle that this process inherited under `number` (the
    // HandleNumber of the process that started it, see sys/process.h), when
    // it is an inheritable handle and IsPlainDiskFile holds; it is then no
    // longer passed on. Otherwise fails with ERROR_BAD_FILE_TYPE and leaves
    // alone whatever the number names.
    [[nodiscard]] static File FromInherited(std::uint64_t number);

    File() = default;

    // Whether the file is open; when it is not, error() says why.
    explicit operator bool() const noexcept { return static_cast<bool>(handle_); }
    [[nodiscard]] std::uint32_t error() const noexcept { return error_; }

    // Reads up to `size` bytes into `buffer`. Zero bytes without an error is the
    // end of the file.
    Transfer Read(void* buffer, std::size_t size);
    // Writes `size` bytes; `bytes` of the result is less than `size` only
    // together with an error.
    Transfer Write(const void* buffer, std::size_t size);
    // The size in bytes.
    [[nodiscard]] std::optional<std::int64_t> Size() const;
    // The number the file system gives the file (the NTFS file reference, the
    // inode under Wine): it tells this file from any other that later takes
    // its name. A rename keeps it, except on FAT.
    [[nodiscard]] std::optional<std::uint64_t> Number() const;
    // Whether the open object is a file on a disk (not a device, a pipe or a
    // folder), not a link, and has no name besides the one it was opened by
    // (a link count of 1: no hard link elsewhere shares its content).
    [[nodiscard]] bool IsPlainDiskFile() const;
    // The handle's value as a number, under which a process started to
    // inherit this file finds it (it is the same in both processes).
    [[nodiscard]] std::uint64_t HandleNumber() const noexcept;
    // The handle itself, for the other wrappers of this layer; the file
    // keeps owning it.
    [[nodiscard]] HANDLE handle() const noexcept { return handle_.get(); }
    // Its volume, number, names and stamp in one query (see Entry::Kind for
    // its cost).
    [[nodiscard]] std::optional<EntryInfo> Info() const;
    // Asks the system to put what was written on the disk (FlushFileBuffers).
    Result Flush();
    // Empties the file; the next write lands at its start.
    Result Truncate();
    // The file goes when its last handle closes (opened by OpenPlainForWriting,
    // which asks for the right to delete it).
    Result DeleteWhenClosed();
    // Closes now, reporting a failure that the destructor would swallow
    // (buffered data that cannot be written).
    Result Close();

private:
    friend std::optional<std::string> ReadWholeFile(std::string_view path, std::size_t maxBytes);

    static File CreateForWriting(std::string_view path, std::uint32_t disposition);
    // CreateFileW with these arguments; the error is kept on failure.
    static File Open(std::string_view path, std::uint32_t access, std::uint32_t share, std::uint32_t disposition,
                     std::uint32_t flags);

    UniqueHandle<FileHandleTraits> handle_;
    std::uint32_t error_ = ERROR_INVALID_HANDLE;
};

// The whole content of a file as raw bytes, nullopt when it cannot be read or
// is longer than `maxBytes`.
[[nodiscard]] std::optional<std::string> ReadWholeFile(std::string_view path, std::size_t maxBytes);
// Creates or replaces a file holding exactly `bytes`.
[[nodiscard]] Result WriteWholeFile(std::string_view path, std::string_view bytes);

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { FindClose(h); }
};

struct DirectoryEntry {
    // The entry's name. When Windows-1250 cannot carry it exactly, its short
    // 8.3 name, so that the name still opens the entry; when there is none
    // either, the name with '?' for the missing letters.
    std::string name;
    std::uint32_t attributes = 0;
    std::int64_t size = 0;  // bytes; folders report 0

    [[nodiscard]] bool IsFolder() const noexcept { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A junction or symbolic link: it may point anywhere, its own parent
    // included, so walks do not descend into it.
    [[nodiscard]] bool IsReparsePoint() const noexcept { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// Enumerates the entries matching a pattern such as "C:\dir\*", in the order
// the file system returns them, "." and ".." included. Owns the find handle.
class DirectoryEnumeration {
public:
    [[nodiscard]] static DirectoryEnumeration Open(std::string_view pattern);

    DirectoryEnumeration() = default;

    // Whether the enumeration started; when it did not, error() says why
    // (ERROR_FILE_NOT_FOUND for a pattern that matches nothing).
    explicit operator bool() const noexcept { return static_cast<bool>(handle_); }
    // Once Next() has given nullopt: 0 when the entries ran out, otherwise the
    // error that cut the listing short (a medium taken out, a damaged folder).
    [[nodiscard]] std::uint32_t error() const noexcept { return error_; }

    // The next entry; the first call gives the first one. nullopt at the end
    // and after a failure; error() tells them apart.
    [[nodiscard]] std::optional<DirectoryEntry> Next();

private:
    UniqueHandle<FindHandleTraits> handle_;
    WIN32_FIND_DATAW pending_{};
    bool hasPending_ = false;
    std::uint32_t error_ = ERROR_INVALID_HANDLE;
};

// ---- entries opened as themselves ----
// What an elevated program changes under a folder that others may write must
// be the entry it checked: each is opened without following a link
// (FILE_FLAG_OPEN_REPARSE_POINT, a folder with FILE_FLAG_BACKUP_SEMANTICS),
// checked through that handle and changed through it, never by its name
// again.

// A file or folder opened as itself: a link is opened as the link. Owns its
// handle.
class Entry {
public:
    // `access` (FILE_READ_ATTRIBUTES, DELETE, READ_CONTROL, GENERIC_READ...)
    // and `share` (FILE_SHARE_*) as CreateFile takes them.
    [[nodiscard]] static Entry Open(std::string_view path, std::uint32_t access, std::uint32_t share);

    Entry() = default;

    // Whether it is open; when it is not, error() says why
    // (ERROR_FILE_NOT_FOUND, ERROR_SHARING_VIOLATION...).
    explicit operator bool() const noexcept { return static_cast<bool>(handle_); }
    [[nodiscard]] std::uint32_t error() const noexcept { return error_; }
    [[nodiscard]] const std::string& path() const noexcept { return path_; }

    // What it is. A link counts when either the handle or the name says so:
    // Wine opens what a link of the host names, and shows the link to the
    // name alone.
    [[nodiscard]] std::optional<EntryInfo> Info() const;
    // Its attributes and `link` alone, the rest left 0: far cheaper under
    // Wine, where the volume's serial number costs more than a small file's
    // whole copy.
    [[nodiscard]] std::optional<EntryInfo> Kind() const;
    // Needs FILE_WRITE_ATTRIBUTES.
    [[nodiscard]] Result SetAttributes(std::uint32_t attributes);
    // Marks it to go when its last handle closes (needs DELETE). A read-only
    // file is refused (ERROR_ACCESS_DENIED), a folder that holds anything
    // too (ERROR_DIR_NOT_EMPTY).
    [[nodiscard]] Result Delete();
    // Renames it to `name` in the open `folder` (needs DELETE): the name is
    // looked up in that folder, not along a path. With `replace` a file of
    // that name goes; without, the rename fails on it (ERROR_ALREADY_EXISTS).
    [[nodiscard]] Result MoveTo(const Entry& folder, std::string_view name, bool replace);
    // The content from where the handle stands to the end, so the whole of it
    // once after the open (needs GENERIC_READ); nullopt when it cannot be
    // read or is longer than `maxBytes`.
    [[nodiscard]] std::optional<std::string> ReadAll(std::size_t maxBytes);

    // The handle, for the other wrappers of this folder (security).
    [[nodiscard]] HANDLE native() const noexcept { return handle_.get(); }

private:
    UniqueHandle<FileHandleTraits> handle_;
    std::string path_;
    std::uint32_t error_ = ERROR_INVALID_HANDLE;
};

// The folders that lead to `path`, from its volume's root down to its
// parent, each opened as itself, checked, and held: none is a link, and none
// can be renamed, moved or deleted while they are held (no handle shares
// deleting), so the path names what was checked.
class HeldFolders {
public:
    // Fails on a level that is a link (ERROR_CANT_ACCESS_FILE, see Link), on
    // one that is missing (ERROR_PATH_NOT_FOUND), on one that is held for
    // deleting or renaming (ERROR_SHARING_VIOLATION), and on a path that
    // starts with neither "X:\" nor "\\server\share\"
    // (ERROR_BAD_PATHNAME).
    [[nodiscard]] static HeldFolders Open(std::string_view path);

    HeldFolders() = default;

    explicit operator bool() const noexcept { return error_ == 0; }
    [[nodiscard]] std::uint32_t error() const noexcept { return error_; }
    // The level that is a link, when one stopped the open.
    [[nodiscard]] const std::string& Link() const noexcept { return link_; }
    // The path's own folder, held; only while open.
    [[nodiscard]] const Entry& Parent() const noexcept { return folders_.back(); }

private:
    std::vector<Entry> folders_;
    std::string link_;
    std::uint32_t error_ = ERROR_INVALID_HANDLE;
};

}  // namespace sys
