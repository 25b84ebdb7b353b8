#include "base/Sciezki.h"

std::string ZUkosnikiem(std::string_view katalog) {
    std::string wynik(katalog);
    if (wynik.empty() || wynik.back() != '\\') wynik += '\\';
    return wynik;
}

std::string ZJednymUkosnikiem(std::string_view katalog) {
    while (katalog.size() > 1 && katalog.back() == '\\' && katalog[katalog.size() - 2] == '\\')
        katalog.remove_suffix(1);
    return katalog.empty() ? std::string() : ZUkosnikiem(katalog);
}

std::string DolaczDoKatalogu(std::string_view katalog, std::string_view nazwa) {
    return ZUkosnikiem(katalog).append(nazwa);
}

std::string BezKoncowegoUkosnika(std::string_view katalog) {
    if (!katalog.empty() && katalog.back() == '\\') katalog.remove_suffix(1);
    return std::string(katalog);
}

std::string BezKoncowegoUkosnikaPozaKorzeniem(std::string_view katalog) {
    if (katalog.size() > 1 && katalog.back() == '\\' && !(katalog.size() == 3 && katalog[1] == ':'))
        katalog.remove_suffix(1);
    return std::string(katalog);
}

std::string BezKoncowychUkosnikow(std::string_view katalog) {
    const auto korzenDysku = [&] { return katalog.size() == 3 && katalog[1] == ':'; };
    while (!katalog.empty() && katalog.back() == '\\' && !korzenDysku()) katalog.remove_suffix(1);
    return std::string(katalog);
}

std::string KatalogPliku(std::string_view sciezkaPliku) {
    const auto ukosnik = sciezkaPliku.rfind('\\');
    if (ukosnik == std::string_view::npos) return {};
    return std::string(sciezkaPliku.substr(0, ukosnik + 1));
}

std::string KatalogPlikuLubDysk(std::string_view sciezkaPliku) {
    const auto koniec = sciezkaPliku.find_last_of("\\:");
    if (koniec == std::string_view::npos) return {};
    return std::string(sciezkaPliku.substr(0, koniec + 1));
}
