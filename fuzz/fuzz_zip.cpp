// Any bytes opened as a ZIP archive: the end-record search, the directory, the
// scan of local headers, then the lookup and content of every entry must stay
// inside the buffer. Errors of the program's own type are expected answers.

#include "base/Blad.h"
#include "payload/KAZip.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar) {
    const std::span<const std::uint8_t> bufor(dane, rozmiar);
    TKAZip zip;
    zip.Open(bufor);
    const TKAZipEntries& wpisy = zip.Entries();
    for (int i = 0; i < wpisy.Count(); ++i) {
        const TKAZipEntriesEntry& wpis = wpisy[i];
        try {
            if (wpisy.IndexOf(wpis.FileName()) < 0) __builtin_trap();  // every stored name is found
            const auto tresc = zip.Zawartosc(wpis);
            if (!tresc.empty() && tresc.size() != wpis.CentralDirectoryFile.UncompressedSize) __builtin_trap();
        } catch (const BladProgramu&) {
        }
    }
    zip.Close();
    return 0;
}
