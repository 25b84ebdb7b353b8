// ZIP archive parsing over a byte buffer, name lookup and member content.

#include "payload/KAZip.h"

#include "base/Blad.h"
#include "base/Narzedzia.h"
#include "payload/Dekompresja.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace {

// Little-endian reads from a position in the buffer. A read past the end
// fails, gives zeros and leaves the reader failed; later reads fail too.
class Czytnik {
public:
    Czytnik(std::span<const std::uint8_t> bufor, std::size_t pozycja) : bufor_(bufor), pozycja_(pozycja) {}

    [[nodiscard]] bool ok() const noexcept { return ok_; }
    [[nodiscard]] std::size_t pozycja() const noexcept { return pozycja_; }

    std::uint16_t u16() { return static_cast<std::uint16_t>(liczba(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(liczba(4)); }

    std::string bajty(std::size_t ile) { return std::string(widok(ile)); }

    std::string_view widok(std::size_t ile) {
        if (!wezmie(ile)) return {};
        const std::string_view wynik(reinterpret_cast<const char*>(bufor_.data() + pozycja_), ile);
        pozycja_ += ile;
        return wynik;
    }

private:
    bool wezmie(std::size_t ile) {
        if (ok_ && (pozycja_ > bufor_.size() || bufor_.size() - pozycja_ < ile)) ok_ = false;
        return ok_;
    }

    std::uint32_t liczba(std::size_t ile) {
        if (!wezmie(ile)) return 0;
        std::uint32_t wynik = 0;
        for (std::size_t i = 0; i < ile; ++i) wynik |= std::uint32_t{bufor_[pozycja_ + i]} << (8 * i);
        pozycja_ += ile;
        return wynik;
    }

    std::span<const std::uint8_t> bufor_;
    std::size_t pozycja_;
    bool ok_ = true;
};

// The fields a local header and a directory record share, in their order.
template <class Naglowek>
void CzytajPolaWspolne(Czytnik& c, Naglowek& n) {
    n.VersionNeededToExtract = c.u16();
    n.GeneralPurposeBitFlag = c.u16();
    n.CompressionMethod = c.u16();
    n.LastModFileTime = c.u16();
    n.LastModFileDate = c.u16();
    n.Crc32 = c.u32();
    n.CompressedSize = c.u32();
    n.UncompressedSize = c.u32();
    n.FilenameLength = c.u16();
    n.ExtraFieldLength = c.u16();
}

// The local header at `pozycja`: fixed part, name and extra field. False when
// the buffer ends inside it; the signature is not checked here.
bool CzytajNaglowekLokalny(std::span<const std::uint8_t> bufor, std::size_t pozycja, TLocalFile& naglowek,
                           std::size_t& koniec) {
    Czytnik c(bufor, pozycja);
    naglowek.LocalFileHeaderSignature = c.u32();
    CzytajPolaWspolne(c, naglowek);
    naglowek.FileName = c.widok(naglowek.FilenameLength);
    naglowek.ExtraField = c.widok(naglowek.ExtraFieldLength);
    koniec = c.pozycja();
    return c.ok();
}

bool JestSygnatura(std::span<const std::uint8_t> bufor, std::size_t pozycja, std::uint32_t sygnatura) {
    Czytnik c(bufor, pozycja);
    return c.u32() == sygnatura && c.ok();
}

// Deflated data inflated until `rozmiar` bytes came out, the data ended or
// were found damaged. Output grows with what the inflater gives, so a
// hostile size announces no allocation.
std::vector<std::uint8_t> Rozpakuj(std::span<const std::uint8_t> dane, std::uint32_t rozmiar) {
    std::vector<std::uint8_t> wynik;
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return wynik;
    z.next_in = const_cast<Bytef*>(dane.data());
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(dane.size(), std::numeric_limits<uInt>::max()));
    constexpr std::size_t Porcja = 64 * 1024;
    int stan = Z_OK;
    while (stan == Z_OK && wynik.size() < rozmiar) {
        const std::size_t ile = std::min<std::size_t>(Porcja, rozmiar - wynik.size());
        const std::size_t bylo = wynik.size();
        wynik.resize(bylo + ile);
        z.next_out = wynik.data() + bylo;
        z.avail_out = static_cast<uInt>(ile);
        stan = inflate(&z, Z_NO_FLUSH);
        wynik.resize(bylo + ile - z.avail_out);
        if (stan == Z_BUF_ERROR && z.avail_in == 0) break;  // the data ran out
    }
    inflateEnd(&z);
    return wynik;
}

}  // namespace

