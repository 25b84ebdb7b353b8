// The ZIP extraction path over any bytes: every stored name is looked up as
// an installer would ask for it (other letter case, "\" for "/", a drive or
// a server and share in front), and the member's content is taken whole or
// not at all: the exact uncompressed size, the CRC-32 the entry names, never
// above the size ceiling.

#include "base/Blad.h"
#include "base/Narzedzia.h"
#include "payload/Dekompresja.h"
#include "payload/KAZip.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace {

std::string Odmiana(const std::string& nazwa, int rodzaj) {
    std::string wynik = nazwa;
    switch (rodzaj) {
    case 0: break;
    case 1:
        for (char& c : wynik)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        break;
    case 2: std::replace(wynik.begin(), wynik.end(), '/', '\\'); break;
    case 3: wynik = "C:\\" + wynik; break;
    default: wynik = "\\\\serwer\\udzial\\" + wynik; break;
    }
    return wynik;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar) {
    const std::span<const std::uint8_t> bufor(dane, rozmiar);
    TKAZip zip;
    zip.Open(bufor);
    const TKAZipEntries& wpisy = zip.Entries();
    for (int i = 0; i < wpisy.Count() && i < 64; ++i) {
        const std::string nazwa = wpisy[i].FileName();
        for (int rodzaj = 0; rodzaj < 5; ++rodzaj) {
            try {
                const TKAZipEntriesEntry& wpis = wpisy.Item(Odmiana(nazwa, rodzaj));
                // The lookup finds an entry of the same normalised name.
                if (!RowneBezWielkosciLiter(NormalizujNazwe(wpis.FileName()), NormalizujNazwe(Odmiana(nazwa, rodzaj))))
                    __builtin_trap();
                const auto tresc = zip.ZawartoscCala(wpis);
                if (!tresc) continue;
                const auto& k = wpis.CentralDirectoryFile;
                if (tresc->size() != k.UncompressedSize || tresc->size() > NajwiekszyPlik) __builtin_trap();
                if (crc32(crc32(0, nullptr, 0), tresc->data(), static_cast<uInt>(tresc->size())) != k.Crc32)
                    __builtin_trap();
            } catch (const BladProgramu&) {
            }
        }
    }
    zip.Close();
    return 0;
}
