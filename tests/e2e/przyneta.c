/* A bait DLL under the name of a library that Windows would look for beside
   a program. Loaded into a process, it leaves a marker beside itself:
   "<bait>.<program>.loaded", so a test tells which program took it. */
#include <windows.h>

#include <wchar.h>

BOOL WINAPI DllMain(HINSTANCE modul, DWORD powod, LPVOID zarezerwowane) {
    (void)zarezerwowane;
    if (powod == DLL_PROCESS_ATTACH) {
        wchar_t znacznik[2 * MAX_PATH + 16] = {0};
        wchar_t program[MAX_PATH] = {0};
        GetModuleFileNameW(modul, znacznik, MAX_PATH);
        GetModuleFileNameW(NULL, program, MAX_PATH);
        const wchar_t* nazwa = wcsrchr(program, L'\\');
        nazwa = nazwa != NULL ? nazwa + 1 : program;
        wcscat(znacznik, L".");
        wcscat(znacznik, nazwa);
        wcscat(znacznik, L".loaded");
        HANDLE plik = CreateFileW(znacznik, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (plik != INVALID_HANDLE_VALUE) CloseHandle(plik);
    }
    return TRUE;
}
