#include "base/Jezyki.h"

namespace {

// Two languages sharing a code or an agreement file would show each other's texts.
constexpr bool RozneKodyIPliki() {
    for (std::size_t i = 0; i < Jezyki.size(); ++i) {
        if (Jezyki[i].Kod.size() != 2 || Jezyki[i].PlikUmowy.empty() || Jezyki[i].NazwaWlasna.empty()) return false;
        for (std::size_t j = i + 1; j < Jezyki.size(); ++j)
            if (Jezyki[i].Kod == Jezyki[j].Kod || Jezyki[i].PlikUmowy == Jezyki[j].PlikUmowy)
                return false;
    }
    return true;
}
static_assert(RozneKodyIPliki());

} // namespace
