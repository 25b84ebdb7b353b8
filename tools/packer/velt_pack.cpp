// velt-pack: packs a file (or a slice of it) into a packed block, and unpacks
// one again. Build steps use it to make the installer's packed resources.
//
//   velt-pack [--first-stage-only] [--offset N] [--length N] [--capacity N]
//             [--no-verify] [--digest FILE] INPUT OUTPUT
//   velt-pack --unpack [--first-stage-only] [--capacity N] INPUT OUTPUT
//
// Numbers are decimal or 0x-prefixed hexadecimal. Exit status 0 on success,
// 1 on any error (message on stderr), 2 on a usage error.

#include "DekodowanieLiniowe.h"
#include "Kompresja.h"
#include "base/Blad.h"
#include "payload/Dekompresja.h"
#include "payload/SumaPliku.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* Uzycie =
    "usage: velt-pack [--first-stage-only] [--offset N] [--length N] [--capacity N]\n"
    "                 [--no-verify] [--digest FILE] INPUT OUTPUT\n"
    "       velt-pack --unpack [--first-stage-only] [--capacity N] INPUT OUTPUT\n"
    "\n"
    "Packs INPUT (or LENGTH bytes of it from OFFSET) into a packed block: LZ stage\n"
    "then prefix code, or the prefix code alone with --first-stage-only. The block\n"
    "is decoded again and compared before it is written, unless --no-verify.\n"
    "CAPACITY is the largest result the installer accepts from the LZ stage\n"
    "(default 2500000, the main program's parts; 2097152 for update items).\n"
    "--digest also writes the digest of the whole INPUT (its size and CRC-32),\n"
    "which the installer checks the file against once it has all its parts.\n"
    "--unpack reverses it.\n";

struct BladUzycia {
    std::string komunikat;
};

struct Opcje {
    bool rozpakuj = false;
    bool tylkoPierwszyEtap = false;
    bool sprawdz = true;
    std::optional<std::uint64_t> przesuniecie;
    std::optional<std::uint64_t> dlugosc;
    std::uint64_t pojemnosc = PojemnoscCzesciProgramu;
    std::optional<std::string> suma;
    std::string wejscie;
    std::string wyjscie;
};

std::uint64_t Liczba(std::string_view opcja, std::string_view tekst) {
    int podstawa = 10;
    if (tekst.size() > 2 && tekst[0] == '0' && (tekst[1] == 'x' || tekst[1] == 'X')) {
        tekst.remove_prefix(2);
        podstawa = 16;
    }
    std::uint64_t v = 0;
    const auto [koniec, blad] = std::from_chars(tekst.data(), tekst.data() + tekst.size(), v, podstawa);
    if (tekst.empty() || blad != std::errc{} || koniec != tekst.data() + tekst.size())
        throw BladUzycia{std::string(opcja) + " needs a non-negative number, not '" + std::string(tekst) + "'"};
    return v;
}

Opcje CzytajOpcje(int argc, char** argv) {
    Opcje o;
    std::vector<std::string> pliki;
    for (int k = 1; k < argc; ++k) {
        const std::string_view a = argv[k];
        auto wartosc = [&]() -> std::string_view {
            if (k + 1 >= argc)
                throw BladUzycia{std::string(a) + " needs a value"};
            return argv[++k];
        };
        if (a == "--unpack")
            o.rozpakuj = true;
        else if (a == "--first-stage-only")
            o.tylkoPierwszyEtap = true;
        else if (a == "--no-verify")
            o.sprawdz = false;
        else if (a == "--offset")
            o.przesuniecie = Liczba(a, wartosc());
        else if (a == "--length")
            o.dlugosc = Liczba(a, wartosc());
        else if (a == "--capacity")
            o.pojemnosc = Liczba(a, wartosc());
        else if (a == "--digest")
            o.suma = std::string(wartosc());
        else if (a == "--help" || a == "-h")
            throw BladUzycia{};
        else if (a.size() > 1 && a[0] == '-')
            throw BladUzycia{"unknown option " + std::string(a)};
        else
            pliki.emplace_back(a);
    }
    if (pliki.size() != 2)
        throw BladUzycia{"expected INPUT and OUTPUT"};
    if (o.rozpakuj && (o.przesuniecie || o.dlugosc || o.suma))
        throw BladUzycia{"--offset, --length and --digest apply to packing only"};
    o.wejscie = pliki[0];
    o.wyjscie = pliki[1];
    return o;
}

std::vector<std::uint8_t> CzytajPlik(const std::string& nazwa) {
    std::ifstream plik(nazwa, std::ios::binary);
    if (!plik)
        throw BladProgramu("cannot open " + nazwa + ": " + std::strerror(errno));
    std::vector<std::uint8_t> dane;
    char bufor[1 << 16];
    while (plik.read(bufor, sizeof bufor) || plik.gcount() > 0)
        dane.insert(dane.end(), bufor, bufor + plik.gcount());
    if (plik.bad() || !plik.eof())
        throw BladProgramu("cannot read " + nazwa);
    return dane;
}

