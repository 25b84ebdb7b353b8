// The ZIP data module, and the part of TKAZip that writes files: Extract.

#include "payload/untCompress.h"

#include "app/Blad.h"
#include "sys/files.h"
#include "sys/handle.h"

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
    // The content comes first: a member that cannot be read leaves an existing
    // destination as it was.
    const std::vector<std::uint8_t> zawartosc = Zawartosc(wpis);
    sys::File plik = sys::File::Create(cel);
    if (!plik) throw BladProgramu(Opis("cannot create", cel, plik.error()));
    if (!zawartosc.empty()) {
        const sys::Transfer zapis = plik.Write(zawartosc.data(), zawartosc.size());
        if (zapis.error != 0) throw BladProgramu(Opis("cannot write", cel, zapis.error));
    }
    if (const sys::Result zamkniecie = plik.Close(); !zamkniecie)
        throw BladProgramu(Opis("cannot close", cel, zamkniecie.error));
    if (!ApplyAtributes) return;
    const std::uint32_t zewnetrzne = wpis.CentralDirectoryFile.ExternalFileAttributes;
    std::uint32_t atrybuty = FILE_ATTRIBUTE_ARCHIVE;
    if (zewnetrzne & 0x02) atrybuty |= FILE_ATTRIBUTE_HIDDEN;
    if (zewnetrzne & 0x04) atrybuty |= FILE_ATTRIBUTE_SYSTEM;
    if (zewnetrzne & 0x01) atrybuty |= FILE_ATTRIBUTE_READONLY;
    sys::Ignore(sys::SetAttributes(cel, atrybuty), "the content is in place; attributes are a finish");
}
