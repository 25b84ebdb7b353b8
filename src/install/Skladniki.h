#pragma once
// System components (files the system folder must hold in at least a given
// version) and the speech component's installer. Names and paths are
// single-byte Windows-1250. Nothing here raises or shows a message.

#include <cstdint>
#include <string_view>

// Whether the "FileVersion" text of the first translation of the file's
// version information states at least `glowna`.`poboczna` (read as
// RozbierzWersje reads it). False for a file without version information,
// without a translation or without that text, and for a missing file.
[[nodiscard]] bool WersjaCoNajmniej(std::string_view sciezka, std::int32_t glowna, std::int32_t poboczna) noexcept;

// Makes sure the system folder holds `plik`: a file already there that is new
// enough gives true; otherwise `katalogZrodlowy` (with a trailing backslash)
// + `plik` is copied there without replacing anything, and the result is
// whether that copy succeeded. So an older file already there is never
// replaced and gives false. True when the system folder is not known.
[[nodiscard]] bool InstalujSkladnik(std::string_view plik, std::string_view katalogZrodlowy, std::int32_t glowna,
                                    std::int32_t poboczna) noexcept;
// The same with the system folder given (with a trailing backslash; empty
// for one not known).
[[nodiscard]] bool InstalujSkladnik(std::string_view katalogSystemowy, std::string_view plik,
                                    std::string_view katalogZrodlowy, std::int32_t glowna,
                                    std::int32_t poboczna) noexcept;

// Starts the speech component's installer `plik`, a path on the medium, from
// a temporary copy named "SAPI51In.exe", silent. A name without a folder is
// refused: it would be taken from the current folder, which for a relaunched
// wizard is the temporary folder. The wizard does not wait for it. True when
// it was started.
[[nodiscard]] bool InstalujSyntezeMowy(std::string_view plik) noexcept;