void ZapiszPlik(const std::string& nazwa, const std::vector<std::uint8_t>& dane) {
    std::ofstream plik(nazwa, std::ios::binary | std::ios::trunc);
    if (!plik)
        throw BladProgramu("cannot create " + nazwa + ": " + std::strerror(errno));
    plik.write(reinterpret_cast<const char*>(dane.data()), static_cast<std::streamsize>(dane.size()));
    plik.close();
    if (!plik) {
        std::remove(nazwa.c_str());
        throw BladProgramu("cannot write " + nazwa);
    }
}

// As the installer unpacks it.
std::vector<std::uint8_t> Rozpakuj(const Opcje& o, const std::vector<std::uint8_t>& blok) {
    return o.tylkoPierwszyEtap ? HuffmanDecode(blok) : RozpakujBlok(blok, static_cast<std::size_t>(o.pojemnosc));
}

int Pakuj(const Opcje& o) {
    const std::vector<std::uint8_t> plik = CzytajPlik(o.wejscie);
    const std::uint64_t od = o.przesuniecie.value_or(0);
    if (od > plik.size())
        throw BladProgramu("offset " + std::to_string(od) + " is past the end of " + o.wejscie + " (" +
                           std::to_string(plik.size()) + " bytes)");
    const std::uint64_t ile = o.dlugosc.value_or(plik.size() - od);
    if (ile > plik.size() - od)
        throw BladProgramu("offset " + std::to_string(od) + " and length " + std::to_string(ile) +
                           " reach past the end of " + o.wejscie + " (" + std::to_string(plik.size()) +
                           " bytes)");
    const std::span<const std::uint8_t> dane(plik.data() + od, static_cast<std::size_t>(ile));
    if (!o.tylkoPierwszyEtap && dane.size() > o.pojemnosc)
        throw BladProgramu(std::to_string(dane.size()) + " bytes exceed the capacity of " +
                           std::to_string(o.pojemnosc) + " bytes that the installer unpacks");

    const std::vector<std::uint8_t> blok = o.tylkoPierwszyEtap ? HuffmanEncode(dane) : SpakujBlok(dane);

    if (o.sprawdz) {
        // Both the installer's decoder and the plain walk must give the input back.
        std::vector<std::uint8_t> liniowo = HuffmanDecodeLiniowo(blok);
        if (!o.tylkoPierwszyEtap)
            liniowo = LzDecodeBajtami(liniowo, static_cast<std::size_t>(o.pojemnosc));
        const std::vector<std::uint8_t> szybko = Rozpakuj(o, blok);
        if (!std::equal(dane.begin(), dane.end(), szybko.begin(), szybko.end()) || liniowo != szybko)
            throw BladProgramu("verification failed: the packed block does not decode to the input");
    }
    ZapiszPlik(o.wyjscie, blok);
    if (o.suma) {
        // Of the whole file, whatever slice this block holds: the installer
        // sums what all the parts give together.
        const std::string rekord = KodujSume(PoliczSume(plik));
        ZapiszPlik(*o.suma, std::vector<std::uint8_t>(rekord.begin(), rekord.end()));
    }
    std::cout << "velt-pack: " << o.wejscie << " [" << od << ", +" << ile << "] -> " << o.wyjscie << ": "
              << blok.size() << " bytes" << (o.tylkoPierwszyEtap ? " (first stage only)" : "") << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Opcje o = CzytajOpcje(argc, argv);
        if (!o.rozpakuj)
            return Pakuj(o);
        std::vector<std::uint8_t> wynik;
        try {
            wynik = Rozpakuj(o, CzytajPlik(o.wejscie));
        } catch (const BladProgramu& b) {
            throw BladProgramu(o.wejscie + ": " + b.komunikat());
        }
        ZapiszPlik(o.wyjscie, wynik);
        std::cout << "velt-pack: " << o.wejscie << " -> " << o.wyjscie << ": " << wynik.size() << " bytes\n";
        return 0;
    } catch (const BladUzycia& b) {
        if (b.komunikat.empty()) {
            std::cout << Uzycie;
            return 0;
        }
        std::cerr << "velt-pack: " << b.komunikat << "\n\n" << Uzycie;
        return 2;
    } catch (const BladProgramu& b) {
        std::cerr << "velt-pack: " << b.komunikat() << '\n';
        return 1;
    } catch (const std::exception& b) {
        std::cerr << "velt-pack: " << b.what() << '\n';
        return 1;
    }
}
