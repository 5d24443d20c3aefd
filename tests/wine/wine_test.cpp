// plasma.exe and gx.dll for desktop Windows, run under Wine by plasma-watch,
// which reports the program's windows and message boxes as Win32 sees them
// and how the program ended. Every case asks for evidence that the program
// really ran: a Windows program that Wine cannot run may end with 0 at once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "imaging/image565.h"
#include "tests/support/case_name.h"
#include "tests/support/child_process.h"
#include "tests/support/png_image.h"

namespace {

using Settings = std::vector<std::pair<std::string, std::string>>;

struct WineRun {
    ChildResult child;
    bool watched = false;  // plasma-watch reported the program's end
    int exitCode = -1;
    bool timedOut = false;
    std::vector<std::string> windows;  // "class=... title=... style=..."
    std::vector<std::string> boxes;
    std::vector<std::string> gxLines;  // gx.dll's own lines on stderr
    double seconds = -1;               // from the counts gx.dll gives at the end
    long long refreshes = -1, published = -1;

    bool SawWindow(const std::string& part) const {
        return std::any_of(windows.begin(), windows.end(), [&](const std::string& window) {
            return window.find(part) != std::string::npos;
        });
    }
};

// Runs plasma.exe with these PLASMA_GX_* settings (and PLASMA_GX_STATS=1)
// under plasma-watch, which ends it after timeoutMs.
WineRun RunPlasma(const Settings& settings, int timeoutMs = 15000,
                  const std::vector<std::string>& action = {}) {
    std::vector<std::string> argv = {"/usr/bin/env", "WINEPREFIX=" PLASMA_WINE_PREFIX,
                                     "WINEDEBUG=-all", "PLASMA_GX_STATS=1"};
    for (const auto& [name, value] : settings) {
        argv.push_back(name + "=" + value);
    }
    argv.insert(argv.end(), {PLASMA_WINE64, PLASMA_WATCH, std::to_string(timeoutMs), PLASMA_EXE});
    argv.insert(argv.end(), action.begin(), action.end());
    ChildOptions options;
    options.timeoutMs = timeoutMs + 30000;  // Wine's own start-up on a busy machine
    WineRun run;
    run.child = RunChild(argv, options);
    for (const std::string& line : Lines(run.child.out)) {
        if (line.rfind("window ", 0) == 0) {
            run.windows.push_back(line.substr(7));
        } else if (line.rfind("box ", 0) == 0) {
            run.boxes.push_back(line.substr(4));
        } else if (line.rfind("exit ", 0) == 0) {
            run.watched = true;
            run.exitCode = std::stoi(line.substr(5));
        } else if (line == "timeout") {
            run.watched = true;
            run.timedOut = true;
        }
    }
    for (const std::string& line : Lines(run.child.err)) {
        if (line.rfind("gx.dll: ", 0) != 0) {
            continue;
        }
        run.gxLines.push_back(line);
        std::sscanf(line.c_str(), "gx.dll: %lf s, %lld refreshes (%*f/s), %lld published frames",
                    &run.seconds, &run.refreshes, &run.published);
    }
    return run;
}

std::string Describe(const WineRun& run) {
    return "stdout:\n" + run.child.out + "stderr:\n" + run.child.err;
}

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "plasma-wine-" + std::to_string(getpid()) + "-" + name;
}

constexpr char kMainWindow[] = "class=\"demo\"";

struct StopCase {
    const char* setting;  // scheduled by gx.dll
    const char* action;   // or done by a user on the screen's window
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.action;
}

class Stop : public ::testing::TestWithParam<StopCase> {};

TEST_P(Stop, AScheduledInputEndsTheProgramWithZero) {
    const WineRun run = RunPlasma({{GetParam().setting, "300"}});
    ASSERT_TRUE(run.watched) << Describe(run);
    EXPECT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_TRUE(run.SawWindow(kMainWindow)) << Describe(run);
    // Scheduled from the process's start; the program then waits 40 ms.
    EXPECT_GE(run.seconds, 0.3) << Describe(run);
    // The screen is refreshed about 60 times a second: paced, never faster,
    // and alive (a loose floor, for a busy machine and Wine's start-up).
    EXPECT_LE(run.refreshes, run.seconds * 75 + 2) << Describe(run);
    EXPECT_GE(run.refreshes, run.seconds * 5) << Describe(run);
    // By default the display is a DRAM buffer, so that the program's frames
    // come at the device's pace: 60 a second, never more.
    EXPECT_GT(run.published, 0) << Describe(run);
    EXPECT_LE(run.published, run.seconds * 60 + 1) << Describe(run);
}

