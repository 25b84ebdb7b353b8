#pragma once
// The functions the program takes from comctl32, msimg32, version and oleacc,
// and the one advapi32 hands on to cryptbase.
//
// These DLLs are not among those Windows always takes from the system folder.
// Named in the import table they would load before the program's first line,
// from beside the program first (for the relaunched copy: the temporary
// folder). So each is loaded on first use from the system folder, after the
// program has restricted the search, and its functions are looked up by name.
// No import slot of theirs exists for a linker to leave unbound, and the
// 32-bit and the 64-bit program behave alike.
//
// A function that cannot be had fails as the call itself fails (FALSE, null,
// 0 or -1) with ERROR_PROC_NOT_FOUND as the last error. The DLLs stay loaded
// for the life of the process.

#include <windows.h>

#include <commctrl.h>
#include <ntsecapi.h>
#include <oleacc.h>

namespace sys::dll {

// Loads from the system folder, at start, every library of the system that
// its own components load later by bare name (themes, composition, alpha
// blending, rich edit, ...), and keeps each for the life of the process. A
// later load by that name then finds the one loaded, never a file of that
// name beside the program, which Wine's loader, and Windows 7 without its
// library-search update, would otherwise look at first. Call it right after
// OnlySystemFolderForLibraries; one that the system lacks is skipped.
void HoldSystemLibraries() noexcept;

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) noexcept;
HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) noexcept;
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) noexcept;
BOOL ImageList_Destroy(HIMAGELIST list) noexcept;

BOOL AlphaBlend(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight, BLENDFUNCTION blend) noexcept;

DWORD GetFileVersionInfoSizeW(const wchar_t* path, DWORD* unused) noexcept;
BOOL GetFileVersionInfoW(const wchar_t* path, DWORD unused, DWORD size, void* data) noexcept;
BOOL VerQueryValueW(const void* block, const wchar_t* name, void** found, UINT* length) noexcept;

// RtlGenRandom (advapi32's SystemFunction036). Windows forwards it to
// cryptbase.dll, which is not among the DLLs it always takes from the system
// folder: named in the import table, the forward would be resolved before
// the program's first line, beside the program first.
BOOLEAN GenRandom(void* buffer, ULONG length) noexcept;

// Loaded only when a screen reader first asks a window about itself. A
// failure is E_NOINTERFACE, and for LresultFromObject that HRESULT as the
// result.
HRESULT CreateStdAccessibleObject(HWND window, LONG object, REFIID iid, void** result) noexcept;
LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object) noexcept;

}  // namespace sys::dll
