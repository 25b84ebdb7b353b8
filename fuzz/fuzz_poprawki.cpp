// Patch lists and difference scripts from hostile bytes. The input's first
// byte picks how the rest is read: as a patch list (whose entries must encode
// back to the same bytes), as a script run against a fixed old content (with
// its check sum made right, so that the commands run, or as it stands), or as
// a packed patch file unpacked and run as the installer does.

#include "base/Blad.h"
#include "payload/Dekompresja.h"
#include "payload/SkryptPoprawki.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

std::vector<std::uint8_t> StaraTresc() {
    std::vector<std::uint8_t> b(1000);
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
    return b;
}

void Lista(std::span<const std::uint8_t> bajty) {
    const auto lista = CzytajListePoprawek(bajty);
    std::vector<std::uint8_t> znowu;
    for (const auto& w : lista.Wpisy) {
        const auto b = ZakodujWpis(w);
        znowu.insert(znowu.end(), b.begin(), b.end());
        (void)NazwaWKatalogu(w.Poprawka);
        (void)NazwaWKatalogu(w.Cel);
    }
    // The entries read are exactly a prefix of the bytes, the whole when the
    // list is not cut short.
    if (znowu.size() > bajty.size() || !std::equal(znowu.begin(), znowu.end(), bajty.begin())) std::abort();
    if (!lista.Urwana && znowu.size() != bajty.size()) std::abort();
}

void Skrypt(std::span<const std::uint8_t> bajty, std::size_t pojemnosc, bool zgodnaSuma) {
    static const auto stara = StaraTresc();
    std::vector<std::uint8_t> skrypt(bajty.begin(), bajty.end());
    if (zgodnaSuma && skrypt.size() >= 4) {
        const std::uint32_t s = SumaBajtow(stara);
        for (int i = 0; i < 4; ++i) skrypt[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(s >> (8 * i));
    }
    try {
        const auto w = UruchomSkrypt(skrypt, stara, pojemnosc);
        if (w.Nowa.size() > pojemnosc) std::abort();
    } catch (const BladProgramu&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar) {
    if (rozmiar == 0) return 0;
    const std::span<const std::uint8_t> reszta(dane + 1, rozmiar - 1);
    switch (dane[0] % 4) {
    case 0: Lista(reszta); break;
    case 1: Skrypt(reszta, 4096, true); break;
    case 2: Skrypt(reszta, 4096, false); break;
    default:
        try {
            Skrypt(RozpakujBlok(reszta, 1 << 16), 1 << 16, true);
        } catch (const BladProgramu&) {
        }
        break;
    }
    return 0;
}
