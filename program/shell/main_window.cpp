#include <windows.h>

#include "display/draw_surface.h"
#include "shell/shell.h"

namespace {
constexpr int kIconResource = 104;
constexpr int kCursorResource = 105;
const WCHAR kClassName[] = TEXT("demo");
const WCHAR kTitle[] = TEXT("GAPI Demo, https://example.org/plasma");
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU;
constexpr DWORD kSettleMs = 10;
}  // namespace

// The window only receives input; nothing is ever drawn into it.
int CreateMainWindow(int showCommand, HINSTANCE instance) {
    WNDCLASSW windowClass;
    windowClass.style = 0;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hCursor = LoadCursorW(instance, MAKEINTRESOURCEW(kCursorResource));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);

    gMainWindow = CreateWindowExW(0, kClassName, kTitle, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  gDrawSurface.width, gDrawSurface.height, nullptr, nullptr,
                                  instance, nullptr);
    if (gMainWindow == nullptr) {
        return 0;
    }
    ShowWindow(gMainWindow, showCommand);
    UpdateWindow(gMainWindow);
    Sleep(kSettleMs);
    return 1;
}
