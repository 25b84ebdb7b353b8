#include "install/SkryptUsuwania.h"

namespace {

std::string ZPodwojonymProcentem(std::string_view sciezka) {
    std::string wynik;
    wynik.reserve(sciezka.size());
    for (const char znak : sciezka) {
        wynik += znak;
        if (znak == '%') wynik += '%';
    }
    return wynik;
}

}  // namespace

std::string TekstSkryptuUsuwania(std::string_view kopia, std::string_view skrypt, std::string_view katalog,
                                 std::string_view ping) {
    const std::string c = ZPodwojonymProcentem(kopia);
    const std::string b = ZPodwojonymProcentem(skrypt);
    const std::string k = ZPodwojonymProcentem(katalog);
    const std::string p = ZPodwojonymProcentem(ping);
    return "@echo off\r\n"
           "set n=0\r\n"
           ":repeat\r\n"
           "del \"" + c + "\"\r\n"
           "if not exist \"" + c + "\" goto done\r\n"
           "set /a n+=1\r\n"
           "if %n% geq " + std::to_string(kProbySkryptuUsuwania) + " goto done\r\n"
           "\"" + p + "\" -n 3 127.0.0.1 >nul\r\n"
           "goto repeat\r\n"
           ":done\r\n"
           "del \"" + b + "\" & rmdir \"" + k + "\"\r\n";
}

std::optional<NazwyKopii> WybierzNazwyKopii(std::string_view katalog, std::string_view nazwa,
                                            const std::function<bool(const std::string&)>& zajety) {
    const std::string folder(katalog);
    NazwyKopii nazwy{folder + std::string(nazwa), folder + std::string(kNazwaSkryptuUsuwania)};
    for (std::int32_t numer = 0;; ++numer) {
        if (!zajety(nazwy.kopia) && !zajety(nazwy.skrypt)) return nazwy;
        if (numer == kLiczbaNumerowKopii) return std::nullopt;
        const std::string przedrostek = std::to_string(numer);
        nazwy.kopia = folder + przedrostek + std::string(nazwa);
        nazwy.skrypt = folder + przedrostek + std::string(kNazwaSkryptuUsuwania);
    }
}
