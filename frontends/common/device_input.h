#pragma once
// Held input handed to the emulated device through its host interface.

#include "device_core/held_input.h"

class DeviceInput : public device::InputSink {
public:
    void StylusDown(int32_t x, int32_t y) override;
    void StylusMove(int32_t x, int32_t y) override;
    void StylusUp(int32_t x, int32_t y) override;
    // The device keeps its own count of repeats.
    void KeyDown(uint32_t virtualKey, bool repeat) override;
    void KeyUp(uint32_t virtualKey) override;
};
