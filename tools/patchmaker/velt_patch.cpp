// velt-patch: makes a patch that turns OLD into NEW, writes it to PATCHFILE and
// appends its entry, complemented, to the patch list LIST (created when
// missing). The entry names the patch by PATCHFILE's file name and the target
// by NAME, or by OLD's file name without --target.
//
//   velt-patch OLD NEW PATCHFILE LIST [--target NAME]
//
// Exit status 0 on success, 1 on any error (message on stderr), 2 on a usage
// error. On an error neither output is touched.

#include "TworzeniePoprawek.h"
#include "base/Blad.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* Uzycie =
    "usage: velt-patch OLD NEW PATCHFILE LIST [--target NAME]\n"
    "\n"
    "Writes to PATCHFILE a packed difference script that turns OLD into NEW, and\n"
    "appends to LIST the entry that applies it to the target NAME (default: the\n"
    "file name of OLD) in the installation folder. PATCHFILE must lie beside LIST\n"
    "on the medium under the file name it has here.\n";

std::vector<std::uint8_t> Wczytaj(const std::string& sciezka) {
    std::ifstream plik(sciezka, std::ios::binary);
    if (!plik) throw BladProgramu("cannot open " + sciezka);
    std::vector<std::uint8_t> dane((std::istreambuf_iterator<char>(plik)), std::istreambuf_iterator<char>());
    if (plik.bad()) throw BladProgramu("cannot read " + sciezka);
    return dane;
}

void Zapisz(const std::string& sciezka, const std::vector<std::uint8_t>& dane, std::ios::openmode tryb) {
    std::ofstream plik(sciezka, std::ios::binary | tryb);
    plik.write(reinterpret_cast<const char*>(dane.data()), static_cast<std::streamsize>(dane.size()));
    plik.close();
    if (!plik) throw BladProgramu("cannot write " + sciezka);
}

std::string NazwaPliku(std::string_view sciezka) {
    const auto p = sciezka.find_last_of("/\\");
    return std::string(p == std::string_view::npos ? sciezka : sciezka.substr(p + 1));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> pozycyjne;
    std::string cel;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--target" && i + 1 < argc) {
            cel = argv[++i];
        } else if (a.starts_with("--")) {
            std::cerr << Uzycie;
            return 2;
        } else {
            pozycyjne.emplace_back(a);
        }
    }
    if (pozycyjne.size() != 4) {
        std::cerr << Uzycie;
        return 2;
    }
    const std::string& stara = pozycyjne[0];
    const std::string& nowa = pozycyjne[1];
    const std::string& plikPoprawki = pozycyjne[2];
    const std::string& lista = pozycyjne[3];
    if (cel.empty()) cel = NazwaPliku(stara);
    try {
        const std::string nazwa = NazwaPliku(plikPoprawki);
        if (!NazwaWKatalogu(nazwa) || !NazwaWKatalogu(cel))
            throw BladProgramu("the installer would refuse the name \"" + (NazwaWKatalogu(cel) ? nazwa : cel) + "\"");
        const Poprawka p = TworzPoprawke(Wczytaj(stara), Wczytaj(nowa), nazwa, cel);
        Zapisz(plikPoprawki, p.Plik, std::ios::trunc);
        Zapisz(lista, ZakodujWpis(p.Wpis), std::ios::app);
        std::cout << plikPoprawki << ": " << p.Wpis.StaryRozmiar << " -> " << p.Wpis.NowaPojemnosc << " bytes, script "
                  << p.Wpis.PojemnoscSkryptu << ", patch " << p.Plik.size() << "\n";
    } catch (const BladProgramu& b) {
        std::cerr << "velt-patch: " << b.komunikat() << "\n";
        return 1;
    }
    return 0;
}
