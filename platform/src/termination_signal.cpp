// TerminateThread's way on a POSIX host: the target gets a real-time signal
// whose handler parks it for good, wherever it stands. While the thread runs
// inside the stand-in the signal is blocked.

#include <signal.h>
#include <unistd.h>

#include <mutex>

#include "platform/src/sanitizer_build.h"
#include "platform/src/termination_mechanism.h"

namespace platform {
namespace {

// A real-time signal nothing else in the process uses.
int StopSignal() {
    return SIGRTMIN + 5;
}

// What the process had set for the signal before the stand-in took it.
struct sigaction gOutside;

// Only a stop this process sends (pthread_kill) stops a thread. The same
// signal sent from outside gets what the process had set for it: the
// default ends the process, as it does any other.
void OnStopSignal(int signal, siginfo_t* info, void* context) {
    if (info->si_code == SI_TKILL && info->si_pid == getpid()) {
        ParkIfStoppable();
    } else if ((gOutside.sa_flags & SA_SIGINFO) != 0) {
        gOutside.sa_sigaction(signal, info, context);
    } else if (gOutside.sa_handler == SIG_DFL) {
        sigaction(signal, &gOutside, nullptr);
        raise(signal);  // taken as the handler returns
    } else if (gOutside.sa_handler != SIG_IGN) {
        gOutside.sa_handler(signal);
    }
}

}  // namespace

void InstallStopper() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = OnStopSignal;
        sigfillset(&action.sa_mask);
        action.sa_flags = SA_RESTART | SA_SIGINFO;
        sigaction(StopSignal(), &action, &gOutside);
    });
}

void LetStopsIn(bool in) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, StopSignal());
    pthread_sigmask(in ? SIG_UNBLOCK : SIG_BLOCK, &set, nullptr);
}

void InterruptThread(pthread_t thread) {
    pthread_kill(thread, StopSignal());
}

void FreezeThread() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, nullptr);
}

void StayParked() {
    sigset_t all;
    sigfillset(&all);
    for (;;) {
        sigsuspend(&all);
    }
}

// Under ThreadSanitizer a signal reaches its thread only when that thread
// next enters one of the sanitizer's hooks: a library call or an atomic
// operation (a render loop's per-frame flag load will do). A loop with
// neither cannot be ended there.
const char* SlowTerminationHint() {
    return kThreadSanitizer ? "under ThreadSanitizer a thread takes the signal only at a library "
                              "call or an atomic operation"
                            : nullptr;
}

NewThreadsHeld::NewThreadsHeld() {
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, StopSignal());
    pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
}

NewThreadsHeld::~NewThreadsHeld() {
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace platform
