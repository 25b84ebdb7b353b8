// Any bytes read as an answer file (the wizard reads one from a path a user
// may name): the reading stays inside the buffer, and what it accepts is
// written back into a file that reads the same.

#include "app/WierszPolecen.h"
#include "base/Jezyki.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar) {
    const TOdczytOdpowiedzi odczyt = CzytajOdpowiedzi(std::string_view(reinterpret_cast<const char*>(dane), rozmiar));
    const TWierszPolecen& w = odczyt.Przelaczniki;
    // Only what the options page chooses ever comes from the file.
    if (w.Cichy() || w.Protokol || w.Zrodlo || w.ZapisOdpowiedzi || w.OdczytOdpowiedzi || w.Pomoc || w.Doit)
        __builtin_trap();
    if (!odczyt.Poprawny()) {
        if (w.Katalog || w.Jezyk || w.BezSlownikow || w.BezGrupy || w.BezPulpitu || w.DlaWszystkich) __builtin_trap();
        return 0;
    }
    const TOdpowiedzi odpowiedzi{w.Katalog.value_or("C:\\"), w.Jezyk.value_or(JezykPolski), !w.BezSlownikow,
                                 !w.BezGrupy, !w.BezPulpitu, w.DlaWszystkich};
    const TOdczytOdpowiedzi znowu = CzytajOdpowiedzi(TekstOdpowiedzi(odpowiedzi));
    const TWierszPolecen& z = znowu.Przelaczniki;
    if (!znowu.Poprawny() || z.Katalog != odpowiedzi.Katalog || z.Jezyk != odpowiedzi.Jezyk ||
        z.BezSlownikow != w.BezSlownikow || z.BezGrupy != w.BezGrupy || z.BezPulpitu != w.BezPulpitu ||
        z.DlaWszystkich != w.DlaWszystkich)
        __builtin_trap();
    return 0;
}
