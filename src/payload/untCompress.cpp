// The ZIP data module, and the part of TKAZip that writes files: Extract.

#include "payload/untCompress.h"

#include "base/Blad.h"
#include "sys/files.h"
#include "sys/result.h"

#include <windows.h>

TdmCompress dmCompress;

TdmCompress::TdmCompress() {
    KAZip.SaveMethod = FastSave;
    KAZip.StoreRelativePath = true;
    KAZip.StoreFolders = true;
    KAZip.CompressionType = ctMaximum;
    KAZip.UseTempFiles = false;
    KAZip.OverwriteAction = oaSkip;
    KAZip.ComponentVersion = "2.0";
    KAZip.ReadOnly = false;
    KAZip.ApplyAtributes = true;
    KAZip.Active = false;
}

namespace {

std::string Opis(std::string_view co, std::string_view gdzie, std::uint32_t kod) {
    return "Zip: " + std::string(co) + " \"" + std::string(gdzie) + "\" (error " + std::to_string(kod) + ")";
}

// Creates `sciezka` and every missing folder above it. Both separators are
// accepted, as member names use "/".
void UtworzKatalogi(std::string sciezka) {
    for (char& znak : sciezka)
        if (znak == '/') znak = '\\';
    while (sciezka.size() > 3 && sciezka.back() == '\\') sciezka.pop_back();
    if (sciezka.empty() || sys::FolderExists(sciezka)) return;
    if (const auto ukosnik = sciezka.find_last_of('\\'); ukosnik != std::string::npos && ukosnik > 0)
        UtworzKatalogi(sciezka.substr(0, ukosnik));
    if (const auto wynik = sys::CreateFolder(sciezka); !wynik && !sys::FolderExists(sciezka))
        throw BladProgramu(Opis("cannot create folder", sciezka, wynik.error));
}

}  // namespace

void TKAZip::Extract(std::string_view nazwa, std::string cel) {
    TOverwriteAction akcja = OverwriteAction;
    if (akcja != oaOverwriteAll && akcja != oaSkipAll && OnOverwriteFile) {
        if (sys::EntryExists(cel))
            OnOverwriteFile(cel, akcja);
        else
            akcja = oaOverwrite;
    }
    if (akcja != oaOverwrite && akcja != oaOverwriteAll) return;
    WypakujWpis(entries_.Item(nazwa), cel);
}

void TKAZip::WypakujWpis(const TKAZipEntriesEntry& wpis, const std::string& cel) {
    if (wpis.IsFolder()) {
        UtworzKatalogi(cel);
        return;
    }
    // The content comes first, checked whole: a damaged member leaves an
    // existing destination as it was.
    const auto zawartosc = ZawartoscCala(wpis);
    if (!zawartosc) throw BladProgramu(Opis("damaged member", wpis.FileName(), 0));
    // Written beside the destination under a name nobody holds, then moved
    // over it in one step, so that a failed write never leaves it cut short.
    std::string tymczasowy;
    sys::File plik;
    for (int numer = 1; !plik && numer <= 100; ++numer) {
        tymczasowy = cel + "." + std::to_string(numer) + ".tmp";
        plik = sys::File::CreateNew(tymczasowy);
        if (!plik && plik.error() != ERROR_FILE_EXISTS && plik.error() != ERROR_ALREADY_EXISTS) break;
    }
    if (!plik) throw BladProgramu(Opis("cannot create", tymczasowy, plik.error()));
    const sys::Transfer zapis = zawartosc->empty() ? sys::Transfer{} : plik.Write(zawartosc->data(), zawartosc->size());
    const sys::Result zamkniecie = plik.Close();
    if (zapis.error != 0 || !zamkniecie) {
        sys::Ignore(sys::RemoveFile(tymczasowy), "the write already failed; the error says so");
        throw BladProgramu(Opis("cannot write", cel, zapis.error != 0 ? zapis.error : zamkniecie.error));
    }
    if (const sys::Result przeniesienie = sys::MoveReplacing(tymczasowy, cel); !przeniesienie) {
        sys::Ignore(sys::RemoveFile(tymczasowy), "the destination was not replaced; the error says so");
        throw BladProgramu(Opis("cannot create", cel, przeniesienie.error));
    }
    if (!ApplyAtributes) return;
    const std::uint32_t zewnetrzne = wpis.CentralDirectoryFile.ExternalFileAttributes;
    std::uint32_t atrybuty = FILE_ATTRIBUTE_ARCHIVE;
    if (zewnetrzne & 0x02) atrybuty |= FILE_ATTRIBUTE_HIDDEN;
    if (zewnetrzne & 0x04) atrybuty |= FILE_ATTRIBUTE_SYSTEM;
    if (zewnetrzne & 0x01) atrybuty |= FILE_ATTRIBUTE_READONLY;
    sys::Ignore(sys::SetAttributes(cel, atrybuty), "the content is in place; attributes are a finish");
}
