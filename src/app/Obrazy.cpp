#include "app/Obrazy.h"

#include "sys/resources.h"

#include <optional>

#include <string>

namespace {

std::optional<ui::Bitmap> Czytaj(const std::string& nazwa) {
    const auto bajty = sys::OwnResource(nazwa.c_str());
    if (!bajty) return std::nullopt;
    return ui::Bitmap::FromBmp(*bajty);
}

}  // namespace

ui::Bitmap WczytajObraz(const char* nazwa) {
    ui::Bitmap obraz = Czytaj(nazwa).value_or(ui::Bitmap{});
    for (const char* skala : {"_150", "_200"}) {
        if (auto gestszy = Czytaj(std::string(nazwa) + skala)) obraz.AddRendering(std::move(*gestszy));
    }
    return obraz;
}
