// plasma-demo: the program on an emulated handheld.
#include <cstdio>
#include <memory>
#include <string>

#include "emulator/executable_resources.h"
#include "emulator/frontend_choice.h"
#include "emulator/host_loop.h"
#include "emulator/options.h"
#include "emulator/screenshot.h"
#include "emulator/stop_signals.h"
#include "platform/device.h"

namespace {
constexpr int kBadUsage = 2;
constexpr int kFailed = 1;

FILE* OpenTrace(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    return path == "-" ? stdout : std::fopen(path.c_str(), "w");
}
}  // namespace

int main(int argc, char** argv) {
    // First of all: a stop that comes while the device and its window are
    // still being made is a close request too.
    InstallStopSignals();
    const auto start = std::chrono::steady_clock::now();
    LaunchOptions options;
    std::string error;
    if (!ParseLaunchOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "plasma-demo: %s\n", error.c_str());
        return kBadUsage;
    }
    if (options.help) {
        std::fputs(LaunchUsage(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("plasma-demo %s\n", PLASMA_VERSION);
        return 0;
    }
    options.device.trace = OpenTrace(options.tracePath);
    if (!options.tracePath.empty() && options.device.trace == nullptr) {
        std::perror(("plasma-demo: " + options.tracePath).c_str());
        return kFailed;
    }

    device::Init(options.device);
    InstallExecutableResources();
    // The window is sized from the device's screen, so the device comes first.
    std::unique_ptr<Frontend> frontend = ChooseFrontend(options, &error);
    if (!frontend) {
        std::fprintf(stderr, "plasma-demo: %s\n", error.c_str());
        return kFailed;
    }

    const int exitCode = RunHost(*frontend, options, start);

    device::FinishTrace();
    if (options.device.trace != nullptr) {
        std::fflush(options.device.trace);
    }
    if (!options.screenshotPath.empty() && !SaveScreenshot(options.screenshotPath, &error)) {
        std::fprintf(stderr, "plasma-demo: %s\n", error.c_str());
        return kFailed;
    }
    return exitCode;
}
