#pragma once
// The product's font, installed into Windows itself, and the question which
// character sets a font face offers (the interface font is chosen by it).
// Names and paths are single-byte Windows-1250.

#include "sys/registry.h"

#include <string>
#include <string_view>
#include <vector>

// Where a font goes: the system's fonts folder (with a trailing backslash;
// empty when there is none) and the registry key under which the font is
// registered.
struct MiejscaCzcionki {
    std::string katalogCzcionek;
    sys::RegistryRoot kluczGlowny = sys::RegistryRoot::LocalMachine;
    std::string klucz;
};

// The running system's: Windows folder + "Fonts\", and the "Fonts" key of
// the Windows NT family or of the older family under HKEY_LOCAL_MACHINE.
[[nodiscard]] MiejscaCzcionki MiejscaCzcionkiSystemu();

// Installs the font file `plik` of face `czcionka` from `katalogZrodlowy`.
// A file of that name already in the fonts folder is taken as the font
// installed: true, and nothing is written. Otherwise the file is copied
// there, replacing; when that is impossible it is copied without replacing
// into `katalogZapasowy`, under the first free name of "Stedt.ttf",
// "Stedt0.ttf", "Stedt00.ttf", ... (see WolnaNazwa). Both folders may be
// given with or without their trailing backslash; an empty fallback folder
// means none. The copied file is registered under the value
// `czcionka` (its full path; a refused registry write is ignored), added to
// the font table and announced to every top-level window. Returns whether a
// copy succeeded. Never raises and never shows a message.
[[nodiscard]] bool InstalujCzcionke(std::string_view czcionka, std::string_view plik,
                                    std::string_view katalogZrodlowy, std::string_view katalogZapasowy) noexcept;
// The same with the places given.
[[nodiscard]] bool InstalujCzcionke(const MiejscaCzcionki& miejsca, std::string_view czcionka,
                                    std::string_view plik, std::string_view katalogZrodlowy,
                                    std::string_view katalogZapasowy) noexcept;

// Appends to `lista` the character-set name ("EASTEUROPE_CHARSET", ...) of
// every font of face `czcionka`; nothing for a face the system lacks.
void ZestawyZnakow(std::string_view czcionka, std::vector<std::string>& lista);

// Whether the face offers the character set named `zestaw` (exact name).
[[nodiscard]] bool MaZestawZnakow(std::string_view czcionka, std::string_view zestaw);

// The interface font: "Arial", or "Tahoma" when "Arial" lacks
// EASTEUROPE_CHARSET and "Tahoma" has it.
[[nodiscard]] std::string WybierzCzcionkeInterfejsu();
