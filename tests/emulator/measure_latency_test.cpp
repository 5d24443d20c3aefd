// scripts/measure-latency, run briefly on this build as a user runs it: from
// a directory of their own, on the trace this build writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
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

// The report's line that starts with `prefix`, empty when there is none.
std::string LineStarting(const std::string& out, const std::string& prefix) {
    for (const std::string& line : Lines(out)) {
        if (line.rfind(prefix, 0) == 0) {
            return line;
        }
    }
    return "";
}

// Reads the report's three figures; false when one is not there as written.
bool ReadFigures(const std::string& out, Figures* f) {
    char end[8] = {};
    return std::sscanf(LineStarting(out, "input -> exit:").c_str(),
                       "input -> exit: %lf .. %lf ms (floor %lf ms: %lf messages x 40 ms%7s",
                       &f->exitLow, &f->exitHigh, &f->floor, &f->messages, end) == 5 &&
           std::string(end) == ")" &&
           std::sscanf(
               LineStarting(out, "launch -> frame:").c_str(),
               "launch -> frame: %lf .. %lf ms (drawing starts, then one frame of %lf us%7s",
               &f->frameLow, &f->frameHigh, &f->frameUs, end) == 4 &&
           std::string(end) == ")" &&
           std::sscanf(LineStarting(out, "peak memory:").c_str(),
                       "peak memory: %lf MiB resident%1s", &f->peakMiB, end) == 1;
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
