#include "emulator/options.h"

#include <strings.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "emulator/device_profiles.h"

namespace {
constexpr long kMaxPanelSide = 4096;
constexpr long kMaxDelayMs = 24L * 60 * 60 * 1000;
constexpr long kMaxScale = 8;

bool ParseNumber(const char* text, long low, long high, long* value) {
    if (text == nullptr || *text == '\0' || *text == '-' || *text == '+' || *text == ' ') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    *value = parsed;
    return true;
}

bool ParseSize(const char* text, int32_t* width, int32_t* height) {
    const char* x = std::strchr(text, 'x');
    if (x == nullptr) {
        return false;
    }
    const std::string w(text, x);
    long wv = 0, hv = 0;
    if (!ParseNumber(w.c_str(), 1, kMaxPanelSide, &wv) ||
        !ParseNumber(x + 1, 1, kMaxPanelSide, &hv)) {
        return false;
    }
    *width = static_cast<int32_t>(wv);
    *height = static_cast<int32_t>(hv);
    return true;
}

struct Parser {
    int argc;
    const char* const* argv;
    int index;
    std::string* error;

    // The value of the option at argv[index], which must follow it.
    const char* Value() {
        if (index + 1 >= argc) {
            return nullptr;
        }
        return argv[++index];
    }
    bool Fail(const std::string& message) {
        *error = message;
        return false;
    }
};
}  // namespace

const char* LaunchUsage() {
    return "usage: plasma-demo [--device NAME | --display WxH [--rotate DEG]] [--dram]\n"
           "                   [--headless | --window] [--scale N]\n"
           "                   [--tap-after MS | --key-after MS | --close-after MS]\n"
           "                   [--screenshot FILE.png] [--trace FILE|-] [--fail open|begin]\n"
           "                   [--help] [--version]\n"
           "\n"
           "Runs the plasma on an emulated handheld. A tap (click), a key or a close\n"
           "request ends it.\n"
           "\n"
           "  --device NAME        pocketpc (240x320, the default), pocketpc-landscape, vga\n"
           "                       (480x640), vga-landscape. As on the real devices, this\n"
           "                       program gets a 240x320 portrait display on each: GX turns\n"
           "                       a landscape device to portrait for it, and a VGA panel\n"
           "                       shows it with every pixel doubled\n"
           "  --display WxH        a display of exactly that size, 1 to 4096 pixels a side,\n"
           "                       in the panel's own orientation (e.g. 640x480 to reach the\n"
           "                       640-column limit)\n"
           "  --rotate DEG         how that panel is held: 0, 90, 180 or 270 (clockwise)\n"
           "  --dram               display memory is a buffer; only finished frames are shown\n"
           "  --headless           no window (the default where no display is reachable)\n"
           "  --window             a window or nothing: fail when no display is reachable\n"
           "  --scale N            window pixels per device pixel, 1 to 8 (default: the\n"
           "                       largest of 1 to 3 that fits the desktop)\n"
           "  --tap-after MS       tap the screen's centre MS milliseconds after start\n"
           "  --key-after MS       press a key MS milliseconds after start\n"
           "  --close-after MS     request a close MS milliseconds after start\n"
           "  --screenshot FILE    save the screen as the program ends, as PNG\n"
           "  --trace FILE|-       log every platform call of the program (- for stdout)\n"
           "  --fail open|begin    a display that cannot be opened, or whose memory cannot\n"
           "                       be reached\n"
           "\n"
           "SIGINT or SIGTERM requests a close; a second one ends the process at once.\n";
}

