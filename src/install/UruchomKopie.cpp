#include "install/UruchomKopie.h"

#include "base/Sciezki.h"
#include "install/SkryptUsuwania.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/process.h"
#include "sys/systemdll.h"
#include "sys/text.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

// A folder of this run's own inside `katalog` (which ends in a backslash),
// with its trailing backslash. Its name cannot be guessed and it is made only
// where nothing holds the name yet, so nobody can prepare it or what goes in.
std::optional<std::string> NowyKatalogKopii(const std::string& katalog) {
    for (int proba = 0; proba < 16; ++proba) {
        unsigned long long los = 0;
        if (!sys::dll::GenRandom(&los, sizeof los)) return std::nullopt;
        char nazwa[24];
        std::snprintf(nazwa, sizeof nazwa, "velt%016llx", los);
        const std::string sciezka = katalog + nazwa;
        const sys::Result wynik = sys::CreateFolder(sciezka);
        if (wynik) return sciezka + "\\";
        if (wynik.error != ERROR_ALREADY_EXISTS && wynik.error != ERROR_FILE_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

// Removes what a relaunch that could not start left in its folder, and the
// folder.
void Sprzatnij(const std::string& katalog, const NazwyKopii& nazwy) {
    sys::Ignore(sys::RemoveFile(nazwy.kopia), "the relaunch already failed");
    sys::Ignore(sys::RemoveFile(nazwy.skrypt), "the relaunch already failed");
    sys::Ignore(sys::RemoveFolder(katalog), "the relaunch already failed");
}

std::wstring MaleLiterySystemu(std::string_view tekst) {
    std::wstring wide = sys::ToWide(tekst);
    if (!wide.empty()) CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return wide;
}

// Whether two folders are the same by the system's case rules.
bool TenSamKatalog(std::string_view a, std::string_view b) { return MaleLiterySystemu(a) == MaleLiterySystemu(b); }

// `sciezka` in the console code page, in which the command processor reads a
// batch file. A path that code page cannot carry is given in its short form
// (of the file itself, else of its folder), whose letters it can.
std::string SciezkaDlaSkryptu(std::string_view sciezka) {
    auto wKodzieKonsoli = [](std::wstring_view wide) -> std::optional<std::string> {
        std::string oem = sys::FromWide(wide, CP_OEMCP);
        if (sys::ToWide(oem, CP_OEMCP) != wide) return std::nullopt;
        return oem;
    };
    auto krotka = [](const std::wstring& wide) -> std::wstring {
        std::vector<wchar_t> bufor(32768);
        const DWORD n = GetShortPathNameW(wide.c_str(), bufor.data(), static_cast<DWORD>(bufor.size()));
        return n > 0 && n < bufor.size() ? std::wstring(bufor.data(), n) : std::wstring();
    };
    const std::wstring dluga = sys::ToWide(sciezka);
    if (auto wprost = wKodzieKonsoli(dluga)) return *wprost;
    if (const std::wstring k = krotka(dluga); !k.empty()) {
        if (auto s = wKodzieKonsoli(k)) return *s;
    }
    const std::string katalog = KatalogPlikuLubDysk(sciezka);
    const std::wstring nazwa = sys::ToWide(sciezka.substr(katalog.size()));
    if (const std::wstring k = krotka(sys::ToWide(katalog)); !k.empty()) {
        if (auto s = wKodzieKonsoli(k + (k.back() == L'\\' ? L"" : L"\\") + nazwa)) return *s;
    }
    // Nothing better: the batch then leaves the files behind, as before.
    return sys::FromWide(dluga, CP_OEMCP);
}

bool Uruchom(std::string_view program, std::string_view nazwa, std::string_view parametry) {
    if (!sys::FileExists(program)) return false;

    const std::string katalog = KatalogRoboczyKopii();
    // The relaunched copy is called with its own file: it must not copy itself
    // onto itself.
    if (TenSamKatalog(katalog, KatalogPlikuLubDysk(program))) return false;

    const auto wlasny = NowyKatalogKopii(katalog);
    if (!wlasny) return false;
    const std::string wlasnyBezUkosnika = BezKoncowegoUkosnikaPozaKorzeniem(*wlasny);
    const auto nazwy = WybierzNazwyKopii(*wlasny, nazwa, [](const std::string& p) { return sys::EntryExists(p); });
    if (!nazwy) {
        sys::Ignore(sys::RemoveFolder(wlasnyBezUkosnika), "the relaunch already failed");
        return false;
    }
    const auto porazka = [&] {
        Sprzatnij(wlasnyBezUkosnika, *nazwy);
        return false;
    };

    if (!sys::CopyFileTo(program, nazwy->kopia, false)) return porazka();
    // A file copied from a CD arrives read-only; the batch must be able to
    // delete it.
    sys::Ignore(sys::SetAttributes(nazwy->kopia, FILE_ATTRIBUTE_ARCHIVE),
                "a copy that stays read-only is only left behind in the temporary folder");

    const auto systemowy = sys::SystemFolder();
    if (!systemowy) return porazka();
    const std::string tekst =
        TekstSkryptuUsuwania(SciezkaDlaSkryptu(nazwy->kopia), SciezkaDlaSkryptu(nazwy->skrypt),
                             SciezkaDlaSkryptu(wlasnyBezUkosnika), SciezkaDlaSkryptu(*systemowy + "ping.exe"));
    if (!sys::WriteWholeFile(nazwy->skrypt, tekst)) return porazka();

    // Both run in the working folder, never in their own: the batch could not
    // remove a folder that is some process's current one.
    const std::string biezacy = BezKoncowegoUkosnikaPozaKorzeniem(katalog);
    if (!sys::ShellOpen(nazwy->kopia, parametry, biezacy, SW_SHOWNORMAL, nullptr)) return porazka();

    // The command processor of the system folder (never one beside the
    // program) runs the batch by "call", so that the folder goes once the
    // batch is closed: some command processors keep a batch open while it
    // runs, and then its own last line cannot remove the folder. Quoted: a
    // temporary folder with a blank in its path would otherwise name another
    // program.
    sys::StartedProcess skrypt =
        sys::StartProcess("\"" + *systemowy + "cmd.exe\" /c call \"" + nazwy->skrypt + "\" & rmdir \"" +
                              wlasnyBezUkosnika + "\"",
                          CREATE_SUSPENDED | IDLE_PRIORITY_CLASS, biezacy, true);
    if (!skrypt) return false;
    // Lowered before it first runs, so that its retries never compete with the
    // started program.
    sys::Ignore(sys::SetPriority(skrypt.thread, THREAD_PRIORITY_IDLE),
                "the idle priority class alone keeps the batch in the background");
    if (!sys::Resume(skrypt.thread)) {
        // A batch that never runs would hold its process for good.
        sys::Ignore(sys::Terminate(skrypt.process, 1), "nothing more can be done about a stuck batch");
        return false;
    }
    return true;
}

}  // namespace

std::string KatalogRoboczyKopii() {
    if (auto temp = sys::TempFolder()) return *temp;
    if (auto windows = sys::WindowsFolder()) return *windows;
    return "C:\\";
}

bool UruchomKopie(std::string_view program, std::string_view nazwa, std::string_view parametry) noexcept {
    try {
        return Uruchom(program, nazwa, parametry);
    } catch (...) {
        // Only allocation can throw here; the caller expects a plain answer.
        return false;
    }
}
