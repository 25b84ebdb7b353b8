#pragma once
// The registry step of the installation: the edition's key under
// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, the uninstall entry and the
// language of the installed programs (what and where: WpisyRejestru.h).

#include "install/WpisyRejestru.h"

// Writes the edition's key and the uninstall entry in two guarded passes
// (a key that cannot be opened, or a value that cannot be written, ends only
// its pass), then "JezykInterfejsu" into the settings key of each program
// kind under HKEY_CURRENT_USER, where a failed write raises BladProgramu.
// The program-kind keys are those of the current edition (AktualnyAppConst).
void ZapiszRejestr(const TDaneRejestru& dane);
