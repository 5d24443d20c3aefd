// plasma.exe and gx.dll for desktop Windows, run under Wine by plasma-watch,
// which reports the program's windows and message boxes as Win32 sees them
// and how the program ended. Every case asks for evidence that the program
// really ran: a Windows program that Wine cannot run may end with 0 at once.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "imaging/image565.h"
#include "tests/support/case_name.h"
#include "tests/support/child_process.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"

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
// under plasma-watch, which ends it after timeoutMs. A launcher, when given,
// is the Windows program that starts plasma-watch.
WineRun RunPlasma(const Settings& settings, int timeoutMs = 15000,
                  const std::vector<std::string>& action = {},
                  const std::vector<std::string>& launcher = {}) {
    std::vector<std::string> argv = {"/usr/bin/env", "WINEPREFIX=" PLASMA_WINE_PREFIX,
                                     "WINEDEBUG=-all", "PLASMA_GX_STATS=1"};
    for (const auto& [name, value] : settings) {
        argv.push_back(name + "=" + value);
    }
    argv.push_back(PLASMA_WINE64);
    argv.insert(argv.end(), launcher.begin(), launcher.end());
    argv.insert(argv.end(), {PLASMA_WATCH, std::to_string(timeoutMs), PLASMA_EXE});
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

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool IsCountsLine(const std::string& line) {
    return line.find(" refreshes (") != std::string::npos;
}

std::string Repeat(const std::string& part, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += part;
    }
    return text;
}

// A screenshot that could not be saved is refused as the display opens, before
// any frame (so a close due long after the run's time limit never comes), in
// one line that says why as a user would, and nothing is left in its folder.
TEST(Screenshot, OneThatCannotBeWrittenIsRefusedAtStartWithExitOne) {
    TempDir dir;
    WriteText(dir / "file", "not a folder");
    ASSERT_EQ(mkdir((dir / "folder.png").c_str(), 0755), 0);
    WriteText(dir / "read-only.png", "the user's");
    ASSERT_EQ(chmod((dir / "read-only.png").c_str(), 0444), 0);
    const std::vector<std::string> before = dir.Names();
    const std::string longName = Repeat("c", 252) + ".png";         // 256 characters
    const std::string longUtf8 = Repeat("\xc3\xa9", 126) + ".png";  // 130, in 256 bytes
    const struct {
        std::string path, reason;
    } cases[] = {
        {"/nonexistent/folder/shot.png", "there is no folder /nonexistent/folder"},
        {dir / "file/shot.png", dir / "file is a file, not a folder"},
        {dir / "folder.png", "it is a folder"},
        // Windows replaces no read-only file; Wine as root would.
        {dir / "read-only.png", "it is read-only"},
        {"NUL.png", "NUL.png is a device name, not a file"},
        {dir / "con.png", "con.png is a device name, not a file"},
        {dir / "Com1.tar.png", "Com1.tar.png is a device name, not a file"},
        {dir / "a?b.png", "that is not a name a file can have"},
        {dir / longName, "the name is 256 characters long, and a file name has at most 255"},
        {dir / longUtf8, "the name is 256 bytes long, and a file name has at most 255"},
    };
    for (const auto& c : cases) {
        const WineRun run = RunPlasma(
            {{"PLASMA_GX_CLOSE_AFTER", "100000"}, {"PLASMA_GX_SCREENSHOT", c.path}}, 15000);
        ASSERT_TRUE(run.watched) << c.path << Describe(run);
        EXPECT_EQ(run.exitCode, 1) << c.path << Describe(run);
        // The failure alone: a display that never started has no counts.
        EXPECT_EQ(run.gxLines,
                  std::vector<std::string>{"gx.dll: cannot write " + c.path + ": " + c.reason})
            << Describe(run);
        EXPECT_FALSE(run.SawWindow(kMainWindow)) << c.path << Describe(run);
        EXPECT_EQ(dir.Names(), before) << c.path;
    }
    EXPECT_EQ(ReadText(dir / "read-only.png"), "the user's");
}

// Written under a temporary name of its own beside it, then renamed into
// place: any other file is left as it was, and only the screenshot remains.
TEST(Screenshot, OtherFilesBesideItAreLeftAsTheyWere) {
    TempDir dir;
    WriteText(dir / "keep.png.part", "the user's own");
    WriteText(dir / "keep.png", "an older screenshot");
    const WineRun run =
        RunPlasma({{"PLASMA_GX_CLOSE_AFTER", "300"}, {"PLASMA_GX_SCREENSHOT", dir / "keep.png"}});
    ASSERT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_EQ(ReadPng(dir / "keep.png").width, 240);
    EXPECT_EQ(ReadText(dir / "keep.png.part"), "the user's own");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"keep.png", "keep.png.part"}));
}

