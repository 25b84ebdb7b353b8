// bench_dekompresja [FILE...]
//
// Decoding speed of packed blocks against zlib inflate of the same bytes.
// The input is 2 MiB of executable code: the FILEs given, or by default this
// program's own bytes followed by system binaries, concatenated and cut to
// 2 MiB. Every figure is the best of several runs; MB/s count OUTPUT bytes
// (10^6 bytes per MB).

#include "DekodowanieLiniowe.h"
#include "Kompresja.h"
#include "payload/Dekompresja.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bajty = std::vector<std::uint8_t>;
constexpr std::size_t RozmiarWejscia = 2u << 20;

void Dopisz(Bajty& dane, const std::filesystem::path& plik) {
    std::ifstream f(plik, std::ios::binary);
    const Bajty zawartosc{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    const std::size_t ile = std::min(zawartosc.size(), RozmiarWejscia - dane.size());
    dane.insert(dane.end(), zawartosc.begin(), zawartosc.begin() + static_cast<std::ptrdiff_t>(ile));
}

Bajty Wejscie(int argc, char** argv) {
    Bajty dane;
    std::vector<std::filesystem::path> pliki;
    for (int k = 1; k < argc; ++k)
        pliki.emplace_back(argv[k]);
    if (pliki.empty()) {
        pliki.emplace_back("/proc/self/exe");
        std::vector<std::filesystem::path> systemowe;
        std::error_code blad;
        for (const auto& w : std::filesystem::directory_iterator("/usr/bin", blad))
            if (w.is_regular_file(blad) && !w.is_symlink(blad) && w.file_size(blad) > 20'000)
                systemowe.push_back(w.path());
        std::sort(systemowe.begin(), systemowe.end());  // the same input on every run
        pliki.insert(pliki.end(), systemowe.begin(), systemowe.end());
    }
    for (const auto& p : pliki) {
        if (dane.size() >= RozmiarWejscia)
            break;
        Dopisz(dane, p);
    }
    return dane;
}

Bajty Deflate(const Bajty& dane) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        std::abort();
    Bajty wy(deflateBound(&z, dane.size()));
    z.next_in = const_cast<Bytef*>(dane.data());
    z.avail_in = static_cast<uInt>(dane.size());
    z.next_out = wy.data();
    z.avail_out = static_cast<uInt>(wy.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END)
        std::abort();
    wy.resize(z.total_out);
    deflateEnd(&z);
    return wy;
}

Bajty Inflate(const Bajty& spakowane, std::size_t rozmiar) {
    Bajty wy(rozmiar);
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        std::abort();
    z.next_in = const_cast<Bytef*>(spakowane.data());
    z.avail_in = static_cast<uInt>(spakowane.size());
    z.next_out = wy.data();
    z.avail_out = static_cast<uInt>(wy.size());
    if (inflate(&z, Z_FINISH) != Z_STREAM_END)
        std::abort();
    inflateEnd(&z);
    return wy;
}

struct Wynik {
    std::string nazwa;
    std::size_t bajtyWyjscia;
    double sekundy;
    double MBs() const { return bajtyWyjscia / 1e6 / sekundy; }
};

// Best of at least `najmniejPowtorzen` runs, going on until `czas` seconds passed.
Wynik Zmierz(const char* nazwa, const Bajty& oczekiwane, int najmniejPowtorzen, double czas,
             const std::function<Bajty()>& dekoduj) {
    using Zegar = std::chrono::steady_clock;
    double najlepszy = 1e30;
    const auto start = Zegar::now();
    for (int k = 0;; ++k) {
        const auto t0 = Zegar::now();
        const Bajty wynik = dekoduj();
        const std::chrono::duration<double> dt = Zegar::now() - t0;
        if (wynik != oczekiwane) {
            std::fprintf(stderr, "%s: wrong result\n", nazwa);
            std::exit(1);
        }
        najlepszy = std::min(najlepszy, dt.count());
        if (k + 1 >= najmniejPowtorzen && std::chrono::duration<double>(Zegar::now() - start).count() >= czas)
            break;
    }
    return {nazwa, oczekiwane.size(), najlepszy};
}

}  // namespace

int main(int argc, char** argv) {
    const Bajty dane = Wejscie(argc, argv);
    if (dane.empty()) {
        std::fprintf(stderr, "bench_dekompresja: no input bytes\n");
        return 1;
    }
    const Bajty lz = LzEncode(dane);
    const Bajty blok = HuffmanEncode(lz);  // two-stage block
    const Bajty blokSurowy = HuffmanEncode(dane);  // first stage only
    const Bajty zlib = Deflate(dane);
    const std::size_t pojemnosc = std::max(dane.size(), PojemnoscCzesciProgramu);

    std::printf("input: %zu bytes of executable code\n\n", dane.size());
    std::printf("%-34s %10s %7s\n", "packed form", "bytes", "ratio");
    const auto rozmiar = [&](const char* nazwa, std::size_t ile) {
        std::printf("%-34s %10zu %6.1f%%\n", nazwa, ile, 100.0 * ile / dane.size());
    };
    rozmiar("LZ stream", lz.size());
    rozmiar("two-stage block", blok.size());
    rozmiar("first-stage-only block", blokSurowy.size());
    rozmiar("zlib level 9 (raw deflate)", zlib.size());

    std::vector<Wynik> wyniki;
    wyniki.push_back(Zmierz("HuffmanDecode (to the LZ stream)", lz, 10, 1.5, [&] { return HuffmanDecode(blok); }));
    wyniki.push_back(
        Zmierz("HuffmanDecode (first-stage-only)", dane, 10, 1.5, [&] { return HuffmanDecode(blokSurowy); }));
    wyniki.push_back(Zmierz("LzDecode", dane, 10, 1.5, [&] { return LzDecode(lz, pojemnosc); }));
    wyniki.push_back(Zmierz("HuffmanDecode then LzDecode", dane, 10, 1.5,
                            [&] { return LzDecode(HuffmanDecode(blok), pojemnosc); }));
    const Wynik dwa = Zmierz("two stages (RozpakujBlok)", dane, 10, 2.0, [&] { return RozpakujBlok(blok, pojemnosc); });
    wyniki.push_back(dwa);
    wyniki.push_back(Zmierz("linear table walk (first stage)", lz, 3, 1.0, [&] { return HuffmanDecodeLiniowo(blok); }));
    const Wynik z = Zmierz("zlib inflate", dane, 10, 2.0, [&] { return Inflate(zlib, dane.size()); });
    wyniki.push_back(z);

    std::printf("\n%-34s %10s %9s %9s\n", "decoder", "out bytes", "best ms", "MB/s");
    for (const Wynik& w : wyniki)
        std::printf("%-34s %10zu %9.3f %9.1f\n", w.nazwa.c_str(), w.bajtyWyjscia, w.sekundy * 1e3, w.MBs());
    std::printf("\ntwo stages (RozpakujBlok) / zlib inflate: %.2fx\n", dwa.MBs() / z.MBs());
    return 0;
}
