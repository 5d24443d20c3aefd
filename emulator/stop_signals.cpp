#include "emulator/stop_signals.h"

#include <unistd.h>

#include <atomic>
#include <csignal>

namespace {
std::atomic<int> gStopSignals{0};

void OnStopSignal(int signal) {
    if (gStopSignals.fetch_add(1) > 0) {
        _exit(128 + signal);
    }
}
}  // namespace

void InstallStopSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopSignalReceived() {
    return gStopSignals.load() > 0;
}
