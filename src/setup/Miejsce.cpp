#include "setup/Miejsce.h"

#include "base/Narzedzia.h"
#include "setup/Opcje.h"
#include "sys/files.h"

#include <string>

std::int64_t RozmiarKatalogu(std::string_view katalog, std::string_view lista) {
    std::int64_t suma = 0;
    const std::string poczatek(katalog);
    auto wpisy = sys::DirectoryEnumeration::Open(poczatek + "\\*");
    if (!wpisy) return 0;
    while (auto wpis = wpisy.Next()) {
        // The skip lists name "." and ".." too; a list without them must
        // not send the walk round in circles.
        if (wpis->name == "." || wpis->name == ".." || JestNaLiscie(wpis->name, lista)) continue;
        suma += wpis->size;
        if (wpis->IsFolder() && !wpis->IsReparsePoint()) suma += RozmiarKatalogu(poczatek + "\\" + wpis->name, lista);
    }
    return suma;
}
