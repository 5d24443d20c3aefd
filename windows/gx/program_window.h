#pragma once
// The program's main window, as the device's input reaches it: the first
// shown window of the thread that opened the display that is not a message
// box.

#include <windows.h>

#include <cstdint>

// Null until the program has such a window.
HWND FindProgramWindow(DWORD programThread);

// The device's input, posted to the program's window. Positions are panel
// pixels as the device is held (never negative).
void PostStylus(HWND window, UINT message, int32_t x, int32_t y);
void PostKey(HWND window, UINT message, WPARAM virtualKey, LPARAM keyData);
void PostClose(HWND window);
