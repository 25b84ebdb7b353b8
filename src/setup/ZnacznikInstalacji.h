#pragma once
// The marker "InstallationInProgress" under the edition's key in
// HKEY_CURRENT_USER, which the installed programs read while the wizard runs.

#include <cstdint>

// Writes the marker as 1 or 0. The key is created only when setting; clearing
// a marker whose key does not exist writes nothing. A key that cannot be
// opened leaves the marker unwritten, silently.
void UstawInstalacjeWToku(std::int32_t wydanie, bool flaga);
