#pragma once
// The shortcut step of the installation: the Start-menu group and the desktop
// links, as TabelaSkrotow gives them for the edition and the interface
// language. Needs COM on the calling thread. Paths are Windows-1250.

#include <cstdint>
#include <string>
#include <string_view>

// What the step reads of the wizard.
struct TOpcjeSkrotow {
    std::int32_t wydanie = 0;
    std::uint8_t jezyk = 0;        // JezykInterfejsu
    std::string katalogDocelowy;   // the installed files
    bool grupa = false;            // chbUtworzGrupe
    bool translatory = false;      // chbUtworzSkrotyTranslatorow
    bool slowniki = false;         // chbUtworzSkrotySlownikow
    bool dlaWszystkich = false;    // SkrotyDlaWszystkich
};

// One link file `lnk` to `cel`, described by `opis`, working in the folder
// of `cel`. False when the shell link object is unavailable or cannot save
// the file; never raises.
bool UtworzSkrot(std::string_view cel, std::string_view lnk, std::string_view opis);

// The Start-menu Programs and Desktop folders from the Explorer "Shell
// Folders" values: for all users the common folder when the system names one,
// else the user's own; "" when neither is found.
[[nodiscard]] std::string KatalogProgramow(bool dlaWszystkich);
[[nodiscard]] std::string KatalogPulpitu(bool dlaWszystkich);

// Makes the links. Nothing that goes wrong stops it or is reported: a link
// that cannot be made is left out.
void UtworzSkroty(const TOpcjeSkrotow& opcje);
