#include "platform/src/termination.h"

#include <time.h>

#include <cstdio>

#include "platform/src/termination_mechanism.h"

namespace platform {
namespace {

// Only threads with a slot can be terminated; other threads (the host's)
// never hold their stops off here.
thread_local TerminationSlot* tSlot = nullptr;
thread_local int tDeferDepth = 0;

constexpr int kPollMs = 20;
constexpr int kSlowWarningMs = 2000;

uint64_t Pack(TerminationSlot::Kind kind, DWORD code) {
    return static_cast<uint64_t>(kind) | (static_cast<uint64_t>(code) << 32);
}
TerminationSlot::Kind KindOf(uint64_t life) {
    return static_cast<TerminationSlot::Kind>(life & 0xFFFFFFFFu);
}
DWORD CodeOf(uint64_t life) {
    return static_cast<DWORD>(life >> 32);
}

// Async-signal-safe: may run from a signal handler.
[[noreturn]] void Park(TerminationSlot* slot) {
    FreezeThread();
    const uint64_t life = slot->life.load();
    slot->life.store(Pack(TerminationSlot::kTerminated, CodeOf(life)));
    sem_post(&slot->parked);
    StayParked();
}

void ParkIfRequested() {
    if (tSlot != nullptr && KindOf(tSlot->life.load()) == TerminationSlot::kTerminating) {
        Park(tSlot);
    }
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

TerminationSlot::TerminationSlot() {
    sem_init(&parked, 0, 0);
}

void InstallTerminationHandler() {
    InstallStopper();
}

void AttachTerminationSlot(TerminationSlot* slot) {
    tSlot = slot;
    tDeferDepth = 0;
    LetStopsIn(true);
    ParkIfRequested();
}

bool TerminationRequested() {
    return tSlot != nullptr && KindOf(tSlot->life.load()) == TerminationSlot::kTerminating;
}

void ParkIfStoppable() {
    // Only ThreadSanitizer delivers a signal while stops are held off (it
    // hands over one that arrived earlier at its next hook); the call parks
    // the thread as it unwinds instead.
    if (tDeferDepth == 0) {
        ParkIfRequested();
    }
}

void TerminationPoint() {
    ParkIfStoppable();
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
    InterruptThread(thread);
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
        const char* hint = SlowTerminationHint();
        if (hint != nullptr && waitedMs == kSlowWarningMs) {
            std::fprintf(stderr, "TerminateThread: still waiting; %s\n", hint);
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
        FreezeThread();
        StayParked();
    }
    Park(slot);
}

TerminationDeferred::TerminationDeferred() {
    // Hold stops off first: one taken before that parks the thread while it
    // still holds nothing.
    if (tDeferDepth == 0 && tSlot != nullptr) {
        LetStopsIn(false);
    }
    ++tDeferDepth;
}

TerminationDeferred::~TerminationDeferred() {
    if (--tDeferDepth == 0 && tSlot != nullptr) {
        LetStopsIn(true);
        ParkIfRequested();
    }
}

TerminationAllowed::TerminationAllowed() : savedDepth_(tDeferDepth) {
    if (savedDepth_ > 0) {
        tDeferDepth = 0;
        if (tSlot != nullptr) {
            LetStopsIn(true);
            ParkIfRequested();
        }
    }
}

TerminationAllowed::~TerminationAllowed() {
    if (savedDepth_ > 0) {
        if (tSlot != nullptr) {
            LetStopsIn(false);
        }
        tDeferDepth = savedDepth_;
    }
}

}  // namespace platform
