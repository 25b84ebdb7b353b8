#pragma once
// Where the program-files folder is, read from the registry.

#include "sys/registry.h"

#include <string>
#include <string_view>

// Reads one string value without creating anything. True and `wartosc` set
// when the key opened and the value exists; otherwise false and `wartosc`
// unchanged.
bool CzytajWartoscRejestru(sys::RegistryRoot korzen, std::string_view klucz, std::string_view nazwa,
                           std::string& wartosc);

// The system's program-files folder, or "" when the registry does not say.
std::string KatalogProgramFiles();

// The default target folder: the program-files folder (or "C:") + "\" + the
// edition's default folder name.
std::string DomyslnyKatalogDocelowy(std::int32_t wydanie);
