#pragma once
// How a thread is actually stopped: one file per way, picked by the build
// (termination_signal.cpp, termination_cooperative.cpp). termination.cpp
// keeps each thread's life and calls these.

#include <pthread.h>
#include <signal.h>

namespace platform {

// Once, before the first thread that can be terminated starts.
void InstallStopper();
// Lets a stop reach the calling thread wherever it stands, or holds it off
// (while the thread is inside the stand-in).
void LetStopsIn(bool in);
// Asks `thread`, whose termination has begun, to stop now.
void InterruptThread(pthread_t thread);
// The parked thread runs nothing more; async-signal-safe.
void FreezeThread();
[[noreturn]] void StayParked();
// Said on stderr when TerminateThread has waited long; null when a wait that
// long cannot happen.
const char* SlowTerminationHint();

// Around creating a thread: new threads start with stops held off until they
// attach their slot.
class NewThreadsHeld {
public:
    NewThreadsHeld();
    ~NewThreadsHeld();
    NewThreadsHeld(const NewThreadsHeld&) = delete;
    NewThreadsHeld& operator=(const NewThreadsHeld&) = delete;

private:
    sigset_t previous_;
};

// For the signal handler: parks the calling thread when its termination has
// begun and it is not inside the stand-in.
void ParkIfStoppable();

}  // namespace platform
