#pragma once
// How TerminateThread ends a thread. The way it is stopped is the host's
// (termination_mechanism.h); this keeps each thread's life. While the thread
// runs inside the stand-in (TerminationDeferred) it is never stopped, so it
// never stops while holding one of the stand-in's locks or the allocator's;
// waits inside the stand-in look at TerminationRequested() when woken and
// return, and the thread parks as the call unwinds, before the program sees
// a result. After two seconds of waiting TerminateThread says on stderr why
// it may wait for ever.

#include <pthread.h>
#include <semaphore.h>

#include <atomic>
#include <cstdint>

#include <windows.h>

namespace platform {

// A thread's life in one atomic word, so that the signal handler can record
// the end without a lock: the kind in the low half, the exit code above.
struct TerminationSlot {
    enum Kind : uint32_t { kRunning = 0, kTerminating = 1, kFinished = 2, kTerminated = 3 };

    TerminationSlot();
    TerminationSlot(const TerminationSlot&) = delete;
    TerminationSlot& operator=(const TerminationSlot&) = delete;

    std::atomic<uint64_t> life{kRunning};
    sem_t parked;  // posted once, when the thread has stopped for good
};

void InstallTerminationHandler();

// Makes `slot` the calling thread's, then lets the signal in. The thread's
// signal mask must block the termination signal until then.
void AttachTerminationSlot(TerminationSlot* slot);
bool TerminationRequested();  // of the calling thread
// Parks the calling thread if its termination has begun: for calls of the
// program that do not otherwise enter the stand-in (the interlocked ones).
void TerminationPoint();

// The thread's routine returned `code`. False when a termination came first;
// the thread then parks as its TerminationDeferred ends.
bool RecordFinished(TerminationSlot* slot, DWORD code);

// STILL_ACTIVE until the thread has ended, then its exit code.
DWORD ExitCodeOf(const TerminationSlot& slot);

enum class TerminationStart { kStarted, kAlreadyEnded, kAlreadyTerminating };
TerminationStart BeginTermination(TerminationSlot* slot, DWORD code);
// Asks the thread to stop; before waking it, as that may need a lock it holds.
void SendTermination(pthread_t thread);
// Waits until the thread has parked.
void AwaitTermination(TerminationSlot* slot);
// Waits until a termination begun by another thread has completed.
void AwaitOtherTermination(const TerminationSlot& slot);

[[noreturn]] void ParkCurrentThread();

// Blocks termination of the calling thread for its lifetime; nests.
class TerminationDeferred {
public:
    TerminationDeferred();
    ~TerminationDeferred();
    TerminationDeferred(const TerminationDeferred&) = delete;
    TerminationDeferred& operator=(const TerminationDeferred&) = delete;
};

// Lifts the deferral while the stand-in runs the program's own code (a window
// procedure), which must stay terminable like any other program code.
class TerminationAllowed {
public:
    TerminationAllowed();
    ~TerminationAllowed();
    TerminationAllowed(const TerminationAllowed&) = delete;
    TerminationAllowed& operator=(const TerminationAllowed&) = delete;

private:
    int savedDepth_;
};

}  // namespace platform
