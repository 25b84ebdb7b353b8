#pragma once
// Reading ZIP archives (PKWARE's format: local headers, central directory, end
// record; members stored or deflated). The archive is a byte buffer that the
// caller owns and keeps alive while the archive is open; every read stays
// inside it whatever its bytes say.
//
// Names are single-byte Windows-1250, as the archive stores them. Parsing and
// member content are platform-independent; Extract, which writes files, is
// defined on the Win32 side (payload/untCompress.cpp).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum TOverwriteAction { oaSkip, oaSkipAll, oaOverwrite, oaOverwriteAll };
enum TZipCompressionType { ctNormal, ctMaximum, ctFast, ctSuperFast, ctNone, ctUnknown };
enum TZipSaveMethod { FastSave, RebuildAll };

inline constexpr std::uint32_t SygnaturaNaglowkaLokalnego = 0x04034B50;
inline constexpr std::uint32_t SygnaturaKatalogu = 0x02014B50;
inline constexpr std::uint32_t SygnaturaKoncaKatalogu = 0x06054B50;

// Sizes of the fixed parts of the records, in bytes.
inline constexpr std::size_t DlugoscNaglowkaLokalnego = 30;
inline constexpr std::size_t DlugoscWpisuKatalogu = 46;
inline constexpr std::size_t DlugoscKoncaKatalogu = 22;

// A central-directory record as stored, with its variable parts.
struct TCentralDirectoryFile {
    std::uint32_t CentralFileHeaderSignature = 0;
    std::uint16_t VersionMadeBy = 0;
    std::uint16_t VersionNeededToExtract = 0;
    std::uint16_t GeneralPurposeBitFlag = 0;
    std::uint16_t CompressionMethod = 0;
    std::uint16_t LastModFileTime = 0;  // DOS time
    std::uint16_t LastModFileDate = 0;  // DOS date
    std::uint32_t Crc32 = 0;
    std::uint32_t CompressedSize = 0;    // bytes
    std::uint32_t UncompressedSize = 0;  // bytes
    std::uint16_t FilenameLength = 0;
    std::uint16_t ExtraFieldLength = 0;
    std::uint16_t FileCommentLength = 0;
    std::uint16_t DiskNumberStart = 0;
    std::uint16_t InternalFileAttributes = 0;
    std::uint32_t ExternalFileAttributes = 0;
    std::uint32_t RelativeOffsetOfLocalHeader = 0;  // from the start of the buffer
    std::string FileName;
    std::string ExtraField;
    std::string FileComment;
};

// A local header as stored. Its variable parts are views into the archive's
// buffer: many directory records may point at one local header, and each
// must not cost a copy of its name and extra field.
struct TLocalFile {
    std::uint32_t LocalFileHeaderSignature = 0;
    std::uint16_t VersionNeededToExtract = 0;
    std::uint16_t GeneralPurposeBitFlag = 0;
    std::uint16_t CompressionMethod = 0;
    std::uint16_t LastModFileTime = 0;
    std::uint16_t LastModFileDate = 0;
    std::uint32_t Crc32 = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t UncompressedSize = 0;
    std::uint16_t FilenameLength = 0;
    std::uint16_t ExtraFieldLength = 0;
    std::string_view FileName;
    std::string_view ExtraField;
};

struct TEndOfCentralDir {
    std::uint32_t EndOfCentralDirSignature = 0;
    std::uint16_t NumberOfThisDisk = 0;
    std::uint16_t NumberOfTheDiskWithTheStart = 0;
    std::uint16_t TotalNumberOfEntriesOnThisDisk = 0;
    std::uint16_t TotalNumberOfEntries = 0;
    std::uint32_t SizeOfTheCentralDirectory = 0;        // bytes
    std::uint32_t OffsetOfStartOfCentralDirectory = 0;  // from the start of the buffer
    std::uint16_t ZipfileCommentLength = 0;
};

// A DOS date and time taken apart; fields as stored (no validation).
struct TDataPliku {
    int Rok = 1980;
    int Miesiac = 0;
    int Dzien = 0;
    int Godzina = 0;
    int Minuta = 0;
    int Sekunda = 0;  // DOS keeps even seconds only

    bool operator==(const TDataPliku&) const = default;
};

[[nodiscard]] TDataPliku DataDos(std::uint16_t data, std::uint16_t czas) noexcept;

class TKAZipEntriesEntry {
public:
    TCentralDirectoryFile CentralDirectoryFile;
    TLocalFile LocalFile;

    [[nodiscard]] const std::string& FileName() const noexcept { return CentralDirectoryFile.FileName; }
    [[nodiscard]] TDataPliku Date() const noexcept;
    [[nodiscard]] bool Encrypted() const noexcept { return (CentralDirectoryFile.GeneralPurposeBitFlag & 1) != 0; }
    [[nodiscard]] bool IsFolder() const noexcept { return (CentralDirectoryFile.ExternalFileAttributes & 0x10) != 0; }
    [[nodiscard]] TZipCompressionType CompressionType() const noexcept;
};

