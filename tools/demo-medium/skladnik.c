/* Stand-in for a system component the wizard puts into the system folder
   when it is missing there. What matters is its version information (the
   resource script beside it); the library itself does nothing. */
#include <windows.h>

BOOL WINAPI WejscieSkladnika(HINSTANCE modul, DWORD powod, LPVOID zarezerwowane) {
    (void)modul;
    (void)powod;
    (void)zarezerwowane;
    return TRUE;
}
