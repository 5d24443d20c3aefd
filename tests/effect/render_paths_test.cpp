#include <gtest/gtest.h>
#include <pthread.h>

#include <string>
#include <tuple>
#include <vector>

#include "effect/plasma_effect.h"
#include "effect/render_paths.h"
#include "tests/support/canvas.h"
#include "tests/support/case_name.h"
#include "tests/support/frame_counter.h"
#include "tests/support/oracle_comparison.h"
#include "tests/support/plasma_oracle.h"

namespace {

struct Layout {
    const char* name;
    int32_t width, height, xPitch, yPitch;
    int32_t margin;  // odd margins put the origin at an odd address
};

void PrintTo(const Layout& layout, std::ostream* os) {
    *os << layout.name;
}

// The handheld's screens as held, rows and columns in both directions, odd
// pitches and origins (halving an odd pitch truncates toward zero), rows that
// overlap or collapse (drawn pixel by pixel), lines that just touch, more than
// 256 lines, lines longer than the 256-pixel period, than a screen and than
// the exporter's widest frame, and line lengths on and around the 32-pixel
// register width.
const Layout kLayouts[] = {
    {"portrait screen 240x295", 240, 295, 2, 480, 64},
    {"rotated screen 320x215", 320, 215, -480, 2, 64},
    {"rotated 300x70", 300, 70, -140, 2, 64},
    {"rotated back 300x70", 300, 70, 140, -2, 63},
    {"mirrored 240x40", 240, 40, -2, 480, 64},
    {"upside down 240x40", 240, 40, 2, -480, 64},
    {"upside down odd origin 240x40", 240, 40, 2, -480, 63},
    {"odd pitches mirrored 50x30", 50, 30, -3, 101, 64},
    {"odd pitches upside down 37x9", 37, 9, 3, -75, 1},
    {"rows overlap 40x20", 40, 20, 2, 60, 64},
    {"rows collapse 12x9", 12, 9, 2, 0, 64},
    {"pixels collapse 16x8", 16, 8, 1, 32, 64},
    {"padded rows past 256 33x300", 33, 300, 2, 100, 63},
    {"one pixel wide 1x600", 1, 600, 2, 2, 64},
    {"long columns 3x600", 3, 600, 1200, 2, 1},
    {"period 256x4", 256, 4, 2, 512, 64},
    {"across the period 257x3", 257, 3, 2, 514, 64},
    {"across the period mirrored 257x5", 257, 5, -2, 600, 64},
    {"one register 32x5", 32, 5, 2, 64, 64},
    {"wider than a screen 700x6", 700, 6, 2, 1400, 64},
    {"wide 1100x3", 1100, 3, 2, 2200, 63},
    {"wider than exported 4100x2", 4100, 2, 2, 8200, 64},
    {"single pixel", 1, 1, 2, 2, 64},
};

// Each path by itself, and the one RenderFrame ships with: whichever it
// picked as the program started.
struct PathCase {
    const char* name;
    bool shipped;
    RenderPath path;  // when not shipped
};

void PrintTo(const PathCase& path, std::ostream* os) {
    *os << path.name;
}

std::vector<PathCase> PathCases() {
    std::vector<PathCase> cases = {{"Shipped", true, RenderPath::kGeneral}};
    for (const RenderPath path : kAllRenderPaths) {
        cases.push_back({RenderPathName(path), false, path});
    }
    return cases;
}

// A wave table with no period of its own, sums that wrap past 255 and below
// zero, and a palette whose entries are all distinct.
// The effect has the layout's size.
PlasmaEffect ArbitraryEffect(const Layout& l) {
    PlasmaEffect effect;
    uint32_t seed = 12345;
    for (int i = 0; i < 256; ++i) {
        seed = seed * 1103515245u + 12345u;
        effect.wave[i] = static_cast<int32_t>(seed >> 8) - (1 << 23);
        effect.palette[i] = static_cast<uint32_t>(i * 0x0101 + 0x40) & 0xFFFF;
    }
    effect.width = l.width;
    effect.height = l.height;
    return effect;
}

class RenderPaths : public ::testing::TestWithParam<std::tuple<PathCase, Layout>> {
protected:
    void SetUp() override {
        // Read first: TearDown puts it back even after a skip.
        previous_ = CurrentRenderPath();
        const PathCase& path = std::get<0>(GetParam());
        if (path.shipped) {
            ASSERT_EQ(previous_, FastestRenderPath()) << "a test left another path in use";
        } else if (!RenderPathAvailable(path.path)) {
            GTEST_SKIP() << "the path is not built for this target or this CPU lacks it";
        } else {
            ASSERT_TRUE(UseRenderPath(path.path));
        }
        ResetFrameCounter();
    }
    void TearDown() override { UseRenderPath(previous_); }

private:
    RenderPath previous_ = RenderPath::kGeneral;
};

TEST_P(RenderPaths, MatchesTheOracleOver1100Frames) {
    const Layout& l = std::get<1>(GetParam());
    ExpectFramesMatchOracle(l.name, l.width, l.height, l.xPitch, l.yPitch, l.margin, 1100);
}

// Any wave and palette, not just the built ones: sums wrap past 255 and below
// zero, and every palette entry is distinct.
TEST_P(RenderPaths, MatchesTheOracleWithArbitraryTables) {
    const Layout& l = std::get<1>(GetParam());
    Canvas drawn(l.width, l.height, l.xPitch, l.yPitch, l.margin);
    Canvas expected(l.width, l.height, l.xPitch, l.yPitch, l.margin);
    PlasmaEffect effect = ArbitraryEffect(l);
    effect.pixelStep3 = 77;
    effect.rowStep1 = -3;
    PlasmaEffect reference = effect;
    int32_t counter = PlasmaEffect::frameCounter;
    drawn.Install();
    for (int frame = 0; frame < 40; ++frame) {
        effect.RenderFrame();
        OracleRenderFrame(reference, counter, expected.Surface());
        ASSERT_EQ(drawn.Bytes(), expected.Bytes()) << l.name << ", frame " << frame;
    }
}

// Steps that share factors of two make a line repeat before 256 pixels (down to
// one pixel when both are 0); lines are then looked up only to that period.
TEST_P(RenderPaths, MatchesTheOracleWhenStepsShortenThePeriod) {
    const Layout& l = std::get<1>(GetParam());
    struct Steps {
        int32_t a, b;
    };
    const Steps kSteps[] = {{0, 0}, {128, 0}, {0, 256}, {64, 192}, {-4, 8}, {2, 6}, {32, 1}};
    for (const Steps steps : kSteps) {
        Canvas drawn(l.width, l.height, l.xPitch, l.yPitch, l.margin);
        Canvas expected(l.width, l.height, l.xPitch, l.yPitch, l.margin);
        // Not the built wave table: its two periods would hide a line period
        // taken too short.
        PlasmaEffect effect = ArbitraryEffect(l);
        effect.base0 = 3;
        effect.base2 = 200;
        effect.pixelStep2 = effect.rowStep0 = steps.a;
        effect.pixelStep3 = effect.rowStep1 = steps.b;
        PlasmaEffect reference = effect;
        int32_t counter = PlasmaEffect::frameCounter;
        drawn.Install();
        effect.RenderFrame();
        OracleRenderFrame(reference, counter, expected.Surface());
        ASSERT_EQ(drawn.Bytes(), expected.Bytes())
            << l.name << ", steps " << steps.a << " and " << steps.b;
    }
}

// A render thread's stack on the handheld is small: 64 KiB, guard page below.
TEST_P(RenderPaths, DrawsWithinASmallThreadStack) {
    const Layout& l = std::get<1>(GetParam());
    Canvas drawn(l.width, l.height, l.xPitch, l.yPitch, l.margin);
    Canvas expected(l.width, l.height, l.xPitch, l.yPitch, l.margin);
    PlasmaEffect effect;
    effect.BuildWaveTable();
    effect.BuildPalette();
    effect.width = l.width;
    effect.height = l.height;
    PlasmaEffect reference = effect;
    int32_t counter = PlasmaEffect::frameCounter;
    OracleRenderFrame(reference, counter, expected.Surface());
    drawn.Install();

    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 64 * 1024), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attributes,
                  [](void* e) -> void* {
                      static_cast<PlasmaEffect*>(e)->RenderFrame();
                      return nullptr;
                  },
                  &effect),
              0);
    ASSERT_EQ(pthread_join(thread, nullptr), 0);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(drawn.Bytes(), expected.Bytes());
}

INSTANTIATE_TEST_SUITE_P(PathsAndLayouts, RenderPaths,
                         ::testing::Combine(::testing::ValuesIn(PathCases()),
                                            ::testing::ValuesIn(kLayouts)),
                         [](const ::testing::TestParamInfo<RenderPaths::ParamType>& info) {
                             return TestName(std::string(std::get<0>(info.param).name) + " " +
                                             std::get<1>(info.param).name);
                         });

TEST(RenderPathChoice, FirstUsePicksTheFastestPathThisCpuHas) {
    EXPECT_TRUE(RenderPathAvailable(RenderPath::kGeneral));
    EXPECT_TRUE(RenderPathAvailable(RenderPath::kPortable));
    EXPECT_TRUE(RenderPathAvailable(FastestRenderPath()));
    EXPECT_EQ(FastestRenderPath() == RenderPath::kAvx512Vbmi,
              RenderPathAvailable(RenderPath::kAvx512Vbmi));
    EXPECT_EQ(CurrentRenderPath(), FastestRenderPath());
}

}  // namespace
