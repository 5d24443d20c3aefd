#pragma once
// What the stand-in knows about each thread: its name in the trace, its life
// for TerminateThread and its message queue. Records last as long as the
// process; threads the stand-in did not start (the host's, a test's) get one
// the first time they call in, named "device".

#include <pthread.h>

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <string>

#include <windows.h>

#include "platform/src/message_queue.h"
#include "platform/src/termination.h"

namespace platform {

struct ThreadRecord {
    std::string name;
    pthread_t thread{};
    DWORD id = 0;
    HANDLE handle = nullptr;  // only threads made by CreateThread have one
    // The program's first CreateThread: its drawing thread, whose flag reads
    // end frames. Set before the thread runs.
    bool draws = false;
    TerminationSlot termination;
    // Guarded by the window system's lock.
    MessageQueue queue;
    std::condition_variable wake;  // its waits: messages, Sleep, message boxes
};

ThreadRecord* CurrentThread();
// Whether the calling thread is the program's drawing thread; makes no record
// for a thread the stand-in has not seen.
bool OnDrawingThread();
ThreadRecord* ThreadFromHandle(HANDLE handle);  // null when not one of ours

// The stack a thread gets for a requested size: never below a safe minimum,
// whole pages.
size_t ThreadStackBytes(size_t requested);

// Starts `body` on a new detached thread whose exit code is its result.
// CreateThread's threads (withHandle) take the names the host gave them
// (device::NameProgramThreads), the others "thread<N>" by their place.
// Returns null when the thread could not be started, with the reason (an
// errno value) in *error; never throws, as the program's CreateThread must
// answer rather than throw.
ThreadRecord* SpawnThread(const char* name, size_t stackBytes, bool withHandle,
                          std::function<DWORD()> body, int* error) noexcept;

}  // namespace platform
