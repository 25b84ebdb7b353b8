#include "install/Czcionki.h"

#include "base/Sciezki.h"
#include "install/Dziennik.h"
#include "install/NazwyCzcionek.h"
#include "install/Protokol.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/fonts.h"
#include "sys/locale.h"

#include <algorithm>
#include <optional>

MiejscaCzcionki MiejscaCzcionkiSystemu() {
    MiejscaCzcionki miejsca;
    miejsca.katalogCzcionek = sys::FontsFolder().value_or("");
    miejsca.kluczGlowny = sys::RegistryRoot::LocalMachine;
    miejsca.klucz = sys::SystemVersion().nt ? "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"
                                            : "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
    return miejsca;
}

namespace {

// The path of the installed copy; nullopt when no copy was made.
std::optional<std::string> SkopiujCzcionke(const MiejscaCzcionki& miejsca, std::string_view plik,
                                           const std::string& zrodlo, std::string_view katalogZapasowy) {
    Dziennik* const d = Dziennik::Biezacy();
    if (!miejsca.katalogCzcionek.empty() && sys::FolderExists(miejsca.katalogCzcionek)) {
        const std::string cel = miejsca.katalogCzcionek + std::string(plik);
        const sys::Result r = KopiujPlikSystemu(d, zrodlo, cel);
        if (r) return cel;
        Protokoluj("Warning: font ", plik, ": cannot copy ", zrodlo, " to ", cel, ": ", BladSystemu{r.error});
    }
    const std::string katalog = ZJednymUkosnikiem(katalogZapasowy);
    if (katalog.empty() || !sys::FolderExists(katalog)) return std::nullopt;
    const auto nazwa = WolnaNazwa(plik, [&](const std::string& n) { return sys::EntryExists(katalog + n); });
    if (!nazwa) return std::nullopt;
    const std::string cel = katalog + *nazwa;
    if (const sys::Result r = KopiujPlikSystemu(d, zrodlo, cel); !r) {
        Protokoluj("Warning: font ", plik, ": cannot copy ", zrodlo, " to ", cel, ": ", BladSystemu{r.error});
        return std::nullopt;
    }
    return cel;
}

}  // namespace

bool InstalujCzcionke(const MiejscaCzcionki& miejsca, std::string_view czcionka, std::string_view plik,
                      std::string_view katalogZrodlowy, std::string_view katalogZapasowy) noexcept {
    try {
        // A font already in the fonts folder belongs to the system as it is.
        if (!miejsca.katalogCzcionek.empty() && sys::FolderExists(miejsca.katalogCzcionek) &&
            sys::FileExists(miejsca.katalogCzcionek + std::string(plik))) {
            Protokoluj("Font ", czcionka, ": already there (", miejsca.katalogCzcionek, plik, ")");
            return true;
        }
        const auto cel = SkopiujCzcionke(miejsca, plik, ZJednymUkosnikiem(katalogZrodlowy) + std::string(plik),
                                         katalogZapasowy);
        if (!cel) {
            Protokoluj("Warning: font ", czcionka, ": not installed");
            return false;
        }
        Dziennik* const d = Dziennik::Biezacy();
        try {
            if (auto klucz = OtworzKlucz(d, miejsca.kluczGlowny, miejsca.klucz)) {
                // An unregistered font still serves this session.
                if (const sys::Result r = ZapiszWartosc(d, *klucz, miejsca.kluczGlowny, miejsca.klucz, czcionka,
                                                        sys::RegistryKey::StringValue(*cel), true);
                    !r)
                    Protokoluj("Warning: font ", czcionka, ": not registered: ", BladSystemu{r.error});
            } else {
                Protokoluj("Warning: font ", czcionka, ": not registered: the key ", miejsca.klucz, " cannot be opened");
            }
        } catch (...) {
            // The same: the font is usable without its registration.
        }
        DodajCzcionke(d, *cel);
        Protokoluj("Font ", czcionka, ": installed as ", *cel);
        return true;
    } catch (...) {
        return false;
    }
}

bool InstalujCzcionke(std::string_view czcionka, std::string_view plik, std::string_view katalogZrodlowy,
                      std::string_view katalogZapasowy) noexcept {
    try {
        return InstalujCzcionke(MiejscaCzcionkiSystemu(), czcionka, plik, katalogZrodlowy, katalogZapasowy);
    } catch (...) {
        return false;
    }
}

void ZestawyZnakow(std::string_view czcionka, std::vector<std::string>& lista) {
    for (const auto numer : sys::FontCharsets(czcionka)) lista.push_back(NazwaZestawuZnakow(numer));
}

bool MaZestawZnakow(std::string_view czcionka, std::string_view zestaw) {
    std::vector<std::string> lista;
    ZestawyZnakow(czcionka, lista);
    return std::find(lista.begin(), lista.end(), zestaw) != lista.end();
}

std::string WybierzCzcionkeInterfejsu() {
    constexpr std::string_view kZestaw = "EASTEUROPE_CHARSET";
    if (!MaZestawZnakow("Arial", kZestaw) && MaZestawZnakow("Tahoma", kZestaw)) return "Tahoma";
    return "Arial";
}
