#include "windows/gx/program_window.h"

#include <cwchar>

#include "windows/gx/gx_state.h"

namespace {
// The class of the dialog boxes MessageBoxW shows.
constexpr wchar_t kDialogClass[] = L"#32770";

// The thread also owns hidden helper windows (input methods and the like):
// only a shown window counts.
BOOL CALLBACK TakeFirstWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window)) {
        return TRUE;
    }
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wcscmp(name, kDialogClass) == 0) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}
}  // namespace

HWND FindProgramWindow(DWORD programThread) {
    HWND found = nullptr;
    EnumThreadWindows(programThread, TakeFirstWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void PostStylus(HWND window, UINT message, int32_t x, int32_t y) {
    // A point of the panel, in the display the program gets.
    const int32_t scale = Gx().model.scale;
    const WPARAM buttons = message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
    PostMessageW(window, message, buttons, MAKELPARAM(x / scale, y / scale));
}

void PostKey(HWND window, UINT message, WPARAM virtualKey, LPARAM keyData) {
    PostMessageW(window, message, virtualKey, keyData);
}

void PostClose(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}