bool ParseLaunchOptions(int argc, const char* const* argv, LaunchOptions* options,
                        std::string* error) {
    Parser p{argc, argv, 1, error};
    bool sawDevice = false, sawDisplay = false, sawRotate = false;
    const char* inputOption = nullptr;
    for (; p.index < argc; ++p.index) {
        const std::string option = argv[p.index];
        if (option == "--help" || option == "-h") {
            options->help = true;
        } else if (option == "--version") {
            options->version = true;
        } else if (option == "--headless") {
            options->headless = true;
        } else if (option == "--window") {
            options->windowRequired = true;
        } else if (option == "--dram") {
            options->device.dramBuffer = true;
        } else if (option == "--device") {
            const char* name = p.Value();
            const DeviceProfile* profile = name ? FindDeviceProfile(name) : nullptr;
            if (profile == nullptr) {
                return p.Fail("--device needs one of: " + DeviceProfileNames());
            }
            sawDevice = true;
            options->deviceName = profile->name;
            ApplyDeviceProfile(*profile, &options->device);
        } else if (option == "--display") {
            const char* size = p.Value();
            if (size == nullptr ||
                !ParseSize(size, &options->device.panelWidth, &options->device.panelHeight)) {
                return p.Fail("--display needs WxH, each from 1 to 4096 (e.g. 320x240)");
            }
            sawDisplay = true;
            options->deviceName = size;
        } else if (option == "--rotate") {
            long degrees = 0;
            if (!ParseNumber(p.Value(), 0, 270, &degrees) || degrees % 90 != 0) {
                return p.Fail("--rotate needs 0, 90, 180 or 270");
            }
            sawRotate = true;
            options->device.rotation = static_cast<int>(degrees);
        } else if (option == "--scale") {
            long scale = 0;
            if (!ParseNumber(p.Value(), 1, kMaxScale, &scale)) {
                return p.Fail("--scale needs a whole number from 1 to 8");
            }
            options->scale = static_cast<int>(scale);
        } else if (option == "--tap-after" || option == "--key-after" ||
                   option == "--close-after") {
            if (inputOption != nullptr) {
                return p.Fail("only one of --tap-after, --key-after, --close-after may be given");
            }
            long ms = 0;
            if (!ParseNumber(p.Value(), 0, kMaxDelayMs, &ms)) {
                return p.Fail(option + " needs milliseconds, from 0 to 86400000");
            }
            inputOption = argv[p.index - 1];
            options->inputAfterMs = static_cast<int>(ms);
            options->input = option == "--tap-after"   ? ScheduledInputKind::kTap
                             : option == "--key-after" ? ScheduledInputKind::kKey
                                                       : ScheduledInputKind::kClose;
        } else if (option == "--screenshot") {
            const char* path = p.Value();
            if (path == nullptr || *path == '\0') {
                return p.Fail("--screenshot needs a file name ending in .png");
            }
            const size_t length = std::strlen(path);
            if (length < 5 || strcasecmp(path + length - 4, ".png") != 0) {
                return p.Fail("--screenshot needs a file name ending in .png");
            }
            options->screenshotPath = path;
        } else if (option == "--trace") {
            const char* path = p.Value();
            if (path == nullptr || *path == '\0') {
                return p.Fail("--trace needs a file name, or - for standard output");
            }
            options->tracePath = path;
        } else if (option == "--fail") {
            const char* what = p.Value();
            if (what != nullptr && std::strcmp(what, "open") == 0) {
                options->device.failure = device::DisplayFailure::kOpen;
            } else if (what != nullptr && std::strcmp(what, "begin") == 0) {
                options->device.failure = device::DisplayFailure::kBegin;
            } else {
                return p.Fail("--fail needs open or begin");
            }
        } else {
            return p.Fail("unknown option '" + option +
                          "'; accepted: --device, --display, --rotate, --dram, --headless, "
                          "--window, --scale, --tap-after, --key-after, --close-after, "
                          "--screenshot, --trace, --fail, --help, --version");
        }
    }
    if (sawDevice && sawDisplay) {
        return p.Fail("give either --device or --display, not both");
    }
    if (sawRotate && !sawDisplay) {
        return p.Fail("--rotate goes with --display WxH (the profiles have their own)");
    }
    if (options->headless && options->windowRequired) {
        return p.Fail("give either --headless or --window, not both");
    }
    return true;
}
