#include "install/Skladniki.h"

#include "install/Dziennik.h"
#include "install/UruchomKopie.h"
#include "install/Protokol.h"
#include "install/Wersje.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/version.h"

#include <string>

bool WersjaCoNajmniej(std::string_view sciezka, std::int32_t glowna, std::int32_t poboczna) noexcept {
    try {
        const auto info = sys::VersionInfo::Read(sciezka);
        if (!info) return false;
        const auto tlumaczenia = info->Translations();
        if (tlumaczenia.empty()) return false;
        // The string table of the first translation, "\StringFileInfo\" and
        // its language and code page as eight hexadecimal digits.
        const auto tekst = info->StringValue(tlumaczenia.front(), "FileVersion");
        if (!tekst) return false;
        return JestCoNajmniej(RozbierzWersje(*tekst), glowna, poboczna);
    } catch (...) {
        return false;
    }
}

bool InstalujSkladnik(std::string_view katalogSystemowy, std::string_view plik, std::string_view katalogZrodlowy,
                      std::int32_t glowna, std::int32_t poboczna) noexcept {
    try {
        if (katalogSystemowy.empty()) {
            Protokoluj("Component ", plik, ": skipped (no system folder)");
            return true;
        }
        std::string cel(katalogSystemowy);
        if (cel.back() != '\\') cel += '\\';
        cel += plik;
        if (sys::FileExists(cel) && WersjaCoNajmniej(cel, glowna, poboczna)) {
            Protokoluj("Component ", plik, ": already there (", cel, ")");
            return true;
        }
        // Never over a file that is there: the system and its programs may
        // rely on exactly that file.
        const std::string zrodlo = std::string(katalogZrodlowy) + std::string(plik);
        const sys::Result r = KopiujPlikSystemu(Dziennik::Biezacy(), zrodlo, cel);
        if (r) Protokoluj("Component ", plik, ": installed from ", zrodlo, " to ", cel);
        else Protokoluj("Warning: component ", plik, ": failed to copy ", zrodlo, " to ", cel, ": ", BladSystemu{r.error});
        return r.ok();
    } catch (...) {
        return false;
    }
}

bool InstalujSkladnik(std::string_view plik, std::string_view katalogZrodlowy, std::int32_t glowna,
                      std::int32_t poboczna) noexcept {
    try {
        return InstalujSkladnik(sys::SystemFolder().value_or(""), plik, katalogZrodlowy, glowna, poboczna);
    } catch (...) {
        return false;
    }
}

bool InstalujSyntezeMowy(std::string_view plik) noexcept {
    if (plik.find_first_of("\\:") == std::string_view::npos) return false;
    return UruchomKopie(plik, "SAPI51In.exe", "/s /v/qn");
}
