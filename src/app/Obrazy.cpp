#include "app/Obrazy.h"

#include "sys/resources.h"

ui::Bitmap WczytajObraz(const char* nazwa) {
    const auto bajty = sys::OwnResource(nazwa);
    if (!bajty) return {};
    return ui::Bitmap::FromBmp(*bajty).value_or(ui::Bitmap{});
}
