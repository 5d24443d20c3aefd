#include "output_files/ending_signals.h"

#include <signal.h>

#include <algorithm>
#include <atomic>
#include <iterator>

namespace {
std::atomic<CleanUp> gCleanUp{nullptr};

// The standard signals whose default action is to terminate, or to
// terminate and dump core (signal(7)).
constexpr int kStandardEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT,
                                          SIGBUS,  SIGFPE,  SIGUSR1,   SIGSEGV, SIGUSR2, SIGPIPE,
                                          SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU, SIGXFSZ, SIGVTALRM,
                                          SIGPROF, SIGIO,   SIGPWR,    SIGSYS};

void OnEndingSignal(int signal) {
    if (const CleanUp cleanUp = gCleanUp.load()) {
        cleanUp();
    }
    // Set explicitly rather than by SA_RESETHAND: the handler is also called
    // by a handler that took the signal first and passes it on.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    // Held back until the handler returns, then the default action ends the process.
    raise(signal);
}

bool AtDefault(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
           current.sa_handler == SIG_DFL;
}
}  // namespace

std::vector<int> EndingSignals() {
    std::vector<int> signals(std::begin(kStandardEndingSignals), std::end(kStandardEndingSignals));
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        signals.push_back(signal);
    }
    std::sort(signals.begin(), signals.end());
    return signals;
}

void CleanUpOnEndingSignals(CleanUp cleanUp, std::initializer_list<int> leftToCaller) {
    gCleanUp.store(cleanUp);
    struct sigaction ending {};
    ending.sa_handler = OnEndingSignal;
    sigfillset(&ending.sa_mask);
    struct sigaction ignored {};
    ignored.sa_handler = SIG_IGN;
    sigemptyset(&ignored.sa_mask);
    for (const int signal : EndingSignals()) {
        if (std::find(leftToCaller.begin(), leftToCaller.end(), signal) != leftToCaller.end() ||
            !AtDefault(signal)) {
            continue;
        }
        const bool reported = signal == SIGPIPE || signal == SIGXFSZ;
        sigaction(signal, reported ? &ignored : &ending, nullptr);
    }
}
