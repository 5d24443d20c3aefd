// plasma-demo run as a user would run it, one process per case.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "effect/plasma_effect.h"
#include "imaging/image565.h"
#include "tests/emulator/headless_demo.h"
#include "tests/support/child_process.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_lines.h"

namespace {

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "plasma-demo-" + std::to_string(getpid()) + "-" + name;
}

// The first line whose call starts with `prefix` and mentions `message`.
const TraceLine* Find(const std::vector<TraceLine>& trace, const std::string& prefix,
                      const std::string& message = "") {
    for (const TraceLine& line : trace) {
        if (line.call.rfind(prefix, 0) == 0 && line.call.find(message) != std::string::npos) {
            return &line;
        }
    }
    return nullptr;
}

struct StopCase {
    const char* option;
    const char* message;  // the message that stops the program
};

void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.option;
}

class Stop : public ::testing::TestWithParam<StopCase> {};

TEST_P(Stop, EndsTheProgramWithZeroAfterTheMessageWaited40Ms) {
    const StopCase& c = GetParam();
    const ChildResult run = Demo({c.option, "300", "--trace", "-"});
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GE(run.elapsed.count(), 300);
    const auto trace = ParseTrace(run.out);
    const TraceLine* posted = Find(trace, "post " + std::string(c.message));
    if (posted == nullptr)
        posted = Find(trace, "PostMessageW", c.message);
    const TraceLine* dispatched = Find(trace, "DispatchMessageW", c.message);
    ASSERT_NE(posted, nullptr) << run.out;
    ASSERT_NE(dispatched, nullptr) << run.out;
    // Scheduled from launch; the trace's clock starts later, by at most the
    // time from launch to exit that the trace does not cover (start-up is
    // slow under a sanitizer).
    ASSERT_FALSE(trace.empty());
    const double untraced = run.elapsed.count() - trace.back().ms;
    EXPECT_GE(posted->ms + untraced, 300.0);
    EXPECT_GE(dispatched->ms - posted->ms, 40.0);
    EXPECT_NE(Find(trace, "TerminateThread"), nullptr);
    EXPECT_NE(Find(trace, "PostQuitMessage(0)"), nullptr);
    // The launcher names the thread that draws the frames.
    EXPECT_NE(Find(trace, "CreateThread", "(render)"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Stop,
                         ::testing::Values(StopCase{"--tap-after", "WM_LBUTTONDOWN"},
                                           StopCase{"--key-after", "WM_KEYDOWN"},
                                           StopCase{"--close-after", "WM_CLOSE"}),
                         [](const auto& info) {
                             std::string name = info.param.option + 2;
                             return name.substr(0, name.find('-'));
                         });

// Input due before the program has its window waits for the window rather
// than being lost.
TEST(Launch, InputDueAtStartWaitsForTheWindow) {
    for (const char* option : {"--tap-after", "--key-after", "--close-after"}) {
        ChildOptions options;
        options.timeoutMs = 10000;
        const ChildResult run = Demo({option, "0"}, options);
        EXPECT_FALSE(run.timedOut) << option;
        EXPECT_EQ(run.exitCode, 0) << option << ": " << run.err;
    }
}

TEST(Launch, MainWindowIsTheDemoClassAtTheClampedDisplaySize) {
    const ChildResult run =
        Demo({"--display", "480x640", "--rotate", "90", "--close-after", "100", "--trace", "-"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto trace = ParseTrace(run.out);
    const TraceLine* created = Find(trace, "CreateWindowExW");
    ASSERT_NE(created, nullptr) << run.out;
    for (const char* part : {"class=\"demo\"", "title=\"GAPI Demo, https://example.org/plasma\"",
                             "style=0xc80000", "w=640", "h=320", "ex=0"}) {
        EXPECT_NE(created->call.find(part), std::string::npos) << part << " in " << created->call;
    }
    const TraceLine* registered = Find(trace, "RegisterClassW");
    ASSERT_NE(registered, nullptr);
    EXPECT_NE(registered->call.find("\"demo\""), std::string::npos) << registered->call;
    EXPECT_EQ(created->thread, "main");
}

TEST(Launch, DisplayFailuresShowTheMessageAndExitOne) {
    for (const char* failure : {"open", "begin"}) {
        const ChildResult run = Demo({"--fail", failure});
        EXPECT_EQ(run.exitCode, 1) << failure;
        EXPECT_NE(run.err.find("GXOpenDisplay failed"), std::string::npos) << run.err;
    }
}

TEST(Launch, PerFrameBracketOnlyOnDramBufferDisplays) {
    for (bool dram : {false, true}) {
        std::vector<std::string> args = {"--close-after", "200", "--trace", "-"};
        if (dram)
            args.push_back("--dram");
        const ChildResult run = Demo(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const auto trace = ParseTrace(run.out);
        // Start-up's own GXBeginDraw is listed; per-frame calls are summed up.
        int listedBegins = 0;
        for (const TraceLine& line : trace)
            listedBegins += line.call.rfind("GXBeginDraw", 0) == 0;
        EXPECT_EQ(listedBegins, 1) << run.out;
        const TraceLine* summary = Find(trace, "summary");
        ASSERT_NE(summary, nullptr) << run.out;
        long long begins = -1, ends = -1;
        const char* counts = std::strstr(summary->call.c_str(), "GXBeginDraw=");
        ASSERT_NE(counts, nullptr) << summary->call;
        ASSERT_EQ(std::sscanf(counts, "GXBeginDraw=%lld GXEndDraw=%lld", &begins, &ends), 2)
            << summary->call;
        // The counts include start-up's unmatched call; a frame that was cut
        // short by the stop may lack its GXEndDraw.
        if (dram) {
            EXPECT_GT(begins, 2) << summary->call;
            EXPECT_GE(ends, begins - 2) << summary->call;
            EXPECT_LE(ends, begins - 1) << summary->call;
        } else {
            EXPECT_EQ(begins, 1) << summary->call;
            EXPECT_EQ(ends, 0) << summary->call;
        }
    }
}

struct ProfileCase {
    const char* name;
    std::vector<std::string> args;
    int32_t width, height;  // the screen as held, in panel pixels
    int32_t scale;          // panel pixels a side for each of the program's
};

void PrintTo(const ProfileCase& c, std::ostream* out) {
    *out << c.name;
}

class Profile : public ::testing::TestWithParam<ProfileCase> {};

// The screenshot shows the plasma below the top 24 rows, above the last row of
// the clamped area of the program's display, in the device's palette, each of
// the program's pixels as a scale x scale block, and nothing anywhere else.
TEST_P(Profile, ScreenshotShowsThePlasmaInPlace) {
    const ProfileCase& c = GetParam();
    const std::string shot = TempPath(std::string(c.name) + ".png");
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--tap-after", "300", "--screenshot", shot});
    const ChildResult run = Demo(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const RgbImage image = ReadPng(shot);
    std::remove(shot.c_str());
    ASSERT_EQ(image.width, c.width);
    ASSERT_EQ(image.height, c.height);

    PlasmaEffect effect;
    effect.BuildPalette();
    std::set<uint32_t> palette;
    for (uint32_t entry : effect.palette) {
        const Rgb8 rgb = Widen565(static_cast<uint16_t>(entry));
        palette.insert(uint32_t{rgb.red} << 16 | uint32_t{rgb.green} << 8 | rgb.blue);
    }
    const int32_t drawnWidth = std::min(c.width / c.scale, 640);
    const int32_t lastRow = std::min(c.height / c.scale, 320) - 2;
    std::set<uint32_t> seen;
    int outside = 0, offPalette = 0, unevenBlocks = 0;
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const int32_t dx = x / c.scale, dy = y / c.scale;
            const bool drawn = dy >= 24 && dy <= lastRow && dx < drawnWidth;
            const uint32_t colour = image.At(x, y);
            unevenBlocks += colour != image.At(dx * c.scale, dy * c.scale);
            if (drawn) {
                offPalette += palette.count(colour) == 0;
                seen.insert(colour);
            } else {
                outside += colour != 0;
            }
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(offPalette, 0);
    EXPECT_EQ(unevenBlocks, 0);
    EXPECT_GT(seen.size(), 32u);
}

// A program that declares no high-resolution or orientation awareness gets a
// 240x320 portrait display on every profile; --display gives any other.
INSTANTIATE_TEST_SUITE_P(
    Devices, Profile,
    ::testing::Values(
        ProfileCase{"pocketpc", {"--device", "pocketpc"}, 240, 320, 1},
        ProfileCase{"pocketpc_landscape", {"--device", "pocketpc-landscape"}, 240, 320, 1},
        ProfileCase{"vga", {"--device", "vga"}, 480, 640, 2},
        ProfileCase{"vga_landscape", {"--device", "vga-landscape"}, 480, 640, 2},
        ProfileCase{"display_640x480_at_the_column_limit", {"--display", "640x480"}, 640, 480, 1},
        ProfileCase{"display_800x600_clamped", {"--display", "800x600"}, 800, 600, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// What GX reports to the program on each profile.
TEST(Profiles, GiveThisProgramTheLegacyPortraitDisplay) {
    for (const char* device : {"pocketpc", "pocketpc-landscape", "vga", "vga-landscape"}) {
        const ChildResult run = Demo({"--device", device, "--close-after", "0", "--trace", "-"});
        EXPECT_EQ(run.exitCode, 0) << device << ": " << run.err;
        const auto trace = ParseTrace(run.out);
        const TraceLine* properties = Find(trace, "GXGetDisplayProperties");
        ASSERT_NE(properties, nullptr) << device << ": " << run.out;
        EXPECT_NE(properties->call.find("cxWidth=240, cyHeight=320, cbxPitch=2, cbyPitch=480"),
                  std::string::npos)
            << device << ": " << properties->call;
    }
}

// Sent once the program has its window (it starts its render thread after):
// one that came before would end the process at once.
TEST(Signals, TerminationRequestsAClose) {
    const std::string trace = TempPath("termination-trace.txt");
    bool sent = false;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        std::ifstream in(trace);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        if (!sent && Find(ParseTrace(text), "CreateThread", "(render)") != nullptr) {
            sent = true;
            kill(pid, SIGTERM);
        }
    };
    const ChildResult run = Demo({"--trace", trace}, options);
    std::ifstream in(trace);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(trace.c_str());
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(Find(ParseTrace(text), "DispatchMessageW", "WM_CLOSE"), nullptr) << text;
}

TEST(Signals, ASecondSignalEndsAtOnce) {
    ChildOptions options;
    options.signal = SIGINT;
    options.signalAfterMs = 300;
    // Within the 40 ms the close request waits in the program's queue.
    options.secondSignalAfterMs = 315;
    const ChildResult run = Demo({}, options);
    EXPECT_EQ(run.exitCode, 128 + SIGINT);
}

struct BadOption {
    std::vector<std::string> args;
    const char* mentions;
};

// Each rule is checked in-process (launch_options_test); here, that a bad
// command line reaches the user as one line and status 2, with nothing on
// standard output: an unknown option, a bad value, a conflict.
TEST(Options, BadOptionsNameTheProblemAndExitTwo) {
    const BadOption cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"--speed", "0"}, "--speed"},
        {{"--tap-after", "10", "--key-after", "20"}, "only one"},
    };
    for (const BadOption& c : cases) {
        const ChildResult run = Demo(c.args);
        std::string joined;
        for (const auto& a : c.args)
            joined += a + " ";
        EXPECT_EQ(run.exitCode, 2) << joined;
        EXPECT_EQ(Lines(run.err).size(), 1u) << joined << ": " << run.err;
        EXPECT_NE(run.err.find(c.mentions), std::string::npos) << joined << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << joined;
    }
}

TEST(Options, HelpAndVersion) {
    const ChildResult help = Demo({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    // Every option, with the limits its checks use.
    for (const char* shown : {"--device NAME",
                              "pocketpc, pocketpc-landscape, vga, vga-landscape",
                              "--display WxH",
                              "from 1 to 4096",
                              "--rotate DEG",
                              "0, 90, 180 or 270",
                              "--dram",
                              "--speed FPS|max",
                              "from 1 to 1000",
                              "--headless",
                              "--window",
                              "--scale N",
                              "from 1 to 8",
                              "from 1 to 3",
                              "--tap-after MS",
                              "--key-after MS",
                              "--close-after MS",
                              "from 0 to 86400000",
                              "--screenshot FILE.png",
                              "--trace FILE|-",
                              "--fail open|begin",
                              "--check",
                              "--version",
                              "-h,--help"}) {
        EXPECT_NE(help.out.find(shown), std::string::npos) << shown << " in:\n" << help.out;
    }
    const ChildResult version = Demo({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("plasma-demo ", 0), 0u) << version.out;
}

// --check answers as the run would start, and runs nothing: no window, no
// trace or screenshot made, however long the run would have been.
TEST(Options, CheckRunsNothingAndAnswersAsTheRunWould) {
    TempDir dir;
    const std::string trace = dir / "calls.txt";
    const std::string shot = dir / "shot.png";
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* mentions;  // in the one line on stderr; none for status 0
    };
    const Case cases[] = {
        {{"--check", "--trace", trace, "--screenshot", shot, "--key-after", "86400000"}, 0, ""},
        {{"--check", "--device", "vga", "--dram", "--speed", "max"}, 0, ""},
        {{"--check", "--speed", "0"}, 2, "--speed"},
        {{"--check", "--check"}, 2, "--check given more than once"},
        {{"--check", "--screenshot", dir / "none/shot.png"}, 1, "cannot write"},
        {{"--check", "--trace", dir / "none/calls.txt"}, 1, "cannot write"},
        {{"--check", "--trace", shot, "--screenshot", shot}, 2, "same file"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& a : c.args)
            joined += a + " ";
        const ChildResult run = Demo(c.args);
        EXPECT_EQ(run.exitCode, c.status) << joined << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << joined << ": " << run.out;
        if (c.status == 0) {
            EXPECT_TRUE(run.err.empty()) << joined << ": " << run.err;
        } else {
            EXPECT_EQ(Lines(run.err).size(), 1u) << joined << ": " << run.err;
            EXPECT_NE(run.err.find(c.mentions), std::string::npos) << joined << ": " << run.err;
        }
        EXPECT_TRUE(dir.Names().empty()) << joined;
    }
}

// Help and version on a full standard output fail like any other write: one
// line, exit 1.
TEST(Options, HelpAndVersionOnAFullOutputSayItAndExitOne) {
    for (const char* option : {"--help", "--version"}) {
        const ChildResult run =
            RunChild({"/bin/sh", "-c", "exec \"$@\" >/dev/full", "sh", PLASMA_DEMO, option});
        EXPECT_EQ(run.exitCode, 1) << option;
        EXPECT_EQ(run.err, "plasma-demo: cannot write to standard output: " +
                               std::string(std::strerror(ENOSPC)) + "\n")
            << option;
    }
}

}  // namespace

namespace {

// The host presents about 50 times a second headless and otherwise sleeps to
// its next deadline; waits that ended early, a fraction of a millisecond
// before it, would wake it hundreds of times a second.
TEST(HostLoop, WakesAboutOncePerFrameInterval) {
    setenv("PLASMA_DEMO_STATS", "1", 1);
    const ChildResult run = Demo({"--close-after", "2000"});
    unsetenv("PLASMA_DEMO_STATS");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const size_t at = run.err.find("host woke ");
    ASSERT_NE(at, std::string::npos) << run.err;
    unsigned long long wakeUps = 0;
    double seconds = 0;
    ASSERT_EQ(
        std::sscanf(run.err.c_str() + at, "host woke %llu times in %lf s", &wakeUps, &seconds), 2)
        << run.err;
    ASSERT_GE(seconds, 2.0);
    const double perSecond = wakeUps / seconds;
    EXPECT_GE(perSecond, 10.0) << run.err;
    EXPECT_LE(perSecond, 150.0) << run.err;
}

}  // namespace

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct OutputPair {
    const char* name;
    std::string trace;  // "-": standard output, sent to `shot` by the shell
    std::string shot;
};

// Runs plasma-demo headless for a moment with the trace and the screenshot.
ChildResult TraceAndShoot(const OutputPair& c) {
    const std::vector<std::string> demo = {PLASMA_DEMO, "--headless", "--close-after", "100",
                                           "--trace",   c.trace,      "--screenshot",  c.shot};
    if (c.trace != "-") {
        return RunChild(demo);
    }
    // Appended, so that the shell does not empty the file the test looks at.
    std::vector<std::string> argv = {"/bin/sh", "-c", "f=$1; shift; exec \"$@\" >>\"$f\"", "sh",
                                     c.shot};
    argv.insert(argv.end(), demo.begin(), demo.end());
    return RunChild(argv);
}

// A trace and a screenshot in one file would leave only the screenshot:
// refused before anything is written, however the file is spelled. Two
// files that only look alike are not.
TEST(Options, TraceAndScreenshotInOneFileAreRefused) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
    std::ofstream(dir / "old.png") << "old";
    ASSERT_EQ(link((dir / "old.png").c_str(), (dir / "hard.png").c_str()), 0);
    ASSERT_EQ(symlink("new.png", (dir / "link.png").c_str()), 0);
    ASSERT_EQ(symlink(".", (dir / "here").c_str()), 0);
    const std::vector<std::string> before = dir.Names();
    const OutputPair same[] = {
        {"the same name", dir / "new.png", dir / "new.png"},
        {"through ./", dir / "./new.png", dir / "new.png"},
        {"through ..", dir / "sub/../new.png", dir / "new.png"},
        {"through a link to the directory", dir / "here/new.png", dir / "new.png"},
        {"a link to a file yet to be made", dir / "link.png", dir / "new.png"},
        {"a hard link to an existing file", dir / "hard.png", dir / "old.png"},
        {"an existing file both ways", dir / "old.png", dir / "here/old.png"},
        {"standard output sent to the file", "-", dir / "old.png"},
    };
    for (const OutputPair& c : same) {
        SCOPED_TRACE(c.name);
        const ChildResult run = TraceAndShoot(c);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_NE(run.err.find("the same file"), std::string::npos) << run.err;
        EXPECT_EQ(dir.Names(), before);
        EXPECT_EQ(Contents(dir / "old.png"), "old");
    }
    const OutputPair different[] = {
        {"the same name in another directory", dir / "sub/new.png", dir / "new.png"},
        {"a link to another file", dir / "link.png", dir / "sub/new.png"},
    };
    for (const OutputPair& c : different) {
        SCOPED_TRACE(c.name);
        const ChildResult run = TraceAndShoot(c);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(Contents(c.trace).find("WinMain returned"), std::string::npos);
        EXPECT_NO_THROW(ReadPng(c.shot));
    }
}

}  // namespace
