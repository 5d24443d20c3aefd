#include "host/host_loop.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "host/demo_stats.h"
#include "host/stop_signals.h"
#include "platform/device.h"

namespace {
using Clock = std::chrono::steady_clock;

void FireScheduledInput(ScheduledInputKind kind) {
    switch (kind) {
        case ScheduledInputKind::kTap: {
            const int32_t x = device::ScreenWidth() / 2, y = device::ScreenHeight() / 2;
            device::StylusDown(x, y);
            device::StylusUp(x, y);
            break;
        }
        case ScheduledInputKind::kKey:
            device::KeyDown(VK_SPACE);
            device::KeyUp(VK_SPACE);
            break;
        case ScheduledInputKind::kClose:
            device::CloseRequest();
            break;
        case ScheduledInputKind::kNone:
            break;
    }
}

// The device wakes the front-end while this lives, and not after: the
// front-end may go once the host is done with it.
class FrontendWakes {
public:
    explicit FrontendWakes(Frontend& frontend) {
        device::SetWakeHandler(
            [](void* context) {
                // The device wakes the host as the main window comes, before
                // CreateWindowExW returns: stop signals are close requests
                // from then on, not from whenever this loop next looks.
                if (device::MainWindowExists()) {
                    TakeStopSignalsAsCloseRequests();
                }
                static_cast<Frontend*>(context)->Wake();
            },
            &frontend);
    }
    ~FrontendWakes() { device::SetWakeHandler(nullptr, nullptr); }
    FrontendWakes(const FrontendWakes&) = delete;
    FrontendWakes& operator=(const FrontendWakes&) = delete;
};

// A program thread the device could not answer has stopped: the run cannot
// go on as the program meant it to.
void ThrowIfShortOfMemory() {
    if (std::string shortage = device::MemoryShortage(); !shortage.empty()) {
        throw std::runtime_error(shortage);
    }
}

// How often the host woke, on stderr as it ends.
void PrintStats(unsigned long long wakeUps, Clock::time_point start) {
    if (!DemoStatsWanted()) {
        return;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::fprintf(stderr, "plasma-demo: host woke %llu times in %.2f s (%.1f/s)\n", wakeUps, seconds,
                 wakeUps / seconds);
}
}  // namespace

int RunHost(Frontend& frontend, device::EntryPoint entry, const LaunchOptions& options,
            Clock::time_point start) {
    const FrontendWakes wakes(frontend);
    device::StartProgram(entry, u"", SW_SHOW);

    const auto interval = std::chrono::milliseconds(frontend.FrameIntervalMs());
    bool inputPending = options.input != ScheduledInputKind::kNone;
    const Clock::time_point inputAt = start + std::chrono::milliseconds(options.inputAfterMs);
    bool closeRequested = false;
    Clock::time_point nextPresent = Clock::now();
    const Clock::time_point running = nextPresent;
    unsigned long long wakeUps = 0;

    while (!device::ProgramEnded()) {
        ThrowIfShortOfMemory();
        // Input before the program's window exists would reach nobody: hold
        // it until the window is there.
        const bool windowExists = device::MainWindowExists();
        if (windowExists) {
            TakeStopSignalsAsCloseRequests();
        }
        if (!closeRequested && StopSignalReceived() && windowExists) {
            closeRequested = true;
            device::CloseRequest();
        }
        if (inputPending && Clock::now() >= inputAt && windowExists) {
            inputPending = false;
            FireScheduledInput(options.input);
        }
        device::MessageBoxRequest request;
        if (device::TakeMessageBoxRequest(&request)) {
            device::AnswerMessageBox(frontend.ShowMessageBox(request));
            continue;
        }
        if (Clock::now() >= nextPresent) {
            frontend.Present();
            nextPresent = std::max(nextPresent + interval, Clock::now());
        }
        Clock::time_point wakeAt = nextPresent;
        if (inputPending) {
            wakeAt = std::min(wakeAt, inputAt);
        }
        frontend.PumpInput(wakeAt);
        ++wakeUps;
    }
    ThrowIfShortOfMemory();
    frontend.Present();
    PrintStats(wakeUps, running);
    return device::ExitCode();
}
