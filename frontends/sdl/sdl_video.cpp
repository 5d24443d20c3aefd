#include "frontends/sdl/sdl_video.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {
// SDL falls back to drivers that show nothing to anyone (offscreen, dummy)
// when no display answers; only these put a window in front of a person.
bool ShowsWindows(const char* driver) {
    for (const char* name : {"x11", "wayland", "kmsdrm", "windows", "cocoa"}) {
        if (driver != nullptr && std::strcmp(driver, name) == 0) {
            return true;
        }
    }
    return false;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The displays the environment names, as SDL's drivers and as the user knows
// them; none when it names none. Unnamed displays are not probed: a Wayland
// probe without its runtime directory prints complaints of its own.
struct Displays {
    std::string drivers;  // in SDL's own order of preference
    std::string names;
};

Displays NamedDisplays() {
    Displays found;
    const std::string x = Variable("DISPLAY"), wayland = Variable("WAYLAND_DISPLAY");
    if (!x.empty()) {
        found.drivers = "x11";
        found.names = "DISPLAY=" + x;
    }
    if (!wayland.empty() && (wayland[0] == '/' || !Variable("XDG_RUNTIME_DIR").empty())) {
        found.drivers += found.drivers.empty() ? "wayland" : ",wayland";
        found.names +=
            (found.names.empty() ? "WAYLAND_DISPLAY=" : " or WAYLAND_DISPLAY=") + wayland;
    }
    return found;
}
}  // namespace

std::string SdlError(const char* what) {
    std::string reason = std::string(what) + ": " + SDL_GetError();
    for (char& c : reason) {
        c = (c == '\n' || c == '\r') ? ' ' : c;  // the launcher prints one line
    }
    return reason;
}

void InitVideo() {
    Displays displays;
    if (Variable("SDL_VIDEODRIVER").empty()) {
        displays = NamedDisplays();
        if (displays.drivers.empty()) {
            throw std::runtime_error(
                "cannot open a window: no display (DISPLAY and WAYLAND_DISPLAY are unset)");
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, displays.drivers.c_str());
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        // SDL names the drivers it tried; the user knows the display.
        throw std::runtime_error(displays.names.empty()
                                     ? SdlError("cannot open a window")
                                     : SdlError(("cannot open a window: nothing answers at " +
                                                 displays.names + "; SDL says")
                                                    .c_str()));
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!ShowsWindows(driver)) {
        const std::string reason = std::string("cannot open a window: SDL's \"") +
                                   (driver ? driver : "?") + "\" video driver shows none";
        SDL_Quit();
        throw std::runtime_error(reason);
    }
}
