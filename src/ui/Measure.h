#pragma once
// Text measurement for layout code: how large a text appears in a font, with
// the current application's backend (real font metrics on Win32, the fixed
// model of the headless backend elsewhere).
//
// `text` is single-byte in `codePage` (a control's TextCodePage). Line breaks
// are CR LF, a lone CR or a lone LF. Empty text is 0 wide and one line high.

#include <string_view>

#include "ui/Types.h"

namespace ui {

class Control;

// Width of the longest line and height of all lines, in pixels.
[[nodiscard]] Size MeasureText(const Font& font, unsigned codePage, std::string_view text);

// The same with lines broken between words to fit `width` pixels; a word wider
// than that stands alone on its line and sticks out (so the result may be
// wider than `width`). A width of 0 or less does not wrap.
[[nodiscard]] Size MeasureWrappedText(const Font& font, unsigned codePage, std::string_view text, int width);

// The text measured in a control's font and code page.
[[nodiscard]] Size MeasureText(const Control& control, std::string_view text);
[[nodiscard]] Size MeasureWrappedText(const Control& control, std::string_view text, int width);

}  // namespace ui
