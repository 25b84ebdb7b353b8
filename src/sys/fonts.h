#pragma once
// Fonts of the running system. Face names and paths are single-byte
// Windows-1250; they cross to the system as UTF-16.

#include "sys/result.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace sys {

// The character set (the LOGFONT number, e.g. 238 for EASTEUROPE_CHARSET) of
// every font of face `face` that the system enumerates, in its order, one
// entry per enumerated font. Empty for an unknown face, for an empty name,
// for a name longer than a face name can be (31 characters), and when no
// device context of the screen is obtained.
[[nodiscard]] std::vector<std::uint8_t> FontCharsets(std::string_view face);

// Adds the fonts of a font file to the system's font table (until the
// session ends). The number of fonts added; 0 when none was.
[[nodiscard]] int AddFontFile(std::string_view path);

// Tells every top-level window that the font table changed; returns after
// each of them has handled it, or has been given up on after a short wait
// (a hung window is passed over at once).
void AnnounceFontChange();
// Takes a file added by AddFontFile out of the font table again; fails when
// it was not in it.
Result RemoveFontFile(std::string_view path);

}  // namespace sys
