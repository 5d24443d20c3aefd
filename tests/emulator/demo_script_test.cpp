// scripts/demo without a display, run on this build as a user runs it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_lines.h"

namespace {

ChildResult DemoScript(const TempDir& dir, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/env",
                                     "-u",
                                     "DISPLAY",
                                     "-u",
                                     "WAYLAND_DISPLAY",
                                     "PLASMA_BUILD_DIR=" PLASMA_BUILD_DIR,
                                     "PLASMA_DEMO_OUT=" + dir / "out",
                                     "bash",
                                     PLASMA_SOURCE_DIR "/scripts/demo"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunChild(argv);
}

// The user's screenshot and stop are theirs; the script adds only the rest.
TEST(DemoScript, KeepsTheUsersOptionsAndAddsWhatTheyLeaveOut) {
    TempDir dir;
    const ChildResult own =
        DemoScript(dir, {"--screenshot", dir / "mine.png", "--key-after", "100"});
    EXPECT_EQ(own.exitCode, 0) << own.err;
    EXPECT_NO_THROW(ReadPng(dir / "mine.png"));
    EXPECT_EQ(TempDir::NamesIn(dir / "out"), std::vector<std::string>{"plasma.gif"});
    EXPECT_EQ(own.out.find("tap"), std::string::npos) << own.out;

    const ChildResult added = DemoScript(dir, {});
    EXPECT_EQ(added.exitCode, 0) << added.err;
    EXPECT_NO_THROW(ReadPng(dir / "out/screen.png"));
    EXPECT_NE(added.out.find("then a tap"), std::string::npos) << added.out;
}

// --window without a display fails in the program's own line, announcing
// nothing headless.
TEST(DemoScript, WindowWithoutADisplayFailsInOneLine) {
    TempDir dir;
    const ChildResult run = DemoScript(dir, {"--window"});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("plasma-demo: cannot open a window: ", 0), 0u) << run.err;
    EXPECT_EQ(run.out.find("headless"), std::string::npos) << run.out;
}

// A screenshot that cannot be saved is reported before the run: the program
// never traces a call.
TEST(DemoScript, BadScreenshotPathIsReportedAtStart) {
    TempDir dir;
    const ChildResult run =
        DemoScript(dir, {"--screenshot", dir / "none/shot.png", "--trace", "-"});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("cannot write " + dir / "none/shot.png"), std::string::npos) << run.err;
    EXPECT_TRUE(ParseTrace(run.out).empty()) << run.out;
}

}  // namespace
