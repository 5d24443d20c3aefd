// Sleep and the device's pacing wait on the thread's own condition in the
// window system, so that TerminateThread can wake them.

#include <sched.h>

#include <chrono>
#include <mutex>
#include <new>

#include <windows.h>

#include "platform/src/memory_shortage.h"
#include "platform/src/pacing.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"
#include "platform/src/trace.h"
#include "platform/src/window_system.h"

namespace platform {

bool WaitUntil(std::chrono::steady_clock::time_point deadline) {
    WindowSystem& ws = Windows();
    ThreadRecord* self = CurrentThread();
    std::unique_lock<std::mutex> lock(ws.mutex);
    while (std::chrono::steady_clock::now() < deadline) {
        if (TerminationRequested()) {
            return false;  // the thread parks as the call unwinds
        }
        self->wake.wait_until(lock, deadline);
    }
    return true;
}

}  // namespace platform

extern "C" void WINAPI Sleep(DWORD milliseconds) try {
    const platform::TerminationDeferred deferred;
    if (milliseconds == 0) {
        sched_yield();
    } else if (!platform::WaitUntil(std::chrono::steady_clock::now() +
                                    std::chrono::milliseconds(milliseconds))) {
        return;
    }
    platform::TraceLine("Sleep(%u)", milliseconds);
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("Sleep");
}
