#include "install/Silnik.h"

#include "base/Narzedzia.h"
#include "base/Teksty.h"
#include "install/Postep.h"
#include "install/Protokol.h"
#include "sys/files.h"

#include <optional>
#include <unordered_set>

bool WykonajKroki(Dziennik& d, std::span<const KrokInstalacji> kroki, const std::function<bool()>& punktZatrzymania) {
    BiezacyDziennik biezacy(d);
    for (const KrokInstalacji& krok : kroki) {
        krok.wykonaj();
        d.Utrwal();
        if (punktZatrzymania && punktZatrzymania()) return false;
    }
    return true;
}

bool WycofajInstalacje(OknoInstalacji& okno, Dziennik& d, const std::vector<std::string>& katalogiSprzed) {
    // Folders from before the journal come first in time, so they go last.
    std::vector<WpisDziennika> wpisy;
    std::unordered_set<std::string> zapisane;
    for (const WpisDziennika& w : d.Wpisy())
        if (w.rodzaj == RodzajWpisu::Katalog && !w.pola.empty()) zapisane.insert(NaMale(w.pola[0]));
    for (const std::string& k : katalogiSprzed)
        if (zapisane.count(NaMale(k)) == 0) wpisy.push_back({RodzajWpisu::Katalog, {k}});
    wpisy.insert(wpisy.end(), d.Wpisy().begin(), d.Wpisy().end());
    d.Zapisz(RodzajWpisu::Cofanie, {});
    d.Utrwal();

    okno.ZablokujPrzerwanie();
    okno.PokazPliki("", "");
    okno.PokazOpis(TekstUsuwanieSkopiowanych);
    okno.UstawZakres(Mlodsze32Bity(static_cast<std::int64_t>(LiczbaKrokowCofania(wpisy))));
    okno.PrzetworzKomunikaty();
    const WynikCofania wynik = WycofajWpisy(wpisy, false, [&okno] {
        okno.Posun();
        okno.PrzetworzKomunikaty();
    });
    if (wynik.pozostale.empty()) {
        d.Zakoncz();
        Protokoluj("Rollback: every change of the run was undone");
        return true;
    }
    d.ZostawDoPonowienia(wynik.pozostale);
    Protokoluj("Warning: rollback: some changes could not be undone now; the wizard tries again when it next starts");
    return false;
}

void ZakonczInstalacje(Dziennik& d) {
    ZachowajWpisy(d.Wpisy());
    // A backup still there holds what a running program or a scanner keeps
    // open (a program file renames while it runs, but is deleted only once it
    // ends): Windows removes it when it next starts, and the run says that it
    // waits for that.
    for (const KopiaZapasowa& k : BiezaceKopieZapasowe(d.Wpisy())) {
        const auto stary = CzytajStempel(Pole(d.Wpisy()[k.wpis], 2));
        const auto stempel = sys::StampOf(k.nazwa);
        if (!stary || !stempel || stempel->size != stary->rozmiar || stempel->writeTime != stary->czas) continue;
        if (!WolnoPrzyNastepnymStarcie(k.nazwa)) {
            Protokoluj("Warning: backup ", k.nazwa, " stays: others than administrators may change its folder");
            continue;
        }
        if (const sys::Result r = sys::MoveAtNextStart(k.nazwa, ""))
            Protokoluj("Backup ", k.nazwa, " is in use; Windows removes it when it next starts");
        else
            Protokoluj("Warning: backup ", k.nazwa, " stays: ", BladSystemu{r.error});
    }
    d.Zakoncz();
}

namespace {

// Undoes a journal file's records, then removes it or keeps in it what failed.
void Dokoncz(const std::string& sciezka, const std::vector<WpisDziennika>& wpisy, bool ponowne, std::uint64_t czas) {
    const WynikCofania wynik = WycofajWpisy(wpisy, ponowne, nullptr, czas);
    if (wynik.pozostale.empty()) {
        UsunDziennik(sciezka);
        return;
    }
    if (!ZapiszDziennik(sciezka, DoPonowienia(wpisy, wynik.pozostale)))
        Protokoluj("Warning: the journal ", sciezka, " cannot be rewritten; its remaining steps are tried in full again");
    else
        Protokoluj("Warning: rollback: ", wynik.pozostale.size(), " records stay in ", sciezka, " for the next start");
}

}  // namespace

bool OdzyskajPrzerwaneInstalacje(const std::function<DecyzjaOdzyskania()>& zapytaj) {
    bool byl = false;
    std::optional<DecyzjaOdzyskania> decyzja;
    for (const std::string& sciezka : PozostawioneDzienniki()) {
        const auto odczyt = WczytajDziennik(sciezka);
        if (!odczyt) {
            Protokoluj("Warning: the journal ", sciezka, " of an interrupted installation cannot be read");
            continue;
        }
        byl = true;
        std::vector<WpisDziennika> wpisy = odczyt->wpisy;
        // A run that died before its first change leaves nothing to ask about.
        if (!MaZmiany(wpisy)) {
            UsunDziennik(sciezka);
            continue;
        }
        if (CofanieZdecydowane(wpisy)) {
            Protokoluj("An undo that did not finish is finished now: ", sciezka);
            Dokoncz(sciezka, wpisy, true, odczyt->czas);
            continue;
        }
        if (!decyzja) decyzja = zapytaj();
        switch (*decyzja) {
        case DecyzjaOdzyskania::Odloz: break;
        case DecyzjaOdzyskania::Zachowaj:
            ZachowajWpisy(wpisy);
            UsunDziennik(sciezka);
            break;
        case DecyzjaOdzyskania::Cofnij:
            // Decided: an undo cut short is finished at the next start
            // without asking again.
            wpisy.push_back({RodzajWpisu::Cofanie, {}});
            sys::Ignore(ZapiszDziennik(sciezka, wpisy), "without the mark the next start asks again");
            Dokoncz(sciezka, wpisy, false, odczyt->czas);
            break;
        }
    }
    return byl;
}
