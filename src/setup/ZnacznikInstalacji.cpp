#include "setup/ZnacznikInstalacji.h"

#include "base/Wydania.h"
#include "sys/registry.h"

void UstawInstalacjeWToku(std::int32_t wydanie, bool flaga) {
    // An edition without key (a number outside 1..21) must not write into the
    // root of HKEY_CURRENT_USER.
    const std::string klucz = KluczRejestruWydania(wydanie);
    if (klucz.empty()) return;
    auto otwarty = sys::RegistryKey::OpenFull(sys::RegistryRoot::CurrentUser, klucz, flaga);
    if (!otwarty) return;
    sys::Ignore(otwarty->WriteBool("InstallationInProgress", flaga),
                "the marker is advisory; the wizard runs the same without it");
}
