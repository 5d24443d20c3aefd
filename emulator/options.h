#pragma once

#include <string>

#include "platform/device.h"

// What the emulated device does by itself, some time after start.
enum class ScheduledInputKind { kNone, kTap, kKey, kClose };

struct LaunchOptions {
    device::Config device;  // panel, rotation, DRAM buffer, failure
    std::string deviceName = "pocketpc";
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

// Parses the emulator's own options. On a bad option or value returns false
// and sets `error` to one line naming the problem and what is accepted.
bool ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* options,
                        std::string* error);

const char* LaunchUsage();
