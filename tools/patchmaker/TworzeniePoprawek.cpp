#include "TworzeniePoprawek.h"

#include "Kompresja.h"
#include "base/Blad.h"
#include "payload/Dekompresja.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>

namespace {

// Polynomial rolling hash over a window of DlugoscKopii bytes.
constexpr std::uint64_t kPodstawa = 0x100000001B3ULL;

std::uint64_t Potega() {
    std::uint64_t p = 1;
    for (std::size_t i = 0; i < DlugoscKopii; ++i) p *= kPodstawa;
    return p;
}

std::uint64_t Skrot(std::span<const std::uint8_t> okno) {
    std::uint64_t h = 0;
    for (const std::uint8_t b : okno) h = h * kPodstawa + b + 1;
    return h;
}

class Okno {
public:
    Okno(std::span<const std::uint8_t> dane, std::size_t od)
        : dane_(dane), od_(od), skrot_(Skrot(dane.subspan(od, DlugoscKopii))) {}
    [[nodiscard]] std::uint64_t Wartosc() const noexcept { return skrot_; }
    [[nodiscard]] bool MoznaPrzesunac() const noexcept { return od_ + DlugoscKopii < dane_.size(); }
    void Przesun() noexcept {
        static const std::uint64_t potega = Potega();
        skrot_ = skrot_ * kPodstawa + dane_[od_ + DlugoscKopii] + 1 - potega * (dane_[od_] + 1ULL);
        ++od_;
    }

private:
    std::span<const std::uint8_t> dane_;
    std::size_t od_;
    std::uint64_t skrot_;
};

std::uint8_t NajrzadszyBajt(std::span<const std::uint8_t> dane) {
    std::array<std::size_t, 256> ile{};
    for (const std::uint8_t b : dane) ++ile[b];
    std::size_t najlepszy = 0;
    for (std::size_t b = 1; b < 256; ++b)
        if (ile[b] < ile[najlepszy]) najlepszy = b;
    return static_cast<std::uint8_t>(najlepszy);
}

void DopiszLiczbe(std::vector<std::uint8_t>& wynik, std::uint64_t liczba) {
    for (int i = 0; i < 4; ++i) wynik.push_back(static_cast<std::uint8_t>(liczba >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> TworzSkrypt(std::span<const std::uint8_t> stara, std::span<const std::uint8_t> nowa) {
    if (stara.size() > std::numeric_limits<std::uint32_t>::max())
        throw BladProgramu("Patch maker: old content of 4 GiB or more");
    const std::uint8_t e = NajrzadszyBajt(nowa);
    std::vector<std::uint8_t> skrypt;
    DopiszLiczbe(skrypt, SumaBajtow(stara));
    skrypt.push_back(e);

    // Where each window of the old content starts; the first usable offset
    // per hash is enough, as a copy is always worth the same.
    std::unordered_map<std::uint64_t, std::size_t> wOkna;
    if (stara.size() >= DlugoscKopii) {
        Okno okno(stara, 0);
        for (std::size_t od = 0;; ++od) {
            if ((od & 0xFF) != e) wOkna.try_emplace(okno.Wartosc(), od);
            if (!okno.MoznaPrzesunac()) break;
            okno.Przesun();
        }
    }

    auto literal = [&](std::uint8_t b) {
        skrypt.push_back(b);
        if (b == e) skrypt.push_back(e);
    };
    std::size_t i = 0;
    while (i + DlugoscKopii <= nowa.size() && !wOkna.empty()) {
        // Literal by literal the window slides; after a copy it starts anew.
        Okno okno(nowa, i);
        for (;;) {
            const auto z = wOkna.find(okno.Wartosc());
            if (z != wOkna.end() &&
                std::equal(nowa.begin() + static_cast<std::ptrdiff_t>(i),
                           nowa.begin() + static_cast<std::ptrdiff_t>(i + DlugoscKopii),
                           stara.begin() + static_cast<std::ptrdiff_t>(z->second))) {
                skrypt.push_back(e);
                DopiszLiczbe(skrypt, z->second);
                i += DlugoscKopii;
                break;
            }
            literal(nowa[i++]);
            if (i + DlugoscKopii > nowa.size()) break;
            okno.Przesun();
        }
    }
    while (i < nowa.size()) literal(nowa[i++]);
    return skrypt;
}

Poprawka TworzPoprawke(std::span<const std::uint8_t> stara, std::span<const std::uint8_t> nowa,
                       const std::string& nazwaPoprawki, const std::string& nazwaCelu) {
    constexpr std::size_t kNajwiecej = std::numeric_limits<std::uint32_t>::max();
    if (stara.size() > kNajwiecej || nowa.size() > kNajwiecej)
        throw BladProgramu("Patch maker: a file of 4 GiB or more");
    const auto skrypt = TworzSkrypt(stara, nowa);
    if (skrypt.size() > kNajwiecej) throw BladProgramu("Patch maker: script of 4 GiB or more");

    Poprawka p;
    p.Plik = SpakujBlok(skrypt);
    p.Wpis = WpisPoprawki{nazwaPoprawki, nazwaCelu, static_cast<std::uint32_t>(stara.size()),
                          static_cast<std::uint32_t>(skrypt.size()), static_cast<std::uint32_t>(nowa.size())};

    // What the installer will do with it.
    const auto wynik = UruchomSkrypt(RozpakujBlok(p.Plik, p.Wpis.PojemnoscSkryptu), stara, p.Wpis.NowaPojemnosc);
    if (!wynik.SumaZgodna || !std::equal(wynik.Nowa.begin(), wynik.Nowa.end(), nowa.begin(), nowa.end()))
        throw BladProgramu("Patch maker: the patch does not give back the new content");
    return p;
}
