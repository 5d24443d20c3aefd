#pragma once

#include <string>

#include "platform/device.h"

// What the emulated device does by itself, some time after start.
enum class ScheduledInputKind { kNone, kTap, kKey, kClose };

struct LaunchOptions {
    device::Config device;  // panel, rotation, DRAM buffer, failure
    bool headless = false;
    bool windowRequired = false;  // --window: fail rather than run headless
    int scale = 0;                // 0: the largest that fits the desktop
    ScheduledInputKind input = ScheduledInputKind::kNone;
    int inputAfterMs = 0;
    std::string screenshotPath;
    std::string tracePath;
    bool help = false;
    bool version = false;
};

// Parses the launcher's command line (argv[0] is the program). Throws
// UsageError with one line naming the problem and what is accepted.
LaunchOptions ParseLaunchOptions(int argc, const char* const* argv);

// The --help text, generated from the same definitions as the parse.
std::string LaunchUsage();
