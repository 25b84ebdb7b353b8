// The installation steps that turn the wizard's packed resources into files:
// the main program, and the update items of the edition's list.

#include "install/Rozpakowanie.h"
#include "install/Protokol.h"

#include "base/Blad.h"
#include "base/Sciezki.h"
#include "install/Dziennik.h"
#include "payload/Dekompresja.h"
#include "payload/SumaPliku.h"
#include "payload/untCompress.h"
#include "base/Wydania.h"
#include "sys/files.h"
#include "sys/result.h"
#include "sys/resources.h"

#include <cstdio>

bool DodatkiWydania1 = false;
bool DodatkiWydania4 = false;
bool DodatkiWydania6 = false;

namespace {

// What failed: the run's guard writes it to the log; the user never sees it.
std::string Opis(std::string_view co, std::string_view gdzie, std::uint32_t kod = 0) {
    std::string opis = "Unpack: " + std::string(co) + " \"" + std::string(gdzie) + "\"";
    if (kod != 0) opis += " (error " + std::to_string(kod) + ")";
    return opis;
}

// Appends `dane`; the Win32 error that stopped it, 0 when all went in.
std::uint32_t Dopisz(sys::File& plik, const std::vector<std::uint8_t>& dane) {
    if (dane.empty()) return 0;
    const sys::Transfer t = plik.Write(dane.data(), dane.size());
    if (t.error != 0) return t.error;
    return t.bytes == dane.size() ? 0 : ERROR_WRITE_FAULT;
}

bool PrzelacznikDodatkow(std::int32_t wydanie) {
    switch (wydanie) {
    case 1: return DodatkiWydania1;
    case 4: return DodatkiWydania4;
    case 6: return DodatkiWydania6;
    default: return false;
    }
}

}  // namespace

std::vector<std::uint8_t> RozpakujCzesci(const ZasobyProgramu& zasoby, std::int32_t wydanie) {
    if (zasoby[0].empty()) throw BladProgramu(Opis("no packed program for edition", std::to_string(wydanie)));
    std::vector<std::uint8_t> program;
    for (int czesc = 0; czesc < LiczbaCzesciProgramu; ++czesc) {
        const std::string_view zasob = zasoby[static_cast<std::size_t>(czesc)];
        if (zasob.empty()) continue;
        const auto blok = sys::OwnResource(zasob);
        if (!blok) throw BladProgramu(Opis("no resource", zasob));
        std::vector<std::uint8_t> dane;
        try {
            dane = CzescTylkoPierwszymEtapem(wydanie, czesc) ? HuffmanDecode(*blok)
                                                             : RozpakujBlok(*blok, PojemnoscCzesciProgramu);
        } catch (const BladProgramu& b) {
            throw BladProgramu(Opis("damaged resource", zasob) + ": " + b.komunikat());
        }
        program.insert(program.end(), dane.begin(), dane.end());
    }
    return program;
}

void SprawdzSume(std::string_view pierwszaCzesc, std::span<const std::uint8_t> dane, const std::string& plik) {
    const SumaPliku jest = PoliczSume(dane);
    const auto zasob = sys::OwnResource(ZasobSumy(pierwszaCzesc));
    const auto oczekiwana = zasob ? CzytajSume(*zasob) : std::nullopt;
    if (oczekiwana && *oczekiwana == jest) return;
    const auto crc = [](std::uint32_t v) {
        char tekst[9];
        std::snprintf(tekst, sizeof tekst, "%08X", static_cast<unsigned>(v));
        return std::string(tekst);
    };
    if (oczekiwana)
        Protokoluj("Error: ", plik, " as unpacked (", jest.rozmiar, " bytes, CRC-32 ", crc(jest.crc),
                   ") does not match its digest (", oczekiwana->rozmiar, " bytes, CRC-32 ", crc(oczekiwana->crc),
                   "): the wizard or its medium is damaged; nothing was replaced");
    else
        Protokoluj("Error: ", plik, ": the digest ", ZasobSumy(pierwszaCzesc),
                   " is missing or damaged in the wizard's resources; nothing was replaced");
    throw BladProgramu(Opis("damaged content of", plik));
}

namespace {

// Writes `dane` under a temporary name beside `cel`, which it then replaces
// (Wstaw): `cel` is never seen half-written. Raises BladProgramu.
void ZapiszPrzezTymczasowy(const std::string& cel, std::span<const std::uint8_t> dane) {
    Dziennik* const d = Dziennik::Biezacy();
    PlikTymczasowy nowy = UtworzTymczasowy(d, cel);
    if (!nowy.plik) throw BladProgramu(Opis("cannot create", nowy.sciezka, nowy.plik.error()));
    std::uint32_t kod = 0;
    if (!dane.empty()) {
        const sys::Transfer t = nowy.plik.Write(dane.data(), dane.size());
        kod = t.error != 0 ? t.error : t.bytes == dane.size() ? 0 : ERROR_WRITE_FAULT;
    }
    if (const sys::Result r = nowy.plik.Close(); !r && kod == 0) kod = r.error;
    if (kod == 0)
        if (const sys::Result r = Wstaw(d, nowy.sciezka, cel); !r) kod = r.error;
    if (kod != 0) {
        sys::Ignore(sys::RemoveFile(nowy.sciezka), "the undo removes it otherwise");
        throw BladProgramu(Opis("cannot write", cel, kod));
    }
}

}  // namespace

