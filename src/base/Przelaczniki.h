#pragma once
// Switches: one-byte booleans. The program entry assigns the first four after
// the forms exist, before the message loop runs; a hand-over to a temporary
// copy clears CzyscFlageInstalacji, and the options page sets
// SkrotyDlaWszystkich.

#include <string>

extern bool PytajOCD;              // ask for the CD drive once, and keep the answer
extern bool BezKopiowaniaPlikow;   // skip the file-tree copy and the speech component
extern bool SiecDozwolona;         // network drives count as installation media
extern bool CzyscFlageInstalacji;  // clear "InstallationInProgress" when the wizard ends
extern bool ZrodloStale;           // the source is the fixed path below
extern std::string StaleZrodlo;
extern bool ZrodloWlasnyKatalog;   // the source is the wizard's own folder
extern bool SkrotyDlaWszystkich;   // shortcuts and uninstall entry for all users
