#pragma once

#include <chrono>

#include "device_core/settings/launch_options.h"
#include "frontends/frontend.h"
#include "platform/device.h"

// Runs the device on the host's main thread: starts the program at `entry`,
// keeps the screen presented, hands the user's and the schedule's input to
// the device and answers message boxes, until the program ends. Returns its
// exit code. The device wakes `frontend` only while this runs. Throws
// std::runtime_error, with a one-line reason, when the program cannot be
// started or the device ran short of memory in one of its calls.
int RunHost(Frontend& frontend, device::EntryPoint entry, const LaunchOptions& options,
            std::chrono::steady_clock::time_point start);
