#pragma once
// The agreement page's text handling that needs no window: splitting an
// agreement file into lines, and the decision how each line reaches the
// rich-text box (in one piece, or with its accented letters delivered as
// keystrokes under a Polish or French keyboard layout, so that they come out
// right whatever the system's code page).

#include "base/Narzedzia.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Lines of a single-byte text: a line ends at CR LF, at a lone LF or at a lone
// CR. A last line without a break is kept; an empty text has no lines.
std::vector<std::string> PodzielNaLinie(std::string_view tekst);

// The letters sent as keystrokes: the accented letters of Windows-1250 (78
// byte values, all Polish letters among them, and the sharp s).
const ZbiorZnakow& ZnakiKlawiszowe();
// The letters that force the keystroke path (ě and ń).
const ZbiorZnakow& ZnakiWymuszajace();

// Whether the thread locale already matches the file's language: Polish needs
// 1045 and French 1036; every other language counts as matching.
bool TenSamJezykLokalizacji(std::uint8_t jezykPliku, std::uint32_t lokalizacja);

// Whether a line takes the keystroke path: only on Windows NT above version 4,
// and then when the locale does not match or the line holds ě or ń.
bool SciezkaKlawiszy(std::uint8_t jezykPliku, std::uint32_t lokalizacja, bool ntPowyzej4,
                     std::string_view linia);

// The keyboard layout activated for the keystroke path: French for French
// files, Polish for every other.
std::string_view UkladKlawiaturyDlaJezyka(std::uint8_t jezykPliku);

// One piece of a line on the keystroke path: a run of other characters that is
// inserted as text, or one accented letter delivered as a keystroke.
struct KawalekLinii {
    bool klawisz = false;
    std::string tekst;  // the run, or the one letter
    bool operator==(const KawalekLinii&) const = default;
};
std::vector<KawalekLinii> PodzielNaKawalki(std::string_view linia);
