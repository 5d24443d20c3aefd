#include "device_core/settings/launch_options.h"

#include <strings.h>

#include <optional>

#include "cli/command_line.h"
#include "cli/usage_error.h"
#include "cli/values.h"
#include "device_core/screen_layout.h"
#include "device_core/settings/device_profiles.h"

namespace {
constexpr int32_t kMaxPanelSide = 4096;
constexpr int64_t kMaxDelayMs = 24L * 60 * 60 * 1000;
constexpr int64_t kMaxScale = 8;
constexpr const char* kRotations = "0, 90, 180 or 270";

struct OptionDefinition {
    const char* name;
    const char* valueName;  // null for a flag
    std::string description;
};

std::vector<OptionDefinition> Definitions() {
    const std::string delays = " MS milliseconds after start, " + cli::FromTo(0, kMaxDelayMs);
    return {
        {"--device", "NAME",
         DeviceProfileNames() +
             " (the first is the default). As on the real devices, this program gets a 240x320 "
             "portrait display on each: GX turns a landscape device to portrait for it, and a "
             "VGA panel shows it with every pixel doubled"},
        {"--display", "WxH",
         "a display of exactly that size, " + cli::FromTo(1, kMaxPanelSide) +
             " pixels a side, in the panel's own orientation (e.g. 640x480)"},
        {"--rotate", "DEG", std::string("how that panel is held: ") + kRotations + " (clockwise)"},
        {"--dram", nullptr, "display memory is a buffer; only finished frames are shown"},
        {"--speed", "FPS|max",
         "frames the device draws a second, " + cli::FromTo(1, device::kMaxFramesPerSecond) +
             ", or max for as fast as this computer can (default: " +
             std::to_string(device::kDefaultFramesPerSecond) + ", one a refresh of the panel)"},
        {"--headless", nullptr, "no window (the default where no display is reachable)"},
        {"--window", nullptr, "a window or nothing: fail when no display is reachable"},
        {"--scale", "N",
         "window pixels per device pixel, " + cli::FromTo(1, kMaxScale) +
             " (default: the largest " + cli::FromTo(1, kMaxDefaultScale) +
             " that fits the desktop)"},
        {"--tap-after", "MS", "tap the screen's centre" + delays},
        {"--key-after", "MS", "press a key" + delays},
        {"--close-after", "MS", "request a close" + delays},
        {"--screenshot", "FILE.png", "save the screen as the program ends, as PNG"},
        {"--trace", "FILE|-",
         "log the program's platform calls (- for standard output); of the per-frame calls, "
         "only the first GXBeginDraw, then a closing summary of the frames and the pace"},
        {"--fail", "open|begin",
         "a display that cannot be opened, or whose memory cannot be reached"},
        {"--check", nullptr,
         "check the options, and that the screenshot and the trace could be written, then "
         "exit without running (status 0 when all is sound)"},
        {"--version", nullptr, "print the version and exit"},
    };
}

// Options of which at most one may be given.
const std::vector<std::vector<const char*>> kExclusive = {
    {"--device", "--display"},
    {"--headless", "--window"},
    {"--tap-after", "--key-after", "--close-after"},
};
// An option that means nothing without another.
const struct {
    const char* option;
    const char* needs;
} kNeeds[] = {{"--rotate", "--display"}};

const char* kAppDescription = "Runs the plasma on an emulated handheld.";

void Define(CLI::App& app, std::vector<std::string>& values) {
    cli::SetUp(app);
    app.footer(
        "A tap (click), a key or a close request ends the run. SIGINT or SIGTERM\n"
        "requests a close; a second one ends the process at once.");
    const std::vector<OptionDefinition> definitions = Definitions();
    values.assign(definitions.size(), std::string());
    for (size_t i = 0; i < definitions.size(); ++i) {
        const OptionDefinition& d = definitions[i];
        if (d.valueName != nullptr) {
            cli::AddValue(app, d.name, &values[i], d.valueName, d.description);
        } else {
            // Counted by CLI11: only whether it was given matters.
            app.add_flag(d.name, d.description)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
        }
    }
    for (const auto& group : kExclusive) {
        for (size_t a = 0; a < group.size(); ++a) {
            for (size_t b = a + 1; b < group.size(); ++b) {
                app.get_option(group[a])->excludes(app.get_option(group[b]));
            }
        }
    }
    for (const auto& need : kNeeds) {
        app.get_option(need.option)->needs(app.get_option(need.needs));
    }
}

const GivenSetting* Find(const std::vector<GivenSetting>& given, const char* option) {
    for (const GivenSetting& setting : given) {
        if (setting.option == option) {
            return &setting;
        }
    }
    return nullptr;
}

// The rules CLI11 checks on a command line, checked here for every host.
void CheckCombinations(const std::vector<GivenSetting>& given, SettingNamer nameOf) {
    const std::vector<OptionDefinition> definitions = Definitions();
    for (size_t i = 0; i < given.size(); ++i) {
        bool known = false;
        for (const OptionDefinition& d : definitions) {
            known = known || given[i].option == d.name;
        }
        if (!known) {
            throw UsageError("unknown setting " + given[i].name);
        }
        for (size_t j = i + 1; j < given.size(); ++j) {
            if (given[i].option == given[j].option) {
                throw UsageError(given[j].name + " given more than once; give it once");
            }
        }
    }
    for (const auto& group : kExclusive) {
        const GivenSetting* first = nullptr;
        for (const GivenSetting& setting : given) {
            for (const char* option : group) {
                if (setting.option != option) {
                    continue;
                }
                if (first != nullptr) {
                    throw UsageError(first->name + " excludes " + setting.name +
                                     "; give only one of them");
                }
                first = &setting;
            }
        }
    }
    for (const auto& need : kNeeds) {
        const GivenSetting* setting = Find(given, need.option);
        if (setting != nullptr && Find(given, need.needs) == nullptr) {
            throw UsageError(setting->name + " requires " +
                             (nameOf != nullptr ? nameOf(need.needs) : need.needs));
        }
    }
}

void ApplyDevice(const GivenSetting& given, LaunchOptions& options) {
    const DeviceProfile* profile = FindDeviceProfile(given.value);
    if (profile == nullptr) {
        throw UsageError(given.name + ": '" + given.value + "' is not one of " +
                         DeviceProfileNames());
    }
    ApplyDeviceProfile(*profile, &options.device);
}

void ApplyRotation(const GivenSetting& given, LaunchOptions& options) {
    const std::optional<int64_t> degrees = cli::ParseWholeNumber(given.value, 0, 270);
    if (!degrees || *degrees % 90 != 0) {
        throw UsageError(given.name + ": '" + given.value + "' is not " + kRotations);
    }
    options.device.rotation = static_cast<int>(*degrees);
}

void ApplySpeed(const GivenSetting& given, LaunchOptions& options) {
    if (given.value == "max") {
        options.device.framesPerSecond = 0;
        return;
    }
    const std::optional<int64_t> rate =
        cli::ParseWholeNumber(given.value, 1, device::kMaxFramesPerSecond);
    if (!rate) {
        throw UsageError(given.name + ": '" + given.value + "' is not a whole number " +
                         cli::FromTo(1, device::kMaxFramesPerSecond) + ", or max");
    }
    options.device.framesPerSecond = static_cast<int32_t>(*rate);
}

void ApplyScreenshot(const GivenSetting& given, LaunchOptions& options) {
    const std::string& path = given.value;
    const size_t length = path.size();
    if (length < 5 || strcasecmp(path.c_str() + length - 4, ".png") != 0) {
        throw UsageError(given.name + ": '" + path + "' is not a file name ending in .png");
    }
    options.screenshotPath = path;
}

void ApplyFailure(const GivenSetting& given, LaunchOptions& options) {
    if (given.value == "open") {
        options.device.failure = device::DisplayFailure::kOpen;
    } else if (given.value == "begin") {
        options.device.failure = device::DisplayFailure::kBegin;
    } else {
        throw UsageError(given.name + ": '" + given.value + "' is not open or begin");
    }
}

void ApplyInput(const GivenSetting& given, ScheduledInputKind kind, LaunchOptions& options) {
    options.input = kind;
    options.inputAfterMs =
        static_cast<int>(cli::Milliseconds(given.name, given.value, kMaxDelayMs));
}

void Apply(const GivenSetting& given, LaunchOptions& options) {
    const std::string& o = given.option;
    if (o == "--device") {
        ApplyDevice(given, options);
    } else if (o == "--display") {
        const cli::Size size = cli::SizeValue(given.name, given.value, kMaxPanelSide, "320x240");
        options.device.panelWidth = size.width;
        options.device.panelHeight = size.height;
    } else if (o == "--rotate") {
        ApplyRotation(given, options);
    } else if (o == "--dram") {
        options.device.dramBuffer = true;
    } else if (o == "--speed") {
        ApplySpeed(given, options);
    } else if (o == "--headless") {
        options.headless = true;
    } else if (o == "--window") {
        options.windowRequired = true;
    } else if (o == "--scale") {
        options.scale = static_cast<int>(cli::WholeNumber(given.name, given.value, 1, kMaxScale));
    } else if (o == "--tap-after") {
        ApplyInput(given, ScheduledInputKind::kTap, options);
    } else if (o == "--key-after") {
        ApplyInput(given, ScheduledInputKind::kKey, options);
    } else if (o == "--close-after") {
        ApplyInput(given, ScheduledInputKind::kClose, options);
    } else if (o == "--screenshot") {
        ApplyScreenshot(given, options);
    } else if (o == "--trace") {
        if (given.value.empty()) {
            throw UsageError(given.name + ": needs a file name, or - for standard output");
        }
        options.tracePath = given.value;
    } else if (o == "--fail") {
        ApplyFailure(given, options);
    } else if (o == "--check") {
        options.check = true;
    } else if (o == "--version") {
        options.version = true;
    }
}
}  // namespace

