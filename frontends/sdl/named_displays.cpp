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

std::string NoDisplayNamed() {
    const char* x = std::getenv("DISPLAY");
    const std::string wayland = Variable("WAYLAND_DISPLAY");
    std::string why;
    if (!wayland.empty() && wayland[0] != '/' && Variable("XDG_RUNTIME_DIR").empty()) {
        // A relative name is looked for in a folder that is not named.
        why = "WAYLAND_DISPLAY=" + wayland + " names no socket, as XDG_RUNTIME_DIR is " +
              (std::getenv("XDG_RUNTIME_DIR") != nullptr ? "empty" : "unset") + "; DISPLAY is " +
              (x != nullptr ? "empty" : "unset");
    } else if (x != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr) {
        why = std::string("DISPLAY is ") + (x != nullptr ? "empty" : "unset") +
              " and WAYLAND_DISPLAY is " +
              (std::getenv("WAYLAND_DISPLAY") != nullptr ? "empty" : "unset");
    } else {
        why = "DISPLAY and WAYLAND_DISPLAY are unset";
    }
    return "cannot open a window: no display (" + why + ")";
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
