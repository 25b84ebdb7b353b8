#include "install/Silnik.h"

#include "app/Narzedzia.h"
#include "app/Teksty.h"
#include "install/Postep.h"

#include <unordered_set>

bool WykonajKroki(Dziennik& d, std::span<const KrokInstalacji> kroki, const std::function<bool()>& punktZatrzymania) {
    BiezacyDziennik biezacy(d);
    for (std::size_t i = 0; i < kroki.size(); ++i) {
        kroki[i].wykonaj();
        d.Utrwal();
        if (i + 1 < kroki.size() && punktZatrzymania && punktZatrzymania()) return false;
    }
    return true;
}

void WycofajInstalacje(OknoInstalacji& okno, Dziennik& d, const std::vector<std::string>& katalogiSprzed) {
    // Folders from before the journal come first in time, so they go last.
    std::vector<WpisDziennika> wpisy;
    std::unordered_set<std::string> zapisane;
    for (const WpisDziennika& w : d.Wpisy())
        if (w.rodzaj == RodzajWpisu::Katalog && !w.pola.empty()) zapisane.insert(NaMale(w.pola[0]));
    for (const std::string& k : katalogiSprzed)
        if (zapisane.count(NaMale(k)) == 0) wpisy.push_back({RodzajWpisu::Katalog, {k}});
    wpisy.insert(wpisy.end(), d.Wpisy().begin(), d.Wpisy().end());
    const std::vector<std::size_t> kolejnosc = KolejnoscCofania(wpisy);

    okno.ZablokujPrzerwanie();
    okno.PokazPliki("", "");
    okno.PokazOpis(TekstUsuwanieSkopiowanych);
    okno.UstawZakres(Mlodsze32Bity(static_cast<std::int64_t>(kolejnosc.size())));
    okno.PrzetworzKomunikaty();
    for (const std::size_t i : kolejnosc) {
        CofnijWpis(wpisy[i]);
        okno.Posun();
        okno.PrzetworzKomunikaty();
    }
    d.Zakoncz();
}

void ZakonczInstalacje(Dziennik& d) {
    UsunKopieZapasowe(d.Wpisy());
    d.Zakoncz();
}

bool OdzyskajPrzerwanaInstalacje(const std::string& sciezkaDziennika, const std::function<bool()>& cofnac) {
    const auto odczyt = WczytajDziennik(sciezkaDziennika);
    if (!odczyt) return false;
    const auto& wpisy = odczyt->wpisy;
    const std::vector<std::size_t> kolejnosc = KolejnoscCofania(wpisy);
    // A run that died before its first change leaves nothing to ask about.
    if (!kolejnosc.empty()) {
        if (cofnac()) {
            for (const std::size_t i : kolejnosc) CofnijWpis(wpisy[i]);
        } else {
            UsunKopieZapasowe(wpisy);
        }
    }
    UsunDziennik(sciezkaDziennika);
    return true;
}
