// scripts/measure-latency, run briefly on this build as a user runs it: from
// a directory of their own, on the trace this build writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace {

struct Figures {
    double exitLow, exitHigh, floor, messages;
    double frameLow, frameHigh, frameUs;
    double peakMiB;
};

// Reads the report's three figures; fails the test when one is not there.
bool ReadFigures(const std::string& out, Figures* f) {
    const std::string number = R"(([0-9]+(?:\.[0-9]+)?))";
    std::smatch m;
    if (!std::regex_search(
            out, m,
            std::regex("\ninput -> exit: +" + number + " \\.\\. " + number + " ms \\(floor " +
                       number + " ms: " + number + " messages x 40 ms\\)\n"))) {
        return false;
    }
    f->exitLow = std::stod(m[1]);
    f->exitHigh = std::stod(m[2]);
    f->floor = std::stod(m[3]);
    f->messages = std::stod(m[4]);
    if (!std::regex_search(
            out, m,
            std::regex("\nlaunch -> frame: " + number + " \\.\\. " + number +
                       " ms \\(drawing starts, then one frame of " + number + " us\\)\n"))) {
        return false;
    }
    f->frameLow = std::stod(m[1]);
    f->frameHigh = std::stod(m[2]);
    f->frameUs = std::stod(m[3]);
    if (!std::regex_search(out, m, std::regex("\npeak memory: +" + number + " MiB resident\n"))) {
        return false;
    }
    f->peakMiB = std::stod(m[1]);
    return true;
}

// The figures hold together: a tap is two messages, each followed by the
// program's 40 ms wait, so input to exit cannot be below that floor; each
// range is ordered; the first frame comes after launch.
void ExpectSoundFigures(const ChildResult& run) {
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("plasma-demo (default device), headless, medians of 1 runs\n", 0), 0u)
        << run.out;
    Figures f{};
    ASSERT_TRUE(ReadFigures(run.out, &f)) << run.out;
    EXPECT_EQ(f.messages, 2);
    EXPECT_EQ(f.floor, 80);
    EXPECT_GE(f.exitLow, f.floor);
    EXPECT_LE(f.exitLow, f.exitHigh);
    EXPECT_GT(f.frameLow, 0);
    EXPECT_LE(f.frameLow, f.frameHigh);
    EXPECT_GT(f.frameUs, 0);
    EXPECT_GT(f.peakMiB, 0);
}

// From a directory of the user's own, on this build named by --demo.
TEST(MeasureLatencyScript, ReportsFiguresThatHoldTogether) {
    TempDir dir;
    ChildOptions options;
    options.timeoutMs = 60000;
    const ChildResult run = RunChild(
        {"/usr/bin/env", "-C", dir.Path(), "python3", PLASMA_SOURCE_DIR "/scripts/measure-latency",
         "--demo", PLASMA_DEMO, "--runs", "1", "--tap-after", "100"},
        options);
    ExpectSoundFigures(run);
}

// With no --demo it runs its own checkout's build/default, wherever it is
// run from: here a checkout of just the script and that build's program.
TEST(MeasureLatencyScript, FindsItsCheckoutsBuildFromAnyDirectory) {
    TempDir checkout;
    std::filesystem::create_directories(checkout / "scripts");
    std::filesystem::create_directories(checkout / "build/default/emulator");
    std::filesystem::create_symlink(PLASMA_SOURCE_DIR "/scripts/measure-latency",
                                    checkout / "scripts/measure-latency");
    std::filesystem::create_symlink(PLASMA_DEMO, checkout / "build/default/emulator/plasma-demo");
    TempDir elsewhere;
    ChildOptions options;
    options.timeoutMs = 60000;
    const ChildResult run =
        RunChild({"/usr/bin/env", "-C", elsewhere.Path(), "python3",
                  checkout / "scripts/measure-latency", "--runs", "1", "--tap-after", "100"},
                 options);
    ExpectSoundFigures(run);

    const ChildResult none = RunChild({"/usr/bin/env", "-C", elsewhere.Path(), "python3",
                                       PLASMA_SOURCE_DIR "/scripts/measure-latency", "--demo",
                                       "no/plasma-demo", "--runs", "1"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err,
              "measure-latency: no/plasma-demo: not built (cmake --build --preset default)\n");
}

}  // namespace
