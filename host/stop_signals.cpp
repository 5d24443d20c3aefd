#include "host/stop_signals.h"

#include <unistd.h>

#include <atomic>
#include <csignal>

#include "output_files/atomic_file.h"
#include "output_files/ending_signals.h"

namespace {
std::atomic<bool> gCloseRequests{false};
std::atomic<int> gStopSignals{0};

void OnStopSignal(int signal) {
    if (!gCloseRequests.load() || gStopSignals.fetch_add(1) > 0) {
        RemovePendingTempFile();
        _exit(128 + signal);
    }
}
}  // namespace

void InstallStopSignals() {
    // The stop signals first: from the first disposition the program sets,
    // a stop is the program's to answer, never the default action's.
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    struct sigaction inherited = {};
    sigaction(SIGINT, nullptr, &inherited);
    if (inherited.sa_handler != SIG_IGN) {
        sigaction(SIGINT, &action, nullptr);
    }
    sigaction(SIGTERM, &action, nullptr);
    CleanUpOnEndingSignals(RemovePendingTempFile, {SIGINT, SIGTERM});
}

void TakeStopSignalsAsCloseRequests() {
    gCloseRequests.store(true);
}

bool StopSignalReceived() {
    return gStopSignals.load() > 0;
}
