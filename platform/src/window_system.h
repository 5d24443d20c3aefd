#pragma once
// The window system's process-wide state under one lock: classes, windows,
// the main window, the device's input state and the message boxes waiting
// for the host. Every thread's message queue and the condition its waits use
// (ThreadRecord::queue, ::wake) are guarded by this lock too.

#include <bitset>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>

#include "platform/device.h"

namespace platform {

struct ThreadRecord;

struct WindowClass {
    std::u16string name;
    ATOM atom;
    WNDPROC procedure;
    HICON icon;
};

struct Window {
    ThreadRecord* owner;  // whose queue gets its messages
    WNDPROC procedure;
    HICON classIcon;
    DWORD exStyle;
    DWORD style;
    std::u16string title;
    int32_t x, y, width, height;  // screen coordinates; no non-client area
    HWND parent;
    bool visible = false;
    bool destroying = false;
    bool alive = true;
};

struct MessageBoxCall {
    device::MessageBoxRequest request;
    ThreadRecord* caller;
    bool taken = false;  // the host is showing it
    bool answered = false;
    int answer = 0;
};

struct WindowSystem {
    std::mutex mutex;
    std::vector<WindowClass> classes;
    std::vector<Window> windows;  // handle = index + 1; never reused
    HWND mainWindow = nullptr;    // the first top-level window
    bool mainWindowAlive = false;
    std::u16string mainTitle;
    HICON mainIcon = nullptr;  // its class's
    bool stylusDown = false;
    POINT stylus{0, 0};  // last stylus point, screen coordinates
    std::bitset<256> keysDown;
    std::deque<MessageBoxCall*> messageBoxes;  // oldest first
};

WindowSystem& Windows();

// With the lock held: the live window behind a handle, or null.
Window* LiveWindow(WindowSystem& ws, HWND handle);
// With the lock held: queues a message at the end of the window's thread's
// posted messages (or the calling thread's, for a null window) and wakes it.
bool PostLocked(WindowSystem& ws, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
MSG MakeMessage(const WindowSystem& ws, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs a window procedure: the program's own code, so terminable. No lock of
// the stand-in may be held.
LRESULT CallProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Wakes the thread's wait in the window system (TerminateThread).
void WakeThread(ThreadRecord* thread);

}  // namespace platform
