#include "install/UruchomKopie.h"

#include "base/Narzedzia.h"
#include "base/Sciezki.h"
#include "install/Dziennik.h"
#include "install/SkryptUsuwania.h"
#include "sys/files.h"
#include "sys/folders.h"
#include "sys/process.h"
#include "sys/systemdll.h"
#include "sys/security.h"
#include "sys/text.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

constexpr std::string_view kPrzedrostekKatalogu = "velt";
constexpr std::size_t kCyfryKatalogu = 16;

// Whether `nazwa` is one NowyKatalogKopii gives: "velt" and 16 hexadecimal
// digits.
bool NazwaKataloguKopii(std::string_view nazwa) {
    if (nazwa.size() != kPrzedrostekKatalogu.size() + kCyfryKatalogu ||
        !RowneBezWielkosciLiter(nazwa.substr(0, kPrzedrostekKatalogu.size()), kPrzedrostekKatalogu))
        return false;
    for (const char c : nazwa.substr(kPrzedrostekKatalogu.size()))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

// A folder of this run's own inside `katalog` (which ends in a backslash):
// its name, without a backslash. The name cannot be guessed, and the folder
// is made only where nothing holds the name yet, for administrators alone, so
// nobody else can prepare it or what goes in. Only hexadecimal digits follow
// "velt": the command line of the batch names it as it is.
std::optional<std::string> NowyKatalogKopii(const std::string& katalog) {
    for (int proba = 0; proba < 16; ++proba) {
        unsigned long long los = 0;
        if (!sys::dll::GenRandom(&los, sizeof los)) return std::nullopt;
        char cyfry[kCyfryKatalogu + 1];
        std::snprintf(cyfry, sizeof cyfry, "%016llx", los);
        const std::string nazwa = std::string(kPrzedrostekKatalogu) + cyfry;
        const sys::Result wynik = sys::CreateAdminFolder(katalog + nazwa);
        if (wynik) return nazwa;
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

// Whether `program` lies in the working folder `katalog`, or in a run's
// folder right inside it (as the relaunched copy does).
bool WKataloguRoboczym(const std::string& katalog, std::string_view program) {
    const std::string folder = KatalogPlikuLubDysk(program);
    if (TenSamKatalog(katalog, folder)) return true;
    if (folder.size() <= katalog.size() || !TenSamKatalog(katalog, std::string_view(folder).substr(0, katalog.size())))
        return false;
    const std::string_view wlasny = std::string_view(folder).substr(katalog.size());
    return wlasny.back() == '\\' && NazwaKataloguKopii(wlasny.substr(0, wlasny.size() - 1));
}

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

bool Uruchom(std::string_view program, std::string_view nazwa, std::string_view parametry,
             const sys::File* dziedziczony) {
    if (!sys::FileExists(program)) return false;

    const std::string katalog = KatalogRoboczyKopii();
    if (katalog.empty()) return false;
    // The relaunched copy is called with its own file: it must not copy itself
    // onto itself.
    if (WKataloguRoboczym(katalog, program)) return false;
    // The elevated copy never runs from where others could change it: the
    // folder is used when only administrators may change it already, or made
    // now for them. One that others could change is not taken back here: the
    // wizard's look for journals does that, after it has set aside every
    // journal in it, which taken back first would look trustworthy.
    const std::string katalogBezUkosnika = BezKoncowegoUkosnikaPozaKorzeniem(katalog);
    sys::Access dostep = sys::FolderAccess(katalogBezUkosnika);
    if (dostep == sys::Access::Missing && sys::CreateAdminFolder(katalogBezUkosnika))
        dostep = sys::FolderAccess(katalogBezUkosnika);
    if (dostep != sys::Access::AdminsOnly) return false;

    const auto wlasny = NowyKatalogKopii(katalog);
    if (!wlasny) return false;
    const std::string wlasnyPelny = katalog + *wlasny;
    // Names relative to the working folder, the current one of both processes.
    const auto nazwy = WybierzNazwyKopii(*wlasny + "\\", nazwa,
                                         [&](const std::string& p) { return sys::EntryExists(katalog + p); });
    if (!nazwy) {
        sys::Ignore(sys::RemoveFolder(wlasnyPelny), "the relaunch already failed");
        return false;
    }
    const NazwyKopii pelne{katalog + nazwy->kopia, katalog + nazwy->skrypt};
    const auto porazka = [&] {
        Sprzatnij(wlasnyPelny, pelne);
        return false;
    };

    if (!sys::CopyFileTo(program, pelne.kopia, false)) return porazka();
    // A file copied from a CD arrives read-only; the batch must be able to
    // delete it.
    sys::Ignore(sys::SetAttributes(pelne.kopia, FILE_ATTRIBUTE_ARCHIVE),
                "a copy that stays read-only is only left behind in the working folder");

    const auto systemowy = sys::SystemFolder();
    if (!systemowy) return porazka();
    const std::string tekst = TekstSkryptuUsuwania(nazwy->kopia, nazwy->skrypt, *wlasny,
                                                   SciezkaDlaSkryptu(*systemowy + "ping.exe"));
    if (!sys::WriteWholeFile(pelne.skrypt, tekst)) return porazka();

    // Both run in the working folder, never in their own: the batch could not
    // remove a folder that is some process's current one.
    const std::string& biezacy = katalogBezUkosnika;
    sys::ProcessStart kopia;
    kopia.program = pelne.kopia;
    const std::string wierszKopii = "\"" + pelne.kopia + "\" " + std::string(parametry);
    kopia.commandLine = wierszKopii;
    kopia.folder = biezacy;
    kopia.show = SW_SHOWNORMAL;
    kopia.inherited = dziedziczony;
    if (!sys::StartProcess(kopia)) return porazka();

    // The command processor of the system folder (never one beside the
    // program), without the AutoRun commands of the registry (/d), which
    // others may have set. Its line holds no path: the batch and the run's
    // folder are named relative to the current folder, in letters and digits
    // that nothing expands. The batch runs by "call", so that the folder goes
    // once the batch is closed: some command processors keep a batch open
    // while it runs, and then its own last line cannot remove the folder.
    sys::ProcessStart skrypt;
    const std::string cmd = *systemowy + "cmd.exe";
    skrypt.program = cmd;
    const std::string wierszSkryptu = "cmd.exe /d /c call " + nazwy->skrypt + " & rmdir " + *wlasny;
    skrypt.commandLine = wierszSkryptu;
    skrypt.creationFlags = CREATE_SUSPENDED | IDLE_PRIORITY_CLASS;
    skrypt.folder = biezacy;
    skrypt.show = SW_HIDE;
    sys::StartedProcess proces = sys::StartProcess(skrypt);
    if (!proces) return false;
    // Lowered before it first runs, so that its retries never compete with the
    // started program.
    sys::Ignore(sys::SetPriority(proces.thread, THREAD_PRIORITY_IDLE),
                "the idle priority class alone keeps the batch in the background");
    if (!sys::Resume(proces.thread)) {
        // A batch that never runs would hold its process for good.
        sys::Ignore(sys::Terminate(proces.process, 1), "nothing more can be done about a stuck batch");
        return false;
    }
    return true;
}

}  // namespace

std::string KatalogRoboczyKopii() {
    const std::string katalog = KatalogDziennikow();
    return katalog.empty() ? katalog : katalog + "\\";
}

bool UruchomKopie(std::string_view program, std::string_view nazwa, std::string_view parametry,
                  const sys::File* dziedziczony) noexcept {
    try {
        return Uruchom(program, nazwa, parametry, dziedziczony);
    } catch (...) {
        // Only allocation can throw here; the caller expects a plain answer.
        return false;
    }
}