TDataPliku DataDos(std::uint16_t data, std::uint16_t czas) noexcept {
    return {1980 + (data >> 9), (data >> 5) & 0x0F, data & 0x1F, czas >> 11, (czas >> 5) & 0x3F, (czas & 0x1F) * 2};
}

TDataPliku TKAZipEntriesEntry::Date() const noexcept {
    return DataDos(CentralDirectoryFile.LastModFileDate, CentralDirectoryFile.LastModFileTime);
}

TZipCompressionType TKAZipEntriesEntry::CompressionType() const noexcept {
    const auto metoda = CentralDirectoryFile.CompressionMethod;
    if (metoda != 8 && metoda != 9) return ctUnknown;
    switch (CentralDirectoryFile.GeneralPurposeBitFlag & 6) {
    case 0: return ctNormal;
    case 2: return ctMaximum;
    case 4: return ctFast;
    default: return ctSuperFast;
    }
}

std::string NormalizujNazwe(std::string_view nazwa) {
    std::string wynik(nazwa);
    std::replace(wynik.begin(), wynik.end(), '\\', '/');
    if (const auto dysk = wynik.find(":/"); dysk != std::string::npos) wynik.erase(0, dysk + 2);
    if (const auto siec = wynik.find("//"); siec != std::string::npos) {
        wynik.erase(0, siec + 2);
        // The server, then the share; a name without them stays as it is.
        for (int i = 0; i < 2; ++i)
            if (const auto ukosnik = wynik.find('/'); ukosnik != std::string::npos) wynik.erase(0, ukosnik + 1);
    }
    return wynik;
}

int TKAZipEntries::IndexOf(std::string_view nazwa) const {
    const std::string szukana = NormalizujNazwe(nazwa);
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (RowneBezWielkosciLiter(NormalizujNazwe(items_[i].FileName()), szukana)) return static_cast<int>(i);
    return -1;
}

const TKAZipEntriesEntry& TKAZipEntries::Item(std::string_view nazwa) const {
    const int indeks = IndexOf(nazwa);
    if (indeks < 0) throw BladProgramu("Entry index out of range (-1): " + std::string(nazwa));
    return items_[static_cast<std::size_t>(indeks)];
}

std::int64_t SzukajKoncaKatalogu(std::span<const std::uint8_t> bufor) noexcept {
    const auto rozmiar = static_cast<std::int64_t>(bufor.size());
    if (rozmiar <= 21) return -1;
    struct Okno {
        std::int64_t odKonca;  // where the window starts, counted from the end
        std::int64_t budzet;   // positions it covers
    };
    constexpr Okno okna[] = {{22, 256}, {278, 1024}, {1046, 65536}};
    bool pierwsze = true;
    for (const Okno& okno : okna) {
        std::int64_t budzet = okno.budzet;
        if (pierwsze) {
            budzet = std::min(budzet, rozmiar);
            pierwsze = false;
        } else if (budzet > rozmiar) {
            break;
        }
        std::int64_t pozycja = rozmiar - okno.odKonca;
        while (budzet >= 0 && pozycja >= 0) {
            const auto* p = bufor.data() + pozycja;
            if (p[0] != 0x50) {
                pozycja -= 1;
                budzet -= 1;
            } else if (p[1] == 0x4B && p[2] == 0x05 && p[3] == 0x06) {
                return pozycja;
            } else {
                // None of the signature's last three bytes is "P", so no
                // signature starts in the three bytes before this one.
                pozycja -= 4;
                budzet -= 4;
            }
        }
    }
    return -1;
}