bool LaunchOptionTakesValue(const std::string& option) {
    for (const OptionDefinition& d : Definitions()) {
        if (option == d.name) {
            return d.valueName != nullptr;
        }
    }
    return false;
}

LaunchOptions ApplyLaunchSettings(const std::vector<GivenSetting>& given, SettingNamer nameOf) {
    CheckCombinations(given, nameOf);
    LaunchOptions options;
    // In the order of the definitions, so that a device's profile comes
    // before what the other settings change.
    for (const OptionDefinition& d : Definitions()) {
        if (const GivenSetting* setting = Find(given, d.name)) {
            Apply(*setting, options);
        }
    }
    return options;
}

std::string LaunchUsage() {
    CLI::App app(kAppDescription, "plasma-demo");
    std::vector<std::string> values;
    Define(app, values);
    return cli::Help(app);
}

LaunchOptions ParseLaunchOptions(int argc, const char* const* argv) {
    CLI::App app(kAppDescription, "plasma-demo");
    std::vector<std::string> values;
    Define(app, values);
    const cli::Request request = cli::Parse(app, std::vector<std::string>(argv + 1, argv + argc));
    LaunchOptions options;
    if (request == cli::Request::kHelp) {
        options.help = true;
        return options;
    }
    if (request == cli::Request::kVersion) {
        options.version = true;
        return options;
    }
    std::vector<GivenSetting> given;
    const std::vector<OptionDefinition> definitions = Definitions();
    for (size_t i = 0; i < definitions.size(); ++i) {
        const char* name = definitions[i].name;
        if (app.count(name) != 0) {
            given.push_back({name, name, values[i]});
        }
    }
    return ApplyLaunchSettings(given);
}
