#pragma once

#include <cstdint>
#include <string>

// A handheld the emulator can be: its panel and how the user holds it.
struct DeviceProfile {
    const char* name;
    int32_t panelWidth;
    int32_t panelHeight;
    int rotation;
    const char* description;
};

const DeviceProfile* FindDeviceProfile(const std::string& name);
const DeviceProfile* DeviceProfiles(size_t* count);
// "pocketpc, pocketpc-landscape, ..." for messages.
std::string DeviceProfileNames();
