#include "setup/KatalogDocelowy.h"

#include "base/Sciezki.h"
#include "base/Wydania.h"
#include "sys/drives.h"
#include "sys/folders.h"
#include "sys/security.h"

namespace {

// The folder `katalog` is in: "C:\a\b" gives "C:\a", "C:\a" gives "C:\";
// "" for a drive or share root.
std::string KatalogWyzej(std::string_view katalog) {
    const std::string korzen = sys::DriveRoot(katalog);
    const std::string sciezka = BezKoncowychUkosnikow(katalog);
    if (korzen.empty() || sciezka.size() <= korzen.size()) return {};
    std::string wyzej = sciezka.substr(0, sciezka.rfind('\\'));
    return wyzej.size() < korzen.size() ? korzen : wyzej;
}

}  // namespace

std::string KatalogProgramFiles() {
    // In its short form when Windows-1250 cannot carry the name.
    return sys::ProgramFilesFolder().value_or("");
}

std::string DomyslnyKatalogDocelowy(std::int32_t wydanie) {
    std::string katalog = KatalogProgramFiles();
    if (katalog.empty()) katalog = "C:";
    return katalog + "\\" + std::string(WpisWydania(KatalogiDomyslne, wydanie));
}

std::string KatalogZmiennyDlaInnych(const std::string& cel) {
    const sys::NoCriticalErrorBox bezPytaniaODysk;
    if (sys::InstallFolderAccess(cel, sys::InstallRole::Target) == sys::Access::Others) return cel;
    for (std::string wyzej = KatalogWyzej(cel); !wyzej.empty(); wyzej = KatalogWyzej(wyzej)) {
        switch (sys::InstallFolderAccess(wyzej, sys::InstallRole::Parent)) {
        case sys::Access::Missing: continue;
        case sys::Access::Others: return wyzej;
        case sys::Access::AdminsOnly: return {};
        }
    }
    return {};
}
