#include "frontends/sdl/sdl_video.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "frontends/sdl/display_probe.h"
#include "frontends/sdl/named_displays.h"
#include "frontends/sdl/process_limits.h"
#include "frontends/sdl/x_connection_loss.h"

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

std::string Joined(const std::vector<std::string>& items, const char* separator) {
    std::string joined;
    for (const std::string& item : items) {
        joined += (joined.empty() ? "" : separator) + item;
    }
    return joined;
}

// Why SDL's video did not open, after which displays stayed silent.
std::string InitFailure(const std::string& silence, const std::vector<std::string>& answering) {
    std::string what = "cannot open a window: " + (silence.empty() ? "" : silence + ", ");
    // A display that answered our own connection may have been out of reach
    // of SDL's for want of a descriptor.
    if (const std::string shortage = DescriptorShortage(kWindowDescriptors); !shortage.empty()) {
        return what + "no file descriptor left to reach " +
               (answering.empty() ? std::string("a display") : Joined(answering, " or ")) + ": " +
               shortage;
    }
    // SDL names the drivers it tried; the user knows the display.
    if (!answering.empty()) {
        what += "nothing answers at " + Joined(answering, " or ") + "; ";
    }
    return SdlError((what + "SDL says").c_str());
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
    const std::vector<std::string> userDrivers = UserVideoDrivers();
    std::vector<std::string> drivers = userDrivers;
    std::vector<NamedDisplay> displays;
    for (const NamedDisplay& display : NamedDisplays()) {
        if (userDrivers.empty()) {
            drivers.push_back(display.driver);
        }
        if (std::find(drivers.begin(), drivers.end(), display.driver) != drivers.end()) {
            displays.push_back(display);
        }
    }
    if (drivers.empty()) {
        throw std::runtime_error(NoDisplayNamed());
    }
    // SDL is handed only the drivers whose display answers.
    const DisplayAnswers answers(displays, kDisplayAnswerTime);
    const std::vector<bool>& silent = answers.Silent();
    std::vector<std::string> silentNames, answeringNames;
    for (size_t i = 0; i < displays.size(); ++i) {
        if (silent[i]) {
            silentNames.push_back(displays[i].name);
            drivers.erase(std::find(drivers.begin(), drivers.end(), displays[i].driver));
        } else {
            answeringNames.push_back(displays[i].name);
        }
    }
    const std::string silence = silentNames.empty()
                                    ? ""
                                    : "no answer from " + Joined(silentNames, " or ") + " in " +
                                          std::to_string(kDisplayAnswerTime.count()) + " s";
    if (drivers.empty()) {
        throw std::runtime_error("cannot open a window: " + silence);
    }
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, Joined(drivers, ",").c_str(), SDL_HINT_OVERRIDE);
    EndOnDisplayLoss();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        throw std::runtime_error(InitFailure(silence, answeringNames));
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!ShowsWindows(driver)) {
        const std::string reason = std::string("cannot open a window: SDL's \"") +
                                   (driver ? driver : "?") + "\" video driver shows none";
        SDL_Quit();
        throw std::runtime_error(reason);
    }
}
