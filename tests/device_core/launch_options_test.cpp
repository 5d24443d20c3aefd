// plasma-demo's command line, parsed in-process: what each good line sets,
// and the one-line complaint for each bad one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/usage_error.h"
#include "device_core/settings/launch_options.h"
#include "tests/support/bad_command_lines.h"

namespace {

using Args = std::vector<std::string>;

LaunchOptions Parse(const Args& args) {
    std::vector<const char*> argv = {"plasma-demo"};
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    return ParseLaunchOptions(static_cast<int>(argv.size()), argv.data());
}

std::string Joined(const Args& args) {
    std::string joined;
    for (const std::string& arg : args) {
        joined += "[" + arg + "] ";
    }
    return joined;
}

struct Expected {
    int32_t panelWidth = 240, panelHeight = 320;
    int rotation = 0, displayScale = 1;
    bool dram = false, headless = false, window = false;
    int scale = 0;
    ScheduledInputKind input = ScheduledInputKind::kNone;
    int inputAfterMs = 0;
    std::string screenshot, trace;
    device::DisplayFailure failure = device::DisplayFailure::kNone;
    int32_t framesPerSecond = device::kDefaultFramesPerSecond;
};

struct GoodCase {
    const char* name;
    Args args;
    Expected expected;
};

Expected With(void (*change)(Expected&)) {
    Expected e;
    change(e);
    return e;
}

const std::vector<GoodCase> kGoodCases = {
    {"nothing given: a pocketpc, a window if one can be had", {}, {}},
    {"vga doubles the legacy display", {"--device", "vga"}, With([](Expected& e) {
         e.panelWidth = 480, e.panelHeight = 640, e.displayScale = 2;
     })},
    {"a landscape device is still shown portrait",
     {"--device=vga-landscape"},
     With([](Expected& e) { e.panelWidth = 480, e.panelHeight = 640, e.displayScale = 2; })},
    {"a display of its own size, held sideways, name=value forms",
     {"--display=640x480", "--rotate=270"},
     With([](Expected& e) { e.panelWidth = 640, e.panelHeight = 480, e.rotation = 270; })},
    {"largest and smallest sides, capital X",
     {"--display", "4096X1", "--rotate", "0"},
     With([](Expected& e) { e.panelWidth = 4096, e.panelHeight = 1; })},
    {"flags", {"--dram", "--headless"}, With([](Expected& e) {
         e.dram = true, e.headless = true;
     })},
    {"a window at the largest scale", {"--window", "--scale", "8"}, With([](Expected& e) {
         e.window = true, e.scale = 8;
     })},
    {"a tap at once", {"--tap-after", "0"}, With([](Expected& e) {
         e.input = ScheduledInputKind::kTap;
     })},
    {"a key after the longest delay", {"--key-after=86400000"}, With([](Expected& e) {
         e.input = ScheduledInputKind::kKey, e.inputAfterMs = 86400000;
     })},
    {"a close, a screenshot in any case, the trace to standard output",
     {"--close-after", "250", "--screenshot", "out/Shot.PNG", "--trace", "-"},
     With([](Expected& e) {
         e.input = ScheduledInputKind::kClose, e.inputAfterMs = 250;
         e.screenshot = "out/Shot.PNG", e.trace = "-";
     })},
    {"a trace file whose name starts with a dash", {"--trace=-x.log"}, With([](Expected& e) {
         e.trace = "-x.log";
     })},
    {"a dashed name that is no option is a value",
     {"--trace", "-x.log", "--headless"},
     With([](Expected& e) { e.trace = "-x.log", e.headless = true; })},
    {"a display that cannot be opened", {"--fail", "open"}, With([](Expected& e) {
         e.failure = device::DisplayFailure::kOpen;
     })},
    {"memory that cannot be reached", {"--fail=begin"}, With([](Expected& e) {
         e.failure = device::DisplayFailure::kBegin;
     })},
    {"the slowest pace", {"--speed", "1"}, With([](Expected& e) { e.framesPerSecond = 1; })},
    {"the fastest pace", {"--speed=1000"}, With([](Expected& e) { e.framesPerSecond = 1000; })},
    {"no pace at all", {"--speed", "max"}, With([](Expected& e) { e.framesPerSecond = 0; })},
};

TEST(LaunchOptions, GoodCommandLinesSetWhatTheyName) {
    for (const GoodCase& c : kGoodCases) {
        SCOPED_TRACE(c.name);
        LaunchOptions o;
        ASSERT_NO_THROW(o = Parse(c.args)) << Joined(c.args);
        const Expected& e = c.expected;
        EXPECT_FALSE(o.help);
        EXPECT_FALSE(o.version);
        EXPECT_EQ(o.device.panelWidth, e.panelWidth);
        EXPECT_EQ(o.device.panelHeight, e.panelHeight);
        EXPECT_EQ(o.device.rotation, e.rotation);
        EXPECT_EQ(o.device.displayScale, e.displayScale);
        EXPECT_EQ(o.device.dramBuffer, e.dram);
        EXPECT_EQ(o.device.failure, e.failure);
        EXPECT_EQ(o.headless, e.headless);
        EXPECT_EQ(o.windowRequired, e.window);
        EXPECT_EQ(o.scale, e.scale);
        EXPECT_EQ(o.input, e.input);
        EXPECT_EQ(o.inputAfterMs, e.inputAfterMs);
        EXPECT_EQ(o.screenshotPath, e.screenshot);
        EXPECT_EQ(o.tracePath, e.trace);
        EXPECT_EQ(o.device.framesPerSecond, e.framesPerSecond);
    }
}

// Unlike help and version, --check checks everything else as a run would.
TEST(LaunchOptions, CheckIsAFlagThatStillChecksTheRest) {
    EXPECT_TRUE(Parse({"--check"}).check);
    EXPECT_FALSE(Parse({"--dram"}).check);
    const LaunchOptions checked = Parse({"--check", "--device", "vga", "--speed", "30"});
    EXPECT_TRUE(checked.check);
    EXPECT_EQ(checked.device.framesPerSecond, 30);
    EXPECT_THROW(Parse({"--check", "--speed", "0"}), UsageError);
}

TEST(LaunchOptions, HelpAndVersionWinOverBadValues) {
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"-h"}).help);
    EXPECT_TRUE(Parse({"--scale", "0", "--help"}).help);
    EXPECT_TRUE(Parse({"--version", "--display", "0x0"}).version);
    EXPECT_TRUE(Parse({"--version", "--bogus"}).version);
    EXPECT_TRUE(Parse({"--help", "--bogus", "--version"}).help);
    EXPECT_TRUE(Parse({"--trace", "--help"}).help);
}

