#include "sys/systemdll.h"

#include "sys/process.h"

namespace sys::dll {

namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x00000800;
#endif

HMODULE Load(const wchar_t* name) noexcept {
    // A bare name lets the manifest's activation context choose common
    // controls 6; the flag keeps every other search to the system folder.
    if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // Windows 7 without its library-search update refuses the flag.
    try {
        return LoadSystemLibrary(name).release();
    } catch (...) {
        return nullptr;
    }
}

// The function `name` of `module` as a pointer of the declared type of its
// namesake in the system headers, so that a wrong signature fails to compile.
template <typename Function>
Function Find(HMODULE module, const char* name) noexcept {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

template <typename Result>
Result Missing(Result failure) noexcept {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return failure;
}

}  // namespace

void HoldSystemLibraries() noexcept {
    // What Wine loads into the wizard after its start (+loaddll over every
    // page and dialog and a silent run): common controls and the themes they
    // draw with, alpha blending, the rich edit and its script shaping; then
    // the accessibility and version functions bound below, and what Windows
    // loads by name behind functions the program calls: cryptbase
    // (GenRandom), ntmarta (GetSecurityInfo and the like), linkinfo (saving
    // a shell link).
    static constexpr const wchar_t* kLibraries[] = {
        L"comctl32.dll", L"uxtheme.dll", L"dwmapi.dll",   L"msimg32.dll",  L"usp10.dll",   L"riched20.dll",
        L"msftedit.dll", L"oleacc.dll",  L"version.dll", L"cryptbase.dll", L"ntmarta.dll", L"linkinfo.dll",
    };
    for (const wchar_t* name : kLibraries) Ignore(Load(name), "held for the life of the process");
}

// Looked up once per function. A DLL that is loaded already is only counted
// again by the loader, and stays for the life of the process.
#define VELT_BIND(dll, function) \
    static const auto bound = Find<decltype(&::function)>(Load(dll), #function)

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) noexcept {
    VELT_BIND(L"comctl32.dll", InitCommonControlsEx);
    return bound ? bound(classes) : Missing<BOOL>(FALSE);
}

HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) noexcept {
    VELT_BIND(L"comctl32.dll", ImageList_Create);
    return bound ? bound(width, height, flags, initial, grow) : Missing<HIMAGELIST>(nullptr);
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) noexcept {
    VELT_BIND(L"comctl32.dll", ImageList_Add);
    return bound ? bound(list, image, mask) : Missing(-1);
}

BOOL ImageList_Destroy(HIMAGELIST list) noexcept {
    VELT_BIND(L"comctl32.dll", ImageList_Destroy);
    return bound ? bound(list) : Missing<BOOL>(FALSE);
}

BOOL AlphaBlend(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, BLENDFUNCTION blend) noexcept {
    VELT_BIND(L"msimg32.dll", AlphaBlend);
    return bound ? bound(target, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, blend)
                 : Missing<BOOL>(FALSE);
}

DWORD GetFileVersionInfoSizeW(const wchar_t* path, DWORD* unused) noexcept {
    VELT_BIND(L"version.dll", GetFileVersionInfoSizeW);
    return bound ? bound(path, unused) : Missing<DWORD>(0);
}

BOOL GetFileVersionInfoW(const wchar_t* path, DWORD unused, DWORD size, void* data) noexcept {
    VELT_BIND(L"version.dll", GetFileVersionInfoW);
    return bound ? bound(path, unused, size, data) : Missing<BOOL>(FALSE);
}

BOOL VerQueryValueW(const void* block, const wchar_t* name, void** found, UINT* length) noexcept {
    VELT_BIND(L"version.dll", VerQueryValueW);
    return bound ? bound(block, name, found, length) : Missing<BOOL>(FALSE);
}

BOOLEAN GenRandom(void* buffer, ULONG length) noexcept {
    VELT_BIND(L"advapi32.dll", SystemFunction036);
    return bound ? bound(buffer, length) : Missing<BOOLEAN>(FALSE);
}

HRESULT CreateStdAccessibleObject(HWND window, LONG object, REFIID iid, void** result) noexcept {
    VELT_BIND(L"oleacc.dll", CreateStdAccessibleObject);
    if (bound) return bound(window, object, iid, result);
    if (result != nullptr) *result = nullptr;
    return E_NOINTERFACE;
}

LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object) noexcept {
    VELT_BIND(L"oleacc.dll", LresultFromObject);
    return bound ? bound(iid, wParam, object) : static_cast<LRESULT>(E_NOINTERFACE);
}

#undef VELT_BIND

}  // namespace sys::dll
