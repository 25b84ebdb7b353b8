#include "setup/KatalogDocelowy.h"

#include "base/Wydania.h"
#include "sys/folders.h"

std::string KatalogProgramFiles() {
    // In its short form when Windows-1250 cannot carry the name.
    return sys::ProgramFilesFolder().value_or("");
}

std::string DomyslnyKatalogDocelowy(std::int32_t wydanie) {
    std::string katalog = KatalogProgramFiles();
    if (katalog.empty()) katalog = "C:";
    return katalog + "\\" + std::string(WpisWydania(KatalogiDomyslne, wydanie));
}
