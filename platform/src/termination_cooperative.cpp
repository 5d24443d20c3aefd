// TerminateThread's way where a host cannot signal a thread (a browser's
// workers): the target stops at its next call into the stand-in. Every call
// already ends in a termination point as it unwinds, and the interlocked
// calls are termination points too, so a render loop that reads its running
// flag through them stops within a frame. The frame under way is finished,
// not cut off; a loop that never calls the platform is never stopped.

#include <semaphore.h>
#include <signal.h>

#include "platform/src/termination_mechanism.h"

namespace platform {

void InstallStopper() {}

void LetStopsIn(bool) {}

// The thread looks at its slot by itself; waits inside the stand-in are
// woken by TerminateThread.
void InterruptThread(pthread_t) {}

void FreezeThread() {}

void StayParked() {
    sem_t never;
    sem_init(&never, 0, 0);
    for (;;) {
        sem_wait(&never);
    }
}

const char* SlowTerminationHint() {
    return "the thread stops only at its next call into the platform";
}

// No stops come by signal, so there are none to hold off.
NewThreadsHeld::NewThreadsHeld() {
    sigemptyset(&previous_);
}

NewThreadsHeld::~NewThreadsHeld() {}

}  // namespace platform
