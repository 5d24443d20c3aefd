#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/key_values.h"

namespace {

std::map<std::string, long long> RunScenario(std::vector<std::string> args) {
    args.insert(args.begin(), SHELL_SCENARIOS);
    const ChildResult run = RunChild(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(run.timedOut);
    return KeyValues(run.out);
}

struct SurfaceCase {
    const char* name;
    const char* panelWidth;
    const char* panelHeight;
    const char* rotation;
    long long offset, xPitch, yPitch, width, height, renderHeight;
    long long firstDrawnRow, lastDrawnRow, drawnPerRow;
};

void PrintTo(const SurfaceCase& c, std::ostream* os) {
    *os << c.name;
}

// Screen rows as the user holds the device: the plasma fills rows 24 to
// height - 2 of the clamped area and leaves the rest alone.
const SurfaceCase kSurfaces[] = {
    {"portrait 240x320", "240", "320", "0", 11520, 2, 480, 240, 320, 295, 24, 318, 240},
    {"vga landscape 640x480", "480", "640", "90", 48, -960, 2, 640, 320, 295, 24, 318, 640},
    {"wide and tall 800x600 clamped", "800", "600", "0", 24 * 1600, 2, 1600, 640, 320, 295, 24, 318,
     640},
    {"small 200x100 keeps its size", "200", "100", "0", 24 * 400, 2, 400, 200, 100, 75, 24, 98,
     200},
    {"sideways 320x240", "240", "320", "90", 48, -480, 2, 320, 240, 215, 24, 238, 320},
    {"upside down 240x320", "240", "320", "180", -24 * 480, -2, -480, 240, 320, 295, 24, 318, 240},
    {"26 rows draw one", "100", "26", "0", 24 * 200, 2, 200, 100, 26, 1, 24, 24, 100},
    {"25 rows draw none", "100", "25", "0", 24 * 200, 2, 200, 100, 25, 0, -1, -1, 0},
    {"20 rows draw none", "100", "20", "0", 24 * 200, 2, 200, 100, 20, -5, -1, -1, 0},
};

class DrawingSurface : public ::testing::TestWithParam<SurfaceCase> {};

TEST_P(DrawingSurface, FollowsTheDisplaysGeometry) {
    const SurfaceCase& c = GetParam();
    auto v = RunScenario({"surface", c.panelWidth, c.panelHeight, c.rotation, "none"});
    EXPECT_EQ(v["opened"], 1);
    EXPECT_EQ(v["offset"], c.offset);
    EXPECT_EQ(v["xPitch"], c.xPitch);
    EXPECT_EQ(v["yPitch"], c.yPitch);
    EXPECT_EQ(v["width"], c.width);
    EXPECT_EQ(v["height"], c.height);
    EXPECT_EQ(v["renderHeight"], c.renderHeight);
    EXPECT_EQ(v["firstDrawnRow"], c.firstDrawnRow);
    EXPECT_EQ(v["lastDrawnRow"], c.lastDrawnRow);
    EXPECT_EQ(v["drawnPerRow"], c.drawnPerRow);
}

INSTANTIATE_TEST_SUITE_P(Geometries, DrawingSurface, ::testing::ValuesIn(kSurfaces),
                         [](const auto& info) { return "G" + std::to_string(info.index); });

TEST(DrawingSurface, OpeningFailsWhenTheDisplayOrItsMemoryCannotBeHad) {
    for (const char* failure : {"open", "begin"}) {
        auto v = RunScenario({"surface", "240", "320", "0", failure});
        EXPECT_EQ(v.count("opened"), 1u) << failure;
        EXPECT_EQ(v["opened"], 0) << failure;
    }
}

TEST(StopProtocol, DestroyingTheWindowStopsTheRenderThreadAtOnce) {
    auto v = RunScenario({"destroy"});
    EXPECT_EQ(v["drawing"], 1);
    EXPECT_EQ(v["frozenAfterDestroy"], 1);
    EXPECT_EQ(v["runningAfterDestroy"], 0);
    EXPECT_EQ(v["messagesBeforeQuit"], 0);
    EXPECT_EQ(v["quitCode"], 0);
    EXPECT_EQ(v["exit"], 0);
}

TEST(StopProtocol, StopBeforeTheRenderThreadSetsItsFlagStillEndsIt) {
    auto v = RunScenario({"early-stop"});
    EXPECT_EQ(v["rounds"], 50);
    EXPECT_EQ(v["stoppedClean"], v["rounds"]);
    EXPECT_EQ(v["exit"], 0);
}

TEST(StopProtocol, NothingIsDrawnAfterTheStop) {
    auto v = RunScenario({"stop-freezes", "plain"});
    EXPECT_EQ(v["animating"], 1);
    EXPECT_EQ(v["exit"], 0);
    EXPECT_EQ(v["frozen"], 1);
}

TEST(StopProtocol, DramBufferDisplaysPublishEachFrame) {
    auto v = RunScenario({"stop-freezes", "dram"});
    EXPECT_EQ(v["animating"], 1);
    EXPECT_EQ(v["exit"], 0);
    EXPECT_GT(v["publishedFrames"], 1);
}

}  // namespace
