#include "install/Rejestr.h"

#include "app/Blad.h"
#include "app/Przelaczniki.h"
#include "app/Teksty.h"
#include "app/untMain.h"
#include "install/Protokol.h"
#include "setup/Wydania.h"
#include "sys/handle.h"
#include "sys/registry.h"
#include "ui/Application.h"

#include <type_traits>
#include <variant>

namespace {

sys::RegistryRoot Korzen(KorzenRejestru k) {
    return k == KorzenRejestru::LokalnaMaszyna ? sys::RegistryRoot::LocalMachine : sys::RegistryRoot::CurrentUser;
}

const char* NazwaKorzenia(KorzenRejestru k) {
    return k == KorzenRejestru::LokalnaMaszyna ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
}

// A value that does not go in raises, as it ends the current pass. `gdzie`
// names the key for the log.
void Zapisz(sys::RegistryKey& klucz, const TWartoscRejestru& w, const std::string& gdzie) {
    const bool ok = std::visit(
        [&](const auto& v) {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) return klucz.WriteString(w.nazwa, v);
            else return klucz.WriteDword(w.nazwa, v);
        },
        w.wartosc);
    std::visit(
        [&](const auto& v) {
            Protokoluj("Registry ", gdzie, ": ", w.nazwa, " = ", v, ok ? "" : ": not written");
        },
        w.wartosc);
    if (!ok) throw BladProgramu("Nie mo\xBF" "na zapisa\xE6 warto\x9C" "ci " + std::string(w.nazwa));
}

void Przebieg(const TDaneRejestru& dane, KorzenRejestru korzen) {
    // Not opening (HKEY_LOCAL_MACHINE without administrator rights) skips the
    // key without a word.
    if (auto klucz = sys::RegistryKey::OpenFull(Korzen(korzen), KluczRejestruWydania(dane.wydanie), true))
        for (const auto& w : WartosciKluczaWydania(dane))
            Zapisz(*klucz, w, NazwaKorzenia(korzen) + KluczRejestruWydania(dane.wydanie));

    if (!PrzebiegDeinstalacji(korzen, dane.dlaWszystkich)) return;
    if (auto klucz = sys::RegistryKey::OpenFull(Korzen(korzen), KluczDeinstalacji(dane.wydanie), true)) {
        const std::string gdzie = NazwaKorzenia(korzen) + KluczDeinstalacji(dane.wydanie);
        Zapisz(*klucz, {"DisplayName", ZPXAppFunctions.Tytul(dane.jezyk)}, gdzie);
        Zapisz(*klucz, {"UninstallString", PolecenieDeinstalacji(dane.katalogDocelowy, dane.wydanie)}, gdzie);
    }
}

}  // namespace

void ZapiszRejestr(const TDaneRejestru& dane) {
    WykonajPrzebiegi([&](KorzenRejestru korzen) { Przebieg(dane, korzen); });

    for (int rodzaj : {RodzajTranslator, RodzajTranslatorInteraktywny, RodzajSlownik, RodzajTranslatorPlikow})
        if (auto klucz = sys::RegistryKey::OpenFull(sys::RegistryRoot::CurrentUser, ZPXAppFunctions.KluczRodzaju(rodzaj),
                                                    true))
            // Outside the guarded passes: the step never raises, so a value
            // that does not go in is left out silently, like a key that does
            // not open.
            Protokoluj("Registry HKEY_CURRENT_USER\\", ZPXAppFunctions.KluczRodzaju(rodzaj), ": JezykInterfejsu = ",
                       dane.jezyk, klucz->WriteDword("JezykInterfejsu", dane.jezyk) ? "" : ": not written");
}

void ZapiszRejestr(TfrmMain& form) {
    form.lblInstalacjaOpis.SetCaption(PobierzTekst(form.JezykInterfejsu, TekstTworzenieRejestru));
    ZapiszRejestr(TDaneRejestru{
        .wydanie = NumerWydania,
        .katalogDocelowy = form.KatalogDocelowy,
        .katalogZrodlowy = form.KatalogZrodlowy,
        .jezyk = form.JezykInterfejsu,
        .dlaWszystkich = SkrotyDlaWszystkich,
    });
    ui::Application::Current().ProcessMessages();
}
