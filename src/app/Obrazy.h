#pragma once
// The program's pictures, carried as RCDATA resources holding .bmp files.

#include "ui/Bitmap.h"

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
