// Input from the device: queued for the main window's thread, addressed to
// the main window, after any posted messages.

#include <mutex>

#include "platform/device.h"
#include "platform/src/display.h"
#include "platform/src/key_codes.h"
#include "platform/src/message_queue.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"
#include "platform/src/trace.h"
#include "platform/src/window_system.h"

namespace {

using platform::Window;
using platform::WindowSystem;

constexpr LPARAM kPreviousStateDown = LPARAM{1} << 30;
constexpr LPARAM kReleased = LPARAM{1} << 31;

// With the lock held: the main window while it exists.
Window* MainWindow(WindowSystem& ws) {
    return ws.mainWindowAlive ? platform::LiveWindow(ws, ws.mainWindow) : nullptr;
}

void QueueInput(WindowSystem& ws, Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
    const MSG m = platform::MakeMessage(ws, ws.mainWindow, message, wParam, lParam);
    if (message == WM_MOUSEMOVE) {
        platform::QueueStylusMove(window.owner->queue, m);
    } else {
        window.owner->queue.input.push_back(m);
    }
    window.owner->wake.notify_all();
    platform::TraceLine("post %s",
                        platform::DescribeMessage(ws.mainWindow, message, wParam, lParam).c_str());
}

// The window has no frame: client coordinates are screen coordinates less
// the window's position.
LPARAM ClientPoint(const Window& window, int32_t x, int32_t y) {
    return MAKELPARAM(x - window.x, y - window.y);
}

enum class Stylus { kDown, kMove, kUp };

void StylusInput(Stylus what, int32_t x, int32_t y) {
    WindowSystem& ws = platform::Windows();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(ws.mutex);
    Window* window = MainWindow(ws);
    if (window == nullptr || (what != Stylus::kDown && !ws.stylusDown)) {
        return;
    }
    // The program's coordinates are those of its display, however the panel shows it.
    const POINT point = platform::ScreenToDisplay(x, y);
    x = point.x;
    y = point.y;
    ws.stylus = point;
    ws.stylusDown = what != Stylus::kUp;
    const UINT message = what == Stylus::kDown   ? WM_LBUTTONDOWN
                         : what == Stylus::kMove ? WM_MOUSEMOVE
                                                 : WM_LBUTTONUP;
    QueueInput(ws, *window, message, what == Stylus::kUp ? 0 : MK_LBUTTON,
               ClientPoint(*window, x, y));
}

void KeyInput(UINT virtualKey, bool down) {
    WindowSystem& ws = platform::Windows();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(ws.mutex);
    Window* window = MainWindow(ws);
    if (window == nullptr) {
        return;
    }
    const size_t key = virtualKey & 0xFF;
    const bool wasDown = ws.keysDown.test(key);
    ws.keysDown.set(key, down);
    LPARAM lParam = 1 | static_cast<LPARAM>(platform::ScanCodeForKey(virtualKey)) << 16;
    if (!down) {
        lParam |= kPreviousStateDown | kReleased;
    } else if (wasDown) {
        lParam |= kPreviousStateDown;  // held down: a repeat
    }
    QueueInput(ws, *window, down ? WM_KEYDOWN : WM_KEYUP, virtualKey, lParam);
}

}  // namespace

namespace device {

void StylusDown(int32_t x, int32_t y) {
    StylusInput(Stylus::kDown, x, y);
}
void StylusMove(int32_t x, int32_t y) {
    StylusInput(Stylus::kMove, x, y);
}
void StylusUp(int32_t x, int32_t y) {
    StylusInput(Stylus::kUp, x, y);
}
void KeyDown(UINT virtualKey) {
    KeyInput(virtualKey, true);
}
void KeyUp(UINT virtualKey) {
    KeyInput(virtualKey, false);
}

void CloseRequest() {
    WindowSystem& ws = platform::Windows();
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(ws.mutex);
    if (MainWindow(ws) != nullptr && platform::PostLocked(ws, ws.mainWindow, WM_CLOSE, 0, 0)) {
        platform::TraceLine("post %s",
                            platform::DescribeMessage(ws.mainWindow, WM_CLOSE, 0, 0).c_str());
    }
}

}  // namespace device
