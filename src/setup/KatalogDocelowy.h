#pragma once
// Where the program-files folder is, read from the registry.

#include <cstdint>
#include <string>

// The system's program-files folder, or "" when the registry does not say.
std::string KatalogProgramFiles();

// The default target folder: the program-files folder (or "C:") + "\" + the
// edition's default folder name.
std::string DomyslnyKatalogDocelowy(std::int32_t wydanie);
