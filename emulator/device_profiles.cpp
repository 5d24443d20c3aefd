#include "emulator/device_profiles.h"

namespace {
const DeviceProfile kProfiles[] = {
    {"pocketpc", 240, 320, 0, "240x320 portrait (the default)"},
    {"pocketpc-landscape", 240, 320, 90, "the same panel held sideways: 320x240"},
    {"vga", 480, 640, 0, "480x640 portrait"},
    {"vga-landscape", 480, 640, 90, "the same panel held sideways: 640x480"},
};
}  // namespace

const DeviceProfile* DeviceProfiles(size_t* count) {
    *count = sizeof kProfiles / sizeof kProfiles[0];
    return kProfiles;
}

const DeviceProfile* FindDeviceProfile(const std::string& name) {
    for (const DeviceProfile& profile : kProfiles) {
        if (name == profile.name) {
            return &profile;
        }
    }
    return nullptr;
}

std::string DeviceProfileNames() {
    std::string names;
    for (const DeviceProfile& profile : kProfiles) {
        names += names.empty() ? "" : ", ";
        names += profile.name;
    }
    return names;
}
