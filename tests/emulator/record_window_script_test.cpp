// scripts/record-window run as a user runs it, on this build: it ends its X
// server, plasma-demo and its temporary folder on every path.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/orphans.h"
#include "tests/support/temp_dir.h"

namespace {

ChildResult RecordWindow(const TempDir& tmp, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/env", "TMPDIR=" + tmp.Path(),
                                     "PLASMA_DEMO=" PLASMA_DEMO,
                                     PLASMA_SOURCE_DIR "/scripts/record-window"};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildOptions options;
    options.timeoutMs = 60000;
    return RunChild(argv, options);
}

// The GIF is the window's own size, whatever display it shows.
TEST(RecordWindowScript, RecordsAWindowOfAnySize) {
    OrphanCatcher orphans;
    TempDir tmp, dir;
    const ChildResult run =
        RecordWindow(tmp, {"--frames", "3", "--out", dir / "small.gif", "--display", "100x100"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find(": 3 refreshes of 100x100"), std::string::npos) << run.out;
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "small.gif"));
    EXPECT_EQ(orphans.Leftovers(), std::vector<std::string>{});
    EXPECT_TRUE(tmp.Names().empty());
}

// An option plasma-demo refuses ends the script at once, with plasma-demo's
// own line and status, and nothing it started left behind.
TEST(RecordWindowScript, OptionThePlasmaDemoRefusesEndsItAtOnce) {
    OrphanCatcher orphans;
    TempDir tmp, dir;
    const ChildResult run = RecordWindow(tmp, {"--out", dir / "none.gif", "--speed", "0"});
    EXPECT_EQ(run.exitCode, 2) << run.err;
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("plasma-demo: --speed: ", 0), 0u) << run.err;
    EXPECT_LT(run.elapsed.count(), 8000) << "waited for a window that could not come";
    EXPECT_FALSE(std::filesystem::exists(dir / "none.gif"));
    EXPECT_EQ(orphans.Leftovers(), std::vector<std::string>{});
    EXPECT_TRUE(tmp.Names().empty());
}

// A stop signal in the middle of the recording ends the script by it, and
// the X server and plasma-demo with it.
TEST(RecordWindowScript, StopSignalEndsWhatItStarted) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        OrphanCatcher orphans;
        TempDir tmp, dir;
        std::vector<std::string> argv = {"/usr/bin/env",
                                         "TMPDIR=" + tmp.Path(),
                                         "PLASMA_DEMO=" PLASMA_DEMO,
                                         PLASMA_SOURCE_DIR "/scripts/record-window",
                                         "--frames",
                                         "100000",
                                         "--out",
                                         dir / "cut.gif"};
        ChildOptions options;
        options.timeoutMs = 60000;
        options.signal = signal;
        options.signalAfterMs = 2000;
        const ChildResult run = RunChild(argv, options);
        EXPECT_EQ(run.exitCode, 128 + signal) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "cut.gif"));
        EXPECT_EQ(orphans.Leftovers(), std::vector<std::string>{});
        EXPECT_TRUE(tmp.Names().empty());
    }
}

}  // namespace
