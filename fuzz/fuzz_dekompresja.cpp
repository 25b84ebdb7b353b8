// libFuzzer target for the decompressor. Every input is tried as a packed
// block (first stage, both stages) and as an LZ stream, and each fast decoder
// is held to the plain one: both refuse it, or both give the same bytes.
// Small inputs also go through the packer and must come back unchanged.
// Sanitizers turn any read or write outside a buffer into a crash.

#include "DekodowanieLiniowe.h"
#include "Kompresja.h"
#include "base/Blad.h"
#include "payload/Dekompresja.h"

#include <cstdlib>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace {

using Bajty = std::vector<std::uint8_t>;

std::optional<Bajty> Sprobuj(const std::function<Bajty()>& f) {
    try {
        return f();
    } catch (const BladProgramu&) {
        return std::nullopt;
    }
}

void Wymagaj(bool warunek) {
    if (!warunek)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dane, std::size_t rozmiar) {
    const std::span<const std::uint8_t> wejscie(dane, rozmiar);

    const auto wzorzec = Sprobuj([&] { return HuffmanDecodeLiniowo(wejscie); });
    Wymagaj(Sprobuj([&] { return HuffmanDecode(wejscie); }) == wzorzec);

    const std::size_t pojemnosc = PojemnoscCzesciProgramu;
    const auto wzorzecLz = wzorzec ? Sprobuj([&] { return LzDecodeBajtami(*wzorzec, pojemnosc); }) : std::nullopt;
    const auto dwaEtapy = Sprobuj([&] { return RozpakujBlok(wejscie, pojemnosc); });
    Wymagaj(dwaEtapy == wzorzecLz);
    if (wzorzec)
        Wymagaj(Sprobuj([&] { return LzDecode(*wzorzec, pojemnosc); }) == wzorzecLz);
    if (dwaEtapy && !dwaEtapy->empty()) {
        // The capacity holds to the byte.
        Wymagaj(Sprobuj([&] { return RozpakujBlok(wejscie, dwaEtapy->size()); }) == dwaEtapy);
        Wymagaj(!Sprobuj([&] { return RozpakujBlok(wejscie, dwaEtapy->size() - 1); }));
    }

    Wymagaj(Sprobuj([&] { return LzDecode(wejscie, pojemnosc); }) ==
            Sprobuj([&] { return LzDecodeBajtami(wejscie, pojemnosc); }));

    if (rozmiar <= 4096) {
        Wymagaj(RozpakujBlok(SpakujBlok(wejscie), rozmiar) == Bajty(wejscie.begin(), wejscie.end()));
        Wymagaj(HuffmanDecode(HuffmanEncode(wejscie)) == Bajty(wejscie.begin(), wejscie.end()));
    }
    return 0;
}
