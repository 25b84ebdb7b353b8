#include "base/Formatuj.h"

std::string FormatujTekst(std::string_view wzor, const std::vector<ArgumentTekstu>& argumenty) {
    std::string wynik;
    wynik.reserve(wzor.size() + 32);
    std::size_t nastepny = 0;
    for (std::size_t i = 0; i < wzor.size(); ++i) {
        const char c = wzor[i];
        const char po = i + 1 < wzor.size() ? wzor[i + 1] : '\0';
        if (c != '%' || (po != 's' && po != 'd' && po != '%')) {
            wynik += c;
            continue;
        }
        ++i;
        if (po == '%') {
            wynik += '%';
            continue;
        }
        if (nastepny >= argumenty.size()) continue;
        const ArgumentTekstu& a = argumenty[nastepny++];
        if (po == 's') {
            if (auto* s = std::get_if<std::string_view>(&a)) wynik += *s;
            else wynik += std::to_string(std::get<std::int64_t>(a));
        } else {
            if (auto* n = std::get_if<std::int64_t>(&a)) wynik += std::to_string(*n);
            else wynik += std::get<std::string_view>(a);
        }
    }
    return wynik;
}
