#pragma once
// Where the program-files folder is, read from the registry, and who else
// could change what is installed at a target folder.

#include <cstdint>
#include <string>

// The system's program-files folder, or "" when the registry does not say.
std::string KatalogProgramFiles();

// The default target folder: the program-files folder (or "C:") + "\" + the
// edition's default folder name.
std::string DomyslnyKatalogDocelowy(std::int32_t wydanie);

// The folder through which others than administrators could change the
// programs installed at the absolute folder `cel`: `cel` itself when it is
// there and they may change it, else the folder it is in (for a target still
// to be made, the nearest that exists) when they may delete or rename what is
// in it; "" when only administrators can (sys::InstallFolderAccess: where the
// system keeps no descriptors, the account running the wizard counts as one).
// A target the wizard makes is the administrators' own: asked before.
[[nodiscard]] std::string KatalogZmiennyDlaInnych(const std::string& cel);
