#include "install/Skroty.h"

#include "app/Blad.h"
#include "app/Przelaczniki.h"
#include "app/Sciezki.h"
#include "app/Teksty.h"
#include "app/untMain.h"
#include "install/Dziennik.h"
#include "install/TabelaSkrotow.h"
#include "install/Protokol.h"
#include "setup/Wydania.h"
#include "setup/Zrodlo.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/shell.h"
#include "ui/Application.h"

namespace {

std::string SpecjalnyKatalog(bool dlaWszystkich, std::string_view wspolny, std::string_view wlasny) {
    if (dlaWszystkich)
        if (auto k = sys::ShellFolder(sys::RegistryRoot::LocalMachine, wspolny); k && !k->empty()) return *k;
    return sys::ShellFolder(sys::RegistryRoot::CurrentUser, wlasny).value_or("");
}

// One link in `katalog` for every row of the kind whose target was installed.
void UtworzSkrotyRodzaju(const TOpcjeSkrotow& opcje, std::string_view katalog, std::uint8_t rodzaj) {
    for (const TWierszSkrotu* w : WybierzSkroty(opcje.wydanie, opcje.jezyk, rodzaj)) {
        const std::string cel = DolaczDoKatalogu(opcje.katalogDocelowy, w->Plik);
        // A target missing from the medium skips only its own link.
        if (!sys::FileExists(cel)) continue;
        const std::string lnk = DolaczDoKatalogu(katalog, std::string(w->Nazwa) + ".lnk");
        std::optional<std::string> kopia;
        try {
            kopia = PrzedZapisemPliku(lnk);
        } catch (const BladProgramu&) {
            continue;  // an old link that cannot be set aside is left as it is
        }
        const bool utworzony = UtworzSkrot(cel, lnk, w->Nazwa);
        Protokoluj("Link ", lnk, " -> ", cel, utworzony ? "" : ": not created");
        PrzywrocGdyNieZapisany(lnk, kopia);
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
            PrzedUtworzeniemKatalogu(grupa);
            sys::Ignore(sys::CreateFolder(grupa), "an existing group is reused; a missing one skips its links");
            if (sys::FolderExists(grupa)) UtworzSkrotyRodzaju(opcje, grupa, SkrotGrupy);
        }
    }
    if (opcje.translatory || opcje.slowniki) {
        const std::string pulpit = KatalogPulpitu(opcje.dlaWszystkich);
        if (pulpit.empty() || !sys::FolderExists(pulpit)) return;
        if (opcje.translatory) UtworzSkrotyRodzaju(opcje, pulpit, SkrotPulpituTranslatora);
        if (opcje.slowniki) UtworzSkrotyRodzaju(opcje, pulpit, SkrotPulpituSlownika);
    }
}

void UtworzSkroty(TfrmMain& form) {
    form.lblInstalacjaOpis.SetCaption(PobierzTekst(form.JezykInterfejsu, TekstTworzenieSkrotow));
    ui::Application::Current().ProcessMessages();
    UtworzSkroty(TOpcjeSkrotow{
        .wydanie = NumerWydania,
        .jezyk = form.JezykInterfejsu,
        .katalogDocelowy = form.KatalogDocelowy,
        .grupa = form.chbUtworzGrupe.Checked(),
        .translatory = form.chbUtworzSkrotyTranslatorow.Checked(),
        .slowniki = form.chbUtworzSkrotySlownikow.Checked(),
        .dlaWszystkich = SkrotyDlaWszystkich,
    });
}