const std::vector<BadCommandLine> kBadCases = {
    {{"--bogus"}, "unknown argument '--bogus'"},
    {{"extra"}, "unknown argument 'extra'"},
    {{"--scale"}, "--scale needs a value"},
    {{"--trace", "--headless"}, "--trace needs a value"},
    {{"--trace=", "--headless"}, "--trace needs a value"},
    {{"--scale", "--dram=1"}, "--scale needs a value"},
    {{"--scale", "9"}, "--scale: '9' is not a whole number from 1 to 8"},
    {{"--scale", "+2"}, "from 1 to 8"},
    {{"--scale", "010"}, "from 1 to 8"},
    {{"--display", "240"}, "WxH"},
    {{"--display", "x320"}, "WxH"},
    {{"--display", "240x"}, "WxH"},
    {{"--display", "0x320"}, "from 1 to 4096"},
    {{"--display", "240x4097"}, "from 1 to 4096"},
    {{"--display", "240x320x2"}, "WxH"},
    {{"--device", "palm"}, "pocketpc, pocketpc-landscape, vga, vga-landscape"},
    {{"--device", "vga", "--device", "vga"}, "--device given more than once"},
    {{"--dram", "--dram"}, "--dram given more than once"},
    {{"--device=vga", "--display=240x320"}, "--device excludes --display"},
    {{"--rotate", "90"}, "--rotate requires --display"},
    {{"--display", "240x320", "--rotate", "45"}, "0, 90, 180 or 270"},
    {{"--display", "240x320", "--rotate", "360"}, "0, 90, 180 or 270"},
    {{"--headless", "--window"}, "--headless excludes --window"},
    {{"--tap-after", "10", "--close-after", "20"}, "give only one"},
    {{"--tap-after", "-5"}, "from 0 to 86400000"},
    {{"--key-after", "86400001"}, "--key-after: '86400001' is not milliseconds"},
    {{"--close-after", "1.5"}, "milliseconds"},
    {{"--screenshot", "shot.jpg"}, ".png"},
    {{"--screenshot", ".png"}, ".png"},
    {{"--trace="}, "--trace"},
    {{"--fail", "paint"}, "open or begin"},
    {{"--speed", "0"}, "--speed: '0' is not a whole number from 1 to 1000, or max"},
    {{"--speed", "1001"}, "from 1 to 1000"},
    {{"--speed", "MAX"}, "or max"},
    {{"--speed", "60fps"}, "or max"},
};

TEST(LaunchOptions, BadCommandLinesNameTheProblemOnOneLine) {
    ExpectEachRefused(kBadCases, [](const Args& args) { Parse(args); });
}

// Another host's settings (gx.dll's environment) are checked by the same
// rules and named as that host's user gave them, never as options.
std::string AsVariable(const std::string& option) {
    return option == "--display" ? "PLASMA_GX_DISPLAY" : "?";
}

TEST(LaunchSettings, AreNamedAsTheUserGaveThem) {
    struct Case {
        std::vector<GivenSetting> given;
        const char* message;
    };
    const Case cases[] = {
        {{{"--scale", "PLASMA_GX_SCALE", "9"}},
         "PLASMA_GX_SCALE: '9' is not a whole number from 1 to 8"},
        {{{"--screenshot", "PLASMA_GX_SCREENSHOT", "--screenshot"}},
         "PLASMA_GX_SCREENSHOT: '--screenshot' is not a file name ending in .png"},
        {{{"--device", "PLASMA_GX_DEVICE", "vga"}, {"--display", "plasma_gx_display", "9x9"}},
         "PLASMA_GX_DEVICE excludes plasma_gx_display; give only one of them"},
        {{{"--rotate", "PLASMA_GX_ROTATE", "90"}}, "PLASMA_GX_ROTATE requires PLASMA_GX_DISPLAY"},
        {{{"--dram", "A", ""}, {"--dram", "B", ""}}, "B given more than once; give it once"},
        {{{"--bogus", "PLASMA_GX_BOGUS", "1"}}, "unknown setting PLASMA_GX_BOGUS"},
    };
    for (const Case& c : cases) {
        try {
            ApplyLaunchSettings(c.given, AsVariable);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const UsageError& refused) {
            EXPECT_EQ(std::string(refused.what()), c.message);
        }
    }
    const LaunchOptions o = ApplyLaunchSettings(
        {{"--speed", "PLASMA_GX_SPEED", "max"}, {"--dram", "PLASMA_GX_DRAM", ""}}, AsVariable);
    EXPECT_EQ(o.device.framesPerSecond, 0);
    EXPECT_TRUE(o.device.dramBuffer);
}

}  // namespace
