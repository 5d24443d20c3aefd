#pragma once
// The handhelds the emulator can be, and the display each gives this
// program. Needs nothing beyond the standard library and device::Config, so
// that every host of the program can share the table.

#include <cstddef>
#include <string>

#include "device_core/device_config.h"

struct DeviceProfile {
    const char* name;
    int32_t panelWidth;  // the panel in its own (portrait) orientation
    int32_t panelHeight;
    int heldRotation;  // how the device is set up: 0 portrait, 90 landscape
};

const DeviceProfile* FindDeviceProfile(const std::string& name);
// "pocketpc, pocketpc-landscape, ..." for messages.
std::string DeviceProfileNames();

// Sets the panel, rotation and display scale of `config` to what the device
// gives a program that declares itself neither high-resolution nor
// orientation aware, as this one: a 240x320 portrait display, scaled up on a
// larger panel. Leaves the other fields alone.
void ApplyDeviceProfile(const DeviceProfile& profile, device::Config* config);
