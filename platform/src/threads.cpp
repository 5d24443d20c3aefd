// CreateThread, GetExitCodeThread and TerminateThread.

#include <cstring>
#include <new>
#include <string>

#include <windows.h>

#include "platform/src/memory_shortage.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"
#include "platform/src/trace.h"
#include "platform/src/window_system.h"

extern "C" {

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, DWORD stackSize,
                           LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                           LPDWORD threadId) try {
    const platform::TerminationDeferred deferred;
    platform::ThreadRecord* thread = nullptr;
    int error = 0;
    // Only flags 0: the stand-in has no suspended start. A thread the device
    // has no room for is NULL, the platform's answer; the program goes on.
    if (start != nullptr && flags == 0) {
        thread = platform::SpawnThread(
            nullptr, platform::ThreadStackBytes(stackSize), true,
            [start, parameter] { return start(parameter); }, &error);
    }
    if (thread != nullptr && threadId != nullptr) {
        *threadId = thread->id;
    }
    HANDLE handle = thread != nullptr ? thread->handle : nullptr;
    platform::TraceLine(
        "CreateThread(attributes=%s, stack=%u, start=%s, param=%s, flags=%s) = %s%s%s",
        platform::Hex(attributes).c_str(), stackSize,
        platform::Hex(reinterpret_cast<uintptr_t>(start)).c_str(), platform::Hex(parameter).c_str(),
        platform::Hex(flags).c_str(), platform::Hex(handle).c_str(),
        thread != nullptr ? (" (" + thread->name + ")").c_str() : "",
        error != 0 ? (", " + std::string(std::strerror(error))).c_str() : "");
    return handle;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("CreateThread");
}

BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode) try {
    const platform::TerminationDeferred deferred;
    platform::ThreadRecord* record = platform::ThreadFromHandle(thread);
    if (record == nullptr || exitCode == nullptr) {
        platform::TraceLine("GetExitCodeThread(%s) = 0", platform::Hex(thread).c_str());
        return FALSE;
    }
    *exitCode = platform::ExitCodeOf(record->termination);
    platform::TraceLine("GetExitCodeThread(%s) = 1, code %u", platform::Hex(thread).c_str(),
                        *exitCode);
    return TRUE;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GetExitCodeThread");
}

// Returns once the thread has stopped for good: it runs nothing more of the
// program. A thread that has ended already keeps its exit code.
BOOL WINAPI TerminateThread(HANDLE thread, DWORD exitCode) try {
    const platform::TerminationDeferred deferred;
    platform::ThreadRecord* record = platform::ThreadFromHandle(thread);
    if (record == nullptr) {
        platform::TraceLine("TerminateThread(%s, %u) = 0", platform::Hex(thread).c_str(), exitCode);
        return FALSE;
    }
    const platform::TerminationStart start =
        platform::BeginTermination(&record->termination, exitCode);
    if (start == platform::TerminationStart::kStarted && record == platform::CurrentThread()) {
        platform::TraceLine("TerminateThread(%s, %u) = 1, itself", platform::Hex(thread).c_str(),
                            exitCode);
        platform::ParkCurrentThread();
    }
    if (start == platform::TerminationStart::kStarted) {
        platform::SendTermination(record->thread);
        platform::WakeThread(record);
        platform::AwaitTermination(&record->termination);
    } else if (start == platform::TerminationStart::kAlreadyTerminating) {
        platform::AwaitOtherTermination(record->termination);
    }
    platform::TraceLine("TerminateThread(%s, %u) = 1%s", platform::Hex(thread).c_str(), exitCode,
                        start == platform::TerminationStart::kAlreadyEnded ? ", had ended" : "");
    return TRUE;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("TerminateThread");
}

}  // extern "C"
