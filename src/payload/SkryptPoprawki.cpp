#include "payload/SkryptPoprawki.h"

#include "base/Blad.h"
#include "payload/Dekompresja.h"

namespace {

// Reads complemented little-endian fields; every read is bounds-checked.
class Czytnik {
public:
    explicit Czytnik(std::span<const std::uint8_t> bajty) : bajty_(bajty) {}

    [[nodiscard]] bool Koniec() const noexcept { return pozycja_ == bajty_.size(); }

    [[nodiscard]] bool Liczba(std::size_t szerokosc, std::uint32_t& wynik) noexcept {
        if (bajty_.size() - pozycja_ < szerokosc) return false;
        wynik = 0;
        for (std::size_t i = 0; i < szerokosc; ++i)
            wynik |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(~bajty_[pozycja_ + i])) << (8 * i);
        pozycja_ += szerokosc;
        return true;
    }

    [[nodiscard]] bool Nazwa(std::string& wynik) {
        std::uint32_t dlugosc = 0;
        if (!Liczba(2, dlugosc) || bajty_.size() - pozycja_ < dlugosc) return false;
        wynik.resize(dlugosc);
        for (std::size_t i = 0; i < dlugosc; ++i)
            wynik[i] = static_cast<char>(static_cast<std::uint8_t>(~bajty_[pozycja_ + i]));
        pozycja_ += dlugosc;
        return true;
    }

private:
    std::span<const std::uint8_t> bajty_;
    std::size_t pozycja_ = 0;
};

void DopiszLiczbe(std::vector<std::uint8_t>& wynik, std::uint32_t liczba, std::size_t szerokosc) {
    for (std::size_t i = 0; i < szerokosc; ++i) wynik.push_back(static_cast<std::uint8_t>(~(liczba >> (8 * i))));
}

void DopiszNazwe(std::vector<std::uint8_t>& wynik, std::string_view nazwa) {
    if (nazwa.size() > 0xFFFF) throw BladProgramu("Patch list: name longer than 65535 bytes");
    DopiszLiczbe(wynik, static_cast<std::uint32_t>(nazwa.size()), 2);
    for (const char c : nazwa) wynik.push_back(static_cast<std::uint8_t>(~static_cast<std::uint8_t>(c)));
}

bool Separator(char c) noexcept { return c == '\\' || c == '/'; }

}  // namespace

ListaPoprawek CzytajListePoprawek(std::span<const std::uint8_t> bajty) {
    ListaPoprawek lista;
    Czytnik czytnik(bajty);
    while (!czytnik.Koniec()) {
        WpisPoprawki w;
        if (!czytnik.Nazwa(w.Poprawka) || !czytnik.Nazwa(w.Cel) || !czytnik.Liczba(4, w.StaryRozmiar) ||
            !czytnik.Liczba(4, w.PojemnoscSkryptu) || !czytnik.Liczba(4, w.NowaPojemnosc)) {
            lista.Urwana = true;
            break;
        }
        lista.Wpisy.push_back(std::move(w));
    }
    return lista;
}

std::vector<std::uint8_t> ZakodujWpis(const WpisPoprawki& wpis) {
    std::vector<std::uint8_t> wynik;
    DopiszNazwe(wynik, wpis.Poprawka);
    DopiszNazwe(wynik, wpis.Cel);
    DopiszLiczbe(wynik, wpis.StaryRozmiar, 4);
    DopiszLiczbe(wynik, wpis.PojemnoscSkryptu, 4);
    DopiszLiczbe(wynik, wpis.NowaPojemnosc, 4);
    return wynik;
}

bool NazwaWKatalogu(std::string_view nazwa) noexcept {
    if (nazwa.empty() || Separator(nazwa.front())) return false;
    for (const char c : nazwa)
        if (c == ':' || c == '*' || c == '?' || c == '\0') return false;
    std::size_t poczatek = 0;
    while (poczatek <= nazwa.size()) {
        std::size_t koniec = poczatek;
        while (koniec < nazwa.size() && !Separator(nazwa[koniec])) ++koniec;
        // The system drops trailing dots and blanks, so ".. " and "..." climb too.
        const std::string_view czesc = nazwa.substr(poczatek, koniec - poczatek);
        const auto znaczace = czesc.find_last_not_of(". ");
        if (znaczace == std::string_view::npos && czesc.find("..") != std::string_view::npos) return false;
        poczatek = koniec + 1;
    }
    return true;
}

bool WpisWGranicach(const WpisPoprawki& wpis, std::uint64_t rozmiarPoprawki) noexcept {
    return wpis.StaryRozmiar <= NajwiekszyPlik && wpis.PojemnoscSkryptu <= NajwiekszyPlik &&
           wpis.NowaPojemnosc <= NajwiekszyPlik && rozmiarPoprawki <= NajwiekszyPlik;
}

std::uint32_t SumaBajtow(std::span<const std::uint8_t> bajty) noexcept {
    std::uint32_t suma = 0;
    for (const std::uint8_t b : bajty) suma += b;
    return suma;
}

WynikSkryptu UruchomSkrypt(std::span<const std::uint8_t> skrypt, std::span<const std::uint8_t> stara,
                           std::size_t nowaPojemnosc) {
    if (skrypt.size() < NaglowekSkryptu) throw BladProgramu("Patch script: shorter than its header");
    const std::uint32_t suma = static_cast<std::uint32_t>(skrypt[0]) | static_cast<std::uint32_t>(skrypt[1]) << 8 |
                               static_cast<std::uint32_t>(skrypt[2]) << 16 |
                               static_cast<std::uint32_t>(skrypt[3]) << 24;
    WynikSkryptu wynik;
    if (suma != SumaBajtow(stara)) return wynik;
    wynik.SumaZgodna = true;

    const std::uint8_t e = skrypt[4];
    auto& nowa = wynik.Nowa;
    auto miejsce = [&](std::size_t ile) {
        if (nowaPojemnosc - nowa.size() < ile) throw BladProgramu("Patch script: new content exceeds its capacity");
    };
    std::size_t i = NaglowekSkryptu;
    while (i < skrypt.size()) {
        const std::uint8_t b = skrypt[i++];
        if (b != e) {
            miejsce(1);
            nowa.push_back(b);
            continue;
        }
        if (i == skrypt.size()) throw BladProgramu("Patch script: ends after an escape byte");
        if (skrypt[i] == e) {
            miejsce(1);
            nowa.push_back(e);
            ++i;
            continue;
        }
        if (skrypt.size() - i < 4) throw BladProgramu("Patch script: ends inside a copy");
        const std::size_t od = static_cast<std::size_t>(skrypt[i]) | static_cast<std::size_t>(skrypt[i + 1]) << 8 |
                               static_cast<std::size_t>(skrypt[i + 2]) << 16 |
                               static_cast<std::size_t>(skrypt[i + 3]) << 24;
        i += 4;
        if (od > stara.size() || stara.size() - od < DlugoscKopii)
            throw BladProgramu("Patch script: copy past the old content");
        miejsce(DlugoscKopii);
        nowa.insert(nowa.end(), stara.begin() + static_cast<std::ptrdiff_t>(od),
                    stara.begin() + static_cast<std::ptrdiff_t>(od + DlugoscKopii));
    }
    return wynik;
}

std::string NazwaListyNumerowanej(std::uint32_t numer) {
    return numer <= 1 ? std::string("info.pth") : "info" + std::to_string(numer) + ".pth";
}