void TKAZip::Close() {
    entries_.Clear();
    stream_ = {};
    isZipFile_ = false;
    hasBadEntries_ = false;
    ReadOnly = false;
    endOfCentralDir_ = {};
    endPosition_ = -1;
    commentPosition_ = -1;
    if (OnZipChange) OnZipChange();
}

bool TKAZip::CzytajKatalog() {
    Czytnik c(stream_, endOfCentralDir_.OffsetOfStartOfCentralDirectory);
    for (int i = 0; i < endOfCentralDir_.TotalNumberOfEntries && c.ok(); ++i) {
        TKAZipEntriesEntry wpis;
        auto& k = wpis.CentralDirectoryFile;
        k.CentralFileHeaderSignature = c.u32();
        k.VersionMadeBy = c.u16();
        CzytajPolaWspolne(c, k);
        k.FileCommentLength = c.u16();
        k.DiskNumberStart = c.u16();
        k.InternalFileAttributes = c.u16();
        k.ExternalFileAttributes = c.u32();
        k.RelativeOffsetOfLocalHeader = c.u32();
        k.FileName = c.bajty(k.FilenameLength);
        k.ExtraField = c.bajty(k.ExtraFieldLength);
        k.FileComment = c.bajty(k.FileCommentLength);
        if (c.ok()) entries_.Add(std::move(wpis));
    }
    return c.ok() && entries_.Count() == endOfCentralDir_.TotalNumberOfEntries;
}

void TKAZip::SkanujNaglowkiLokalne() {
    std::size_t pozycja = 0;
    // No more entries than an end record can count.
    while (entries_.Count() < 0xFFFF && JestSygnatura(stream_, pozycja, SygnaturaNaglowkaLokalnego)) {
        TKAZipEntriesEntry wpis;
        std::size_t koniec = 0;
        if (!CzytajNaglowekLokalny(stream_, pozycja, wpis.LocalFile, koniec)) break;
        const TLocalFile& l = wpis.LocalFile;
        auto& k = wpis.CentralDirectoryFile;
        k.CentralFileHeaderSignature = SygnaturaKatalogu;
        k.VersionMadeBy = 20;
        k.VersionNeededToExtract = l.VersionNeededToExtract;
        k.GeneralPurposeBitFlag = l.GeneralPurposeBitFlag;
        k.CompressionMethod = l.CompressionMethod;
        k.LastModFileTime = l.LastModFileTime;
        k.LastModFileDate = l.LastModFileDate;
        k.Crc32 = l.Crc32;
        k.CompressedSize = l.CompressedSize;
        k.UncompressedSize = l.UncompressedSize;
        k.FilenameLength = l.FilenameLength;
        k.ExtraFieldLength = l.ExtraFieldLength;
        k.ExternalFileAttributes = !l.FileName.empty() && l.FileName.back() == '/' ? 0x10 : 0x20;
        k.RelativeOffsetOfLocalHeader = static_cast<std::uint32_t>(pozycja);
        k.FileName = std::string(l.FileName);
        k.ExtraField = std::string(l.ExtraField);
        const std::uint32_t skompresowane = l.CompressedSize;
        entries_.Add(std::move(wpis));
        // Data reaching past the end ends the scan; so the sum cannot wrap a
        // 32-bit size back to an earlier header.
        if (skompresowane > stream_.size() - koniec) {
            pozycja = stream_.size();
            break;
        }
        pozycja = koniec + skompresowane;
    }
    endOfCentralDir_ = {};
    endOfCentralDir_.EndOfCentralDirSignature = SygnaturaKoncaKatalogu;
    const auto liczba = static_cast<std::uint16_t>(std::min(entries_.Count(), 0xFFFF));
    endOfCentralDir_.TotalNumberOfEntriesOnThisDisk = liczba;
    endOfCentralDir_.TotalNumberOfEntries = liczba;
    endOfCentralDir_.OffsetOfStartOfCentralDirectory =
        static_cast<std::uint32_t>(std::min<std::size_t>(pozycja, stream_.size()));
    endPosition_ = -1;
    commentPosition_ = -1;
    if (entries_.Count() > 0) {
        isZipFile_ = true;
        hasBadEntries_ = true;
    }
}

