#include "emulator/stop_signals.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#include "imaging/atomic_file.h"

namespace {
std::atomic<int> gStopSignals{0};

void OnStopSignal(int signal) {
    if (gStopSignals.fetch_add(1) > 0) {
        RemovePendingTempFile();
        _exit(128 + signal);
    }
}
}  // namespace

void InstallStopSignals() {
    // The screenshot's handlers come first and are then replaced for SIGINT
    // and SIGTERM: held back meanwhile, a stop signal reaches the stop
    // handler instead of ending the process in between.
    sigset_t stops, previous;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
    RemoveTempFileOnSignals();
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    struct sigaction inherited = {};
    sigaction(SIGINT, nullptr, &inherited);
    if (inherited.sa_handler != SIG_IGN) {
        sigaction(SIGINT, &action, nullptr);
    }
    sigaction(SIGTERM, &action, nullptr);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

bool StopSignalReceived() {
    return gStopSignals.load() > 0;
}
