#include "install/NazwyCzcionek.h"

#include <algorithm>

std::string NazwaZZerem(std::string_view nazwa) {
    std::string wynik(nazwa);
    wynik.insert(std::min(wynik.find('.'), wynik.size()), 1, '0');
    return wynik;
}

std::optional<std::string> WolnaNazwa(std::string_view nazwa, const std::function<bool(const std::string&)>& zajeta,
                                      std::size_t najdluzsza) {
    for (std::string kandydat(nazwa); kandydat.size() <= najdluzsza; kandydat = NazwaZZerem(kandydat)) {
        if (!zajeta(kandydat)) return kandydat;
    }
    return std::nullopt;
}

std::string NazwaZestawuZnakow(int numer) {
    for (const auto& zestaw : kZestawyZnakow) {
        if (zestaw.numer == numer) return std::string(zestaw.nazwa);
    }
    return "Unknown charset " + std::to_string(numer);
}
