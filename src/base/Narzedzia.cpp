#include "base/Narzedzia.h"

#include <algorithm>

namespace {

struct TabliceWielkosci {
    std::array<unsigned char, 256> duze{};
    std::array<unsigned char, 256> male{};
};

// The letter pairs of Windows-1250 outside ASCII whose two halves do not lie
// 32 apart: Š Ś Ť Ž Ź, Ł Ą Ş Ż.
constexpr std::pair<unsigned char, unsigned char> kParyNieregularne[] = {
    {138, 154}, {140, 156}, {141, 157}, {142, 158}, {143, 159},
    {163, 179}, {165, 185}, {170, 186}, {175, 191},
};

constexpr TabliceWielkosci ZbudujTablice() {
    TabliceWielkosci t;
    for (int i = 0; i < 256; ++i) {
        t.duze[i] = static_cast<unsigned char>(i);
        t.male[i] = static_cast<unsigned char>(i);
    }
    for (int i = 'a'; i <= 'z'; ++i) {
        t.duze[i] = static_cast<unsigned char>(i - 32);
        t.male[i - 32] = static_cast<unsigned char>(i);
    }
    for (auto [duza, mala] : kParyNieregularne) {
        t.duze[mala] = duza;
        t.male[duza] = mala;
    }
    // 224..254 except 247 (division sign): the regular Latin-1-like block. 223
    // (sharp s) and 255 (dot above) have no upper-case letter here.
    for (int i = 224; i <= 254; ++i) {
        if (i == 247) continue;
        t.duze[i] = static_cast<unsigned char>(i - 32);
        t.male[i - 32] = static_cast<unsigned char>(i);
    }
    return t;
}

constexpr TabliceWielkosci kWielkosc = ZbudujTablice();

static_assert(kWielkosc.duze[179] == 163 && kWielkosc.male[163] == 179, "Ł/ł");
static_assert(kWielkosc.duze[190] == 190 && kWielkosc.male[188] == 188, "L with caron stays");
static_assert(kWielkosc.duze[223] == 223 && kWielkosc.duze[255] == 255 && kWielkosc.male[215] == 215);

}  // namespace

ZbiorZnakow Zbior(std::initializer_list<unsigned char> znaki, std::initializer_list<ZakresZnakow> zakresy) {
    ZbiorZnakow z;
    for (unsigned char c : znaki) z.set(c);
    for (auto [od, doZnaku] : zakresy)
        for (unsigned c = od; c <= doZnaku; ++c) z.set(c);
    return z;
}

unsigned char NaDuzy(unsigned char znak) noexcept { return kWielkosc.duze[znak]; }
unsigned char NaMaly(unsigned char znak) noexcept { return kWielkosc.male[znak]; }

std::string NaDuze(std::string_view tekst) {
    std::string wynik(tekst);
    for (char& c : wynik) c = static_cast<char>(NaDuzy(static_cast<unsigned char>(c)));
    return wynik;
}

std::string NaMale(std::string_view tekst) {
    std::string wynik(tekst);
    for (char& c : wynik) c = static_cast<char>(NaMaly(static_cast<unsigned char>(c)));
    return wynik;
}

bool RowneBezWielkosciLiter(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return NaMaly(static_cast<unsigned char>(x)) == NaMaly(static_cast<unsigned char>(y));
           });
}

std::string BezCyfrNaKoncu(std::string_view tekst) {
    std::size_t koniec = tekst.size();
    while (koniec > 1 && tekst[koniec - 1] >= '0' && tekst[koniec - 1] <= '9') --koniec;
    return std::string(tekst.substr(0, koniec));
}

bool ZaczynaSieOd(std::string_view tekst, std::string_view poczatek, bool wielkoscLiter) noexcept {
    if (poczatek.size() > tekst.size()) return false;
    auto glowa = tekst.substr(0, poczatek.size());
    return wielkoscLiter ? glowa == poczatek : RowneBezWielkosciLiter(glowa, poczatek);
}

bool ZnakZeZbioru(const ZbiorZnakow& zbior, std::string_view tekst, std::int64_t pozycja) noexcept {
    if (!WZakresie(pozycja, 1, static_cast<std::int64_t>(tekst.size()))) return false;
    return zbior.test(static_cast<unsigned char>(tekst[static_cast<std::size_t>(pozycja - 1)]));
}

bool ZawieraZnakZeZbioru(std::string_view tekst, const ZbiorZnakow& zbior) noexcept {
    return std::any_of(tekst.begin(), tekst.end(),
                       [&](char c) { return zbior.test(static_cast<unsigned char>(c)); });
}

bool SzukajZnaku(std::string_view tekst, std::int64_t& pozycja, const ZbiorZnakow& zbior,
                 bool wstecz) noexcept {
    if (pozycja <= 0) return false;
    const std::int64_t krok = wstecz ? -1 : 1;
    const auto dlugosc = static_cast<std::int64_t>(tekst.size());
    while (WZakresie(pozycja, 1, dlugosc)) {
        if (zbior.test(static_cast<unsigned char>(tekst[static_cast<std::size_t>(pozycja - 1)]))) return true;
        pozycja += krok;
    }
    return false;
}

std::string WpisListy(std::string_view nazwa) {
    // Built by appending: GCC 12 warns wrongly about "<" + std::string at -O3.
    std::string wpis;
    wpis.reserve(nazwa.size() + 2);
    wpis.push_back('<');
    wpis.append(NaMale(nazwa));
    wpis.push_back('>');
    return wpis;
}

bool JestNaLiscie(std::string_view nazwa, std::string_view lista) {
    return NaMale(lista).find(WpisListy(nazwa)) != std::string::npos;
}