// At a pace of its own, the program still draws no faster.
TEST(Pace, TheDesktopHoldsTheProgramToTheGivenRate) {
    const WineRun run = RunPlasma({{"PLASMA_GX_SPEED", "20"}, {"PLASMA_GX_CLOSE_AFTER", "1000"}});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_GT(run.published, 0) << Describe(run);
    EXPECT_LE(run.published, run.seconds * 20 + 1) << Describe(run);
}

TEST_P(Stop, TheSameInputOnTheScreensWindowEndsTheProgramWithZero) {
    const WineRun run = RunPlasma({}, 15000, {GetParam().action, "200"});
    ASSERT_TRUE(run.watched) << Describe(run);
    EXPECT_NE(run.child.out.find(std::string("did ") + GetParam().action), std::string::npos)
        << Describe(run);
    EXPECT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_TRUE(run.SawWindow(kMainWindow)) << Describe(run);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Stop,
                         ::testing::Values(StopCase{"PLASMA_GX_TAP_AFTER", "click"},
                                           StopCase{"PLASMA_GX_KEY_AFTER", "key"},
                                           StopCase{"PLASMA_GX_CLOSE_AFTER", "close"}),
                         [](const auto& info) { return std::string(info.param.action); });

TEST(Run, WithoutInputTheProgramKeepsRunning) {
    const WineRun run = RunPlasma({}, 5000);
    ASSERT_TRUE(run.watched) << Describe(run);
    EXPECT_TRUE(run.timedOut) << Describe(run);
    EXPECT_TRUE(run.SawWindow(kMainWindow)) << Describe(run);
}

// WS_CAPTION | WS_SYSMENU as created; Windows adds WS_CLIPSIBLINGS to every
// top-level window and WS_VISIBLE once it is shown.
TEST(Run, MainWindowAsWin32ReportsIt) {
    const WineRun run = RunPlasma({{"PLASMA_GX_CLOSE_AFTER", "300"}});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_TRUE(run.SawWindow(
        "class=\"demo\" title=\"GAPI Demo, https://example.org/plasma\" style=0x14c80000"))
        << Describe(run);
}

class DisplayFailure : public ::testing::TestWithParam<const char*> {};

TEST_P(DisplayFailure, ShowsTheMessageBoxAndExitsOne) {
    const WineRun run = RunPlasma({{"PLASMA_GX_FAIL", GetParam()}});
    ASSERT_TRUE(run.watched) << Describe(run);
    EXPECT_EQ(run.exitCode, 1) << Describe(run);
    ASSERT_EQ(run.boxes.size(), 1u) << Describe(run);
    EXPECT_EQ(run.boxes[0], "caption=\"\" text=\"GXOpenDisplay failed\"");
    EXPECT_FALSE(run.SawWindow(kMainWindow)) << Describe(run);
}

INSTANTIATE_TEST_SUITE_P(Failures, DisplayFailure, ::testing::Values("open", "begin"));

struct ScreenCase {
    const char* name;
    Settings geometry;
    int32_t width, height;  // the screen as held, in panel pixels
    int32_t scale;          // panel pixels a side for each pixel of the program's display
};

void PrintTo(const ScreenCase& c, std::ostream* os) {
    *os << c.name;
}

class DramScreen : public ::testing::TestWithParam<ScreenCase> {};

