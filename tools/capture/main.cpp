#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "imaging/atomic_file.h"
#include "tools/capture/capture.h"
#include "tools/capture/options.h"
#include "tools/capture/usage.h"
#include "tools/capture/usage_error.h"

int main(int argc, char** argv) {
    ParsedCommand parsed;
    try {
        parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "plasma-capture: %s\n", error.what());
        return 2;
    }
    if (parsed.command == Command::kHelp) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (parsed.command == Command::kVersion) {
        std::fputs(VersionText(), stdout);
        return 0;
    }

    RemoveTempFileOnSignals();
    try {
        Progress progress(static_cast<int32_t>(parsed.options.frames.size()),
                          isatty(STDERR_FILENO) != 0);
        Capture(parsed.options, progress);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "plasma-capture: %s\n", error.what());
        return 1;
    }
    return 0;
}
