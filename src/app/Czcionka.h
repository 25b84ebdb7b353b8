#pragma once
// The interface font: one face shared by all forms, chosen once at start, and
// the setters that give a control that face with the character set of a
// language, or a text of the table in that language as its name for screen
// readers.

#include <cstdint>
#include <string>

namespace ui {
class Control;
class RichEdit;
}  // namespace ui

// "Arial" until the start-up chooses otherwise.
const std::string& CzcionkaInterfejsu();
void UstawCzcionkeInterfejsu(std::string nazwa);

// Face of the interface font, character set of `jezyk`.
void UstawCzcionke(ui::Control& kontrolka, std::uint8_t jezyk);

// The same on a rich-text box's font, its default text attributes and its
// selection attributes.
void UstawCzcionkeTekstu(ui::RichEdit& pole, std::uint8_t jezyk);

// Text `tekst` of the table in `jezyk` as what screen readers call the
// control (for controls that show no caption of their own).
void UstawNazweDostepna(ui::Control& kontrolka, std::uint8_t jezyk, int tekst);
