#include "frontends/sdl/named_displays.h"

#include <cstdlib>
#include <sstream>

namespace {
std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}
}  // namespace

std::vector<NamedDisplay> NamedDisplays() {
    std::vector<NamedDisplay> found;
    const std::string x = Variable("DISPLAY"), wayland = Variable("WAYLAND_DISPLAY");
    if (!x.empty()) {
        found.push_back({"x11", "DISPLAY=" + x, x});
    }
    // A relative Wayland name is a socket in the runtime directory.
    const std::string runtime = Variable("XDG_RUNTIME_DIR");
    if (!wayland.empty() && (wayland[0] == '/' || !runtime.empty())) {
        found.push_back({"wayland", "WAYLAND_DISPLAY=" + wayland,
                         wayland[0] == '/' ? wayland : runtime + "/" + wayland});
    }
    return found;
}

std::vector<std::string> UserVideoDrivers() {
    std::vector<std::string> drivers;
    std::istringstream list(Variable("SDL_VIDEODRIVER"));
    for (std::string driver; std::getline(list, driver, ',');) {
        if (!driver.empty()) {
            drivers.push_back(driver);
        }
    }
    return drivers;
}
