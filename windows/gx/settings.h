#pragma once
// gx.dll's settings. The program reads no command line, so they come from
// the environment: plasma-demo's options under PLASMA_GX_* names, with the
// same meanings and limits (read by the same rules).

#include <string>

#include "device_core/settings/launch_options.h"

struct GxSettings {
    LaunchOptions launch;         // device, speed, scale, scheduled input, screenshot
    std::wstring screenshotPath;  // as given, for the platform's file calls
    bool stats = false;           // PLASMA_GX_STATS=1: counts on stderr at the end
};

// Reads the PLASMA_GX_* variables of an environment block (as
// GetEnvironmentStringsW gives it). On a bad name or value throws UsageError
// with one line naming the variable and what it accepts.
GxSettings ReadSettings(const wchar_t* environment);
