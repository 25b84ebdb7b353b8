#include "base/Przelaczniki.h"

bool PytajOCD = false;
bool BezKopiowaniaPlikow = false;
bool SiecDozwolona = false;
bool CzyscFlageInstalacji = true;
bool ZrodloStale = false;
std::string StaleZrodlo;
bool ZrodloWlasnyKatalog = false;
bool SkrotyDlaWszystkich = false;
