#include "install/Rejestr.h"

#include "base/Blad.h"
#include "base/StronyKodowe.h"
#include "install/Dziennik.h"
#include "install/Protokol.h"
#include "base/Wydania.h"
#include "sys/registry.h"
#include "sys/result.h"

#include <type_traits>
#include <variant>

namespace {

sys::RegistryRoot Korzen(KorzenRejestru k) {
    return k == KorzenRejestru::LokalnaMaszyna ? sys::RegistryRoot::LocalMachine : sys::RegistryRoot::CurrentUser;
}

const char* NazwaKorzenia(sys::RegistryRoot k) {
    return k == sys::RegistryRoot::LocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
}

// Opens a key with full access, creating it when missing; the levels it
// creates are recorded first. A key that does not open is a warning.
std::optional<sys::RegistryKey> OtworzKluczRejestru(sys::RegistryRoot korzen, std::string_view sciezka) {
    auto klucz = OtworzKlucz(Dziennik::Biezacy(), korzen, sciezka);
    if (!klucz) Protokoluj("Warning: registry ", NazwaKorzenia(korzen), sciezka, ": the key cannot be opened");
    return klucz;
}

// A value that does not go in is a warning and raises, as it ends the
// current pass. What it replaces is recorded first.
void Zapisz(sys::RegistryKey& klucz, sys::RegistryRoot korzen, std::string_view sciezka, const TWartoscRejestru& w) {
    const sys::RegistryKey::RawValue surowa = std::visit(
        [](const auto& v) {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::string>) return sys::RegistryKey::StringValue(v);
            else return sys::RegistryKey::DwordValue(v);
        },
        w.wartosc);
    const sys::Result r = ZapiszWartosc(Dziennik::Biezacy(), klucz, korzen, sciezka, w.nazwa, surowa);
    std::visit(
        [&](const auto& v) {
            if (r) Protokoluj("Registry ", NazwaKorzenia(korzen), sciezka, ": ", w.nazwa, " = ", v);
            else
                Protokoluj("Warning: registry ", NazwaKorzenia(korzen), sciezka, ": ", w.nazwa, " = ", v,
                           ": not written: ", BladSystemu{r.error});
        },
        w.wartosc);
    if (!r) throw BladProgramu("Nie można zapisać wartości "_cp1250 + std::string(w.nazwa));
}

void Przebieg(const TDaneRejestru& dane, KorzenRejestru korzen) {
    // Not opening (HKEY_LOCAL_MACHINE without administrator rights) skips the
    // key with a warning.
    const std::string kluczWydania(KluczRejestruWydania(dane.wydanie));
    if (auto klucz = OtworzKluczRejestru(Korzen(korzen), kluczWydania))
        for (const auto& w : WartosciKluczaWydania(dane)) Zapisz(*klucz, Korzen(korzen), kluczWydania, w);

    if (!PrzebiegDeinstalacji(korzen, dane.dlaWszystkich)) return;
    const std::string kluczDeinstalacji(KluczDeinstalacji(dane.wydanie));
    if (auto klucz = OtworzKluczRejestru(Korzen(korzen), kluczDeinstalacji))
        for (const auto& w : WartosciDeinstalacji(dane)) Zapisz(*klucz, Korzen(korzen), kluczDeinstalacji, w);
}

}  // namespace

void ZapiszRejestr(const TDaneRejestru& dane) {
    WykonajPrzebiegi([&](KorzenRejestru korzen) { Przebieg(dane, korzen); });

    for (int rodzaj : {RodzajTranslator, RodzajTranslatorInteraktywny, RodzajSlownik, RodzajTranslatorPlikow}) {
        const std::string sciezka(ZPXAppFunctions.KluczRodzaju(rodzaj));
        if (auto klucz = OtworzKluczRejestru(sys::RegistryRoot::CurrentUser, sciezka)) {
            // Outside the guarded passes: the step never raises, so a value
            // that does not go in is left out with a warning, like a key that
            // does not open.
            const sys::Result r = ZapiszWartosc(Dziennik::Biezacy(), *klucz, sys::RegistryRoot::CurrentUser, sciezka,
                                                "JezykInterfejsu", sys::RegistryKey::DwordValue(dane.jezyk));
            if (r) Protokoluj("Registry HKEY_CURRENT_USER\\", sciezka, ": JezykInterfejsu = ", dane.jezyk);
            else
                Protokoluj("Warning: registry HKEY_CURRENT_USER\\", sciezka, ": JezykInterfejsu = ", dane.jezyk,
                           ": not written: ", BladSystemu{r.error});
        }
    }
}
