// Applying one patch entry in memory, as the installer does, with every size
// taken from the input: a patch-list entry (complemented, as in a list file),
// then the patch file, then the old content as the input's last old-size
// bytes. An entry beyond the size ceiling is refused before anything is
// unpacked; otherwise the patch unpacks within its script capacity and the
// script's output stays within the new capacity.

#include "base/Blad.h"
#include "payload/Dekompresja.h"
#include "payload/SkryptPoprawki.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar) {
    const std::span<const std::uint8_t> wejscie(dane, rozmiar);
    const ListaPoprawek lista = CzytajListePoprawek(wejscie);
    if (lista.Wpisy.empty()) return 0;
    const WpisPoprawki& wpis = lista.Wpisy.front();
    const std::span<const std::uint8_t> reszta = wejscie.subspan(ZakodujWpis(wpis).size());
    if (wpis.StaryRozmiar > reszta.size()) return 0;  // the target's size differs
    const auto stara = reszta.last(wpis.StaryRozmiar);
    const auto poprawka = reszta.first(reszta.size() - wpis.StaryRozmiar);
    if (!WpisWGranicach(wpis, poprawka.size())) return 0;
    try {
        const std::vector<std::uint8_t> skrypt = RozpakujBlok(poprawka, wpis.PojemnoscSkryptu);
        if (skrypt.size() > wpis.PojemnoscSkryptu) __builtin_trap();
        const WynikSkryptu wynik = UruchomSkrypt(skrypt, stara, wpis.NowaPojemnosc);
        if (wynik.Nowa.size() > wpis.NowaPojemnosc || (!wynik.SumaZgodna && !wynik.Nowa.empty())) __builtin_trap();
    } catch (const BladProgramu&) {
    }
    return 0;
}
