#pragma once
// The program's pictures, carried as RCDATA resources holding .bmp files.

#include "ui/Bitmap.h"

#include <cstdint>
#include <functional>
#include <initializer_list>

inline constexpr const char* ObrazPasek = "OBRAZ_PASEK";  // the left strip of the wizard
inline constexpr const char* ObrazFlagaPL = "FLAGA_PL";
inline constexpr const char* ObrazFlagaEN = "FLAGA_EN";
inline constexpr const char* ObrazFlagaDE = "FLAGA_DE";
inline constexpr const char* ObrazFlagaFR = "FLAGA_FR";
inline constexpr const char* ObrazFlagaIT = "FLAGA_IT";

// The picture of that resource, with its renderings for denser screens (the
// same name + "_150" and "_200", each a zlib stream of a .bmp file); an empty
// picture when the program carries none (test programs) or it cannot be read.
ui::Bitmap WczytajObraz(const char* nazwa);

namespace ui {
class SpeedButton;
}

struct FlagaJezyka {
    ui::SpeedButton& przycisk;
    const char* obraz;
    std::uint8_t jezyk;
};

// Lays out a row of flat flag buttons of one group, any of which may be up,
// from `lewo` one `krok` apart, each with its picture, its language's own name
// for screen readers and the same click. The first starts down. The row is
// one keyboard group: one Tab stop, the arrow keys between the flags.
void UlozFlagi(std::initializer_list<FlagaJezyka> flagi, int lewo, int gora, int szerokosc, int wysokosc,
               int krok, const std::function<void()>& klik);
