#include "install/WpisyRejestru.h"

#include "base/Sciezki.h"
#include "install/KodowanieSciezki.h"
#include "install/TabelaSkrotow.h"
#include "base/Wydania.h"

#include <exception>
#include <utility>

std::vector<TWartoscRejestru> WartosciKluczaWydania(const TDaneRejestru& dane) {
    const std::string wersja(WpisWydania(WersjeWydan, dane.wydanie));
    const auto katalog = [&] { return TWartoscRejestru{"Katalog", ZakodujSciezke(dane.katalogDocelowy, dane.wydanie)}; };
    const TWartoscRejestru jezyk{"JezykInterfejsu", std::uint32_t{dane.jezyk}};
    const TWartoscRejestru wszyscy{"AllUsers", std::uint32_t{dane.dlaWszystkich ? 1u : 0u}};
    switch (dane.wydanie) {
        case 1:
            // The first edition's programs know neither the language nor the
            // all-users choice, but look for the CD themselves.
            return {katalog(), {"CD", ZakodujSciezke(dane.katalogZrodlowy, dane.wydanie)}, {"Wersja", wersja}};
        case 2:
        case 3:
            return {katalog(), {"Wersja", wersja}, jezyk, wszyscy};
        default:
            return {{"Wersja", wersja}, jezyk, wszyscy};
    }
}

std::vector<TWartoscRejestru> WartosciDeinstalacji(const TDaneRejestru& dane) {
    std::vector<TWartoscRejestru> w = {
        {"DisplayName", ZPXAppFunctions.Tytul(dane.jezyk)},
        {"UninstallString", PolecenieDeinstalacji(dane.katalogDocelowy, dane.wydanie)},
        {"DisplayVersion", std::string(WpisWydania(WersjeWydan, dane.wydanie))},
    };
    if (!dane.wydawca.empty()) w.push_back({"Publisher", dane.wydawca});
    std::string ikona = "\"";
    ikona += DolaczDoKatalogu(dane.katalogDocelowy, WpisWydania(ProgramyGlowne, dane.wydanie));
    ikona += '"';
    w.push_back({"DisplayIcon", std::move(ikona)});
    w.push_back({"InstallLocation", dane.katalogDocelowy});
    w.push_back({"EstimatedSize", dane.rozmiarKB});
    w.push_back({"InstallDate", dane.dataInstalacji});
    w.push_back({"NoModify", 1u});
    w.push_back({"NoRepair", 1u});
    return w;
}

std::string KluczDeinstalacji(std::int32_t wydanie) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
           std::string(WpisWydania(NazwyDeinstalacji, wydanie));
}

std::string PolecenieDeinstalacji(std::string_view katalogDocelowy, std::int32_t wydanie) {
    // Quoted: unquoted, a path with spaces is tried word by word, so that
    // "C:\Program.exe" would run first.
    std::string polecenie = "\"";
    polecenie += DolaczDoKatalogu(katalogDocelowy, WpisWydania(Deinstalatory, wydanie));
    polecenie += '"';
    return polecenie;
}

std::array<bool, 2> WykonajPrzebiegi(const std::function<void(KorzenRejestru)>& przebieg) {
    std::array<bool, 2> ukonczone{};
    for (std::size_t i = 0; i < PrzebiegiRejestru.size(); ++i) {
        try {
            przebieg(PrzebiegiRejestru[i]);
            ukonczone[i] = true;
        } catch (const std::exception&) {
            // Typically a root the user may not write to; the next pass and
            // the installation go on, with what this pass wrote so far.
        }
    }
    return ukonczone;
}