void ZlozProgram(const ZasobyProgramu& zasoby, std::int32_t wydanie, const std::string& sciezka,
                 std::vector<std::string>& zapisane) {
    std::vector<std::uint8_t> program;
    try {
        program = RozpakujCzesci(zasoby, wydanie);
    } catch (const BladProgramu& b) {
        Protokoluj("Error: ", sciezka, ": ", b.komunikat(), "; nothing was replaced");
        throw;
    }
    SprawdzSume(zasoby[0], program, sciezka);
    ZapiszPrzezTymczasowy(sciezka, program);
    zapisane.push_back(sciezka);
}

bool UnpackResourceToFile(std::string_view zasob, sys::File& plik) {
    const auto blok = sys::OwnResource(zasob);
    if (!blok) return false;
    std::vector<std::uint8_t> dane;
    try {
        dane = RozpakujBlok(*blok, PojemnoscDodatku);
    } catch (const BladProgramu&) {
        return false;
    }
    return Dopisz(plik, dane) == 0;
}

bool UnpackItemToFile(const TDodatek& dodatek, const std::string& sciezka, std::vector<std::string>& zapisane) {
    const std::array<std::string_view, 2> zasoby = {dodatek.Zasob1, dodatek.Zasob2};
    // An item that cannot be complete does not replace what is there.
    for (const std::string_view zasob : zasoby)
        if (!zasob.empty() && !sys::OwnResource(zasob)) return false;

    std::vector<std::uint8_t> tresc;
    for (const std::string_view zasob : zasoby) {
        if (zasob.empty()) continue;
        try {
            const std::vector<std::uint8_t> czesc = RozpakujBlok(*sys::OwnResource(zasob), PojemnoscDodatku);
            tresc.insert(tresc.end(), czesc.begin(), czesc.end());
        } catch (const BladProgramu& b) {
            Protokoluj("Error: ", sciezka, ": its part ", zasob, " does not unpack: ", b.komunikat(),
                       "; nothing was replaced");
            throw BladProgramu(Opis("damaged resource", zasob) + ": " + b.komunikat());
        }
    }
    SprawdzSume(dodatek.Zasob1, tresc, sciezka);
    const bool istnial = sys::EntryExists(sciezka);
    ZapiszPrzezTymczasowy(sciezka, tresc);
    if (!istnial) zapisane.push_back(sciezka);
    return true;
}

bool ExtractFromZip(std::span<const std::uint8_t> archiwum, std::string_view nazwa, const std::string& sciezka,
                    std::vector<std::string>& zapisane) {
    TKAZip& zip = dmCompress.KAZip;
    zip.Close();
    zip.OverwriteAction = oaOverwrite;
    zip.Open(archiwum);
    // The member whole (its size and CRC-32 checked) or not at all.
    std::optional<std::vector<std::uint8_t>> tresc;
    try {
        tresc = zip.ZawartoscCala(zip.Entries().Item(nazwa));
    } catch (const BladProgramu&) {
        // A member that is not there or cannot be processed: the item is not
        // installed, and the run goes on.
    }
    zip.Close();
    if (!tresc) return false;
    const bool istnial = sys::EntryExists(sciezka);
    ZapiszPrzezTymczasowy(sciezka, *tresc);
    if (!istnial) zapisane.push_back(sciezka);
    return true;
}

bool ExtractItemFromZip(const TDodatek& dodatek, const std::string& sciezka, std::vector<std::string>& zapisane) {
    const auto archiwum = sys::OwnResource(dodatek.Zasob1);
    if (!archiwum) throw BladProgramu(Opis("no archive resource", dodatek.Zasob1));
    return ExtractFromZip(*archiwum, dodatek.Plik, sciezka, zapisane);
}

bool InstallItem(const TDodatek& dodatek, const std::string& sciezka, std::vector<std::string>& zapisane) {
    switch (dodatek.Rodzaj) {
    case DodatekSpakowany: return UnpackItemToFile(dodatek, sciezka, zapisane);
    case DodatekZArchiwum: return ExtractItemFromZip(dodatek, sciezka, zapisane);
    default: return false;
    }
}

bool InstallItem(std::int32_t numer, const std::string& sciezka, std::vector<std::string>& zapisane) {
    const TDodatek* dodatek = Dodatek(numer);
    return dodatek && InstallItem(*dodatek, sciezka, zapisane);
}

void RozpakujDodatkiWydania(std::int32_t wydanie, std::int32_t wariant, const std::string& katalogDocelowy,
                            std::vector<std::string>& zapisane) {
    if (!PrzelacznikDodatkow(wydanie)) return;
    for (const std::int32_t numer : ListaDodatkow(wydanie, wariant)) {
        const TDodatek* dodatek = Dodatek(numer);
        if (!dodatek) continue;
        // Written whole through the journal, or not at all; a damaged one is
        // an error of the run.
        const std::string sciezka = DolaczDoKatalogu(katalogDocelowy, dodatek->Plik);
        if (InstallItem(*dodatek, sciezka, zapisane)) Protokoluj("Update item ", numer, " installed: ", sciezka);
        else
            Protokoluj("Warning: update item ", numer, " (", sciezka,
                       ") not installed: its resources are missing or unusable");
    }
}
