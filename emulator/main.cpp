// plasma-demo: the program on an emulated handheld.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "cli/exit_status.h"
#include "cli/usage_error.h"
#include "device_core/settings/launch_options.h"
#include "emulator/frontend_choice.h"
#include "emulator/screenshot.h"
#include "emulator/startup_shortage.h"
#include "host/executable_resources.h"
#include "host/host_loop.h"
#include "host/stop_signals.h"
#include "output_files/atomic_file.h"
#include "plasma_version.h"
#include "platform/device.h"

namespace {
FILE* OpenTrace(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    return path == "-" ? stdout : std::fopen(path.c_str(), "w");
}

std::string TraceName(const std::string& path) {
    return "the trace to " + (path == "-" ? std::string("standard output") : path);
}

int WriteFailed(const std::string& what, int error) {
    std::fprintf(stderr, "plasma-demo: cannot write %s: %s\n", what.c_str(), std::strerror(error));
    return cli::kExitFailed;
}

// Help and version go to standard output, which may be full or closed.
int Print(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        throw std::runtime_error(std::string("cannot write to standard output: ") +
                                 std::strerror(errno));
    }
    return 0;
}

// Flushes and closes the trace; 0, or the error of its first failed write.
int CloseTrace(FILE* trace) {
    int error = device::FinishTrace();
    if (trace != stdout && std::fclose(trace) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

// Two outputs in one file would leave only the one written last.
void RefuseOneFileForBoth(const LaunchOptions& options) {
    if (options.tracePath.empty() || options.screenshotPath.empty()) {
        return;
    }
    const bool toStandardOutput = options.tracePath == "-";
    if (SameOutputFile(toStandardOutput ? "/dev/stdout" : options.tracePath,
                       options.screenshotPath)) {
        throw UsageError(std::string("--trace") + (toStandardOutput ? " - (standard output)" : "") +
                         " and --screenshot are the same file: " + options.screenshotPath);
    }
}

// Everything that cannot be done throws, with a one-line message, which main
// reports (cli/exit_status.h).
int Run(int argc, char** argv) {
    // First of all: a stop that comes while the device and its window are
    // still being made ends the process at once.
    InstallStopSignals();
    const auto start = std::chrono::steady_clock::now();
    LaunchOptions options = ParseLaunchOptions(argc, argv);
    if (options.help) {
        return Print(LaunchUsage());
    }
    if (options.version) {
        return Print(std::string("plasma-demo ") + PLASMA_VERSION + "\n");
    }
    RefuseOneFileForBoth(options);
    if (!options.screenshotPath.empty()) {
        // A screenshot that could not be saved is refused now, not after the run.
        CheckWritable(options.screenshotPath);
    }
    if (options.check) {
        // As the run would open it, but without making or emptying the file.
        if (!options.tracePath.empty() && options.tracePath != "-") {
            CheckWritable(options.tracePath);
        }
        return 0;
    }
    options.device.trace = OpenTrace(options.tracePath);
    if (!options.tracePath.empty() && options.device.trace == nullptr) {
        throw std::runtime_error("cannot write the trace to " + options.tracePath + ": " +
                                 std::strerror(errno));
    }

    device::Init(options.device);
    if (!options.screenshotPath.empty()) {
        CheckScreenshotMemory(options.screenshotPath);
    }
    // The first thread the program creates draws its frames.
    device::NameProgramThreads({"render"});
    InstallExecutableResources();
    // The window is sized from the device's screen, so the device comes first.
    std::unique_ptr<Frontend> frontend = ChooseFrontend(options);

    const int exitCode = RunHost(*frontend, &WinMain, options, start);

    int result = exitCode;
    if (options.device.trace != nullptr) {
        if (const int traceError = CloseTrace(options.device.trace); traceError != 0) {
            result = WriteFailed(TraceName(options.tracePath), traceError);
        }
    }
    if (!options.screenshotPath.empty()) {
        SaveScreenshot(options.screenshotPath);
    }
    return result;
}
}  // namespace

int main(int argc, char** argv) {
    EndStartupShortageWatch();
    try {
        return Run(argc, argv);
    } catch (const std::exception& failure) {
        return cli::ReportFailure("plasma-demo", failure);
    }
}
