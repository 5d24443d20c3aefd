// Posting, taking and dispatching messages.

#include <windows.h>

#include <mutex>
#include <new>
#include <string>

#include "platform/src/clock.h"
#include "platform/src/key_codes.h"
#include "platform/src/memory_shortage.h"
#include "platform/src/message_queue.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"
#include "platform/src/trace.h"
#include "platform/src/window_system.h"

namespace {

using platform::Hex;
using platform::TraceLine;

std::string Describe(const MSG& m) {
    return platform::DescribeMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

}  // namespace

extern "C" {

BOOL WINAPI GetMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax) try {
    const platform::TerminationDeferred deferred;
    if (message == nullptr) {
        TraceLine("GetMessageW(0) = -1");
        return -1;
    }
    platform::WindowSystem& ws = platform::Windows();
    platform::ThreadRecord* self = platform::CurrentThread();
    const platform::MessageFilter filter{window, filterMin, filterMax};
    MSG taken{};
    platform::Taken kind;
    {
        std::unique_lock<std::mutex> lock(ws.mutex);
        while ((kind = platform::TakeNextMessage(self->queue, filter, &taken)) ==
               platform::Taken::kNothing) {
            if (platform::TerminationRequested()) {
                return FALSE;  // never seen: the thread parks as the call unwinds
            }
            self->wake.wait(lock);
        }
        if (kind == platform::Taken::kQuit) {
            taken.time = platform::TickCount();
            taken.pt = ws.stylus;
        }
    }
    *message = taken;
    const BOOL result = kind == platform::Taken::kQuit ? FALSE : TRUE;
    TraceLine("GetMessageW(hwnd=%s, min=%s, max=%s) = %d %s", Hex(window).c_str(),
              Hex(filterMin).c_str(), Hex(filterMax).c_str(), result, Describe(taken).c_str());
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GetMessageW");
}

BOOL WINAPI TranslateMessage(const MSG* message) try {
    const platform::TerminationDeferred deferred;
    if (message == nullptr) {
        return FALSE;
    }
    // Nonzero for a key down, whether or not it made a character; zero for
    // everything else, a key up included: the handheld's TranslateMessage
    // answers so (desktop Windows answers nonzero for a key up too).
    const BOOL isKeyDown = message->message == WM_KEYDOWN;
    WCHAR character = 0;
    if (!isKeyDown || !platform::CharacterForKey(message->wParam, &character)) {
        TraceLine("TranslateMessage(%s) = %d", Describe(*message).c_str(), isKeyDown);
        return isKeyDown;
    }
    platform::WindowSystem& ws = platform::Windows();
    const std::lock_guard<std::mutex> lock(ws.mutex);
    const bool posted =
        platform::PostLocked(ws, message->hwnd, WM_CHAR, character, message->lParam);
    TraceLine("TranslateMessage(%s) = 1%s", Describe(*message).c_str(),
              posted ? (", posted " + platform::DescribeMessage(message->hwnd, WM_CHAR, character,
                                                                message->lParam))
                           .c_str()
                     : "");
    return TRUE;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("TranslateMessage");
}

LRESULT WINAPI DispatchMessageW(const MSG* message) try {
    const platform::TerminationDeferred deferred;
    if (message == nullptr) {
        return 0;
    }
    platform::WindowSystem& ws = platform::Windows();
    WNDPROC procedure = nullptr;
    {
        const std::lock_guard<std::mutex> lock(ws.mutex);
        if (platform::Window* w = platform::LiveWindow(ws, message->hwnd)) {
            procedure = w->procedure;
        }
    }
    LRESULT result = 0;
    if (procedure != nullptr) {
        result = platform::CallProcedure(procedure, message->hwnd, message->message,
                                         message->wParam, message->lParam);
    }
    TraceLine("DispatchMessageW(%s) = %ld", Describe(*message).c_str(), static_cast<long>(result));
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("DispatchMessageW");
}

BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) try {
    const platform::TerminationDeferred deferred;
    platform::WindowSystem& ws = platform::Windows();
    // Listed under the lock, so the line comes before the receiver's.
    const std::lock_guard<std::mutex> lock(ws.mutex);
    const BOOL result = platform::PostLocked(ws, window, message, wParam, lParam) ? TRUE : FALSE;
    TraceLine("PostMessageW(%s) = %d",
              platform::DescribeMessage(window, message, wParam, lParam).c_str(), result);
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("PostMessageW");
}

// Not a message in the queue: a flag GetMessageW looks at when the queue is
// otherwise empty, as on the platform.
void WINAPI PostQuitMessage(int exitCode) try {
    const platform::TerminationDeferred deferred;
    platform::WindowSystem& ws = platform::Windows();
    platform::ThreadRecord* self = platform::CurrentThread();
    const std::lock_guard<std::mutex> lock(ws.mutex);
    self->queue.quitRequested = true;
    self->queue.quitCode = exitCode;
    TraceLine("PostQuitMessage(%d)", exitCode);
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("PostQuitMessage");
}

}  // extern "C"
