#include "install/Skroty.h"

#include "base/Blad.h"
#include "base/Sciezki.h"
#include "install/Dziennik.h"
#include "install/TabelaSkrotow.h"
#include "install/Protokol.h"
#include "base/Wydania.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/result.h"
#include "sys/shell.h"

namespace {

std::string SpecjalnyKatalog(bool dlaWszystkich, std::string_view wspolny, std::string_view wlasny) {
    if (dlaWszystkich)
        if (auto k = sys::ShellFolder(sys::RegistryRoot::LocalMachine, wspolny); k && !k->empty()) return *k;
    return sys::ShellFolder(sys::RegistryRoot::CurrentUser, wlasny).value_or("");
}

// One link in `katalog` for every row of the kind whose target was installed.
// Each is saved under a temporary name and then takes the place of a link of
// that name (Wstaw), so an old link stays whole until the new one is.
void UtworzSkrotyRodzaju(const TOpcjeSkrotow& opcje, std::string_view katalog, std::uint8_t rodzaj) {
    Dziennik* const d = Dziennik::Biezacy();
    for (const TWierszSkrotu* w : WybierzSkroty(opcje.wydanie, opcje.jezyk, rodzaj)) {
        const std::string cel = DolaczDoKatalogu(opcje.katalogDocelowy, w->Plik);
        // A target missing from the medium skips only its own link.
        if (!sys::FileExists(cel)) continue;
        const std::string lnk = DolaczDoKatalogu(katalog, std::string(w->Nazwa) + ".lnk");
        PlikTymczasowy nowy;
        try {
            nowy = UtworzTymczasowy(d, lnk);
        } catch (const BladProgramu& b) {
            Protokoluj("Warning: link ", lnk, " not created: ", b.komunikat());
            continue;
        }
        if (!nowy.plik) {
            Protokoluj("Warning: link ", lnk, " not created: ", BladSystemu{nowy.plik.error()});
            continue;
        }
        sys::Ignore(nowy.plik.Close(), "the link is written anew under its name");
        sys::Result r = sys::SaveShellLink({cel, KatalogPliku(cel), w->Nazwa}, nowy.sciezka);
        if (r) r = Wstaw(d, nowy.sciezka, lnk);
        if (r) {
            Protokoluj("Link ", lnk, " -> ", cel);
        } else {
            Protokoluj("Warning: link ", lnk, " -> ", cel, " not created: ", BladSystemu{r.error});
            sys::Ignore(sys::RemoveFile(nowy.sciezka), "the undo removes it otherwise");
        }
    }
}

}  // namespace

bool UtworzSkrot(std::string_view cel, std::string_view lnk, std::string_view opis) {
    const std::string katalog = KatalogPliku(cel);
    return sys::SaveShellLink({cel, katalog, opis}, lnk).ok();
}

std::string KatalogProgramow(bool dlaWszystkich) {
    return SpecjalnyKatalog(dlaWszystkich, "Common Programs", "Programs");
}

std::string KatalogPulpitu(bool dlaWszystkich) {
    return SpecjalnyKatalog(dlaWszystkich, "Common Desktop", "Desktop");
}

void UtworzSkroty(const TOpcjeSkrotow& opcje) {
    if (opcje.grupa) {
        const std::string programy = KatalogProgramow(opcje.dlaWszystkich);
        if (!programy.empty()) {
            const std::string grupa = DolaczDoKatalogu(programy, NazwaGrupyWydania(opcje.wydanie, opcje.jezyk));
            // Usually exists already from an earlier installation.
            const sys::Result r = UtworzKatalog(Dziennik::Biezacy(), grupa);
            if (sys::FolderExists(grupa)) UtworzSkrotyRodzaju(opcje, grupa, SkrotGrupy);
            else Protokoluj("Warning: Start-menu group ", grupa, " not created: ", BladSystemu{r.error});
        }
    }
    if (opcje.translatory || opcje.slowniki) {
        const std::string pulpit = KatalogPulpitu(opcje.dlaWszystkich);
        if (pulpit.empty() || !sys::FolderExists(pulpit)) return;
        if (opcje.translatory) UtworzSkrotyRodzaju(opcje, pulpit, SkrotPulpituTranslatora);
        if (opcje.slowniki) UtworzSkrotyRodzaju(opcje, pulpit, SkrotPulpituSlownika);
    }
}
