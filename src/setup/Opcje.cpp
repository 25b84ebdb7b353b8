#include "setup/Opcje.h"

#include "base/Narzedzia.h"
#include "base/Wydania.h"

#include <cmath>

std::string ListaPominietych(std::int32_t wydanie, bool instalujSlowniki, std::string_view nazwaInstalatora) {
    std::string lista(kPlikiInstalatora);
    lista += WpisWydania(PlikiWydania, wydanie);
    lista += WpisListy(nazwaInstalatora);
    if (!instalujSlowniki) lista += WpisWydania(PlikiSlownikow, wydanie);
    return lista;
}

int NumerDysku(std::string_view sciezka) {
    if (sciezka.empty()) return 0;
    return static_cast<int>(NaDuzy(static_cast<unsigned char>(sciezka[0]))) - 64;
}

std::string FormatujMegabajty(std::int64_t bajty, std::string_view separatorTysiecy,
                              std::string_view separatorDziesietny) {
    // Tenths of a megabyte, rounded half away from zero.
    const double dziesiate = std::round(static_cast<double>(bajty) / 1048576.0 * 10.0);
    const bool ujemne = dziesiate < 0;
    const auto wartosc = static_cast<std::uint64_t>(std::fabs(dziesiate));
    const std::string calosc = std::to_string(wartosc / 10);
    std::string wynik = ujemne ? "-" : "";
    for (std::size_t i = 0; i < calosc.size(); ++i) {
        if (i > 0 && (calosc.size() - i) % 3 == 0) wynik += separatorTysiecy;
        wynik += calosc[i];
    }
    wynik += separatorDziesietny;
    wynik += static_cast<char>('0' + wartosc % 10);
    return wynik + " MB";
}