class TKAZipEntries {
public:
    [[nodiscard]] int Count() const noexcept { return static_cast<int>(items_.size()); }
    [[nodiscard]] const TKAZipEntriesEntry& operator[](int indeks) const { return items_.at(static_cast<std::size_t>(indeks)); }
    // The first entry, in directory order, whose normalised name equals the
    // normalised `nazwa` without regard to case; -1 when none does.
    [[nodiscard]] int IndexOf(std::string_view nazwa) const;
    // The same, but a name that no entry matches raises BladProgramu.
    [[nodiscard]] const TKAZipEntriesEntry& Item(std::string_view nazwa) const;

    void Clear() noexcept { items_.clear(); }
    void Add(TKAZipEntriesEntry wpis) { items_.push_back(std::move(wpis)); }

private:
    friend class TKAZip;  // fills in the local headers after the directory
    std::vector<TKAZipEntriesEntry> items_;
};

// A name as the lookup compares it: "\" becomes "/", and a drive prefix
// ("C:/") or a network server and share ("//server/share/") is dropped.
[[nodiscard]] std::string NormalizujNazwe(std::string_view nazwa);

// The position of the end record in `bufor`, searched backwards over three
// windows from the end (the last 278 bytes, then the 1,024 before them, then
// 65,536 from 1,046 bytes before the end; a window larger than the buffer is
// not searched); -1 when it is not there.
[[nodiscard]] std::int64_t SzukajKoncaKatalogu(std::span<const std::uint8_t> bufor) noexcept;

class TKAZip {
public:
    // Settings; only OverwriteAction and ApplyAtributes change reading.
    TZipSaveMethod SaveMethod = FastSave;
    bool StoreRelativePath = true;
    bool StoreFolders = true;
    TZipCompressionType CompressionType = ctMaximum;
    bool UseTempFiles = false;
    TOverwriteAction OverwriteAction = oaSkip;
    std::string ComponentVersion = "2.0";
    bool ReadOnly = false;
    bool ApplyAtributes = true;
    bool Active = false;

    // Events; the installer sets none. OnOverwriteFile may change the
    // destination path and the action.
    std::function<void()> OnZipChange;
    std::function<void(std::string& sciezka, TOverwriteAction& akcja)> OnOverwriteFile;
    std::function<void(const TKAZipEntriesEntry& wpis)> OnDecompressFile;
    std::function<void()> OnZipOpen;

    // Forgets the archive (entries, flags, the buffer), then calls OnZipChange.
    void Close();
    // Closes, then reads the archive held by `strumien`, which stays the
    // caller's and must outlive the open archive. A buffer that holds no
    // archive leaves the component closed.
    void Open(std::span<const std::uint8_t> strumien);

    [[nodiscard]] bool IsZipFile() const noexcept { return isZipFile_; }
    [[nodiscard]] bool HasBadEntries() const noexcept { return hasBadEntries_; }
    [[nodiscard]] const TKAZipEntries& Entries() const noexcept { return entries_; }
    [[nodiscard]] const TEndOfCentralDir& EndOfCentralDir() const noexcept { return endOfCentralDir_; }
    // Position of the end record (-1 when it was made up by the scan of local
    // headers), and of the archive comment that follows it.
    [[nodiscard]] std::int64_t EndOfCentralDirPosition() const noexcept { return endPosition_; }
    [[nodiscard]] std::int64_t ZipCommentPosition() const noexcept { return commentPosition_; }

    // The member's bytes. Raises BladProgramu "Cannot process this file: " +
    // name + " " for a method other than 0 and 8 or an encrypted member. Empty
    // when the member is damaged (see ZawartoscCala).
    [[nodiscard]] std::vector<std::uint8_t> Zawartosc(const TKAZipEntriesEntry& wpis) const;
    // The same, but nullopt for a damaged member: the local header is not
    // where the entry says, the stored or deflated data do not give the full
    // uncompressed size, their CRC-32 differs from the entry's, or the size is
    // above NajwiekszyPlik. So an empty member is told from a damaged one.
    [[nodiscard]] std::optional<std::vector<std::uint8_t>> ZawartoscCala(const TKAZipEntriesEntry& wpis) const;

    // Extracts the member `nazwa` to the file or folder `cel` (Windows-1250
    // path), as OverwriteAction and OnOverwriteFile decide. Raises BladProgramu
    // for a missing member, a member that cannot be processed or is damaged,
    // and a destination that cannot be written; an existing destination then
    // stays as it was. Win32 only.
    void Extract(std::string_view nazwa, std::string cel);

private:
    bool CzytajKatalog();
    void SkanujNaglowkiLokalne();
    void WypakujWpis(const TKAZipEntriesEntry& wpis, const std::string& cel);

    std::span<const std::uint8_t> stream_;
    TKAZipEntries entries_;
    TEndOfCentralDir endOfCentralDir_;
    std::int64_t endPosition_ = -1;
    std::int64_t commentPosition_ = -1;
    bool isZipFile_ = false;
    bool hasBadEntries_ = false;
};
