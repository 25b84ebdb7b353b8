#include "setup/KatalogDocelowy.h"

#include "setup/Wydania.h"
#include "sys/folders.h"

bool CzytajWartoscRejestru(sys::RegistryRoot korzen, std::string_view klucz, std::string_view nazwa,
                           std::string& wartosc) {
    const auto otwarty = sys::RegistryKey::OpenRead(korzen, klucz);
    if (!otwarty) return false;
    auto odczyt = otwarty->ReadString(nazwa);
    if (!odczyt) return false;
    wartosc = std::move(*odczyt);
    return true;
}

std::string KatalogProgramFiles() {
    // In its short form when Windows-1250 cannot carry the name.
    return sys::ProgramFilesFolder().value_or("");
}

std::string DomyslnyKatalogDocelowy(std::int32_t wydanie) {
    std::string katalog = KatalogProgramFiles();
    if (katalog.empty()) katalog = "C:";
    return katalog + "\\" + std::string(WpisWydania(KatalogiDomyslne, wydanie));
}
