#include "install/Poprawki.h"

#include "base/Blad.h"
#include "base/Sciezki.h"
#include "install/Protokol.h"
#include "install/Dziennik.h"
#include "payload/Dekompresja.h"
#include "base/Wydania.h"
#include "sys/files.h"
#include "sys/result.h"

#include <exception>
#include <optional>
#include <span>
#include <vector>

namespace {

// Larger list files are no list of ours.
constexpr std::size_t kNajwiekszaLista = 16 << 20;

std::string Opis(std::string_view co, std::string_view gdzie, std::uint32_t kod = 0) {
    std::string opis = "Patch: " + std::string(co) + " \"" + std::string(gdzie) + "\"";
    if (kod != 0) opis += " (error " + std::to_string(kod) + ")";
    return opis;
}

// The size of an ordinary file found by a directory search: folders, hidden
// and system files are not found.
std::optional<std::int64_t> RozmiarPliku(const std::string& sciezka) {
    auto szukanie = sys::DirectoryEnumeration::Open(sciezka);
    if (!szukanie) return std::nullopt;
    while (auto w = szukanie.Next()) {
        if (w->IsFolder() || (w->attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) continue;
        return w->size;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> Wczytaj(const std::string& sciezka, std::int64_t rozmiar) {
    const auto dane = sys::ReadWholeFile(sciezka, static_cast<std::size_t>(rozmiar));
    if (!dane) throw BladProgramu(Opis("cannot read", sciezka));
    return std::vector<std::uint8_t>(dane->begin(), dane->end());
}

}  // namespace

void ApplyPatch(const WpisPoprawki& wpis, const std::string& katalogPoprawek, const std::string& katalogDocelowy,
                std::int32_t& stan) {
    if (!NazwaWKatalogu(wpis.Poprawka) || !NazwaWKatalogu(wpis.Cel)) {
        if (stan == 0) stan = PoprawkaNazwaPozaKatalogiem;
        return;
    }
    // A few bytes of list must not make a 32-bit process ask for gigabytes.
    auto zaDuzo = [&] {
        if (stan == 0) stan = PoprawkaZaDuza;
    };
    if (!WpisWGranicach(wpis, 0)) return zaDuzo();
    const std::string sciezkaPoprawki = katalogPoprawek + wpis.Poprawka;
    const auto rozmiarPoprawki = RozmiarPliku(sciezkaPoprawki);
    if (!rozmiarPoprawki) throw BladProgramu(Opis("no patch file", sciezkaPoprawki));
    if (!WpisWGranicach(wpis, static_cast<std::uint64_t>(*rozmiarPoprawki))) return zaDuzo();
    const auto poprawka = Wczytaj(sciezkaPoprawki, *rozmiarPoprawki);

    const std::string cel = katalogDocelowy + wpis.Cel;
    const auto rozmiarCelu = RozmiarPliku(cel);
    if (!rozmiarCelu || *rozmiarCelu != static_cast<std::int64_t>(wpis.StaryRozmiar)) {
        stan = PoprawkaZlyRozmiar;
        return;
    }
    const auto stara = Wczytaj(cel, *rozmiarCelu);
    if (stan != 0) return;

    std::vector<std::uint8_t> skrypt;
    WynikSkryptu wynik;
    try {
        skrypt = RozpakujBlok(poprawka, wpis.PojemnoscSkryptu);
        wynik = UruchomSkrypt(skrypt, stara, wpis.NowaPojemnosc);
    } catch (const BladProgramu& b) {
        throw BladProgramu(Opis("damaged patch", sciezkaPoprawki) + ": " + b.komunikat());
    }
    if (!wynik.SumaZgodna) {
        stan = PoprawkaZlaSuma;
        return;
    }

    // A temporary file that cannot even be created was not written completely
    // either. In a run it is recorded, and the journal puts the target aside
    // before the new content takes its place (Wstaw).
    Dziennik* const d = Dziennik::Biezacy();
    const std::string tymczasowy = katalogDocelowy + PlikTymczasowyPoprawki;
    Dziennik* const zapisany = d && !sys::EntryExists(tymczasowy) ? d : nullptr;
    sys::File plik = zapisany ? UtworzPlik(zapisany, tymczasowy) : sys::File::Create(tymczasowy);
    if (!plik) {
        stan = PoprawkaNiezapisana;
        return;
    }
    const auto zapis = plik.Write(wynik.Nowa.data(), wynik.Nowa.size());
    const sys::Result zamkniecie = ZamknijPlik(zapisany, plik, tymczasowy);
    if (zapis.bytes < wynik.Nowa.size() || zapis.error != 0 || !zamkniecie) {
        stan = PoprawkaNiezapisana;
        return;
    }
    // A read-only target is not replaced, as the system refuses to delete it;
    // Wstaw asks first because not every system's replacing move refuses it.
    if (!Wstaw(d, tymczasowy, cel)) stan = PoprawkaCelNiezastapiony;
}

std::int32_t ApplyPatchList(const std::string& lista, std::string katalogPoprawek, std::string katalogDocelowy) {
    katalogPoprawek = ZUkosnikiem(katalogPoprawek);
    katalogDocelowy = ZUkosnikiem(katalogDocelowy);
    std::int32_t stan = PoprawkiZastosowane;

    const std::string sciezka = katalogPoprawek + lista;
    std::string bajty;
    {
        sys::File plik = sys::File::OpenRead(sciezka);
        if (!plik) return ListaNieOtwarta;
        const auto rozmiar = plik.Size();
        if (!rozmiar || *rozmiar < 0 || static_cast<std::uint64_t>(*rozmiar) > kNajwiekszaLista)
            throw BladProgramu(Opis("list too large", sciezka));
        bajty.resize(static_cast<std::size_t>(*rozmiar));
        std::size_t przeczytane = 0;
        while (przeczytane < bajty.size()) {
            const sys::Transfer t = plik.Read(bajty.data() + przeczytane, bajty.size() - przeczytane);
            if (t.error != 0) throw BladProgramu(Opis("cannot read", sciezka, t.error));
            if (t.bytes == 0) break;
            przeczytane += t.bytes;
        }
        bajty.resize(przeczytane);
    }

    const auto wpisy = CzytajListePoprawek(std::span(reinterpret_cast<const std::uint8_t*>(bajty.data()), bajty.size()));
    for (const auto& wpis : wpisy.Wpisy) {
        ApplyPatch(wpis, katalogPoprawek, katalogDocelowy, stan);
        Protokoluj("Patch list ", lista, ": ", wpis.Poprawka, " on ", wpis.Cel, ", list code now ", stan);
    }
    if (wpisy.Urwana) throw BladProgramu(Opis("list ends inside an entry", sciezka));
    return stan;
}

void ZastosujPoprawki(std::int32_t wydanie, const std::string& katalogPoprawek, const std::string& katalogDocelowy) {
    std::string katalog = katalogPoprawek;
    katalog = ZUkosnikiem(katalog);
    for (const auto& rekord : RekordyPoprawek) {
        if (!rekord.DlaWydania(wydanie) || !sys::FileExists(katalog + std::string(rekord.Lista))) continue;
        const std::int32_t kod = ApplyPatchList(std::string(rekord.Lista), katalog, katalogDocelowy);
        Protokoluj(kod == PoprawkiZastosowane ? "" : "Warning: ", "Patch list ", rekord.Lista, ": result code ", kod);
    }
    for (std::uint32_t numer = 1;; ++numer) {
        const std::string lista = NazwaListyNumerowanej(numer);
        if (!sys::FileExists(katalog + lista)) break;
        try {
            const std::int32_t kod = ApplyPatchList(lista, katalog, katalogDocelowy);
            Protokoluj(kod == PoprawkiZastosowane ? "" : "Warning: ", "Patch list ", lista, ": result code ", kod);
        } catch (const std::exception& e) {
            Protokoluj("Warning: patch list ", lista, ": ", e.what(), "; the next list goes on");
            // A damaged numbered list must not stop the ones after it.
        }
    }
}