// The dumped screen holds the last published frame: the frame plasma-capture
// numbers one more than the frames published (Init draws frame 1 before the
// first bracket), below the top 24 rows, above the last row of the clamped
// area of the program's display, each pixel shown as a scale x scale block,
// and black everywhere else.
TEST_P(DramScreen, EqualsTheExportersFrameInPlace) {
    const ScreenCase& c = GetParam();
    const std::string shot = TempPath(std::string(c.name) + ".png");
    Settings settings = c.geometry;
    // Late enough for frames to have been published on a busy machine, soon
    // enough for fewer than plasma-capture's million frames: the displays
    // are large enough to take microseconds a frame.
    settings.insert(
        settings.end(),
        {{"PLASMA_GX_DRAM", "1"}, {"PLASMA_GX_TAP_AFTER", "600"}, {"PLASMA_GX_SCREENSHOT", shot}});
    const WineRun run = RunPlasma(settings);
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    ASSERT_GT(run.published, 0) << Describe(run);
    const RgbImage screen = ReadPng(shot);
    std::remove(shot.c_str());
    ASSERT_EQ(screen.width, c.width);
    ASSERT_EQ(screen.height, c.height);

    const int32_t drawnWidth = std::min(c.width / c.scale, 640);
    const int32_t drawnHeight = std::min(c.height / c.scale, 320) - 25;
    const std::string framePath = TempPath(std::string(c.name) + "-frame.png");
    const ChildResult capture = RunChild(
        {PLASMA_CAPTURE, "--size", std::to_string(drawnWidth) + "x" + std::to_string(drawnHeight),
         "--frames", std::to_string(run.published + 1), "--out", framePath});
    ASSERT_EQ(capture.exitCode, 0) << capture.err;
    const RgbImage frame = ReadPng(framePath);
    std::remove(framePath.c_str());

    int wrong = 0, outside = 0;
    for (int32_t y = 0; y < screen.height; ++y) {
        for (int32_t x = 0; x < screen.width; ++x) {
            const int32_t dx = x / c.scale, dy = y / c.scale;
            const bool drawn = dy >= 24 && dy < 24 + drawnHeight && dx < drawnWidth;
            if (drawn) {
                wrong += screen.At(x, y) != frame.At(dx, dy - 24);
            } else {
                outside += screen.At(x, y) != 0;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "frame " << run.published + 1;
    EXPECT_EQ(outside, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Geometries, DramScreen,
    ::testing::Values(
        ScreenCase{"pocketpc", {}, 240, 320, 1},
        // GX turns a device set up for landscape back to portrait for this
        // program, and a VGA panel shows it the 240x320 display doubled.
        ScreenCase{"pocketpc_landscape", {{"PLASMA_GX_DEVICE", "pocketpc-landscape"}}, 240, 320, 1},
        ScreenCase{"vga", {{"PLASMA_GX_DEVICE", "vga"}}, 480, 640, 2},
        ScreenCase{"clamped_640",
                   {{"PLASMA_GX_DISPLAY", "480x640"}, {"PLASMA_GX_ROTATE", "90"}},
                   640,
                   480,
                   1},
        ScreenCase{"rotated_180",
                   {{"PLASMA_GX_DISPLAY", "300x200"}, {"PLASMA_GX_ROTATE", "180"}},
                   300,
                   200,
                   1},
        ScreenCase{"rotated_270",
                   {{"PLASMA_GX_DISPLAY", "700x500"}, {"PLASMA_GX_ROTATE", "270"}},
                   500,
                   700,
                   1}),
    NameOfCase());

// Without a DRAM buffer the screen is display memory itself: the plasma in
// place (whichever frame it was), black elsewhere, in the effect's colours.
TEST(Screen, DirectDisplayMemoryShowsThePlasmaInPlace) {
    const std::string shot = TempPath("direct.png");
    const WineRun run = RunPlasma({{"PLASMA_GX_DRAM", "0"},
                                   {"PLASMA_GX_SPEED", "max"},
                                   {"PLASMA_GX_CLOSE_AFTER", "300"},
                                   {"PLASMA_GX_SCREENSHOT", shot}});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_EQ(run.published, 0) << Describe(run);
    const RgbImage screen = ReadPng(shot);
    std::remove(shot.c_str());
    ASSERT_EQ(screen.width, 240);
    ASSERT_EQ(screen.height, 320);
    int outside = 0, black = 0;
    for (int32_t y = 0; y < screen.height; ++y) {
        for (int32_t x = 0; x < screen.width; ++x) {
            if (y >= 24 && y <= 318) {
                black += screen.At(x, y) == 0;
            } else {
                outside += screen.At(x, y) != 0;
            }
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_LT(black, 240 * 295 / 10);
}

// Refused as the display opens, before any frame, in the system's words.
TEST(Screen, AScreenshotThatCannotBeWrittenIsReportedWithExitOne) {
    const WineRun run = RunPlasma({{"PLASMA_GX_CLOSE_AFTER", "100000"},
                                   {"PLASMA_GX_SCREENSHOT", "/nonexistent/folder/shot.png"}});
    ASSERT_TRUE(run.watched) << Describe(run);
    EXPECT_EQ(run.exitCode, 1) << Describe(run);
    // The failure alone: a display that never started has no counts.
    ASSERT_EQ(run.gxLines.size(), 1u) << Describe(run);
    EXPECT_EQ(run.gxLines[0].rfind("gx.dll: cannot write /nonexistent/folder/shot.png: ", 0), 0u)
        << Describe(run);
    EXPECT_EQ(run.gxLines[0].find("0x"), std::string::npos) << Describe(run);
}

struct BadSetting {
    Settings settings;
    const char* mentions;
};

TEST(Settings, BadValuesNameTheVariableAndExitTwo) {
    const BadSetting cases[] = {
        {{{"PLASMA_GX_BOGUS", "1"}}, "PLASMA_GX_BOGUS"},
        {{{"PLASMA_GX_DEVICE", "palm"}}, "pocketpc"},
        {{{"PLASMA_GX_DISPLAY", "0x320"}}, "PLASMA_GX_DISPLAY"},
        {{{"PLASMA_GX_DISPLAY", "240x5000"}}, "4096"},
        {{{"PLASMA_GX_DISPLAY", "240x320"}, {"PLASMA_GX_DEVICE", "vga"}}, "PLASMA_GX_DEVICE"},
        {{{"PLASMA_GX_ROTATE", "90"}}, "PLASMA_GX_DISPLAY"},
        {{{"PLASMA_GX_DISPLAY", "240x320"}, {"PLASMA_GX_ROTATE", "45"}}, "270"},
        {{{"PLASMA_GX_DRAM", "yes"}}, "PLASMA_GX_DRAM"},
        {{{"PLASMA_GX_FAIL", "paint"}}, "open or begin"},
        {{{"PLASMA_GX_TAP_AFTER", "-5"}}, "milliseconds"},
        {{{"PLASMA_GX_KEY_AFTER", "10ms"}}, "milliseconds"},
        {{{"PLASMA_GX_TAP_AFTER", "10"}, {"PLASMA_GX_CLOSE_AFTER", "20"}}, "only one"},
        {{{"PLASMA_GX_SCREENSHOT", "shot.jpg"}}, ".png"},
        {{{"PLASMA_GX_SCALE", "9"}}, "PLASMA_GX_SCALE"},
        {{{"PLASMA_GX_SPEED", "fast"}}, "PLASMA_GX_SPEED"},
        // Display memory itself cannot be paced on the desktop.
        {{{"PLASMA_GX_DRAM", "0"}}, "PLASMA_GX_SPEED=max"},
        // Windows takes names without regard to case: one setting, twice.
        {{{"PLASMA_GX_DISPLAY", "240x320"}, {"Plasma_Gx_Display", "320x240"}}, "give it once"},
        // The user's value is quoted as given, never rewritten.
        {{{"PLASMA_GX_SCREENSHOT", "--screenshot"}}, "'--screenshot'"},
    };
    for (const BadSetting& c : cases) {
        std::string joined;
        for (const auto& [name, value] : c.settings) {
            joined += name + "=" + value + " ";
        }
        const WineRun run = RunPlasma(c.settings);
        ASSERT_TRUE(run.watched) << joined << Describe(run);
        EXPECT_EQ(run.exitCode, 2) << joined << Describe(run);
        ASSERT_EQ(run.gxLines.size(), 1u) << joined << Describe(run);
        EXPECT_NE(run.gxLines[0].find(c.mentions), std::string::npos) << joined << run.gxLines[0];
        if (std::string(c.mentions).find("--") == std::string::npos) {
            EXPECT_EQ(run.gxLines[0].find("--"), std::string::npos) << run.gxLines[0];
        }
        EXPECT_FALSE(run.SawWindow(kMainWindow)) << joined << Describe(run);
    }
}

}  // namespace
