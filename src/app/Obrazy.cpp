#include "app/Obrazy.h"

#include "base/Jezyki.h"
#include "sys/resources.h"
#include "ui/Controls.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <zlib.h>

namespace {

// A picture of 8192 x 8192 pixels at 32 bits is the most a .bmp may hold.
constexpr std::size_t kNajwiecejBajtow = std::size_t{ui::Bitmap::kMaxPixels} * 4 + 1024;

// The bytes of a zlib stream; nullopt when it is damaged, cut short or larger
// than a picture can be.
std::optional<std::vector<std::uint8_t>> Rozpakuj(std::span<const std::uint8_t> spakowane) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return std::nullopt;
    std::vector<std::uint8_t> wynik;
    z.next_in = const_cast<Bytef*>(spakowane.data());
    z.avail_in = static_cast<uInt>(spakowane.size());
    int stan = Z_OK;
    while (stan == Z_OK) {
        const std::size_t bylo = wynik.size();
        if (bylo >= kNajwiecejBajtow) break;
        wynik.resize(std::min(kNajwiecejBajtow, bylo + 65536));
        z.next_out = wynik.data() + bylo;
        z.avail_out = static_cast<uInt>(wynik.size() - bylo);
        stan = inflate(&z, Z_NO_FLUSH);
        wynik.resize(wynik.size() - z.avail_out);
    }
    inflateEnd(&z);
    if (stan != Z_STREAM_END) return std::nullopt;
    return wynik;
}

std::optional<ui::Bitmap> Czytaj(const std::string& nazwa, bool spakowany) {
    const auto bajty = sys::OwnResource(nazwa);
    if (!bajty) return std::nullopt;
    if (!spakowany) return ui::Bitmap::FromBmp(*bajty);
    const auto bmp = Rozpakuj(*bajty);
    if (!bmp) return std::nullopt;
    return ui::Bitmap::FromBmp(*bmp);
}

}  // namespace

ui::Bitmap WczytajObraz(const char* nazwa) {
    ui::Bitmap obraz = Czytaj(nazwa, false).value_or(ui::Bitmap{});
    for (const char* skala : {"_150", "_200"}) {
        if (auto gestszy = Czytaj(std::string(nazwa) + skala, true)) obraz.AddRendering(std::move(*gestszy));
    }
    return obraz;
}

void UlozFlagi(std::initializer_list<FlagaJezyka> flagi, int lewo, int gora, int szerokosc, int wysokosc,
               int krok, const std::function<void()>& klik) {
    for (const FlagaJezyka& f : flagi) {
        f.przycisk.SetBounds(lewo, gora, szerokosc, wysokosc);
        f.przycisk.SetGroupIndex(1);
        f.przycisk.SetAllowAllUp(true);
        f.przycisk.SetFlat(true);
        f.przycisk.OnClick = [klik](ui::Control&) { klik(); };
        f.przycisk.SetGlyph(WczytajObraz(f.obraz));
        f.przycisk.SetAccessibleName(std::string(DaneJezyka(f.jezyk).NazwaWlasna),
                                     static_cast<unsigned>(StronaKodowaJezyka(f.jezyk)));
        f.przycisk.SetTabStop(true);
        lewo += krok;
    }
    if (flagi.size() > 0) flagi.begin()->przycisk.SetDown(true);
}
