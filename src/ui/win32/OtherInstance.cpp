#include "ui/win32/OtherInstance.h"

#include "ui/win32/Internal.h"

namespace ui::win32 {

namespace {

BOOL CALLBACK FindInputForm(HWND hwnd, LPARAM param) {
    wchar_t name[32] = {};
    if (GetClassNameW(hwnd, name, 32) == 0 || lstrcmpW(name, detail::kFormClass) != 0) return TRUE;
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId() || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

}  // namespace

bool BringOtherInstanceToFront() {
    HWND form = nullptr;
    EnumWindows(&FindInputForm, reinterpret_cast<LPARAM>(&form));
    if (form == nullptr) return false;
    // A second start comes from the user's own action, so the system lets
    // it hand the foreground on.
    SetForegroundWindow(form);
    return true;
}

}  // namespace ui::win32
