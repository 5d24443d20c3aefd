#include "frontends/common/device_input.h"

#include "platform/device.h"

void DeviceInput::StylusDown(int32_t x, int32_t y) {
    device::StylusDown(x, y);
}

void DeviceInput::StylusMove(int32_t x, int32_t y) {
    device::StylusMove(x, y);
}

void DeviceInput::StylusUp(int32_t x, int32_t y) {
    device::StylusUp(x, y);
}

void DeviceInput::KeyDown(uint32_t virtualKey, bool) {
    device::KeyDown(virtualKey);
}

void DeviceInput::KeyUp(uint32_t virtualKey) {
    device::KeyUp(virtualKey);
}
