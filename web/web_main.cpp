// The web page's host: the host loop plasma-demo runs too (host/), on the
// browser's worker thread (the page's own thread only draws and forwards
// input). The page passes its address's query string as the command line.
#include <chrono>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

#include "cli/exit_status.h"
#include "cli/usage_error.h"
#include "device_core/display_margins.h"
#include "device_core/settings/launch_options.h"
#include "frontends/canvas/canvas_frontend.h"
#include "host/executable_resources.h"
#include "host/host_loop.h"
#include "plasma_version.h"
#include "platform/device.h"
#include "web/page.h"
#include "web/static_data_check.h"

namespace {
// What a page has no place for is refused, not ignored.
void RefuseWhatThePageCannotDo(const LaunchOptions& options) {
    if (options.headless || options.windowRequired) {
        throw UsageError("--headless, --window: the page always shows the screen");
    }
    if (!options.screenshotPath.empty()) {
        throw UsageError("--screenshot: a page saves no files (take one with the browser)");
    }
    if (!options.tracePath.empty() && options.tracePath != "-") {
        throw UsageError("--trace: a page can trace only to - (the browser's console)");
    }
}

int Run(int argc, char** argv, std::string* message) {
    const auto start = std::chrono::steady_clock::now();
    CheckStaticDataAddresses();
    LaunchOptions options = ParseLaunchOptions(argc, argv);
    if (options.help) {
        *message = LaunchUsage();
        return 0;
    }
    if (options.version) {
        *message = std::string("plasma-demo ") + PLASMA_VERSION;
        return 0;
    }
    RefuseWhatThePageCannotDo(options);
    if (options.check) {
        *message = "the options are sound; --check runs nothing";
        return 0;
    }
    if (options.tracePath == "-") {
        options.device.trace = stdout;
    }
    PageSetScale(options.scale);

    device::Init(options.device);
    device::NameProgramThreads({"render"});
    InstallExecutableResources();
    CanvasFrontend frontend;
    const int exitCode = RunHost(frontend, &WinMain, options, start);
    if (options.device.trace != nullptr) {
        device::FinishTrace();
    }
    // The margins are looked at with every frame the page draws, and once more
    // at the end, for a write in the last moments.
    if (const std::string overrun = device::CheckDisplayMargins(); !overrun.empty()) {
        *message = overrun;
        return cli::kExitFailed;
    }
    return exitCode;
}
}  // namespace

int main(int argc, char** argv) {
    std::string message;
    int status;
    try {
        status = Run(argc, argv, &message);
    } catch (const std::exception& error) {
        cli::Failure failure = cli::FailureOf("plasma-demo", error);
        message = std::move(failure.line);
        status = failure.status;
    }
    PageEnded(status, message);
    return status;
}
