#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "output_files/atomic_file.h"
#include "output_files/ending_signals.h"
#include "tools/capture/capture.h"
#include "tools/capture/options.h"

namespace {
// Help and version go to standard output, which may be full or closed.
int Print(const char* text) {
    if (std::fputs(text, stdout) < 0 || std::fflush(stdout) != 0) {
        throw std::runtime_error(std::string("cannot write to standard output: ") +
                                 std::strerror(errno));
    }
    return 0;
}

// Everything that cannot be done throws, with a one-line message, which main
// reports (cli/exit_status.h).
int Run(int argc, char** argv) {
    const ParsedCommand parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.command == Command::kHelp) {
        return Print(UsageText().c_str());
    }
    if (parsed.command == Command::kVersion) {
        return Print(VersionText());
    }

    CleanUpOnEndingSignals(RemovePendingTempFile);
    Progress progress(static_cast<int32_t>(parsed.options.frames.size()),
                      isatty(STDERR_FILENO) != 0);
    Capture(parsed.options, progress);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& failure) {
        return cli::ReportFailure("plasma-capture", failure);
    }
}