// Each run has a temporary name of its own: none of them gets in another's
// way, and the file is one whole screenshot.
TEST(Screenshot, RunsSavingToOneFileAtOnceAllSucceed) {
    TempDir dir;
    constexpr int kRuns = 12;
    std::vector<WineRun> runs(kRuns);
    std::vector<std::thread> threads;
    for (WineRun& run : runs) {
        threads.emplace_back([&run, &dir] {
            run = RunPlasma(
                {{"PLASMA_GX_CLOSE_AFTER", "300"}, {"PLASMA_GX_SCREENSHOT", dir / "same.png"}});
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const WineRun& run : runs) {
        EXPECT_EQ(run.exitCode, 0) << Describe(run);
        EXPECT_EQ(run.gxLines.size(), 1u) << Describe(run);  // the counts alone
    }
    EXPECT_EQ(ReadPng(dir / "same.png").height, 320);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"same.png"});
}

// The longest names work: the temporary name is cut to fit, never inside a
// character. (Wine itself cuts names of 4-byte characters short near the
// limit, so those are not tried.)
TEST(Screenshot, NamesOf255BytesAreWritten) {
    const std::string names[] = {Repeat("a", 251) + ".png", "a" + Repeat("\xc3\xa9", 125) + ".png"};
    for (const std::string& name : names) {
        ASSERT_EQ(name.size(), 255u);
        TempDir dir;
        const WineRun run =
            RunPlasma({{"PLASMA_GX_CLOSE_AFTER", "300"}, {"PLASMA_GX_SCREENSHOT", dir / name}});
        EXPECT_EQ(run.exitCode, 0) << Describe(run);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{name}) << Describe(run);
    }
}

// A file system of 16 KiB, too small for a screenshot, mounted for one test;
// mounting needs root. Wine's server opens the files, so the mount is one
// that every process sees, undone at the end.
class SmallDisk {
public:
    explicit SmallDisk(unsigned long flags) : path_(dir_ / "disk") {
        mkdir(path_.c_str(), 0755);
        if (mount("tmpfs", path_.c_str(), "tmpfs", flags, "size=16k") != 0) {
            error_ = errno;
        }
    }
    ~SmallDisk() {
        if (error_ == 0) {
            umount2(path_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return error_ == 0; }
    std::string Why() const {
        return std::string("cannot mount a file system: ") + std::strerror(error_);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    std::vector<std::string> Names() const { return TempDir::NamesIn(path_); }

private:
    TempDir dir_;
    std::string path_;
    int error_ = 0;
};

// Only the end can find the disk full: after the counts, one plain line, and
// the temporary file gone.
TEST(Screenshot, AFullDiskIsReportedAfterTheRunInPlainWords) {
    const SmallDisk disk(0);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Why();
    }
    const WineRun run =
        RunPlasma({{"PLASMA_GX_CLOSE_AFTER", "300"}, {"PLASMA_GX_SCREENSHOT", disk / "shot.png"}});
    ASSERT_TRUE(run.watched) << Describe(run);
    EXPECT_EQ(run.exitCode, 1) << Describe(run);
    ASSERT_EQ(run.gxLines.size(), 2u) << Describe(run);
    EXPECT_TRUE(IsCountsLine(run.gxLines[0])) << Describe(run);
    EXPECT_EQ(run.gxLines[1], "gx.dll: cannot write " + disk / "shot.png" + ": the disk is full");
    EXPECT_TRUE(disk.Names().empty());
}

// A folder that takes no new file is known before the run.
TEST(Screenshot, AReadOnlyFolderIsRefusedAtStart) {
    const SmallDisk disk(MS_RDONLY);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Why();
    }
    const WineRun run = RunPlasma(
        {{"PLASMA_GX_CLOSE_AFTER", "100000"}, {"PLASMA_GX_SCREENSHOT", disk / "shot.png"}});
    ASSERT_TRUE(run.watched) << Describe(run);
    EXPECT_EQ(run.exitCode, 1) << Describe(run);
    EXPECT_EQ(run.gxLines, std::vector<std::string>{"gx.dll: cannot write " + disk / "shot.png" +
                                                    ": its folder cannot be written to"})
        << Describe(run);
}

// A desktop whose graphics driver ("none") does not exist has no windows:
// the display is refused as it opens, in one line, with no counts and no
// screenshot.
TEST(Window, WithoutAGraphicsDriverTheDisplayIsRefusedWithExitOne) {
    TempDir dir;
    const WineRun run =
        RunPlasma({{"PLASMA_GX_CLOSE_AFTER", "300"}, {"PLASMA_GX_SCREENSHOT", dir / "shot.png"}},
                  15000, {}, {"explorer.exe", "/desktop=plasma-no-driver,640x480,none"});
    ASSERT_TRUE(run.watched) << Describe(run);
    EXPECT_EQ(run.exitCode, 1) << Describe(run);
    ASSERT_EQ(run.gxLines.size(), 1u) << Describe(run);
    EXPECT_EQ(run.gxLines[0].rfind("gx.dll: cannot open a window: ", 0), 0u) << Describe(run);
    EXPECT_TRUE(dir.Names().empty());
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
