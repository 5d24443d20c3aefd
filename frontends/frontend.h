#pragma once
// A front-end shows the emulated device to the user: it waits for the user's
// input and hands it to the device, presents the device's screen, and shows
// the program's message boxes. It runs on the host's main thread.

#include <chrono>
#include <string>

#include "platform/device.h"

class Frontend {
public:
    virtual ~Frontend() = default;
    using Clock = std::chrono::steady_clock;

    // Waits until `deadline` for input from the user (or a wake from the
    // device) and delivers what came to the device. Returns at the deadline,
    // not a millisecond early.
    virtual void PumpInput(Clock::time_point deadline) = 0;
    // Wakes a PumpInput that is waiting; safe from any thread.
    virtual void Wake() = 0;
    // Shows the device's screen as it stands now.
    virtual void Present() = 0;
    // Shows a message box and returns the button chosen (IDOK, ...).
    virtual int ShowMessageBox(const device::MessageBoxRequest& request) = 0;
    // The interval between two Present calls the front-end wants, in ms.
    virtual int FrameIntervalMs() const = 0;
};
