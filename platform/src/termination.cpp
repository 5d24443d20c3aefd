#include "platform/src/termination.h"

#include <signal.h>
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

#include "platform/src/sanitizer_build.h"

namespace platform {
namespace {

// Only threads with a slot can be terminated; other threads (the host's)
// never touch their signal mask here.
thread_local TerminationSlot* tSlot = nullptr;
thread_local int tDeferDepth = 0;

constexpr int kPollMs = 20;
constexpr int kSanitizerWarningMs = 2000;

uint64_t Pack(TerminationSlot::Kind kind, DWORD code) {
    return static_cast<uint64_t>(kind) | (static_cast<uint64_t>(code) << 32);
}
TerminationSlot::Kind KindOf(uint64_t life) {
    return static_cast<TerminationSlot::Kind>(life & 0xFFFFFFFFu);
}
DWORD CodeOf(uint64_t life) {
    return static_cast<DWORD>(life >> 32);
}

void SetSignalBlocked(bool blocked) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, TerminationSignal());
    pthread_sigmask(blocked ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

// Async-signal-safe: runs from the handler.
[[noreturn]] void Park(TerminationSlot* slot) {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, nullptr);
    const uint64_t life = slot->life.load();
    slot->life.store(Pack(TerminationSlot::kTerminated, CodeOf(life)));
    sem_post(&slot->parked);
    for (;;) {
        sigsuspend(&all);
    }
}

void ParkIfRequested() {
    if (tSlot != nullptr && KindOf(tSlot->life.load()) == TerminationSlot::kTerminating) {
        Park(tSlot);
    }
}

void OnTerminationSignal(int) {
    TerminationSlot* slot = tSlot;
    if (slot == nullptr || KindOf(slot->life.load()) != TerminationSlot::kTerminating) {
        return;
    }
    // Only ThreadSanitizer delivers the signal while it is blocked here (it
    // hands over a signal that arrived earlier at its next hook); the call
    // parks the thread as it unwinds instead.
    if (tDeferDepth > 0) {
        return;
    }
    Park(slot);
}

timespec DeadlineIn(int ms) {
    timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    t.tv_nsec += static_cast<long>(ms) * 1000000L;
    t.tv_sec += t.tv_nsec / 1000000000L;
    t.tv_nsec %= 1000000000L;
    return t;
}

}  // namespace

// A real-time signal nothing else in the process uses.
int TerminationSignal() {
    return SIGRTMIN + 5;
}

TerminationSlot::TerminationSlot() {
    sem_init(&parked, 0, 0);
}

void InstallTerminationHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = OnTerminationSignal;
        sigfillset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(TerminationSignal(), &action, nullptr);
    });
}

void AttachTerminationSlot(TerminationSlot* slot) {
    tSlot = slot;
    tDeferDepth = 0;
    SetSignalBlocked(false);
    ParkIfRequested();
}

bool TerminationRequested() {
    return tSlot != nullptr && KindOf(tSlot->life.load()) == TerminationSlot::kTerminating;
}

bool RecordFinished(TerminationSlot* slot, DWORD code) {
    uint64_t running = Pack(TerminationSlot::kRunning, 0);
    return slot->life.compare_exchange_strong(running, Pack(TerminationSlot::kFinished, code));
}

DWORD ExitCodeOf(const TerminationSlot& slot) {
    const uint64_t life = slot.life.load();
    const TerminationSlot::Kind kind = KindOf(life);
    if (kind == TerminationSlot::kFinished || kind == TerminationSlot::kTerminated) {
        return CodeOf(life);
    }
    return STILL_ACTIVE;
}

TerminationStart BeginTermination(TerminationSlot* slot, DWORD code) {
    uint64_t life = Pack(TerminationSlot::kRunning, 0);
    if (slot->life.compare_exchange_strong(life, Pack(TerminationSlot::kTerminating, code))) {
        return TerminationStart::kStarted;
    }
    return KindOf(life) == TerminationSlot::kTerminating ? TerminationStart::kAlreadyTerminating
                                                         : TerminationStart::kAlreadyEnded;
}

void SendTermination(pthread_t thread) {
    pthread_kill(thread, TerminationSignal());
}

void AwaitTermination(TerminationSlot* slot) {
    int waitedMs = 0;
    for (;;) {
        const timespec deadline = DeadlineIn(kPollMs);
        if (sem_timedwait(&slot->parked, &deadline) == 0) {
            return;
        }
        // Two threads ending each other: the one ended first stops waiting.
        if (TerminationRequested()) {
            ParkCurrentThread();
        }
        waitedMs += kPollMs;
        if (kThreadSanitizer && waitedMs == kSanitizerWarningMs) {
            std::fprintf(stderr,
                         "TerminateThread: still waiting; under ThreadSanitizer a thread takes "
                         "the signal only at a library call or an atomic operation\n");
        }
    }
}

void AwaitOtherTermination(const TerminationSlot& slot) {
    while (KindOf(slot.life.load()) != TerminationSlot::kTerminated) {
        if (TerminationRequested()) {
            ParkCurrentThread();
        }
        const timespec pause{0, 1000000L};
        nanosleep(&pause, nullptr);
    }
}

void ParkCurrentThread() {
    TerminationSlot* slot = tSlot;
    if (slot == nullptr) {
        // Never happens: only threads with a slot get terminated.
        sigset_t all;
        sigfillset(&all);
        for (;;) {
            sigsuspend(&all);
        }
    }
    Park(slot);
}

TerminationDeferred::TerminationDeferred() {
    // Block first: a signal taken before that parks the thread while it still
    // holds nothing.
    if (tDeferDepth == 0 && tSlot != nullptr) {
        SetSignalBlocked(true);
    }
    ++tDeferDepth;
}

TerminationDeferred::~TerminationDeferred() {
    if (--tDeferDepth == 0 && tSlot != nullptr) {
        SetSignalBlocked(false);
        ParkIfRequested();
    }
}

TerminationAllowed::TerminationAllowed() : savedDepth_(tDeferDepth) {
    if (savedDepth_ > 0) {
        tDeferDepth = 0;
        if (tSlot != nullptr) {
            SetSignalBlocked(false);
            ParkIfRequested();
        }
    }
}

TerminationAllowed::~TerminationAllowed() {
    if (savedDepth_ > 0) {
        if (tSlot != nullptr) {
            SetSignalBlocked(true);
        }
        tDeferDepth = savedDepth_;
    }
}

}  // namespace platform
