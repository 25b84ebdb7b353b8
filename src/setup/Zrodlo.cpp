#include "setup/Zrodlo.h"

#include "base/Narzedzia.h"

std::string CzescDyskuSciezki(std::string_view sciezka) {
    if (sciezka.size() >= 2 && sciezka[1] == ':') return std::string(sciezka.substr(0, 2));
    if (sciezka.size() >= 2 && sciezka[0] == '\\' && sciezka[1] == '\\') {
        // "\\server\share": up to the backslash after the share name.
        const auto koniecSerwera = sciezka.find('\\', 2);
        if (koniecSerwera == std::string_view::npos || koniecSerwera == 2) return {};
        const auto koniecUdzialu = sciezka.find('\\', koniecSerwera + 1);
        if (koniecUdzialu == koniecSerwera + 1) return {};
        return std::string(sciezka.substr(0, koniecUdzialu));
    }
    return {};
}

std::string KatalogGlownyDysku(std::string_view sciezka) {
    std::string dysk = CzescDyskuSciezki(sciezka);
    // A share name gets its backslash only: "\\server\share:\" would be no
    // root at all, and a wizard started from a share must see a network drive.
    if (!dysk.empty() && dysk.back() != '\\') dysk += '\\';
    return dysk;
}

std::string DyskKatalogu(std::string_view katalog) { return NaDuze(katalog.substr(0, 3)); }
