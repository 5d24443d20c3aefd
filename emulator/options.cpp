#include "emulator/options.h"

#include <strings.h>

#include <optional>
#include <vector>

#include "cli/command_line.h"
#include "cli/usage_error.h"
#include "cli/values.h"
#include "emulator/device_profiles.h"
#include "frontends/common/window_layout.h"

namespace {
constexpr int32_t kMaxPanelSide = 4096;
constexpr int64_t kMaxDelayMs = 24L * 60 * 60 * 1000;
constexpr int64_t kMaxScale = 8;
constexpr const char* kRotations = "0, 90, 180 or 270";

// The command line as given, before its values are checked.
struct Given {
    std::string device, display, rotate, scale, screenshot, trace, fail;
    std::string tapAfter, keyAfter, closeAfter;
    bool dram = false, headless = false, window = false, version = false;
};

void Define(CLI::App& app, Given& g) {
    cli::SetUp(app);
    app.footer(
        "A tap (click), a key or a close request ends the run. SIGINT or SIGTERM\n"
        "requests a close; a second one ends the process at once.");
    auto* device = cli::AddValue(
        app, "--device", &g.device, "NAME",
        DeviceProfileNames() +
            " (the first is the default). As on the real devices, this program gets "
            "a 240x320 portrait display on each: GX turns a landscape device to portrait "
            "for it, and a VGA panel shows it with every pixel doubled");
    auto* display =
        cli::AddValue(app, "--display", &g.display, "WxH",
                      "a display of exactly that size, " + cli::FromTo(1, kMaxPanelSide) +
                          " pixels a side, in the panel's own orientation (e.g. 640x480)");
    device->excludes(display);
    cli::AddValue(app, "--rotate", &g.rotate, "DEG",
                  std::string("how that panel is held: ") + kRotations + " (clockwise)")
        ->needs(display);
    cli::AddFlag(app, "--dram", &g.dram,
                 "display memory is a buffer; only finished frames are shown");
    auto* headless = cli::AddFlag(app, "--headless", &g.headless,
                                  "no window (the default where no display is reachable)");
    auto* window = cli::AddFlag(app, "--window", &g.window,
                                "a window or nothing: fail when no display is reachable");
    headless->excludes(window);
    cli::AddValue(app, "--scale", &g.scale, "N",
                  "window pixels per device pixel, " + cli::FromTo(1, kMaxScale) +
                      " (default: the largest " + cli::FromTo(1, kMaxDefaultScale) +
                      " that fits the desktop)");
    const std::string delays = " MS milliseconds after start, " + cli::FromTo(0, kMaxDelayMs);
    auto* tap =
        cli::AddValue(app, "--tap-after", &g.tapAfter, "MS", "tap the screen's centre" + delays);
    auto* key = cli::AddValue(app, "--key-after", &g.keyAfter, "MS", "press a key" + delays);
    auto* close =
        cli::AddValue(app, "--close-after", &g.closeAfter, "MS", "request a close" + delays);
    tap->excludes(key)->excludes(close);
    key->excludes(close);
    cli::AddValue(app, "--screenshot", &g.screenshot, "FILE.png",
                  "save the screen as the program ends, as PNG");
    cli::AddValue(app, "--trace", &g.trace, "FILE|-",
                  "log the program's platform calls (- for standard output); "
                  "the per-frame GXBeginDraw and GXEndDraw once, then counted");
    cli::AddValue(app, "--fail", &g.fail, "open|begin",
                  "a display that cannot be opened, or whose memory cannot be reached");
    cli::AddFlag(app, "--version", &g.version, "print the version and exit");
}

const char* kAppDescription = "Runs the plasma on an emulated handheld.";

void ApplyDevice(const std::string& name, LaunchOptions& options) {
    const DeviceProfile* profile = FindDeviceProfile(name);
    if (profile == nullptr) {
        throw UsageError("--device: '" + name + "' is not one of " + DeviceProfileNames());
    }
    ApplyDeviceProfile(*profile, &options.device);
}

void ApplyScreenshot(const std::string& path, LaunchOptions& options) {
    const size_t length = path.size();
    if (length < 5 || strcasecmp(path.c_str() + length - 4, ".png") != 0) {
        throw UsageError("--screenshot: '" + path + "' is not a file name ending in .png");
    }
    options.screenshotPath = path;
}
}  // namespace

std::string LaunchUsage() {
    CLI::App app(kAppDescription, "plasma-demo");
    Given given;
    Define(app, given);
    return cli::Help(app);
}

LaunchOptions ParseLaunchOptions(int argc, const char* const* argv) {
    CLI::App app(kAppDescription, "plasma-demo");
    Given g;
    Define(app, g);
    LaunchOptions options;
    const cli::Request request = cli::Parse(app, std::vector<std::string>(argv + 1, argv + argc));
    if (request == cli::Request::kHelp) {
        options.help = true;
        return options;
    }
    if (request == cli::Request::kVersion) {
        options.version = true;
        return options;
    }
    options.device.dramBuffer = g.dram;
    options.headless = g.headless;
    options.windowRequired = g.window;
    if (app.count("--device") != 0) {
        ApplyDevice(g.device, options);
    }
    if (app.count("--display") != 0) {
        const cli::Size size = cli::SizeValue("--display", g.display, kMaxPanelSide, "320x240");
        options.device.panelWidth = size.width;
        options.device.panelHeight = size.height;
    }
    if (app.count("--rotate") != 0) {
        const std::optional<int64_t> degrees = cli::ParseWholeNumber(g.rotate, 0, 270);
        if (!degrees || *degrees % 90 != 0) {
            throw UsageError("--rotate: '" + g.rotate + "' is not " + kRotations);
        }
        options.device.rotation = static_cast<int>(*degrees);
    }
    if (app.count("--scale") != 0) {
        options.scale = static_cast<int>(cli::WholeNumber("--scale", g.scale, 1, kMaxScale));
    }
    const struct {
        const char* option;
        const std::string& text;
        ScheduledInputKind kind;
    } inputs[] = {{"--tap-after", g.tapAfter, ScheduledInputKind::kTap},
                  {"--key-after", g.keyAfter, ScheduledInputKind::kKey},
                  {"--close-after", g.closeAfter, ScheduledInputKind::kClose}};
    for (const auto& input : inputs) {
        if (app.count(input.option) != 0) {
            options.input = input.kind;
            options.inputAfterMs =
                static_cast<int>(cli::Milliseconds(input.option, input.text, kMaxDelayMs));
        }
    }
    if (app.count("--screenshot") != 0) {
        ApplyScreenshot(g.screenshot, options);
    }
    if (app.count("--trace") != 0) {
        if (g.trace.empty()) {
            throw UsageError("--trace: needs a file name, or - for standard output");
        }
        options.tracePath = g.trace;
    }
    if (app.count("--fail") != 0) {
        if (g.fail == "open") {
            options.device.failure = device::DisplayFailure::kOpen;
        } else if (g.fail == "begin") {
            options.device.failure = device::DisplayFailure::kBegin;
        } else {
            throw UsageError("--fail: '" + g.fail + "' is not open or begin");
        }
    }
    return options;
}