void TKAZip::Open(std::span<const std::uint8_t> strumien) {
    Close();
    stream_ = strumien;
    const std::int64_t koniec = SzukajKoncaKatalogu(stream_);
    if (koniec >= 0) {
        endPosition_ = koniec;
        Czytnik c(stream_, static_cast<std::size_t>(koniec));
        auto& e = endOfCentralDir_;
        e.EndOfCentralDirSignature = c.u32();
        e.NumberOfThisDisk = c.u16();
        e.NumberOfTheDiskWithTheStart = c.u16();
        e.TotalNumberOfEntriesOnThisDisk = c.u16();
        e.TotalNumberOfEntries = c.u16();
        e.SizeOfTheCentralDirectory = c.u32();
        e.OffsetOfStartOfCentralDirectory = c.u32();
        e.ZipfileCommentLength = c.u16();
        commentPosition_ = static_cast<std::int64_t>(c.pozycja());
        if (CzytajKatalog()) {
            isZipFile_ = true;
            for (auto& wpis : entries_.items_) {
                std::size_t koniecNaglowka = 0;
                if (!CzytajNaglowekLokalny(stream_, wpis.CentralDirectoryFile.RelativeOffsetOfLocalHeader,
                                           wpis.LocalFile, koniecNaglowka) ||
                    wpis.LocalFile.LocalFileHeaderSignature != SygnaturaNaglowkaLokalnego)
                    hasBadEntries_ = true;
            }
        }
    } else {
        SkanujNaglowkiLokalne();
    }
    if (!isZipFile_) {
        Close();
        return;
    }
    if (OnZipOpen) OnZipOpen();
}

std::vector<std::uint8_t> TKAZip::Zawartosc(const TKAZipEntriesEntry& wpis) const {
    auto wynik = ZawartoscCala(wpis);
    return wynik ? std::move(*wynik) : std::vector<std::uint8_t>{};
}

std::optional<std::vector<std::uint8_t>> TKAZip::ZawartoscCala(const TKAZipEntriesEntry& wpis) const {
    const auto& k = wpis.CentralDirectoryFile;
    if ((k.CompressionMethod != 0 && k.CompressionMethod != 8) || wpis.Encrypted())
        throw BladProgramu("Cannot process this file: " + k.FileName + " ");
    TLocalFile naglowek;
    std::size_t dane = 0;
    if (!CzytajNaglowekLokalny(stream_, k.RelativeOffsetOfLocalHeader, naglowek, dane) ||
        naglowek.LocalFileHeaderSignature != SygnaturaNaglowkaLokalnego)
        return std::nullopt;
    // A 32-bit process could not hold what a hostile size announces.
    if (k.UncompressedSize > NajwiekszyPlik) return std::nullopt;
    // The central record's sizes hold also for members whose local header
    // defers them to a data descriptor.
    const std::size_t dostepne = stream_.size() - dane;
    const auto skompresowane = stream_.subspan(dane, std::min<std::size_t>(dostepne, k.CompressedSize));
    if (OnDecompressFile) OnDecompressFile(wpis);
    std::vector<std::uint8_t> wynik;
    if (k.CompressionMethod == 0) {
        // A member cut short by the end of the buffer gives nothing rather
        // than a file that looks whole.
        if (dostepne < k.UncompressedSize) return std::nullopt;
        const auto* p = stream_.data() + dane;
        wynik.assign(p, p + k.UncompressedSize);
    } else {
        wynik = Rozpakuj(skompresowane, k.UncompressedSize);
        if (wynik.size() != k.UncompressedSize) return std::nullopt;
    }
    if (crc32(crc32(0, nullptr, 0), wynik.data(), static_cast<uInt>(wynik.size())) != k.Crc32) return std::nullopt;
    return wynik;
}
