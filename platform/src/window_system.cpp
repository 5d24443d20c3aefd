#include "platform/src/window_system.h"

#include "platform/src/clock.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"

namespace platform {

WindowSystem& Windows() {
    static WindowSystem* state = new WindowSystem;  // outlives threads still running at exit
    return *state;
}

Window* LiveWindow(WindowSystem& ws, HWND handle) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value == 0 || value > ws.windows.size()) {
        return nullptr;
    }
    Window& window = ws.windows[value - 1];
    return window.alive ? &window : nullptr;
}

MSG MakeMessage(const WindowSystem& ws, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG m{};
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = TickCount();
    m.pt = ws.stylus;
    return m;
}

bool PostLocked(WindowSystem& ws, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ThreadRecord* owner = CurrentThread();
    if (window != nullptr) {
        Window* target = LiveWindow(ws, window);
        if (target == nullptr) {
            return false;
        }
        owner = target->owner;
    }
    owner->queue.posted.push_back(MakeMessage(ws, window, message, wParam, lParam));
    owner->wake.notify_all();
    return true;
}

LRESULT CallProcedure(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const TerminationAllowed allowed;
    return procedure(window, message, wParam, lParam);
}

void WakeThread(ThreadRecord* thread) {
    WindowSystem& ws = Windows();
    const TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(ws.mutex);
    thread->wake.notify_all();
}

}  // namespace platform
