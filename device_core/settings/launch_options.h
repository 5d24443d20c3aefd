#pragma once
// How the emulated handheld is launched: the device, the host's window, the
// device's own input and what is saved. Every host reads the same settings
// with the same rules: plasma-demo from its command line, gx.dll from the
// environment, the web page from its address.

#include <string>
#include <vector>

#include "device_core/device_config.h"

// What the emulated device does by itself, some time after start.
enum class ScheduledInputKind { kNone, kTap, kKey, kClose };

struct LaunchOptions {
    device::Config device;  // panel, rotation, DRAM buffer, failure, speed
    bool headless = false;
    bool windowRequired = false;  // --window: fail rather than run headless
    int scale = 0;                // 0: the largest that fits the desktop
    ScheduledInputKind input = ScheduledInputKind::kNone;
    int inputAfterMs = 0;
    std::string screenshotPath;
    std::string tracePath;
    bool check = false;  // --check: the options are checked, nothing is run
    bool help = false;
    bool version = false;
};

// One setting as the user gave it: `option` is the command-line option it
// stands for ("--scale"), `name` how the user spelled it ("--scale",
// "PLASMA_GX_SCALE"), `value` its text (empty for a flag that is on).
struct GivenSetting {
    std::string option;
    std::string name;
    std::string value;
};

// How a host names an option the user did not give, for messages that
// point to it (PLASMA_GX_DISPLAY for --display); null keeps the option's name.
using SettingNamer = std::string (*)(const std::string& option);

// Checks settings given once each and sets what they ask for. Throws
// UsageError with one line that names the setting as the user gave it and
// says what it accepts.
LaunchOptions ApplyLaunchSettings(const std::vector<GivenSetting>& given,
                                  SettingNamer nameOf = nullptr);

// Parses plasma-demo's command line (argv[0] is the program) into settings,
// then applies them.
LaunchOptions ParseLaunchOptions(int argc, const char* const* argv);

// The --help text, generated from the same definitions as the parse.
std::string LaunchUsage();

// Whether `option` takes a value (otherwise it is a flag); false for an
// option that is not there.
bool LaunchOptionTakesValue(const std::string& option);
