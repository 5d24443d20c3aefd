// Sleep waits on the thread's own condition in the window system, so that
// TerminateThread can wake it.

#include <sched.h>

#include <chrono>
#include <mutex>

#include <windows.h>

#include "platform/src/termination.h"
#include "platform/src/thread_record.h"
#include "platform/src/trace.h"
#include "platform/src/window_system.h"

extern "C" void WINAPI Sleep(DWORD milliseconds) {
    const platform::TerminationDeferred deferred;
    if (milliseconds == 0) {
        sched_yield();
    } else {
        platform::WindowSystem& ws = platform::Windows();
        platform::ThreadRecord* self = platform::CurrentThread();
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        std::unique_lock<std::mutex> lock(ws.mutex);
        while (std::chrono::steady_clock::now() < deadline) {
            if (platform::TerminationRequested()) {
                return;  // the thread parks as the call unwinds
            }
            self->wake.wait_until(lock, deadline);
        }
    }
    platform::TraceLine("Sleep(%u)", milliseconds);
}
