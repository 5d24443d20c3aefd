#include "device_core/settings/device_profiles.h"

namespace {

const DeviceProfile kProfiles[] = {
    {"pocketpc", 240, 320, 0},  // the default
    {"pocketpc-landscape", 240, 320, 90},
    {"vga", 480, 640, 0},
    {"vga-landscape", 480, 640, 90},
};

// What the system gives a program that does not declare itself
// high-resolution aware: a display of this size, scaled to fit the panel.
constexpr int32_t kLegacyWidth = 240;
constexpr int32_t kLegacyHeight = 320;

}  // namespace

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

void ApplyDeviceProfile(const DeviceProfile& profile, device::Config* config) {
    config->panelWidth = profile.panelWidth;
    config->panelHeight = profile.panelHeight;
    // GXOpenDisplay puts a device that is set up for landscape back into
    // portrait for a program built for devices that had only portrait
    // (Microsoft KB 843485), and such a program gets the 240x320 display of
    // those devices, which the system scales up to a larger panel (High
    // Resolution Legacy Support, GAPI Legacy Support).
    config->rotation = 0;
    config->displayScale = profile.panelWidth / kLegacyWidth;
    if (config->displayScale < 1 || profile.panelHeight != kLegacyHeight * config->displayScale) {
        config->displayScale = 1;  // not a multiple of the legacy display: shown as it is
    }
}
