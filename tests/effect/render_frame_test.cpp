#include <gtest/gtest.h>

#include "effect/plasma_effect.h"
#include "tests/support/canvas.h"
#include "tests/support/oracle_comparison.h"
#include "tests/support/plasma_oracle.h"

namespace {

struct Layout {
    const char* name;
    int32_t width, height, xPitch, yPitch;
};

void PrintTo(const Layout& layout, std::ostream* os) {
    *os << layout.name;
}

// Portrait and rotated handheld screens, mirrored and upside-down layouts,
// odd pitches (halving truncates toward zero), and sizes around the 256-pixel
// period of a row.
const Layout kLayouts[] = {
    {"portrait 240x295", 240, 295, 2, 480},      {"rotated 320x215", 320, 215, -480, 2},
    {"mirrored 240x40", 240, 40, -2, 480},       {"upside down 240x40", 240, 40, 2, -480},
    {"odd pitches 50x30", 50, 30, -3, 101},      {"single pixel", 1, 1, 2, 2},
    {"across the period 257x3", 257, 3, 2, 514}, {"wider than a screen 700x6", 700, 6, 2, 1400},
};

class RenderFrame : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override { PlasmaEffect::frameCounter = 1; }
};

TEST_P(RenderFrame, MatchesTheOracleOver1100Frames) {
    const Layout& l = GetParam();
    ExpectFramesMatchOracle(l.name, l.width, l.height, l.xPitch, l.yPitch, 64, 1100);
}

INSTANTIATE_TEST_SUITE_P(Layouts, RenderFrame, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                             return "L" + std::to_string(info.index);
                         });

TEST(RenderFrameLayout, MirroredAndRotatedLayoutsDrawTheSameFrame) {
    PlasmaEffect::frameCounter = 1;
    const int32_t w = 30, h = 20;
    Canvas upright(w, h, 2, 2 * w);
    upright.Install();
    PlasmaEffect effect;
    effect.Init(w, h);
    for (int i = 0; i < 7; ++i)
        effect.RenderFrame();

    const struct {
        int32_t xPitch, yPitch;
    } layouts[] = {{-2, 2 * w}, {2, -2 * w}, {-2 * h, 2}, {2 * h, -2}, {-2, -2 * w}};
    for (const auto& layout : layouts) {
        const int32_t counter = PlasmaEffect::frameCounter;
        PlasmaEffect twin = effect;
        upright.Install();
        twin.RenderFrame();
        Canvas turned(w, h, layout.xPitch, layout.yPitch);
        turned.Install();
        PlasmaEffect::frameCounter = counter;
        PlasmaEffect other = effect;
        other.RenderFrame();
        // Every logical pixel lands where the layout puts it, and the block
        // holds exactly the w*h pixels drawn.
        size_t touched = 0;
        for (uint8_t b : turned.Bytes())
            touched += b != Canvas::kSentinel;
        EXPECT_LE(touched, size_t{2} * w * h);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                ASSERT_EQ(turned.At(x, y), upright.At(x, y))
                    << "pitches " << layout.xPitch << "," << layout.yPitch << " at " << x << ","
                    << y;
            }
        }
        PlasmaEffect::frameCounter = counter;
    }
    // Physically, a mirrored row starts at the right: the first byte pair of
    // the mirrored block is the last pixel of the upright row.
    Canvas mirrored(w, 1, -2, 2 * w, 0);
    mirrored.Install();
    PlasmaEffect single = effect;
    single.height = 1;
    PlasmaEffect uprightSingle = effect;
    uprightSingle.height = 1;
    const int32_t counter = PlasmaEffect::frameCounter;
    single.RenderFrame();
    PlasmaEffect::frameCounter = counter;
    Canvas plain(w, 1, 2, 2 * w, 0);
    plain.Install();
    uprightSingle.RenderFrame();
    for (int32_t x = 0; x < w; ++x) {
        EXPECT_EQ(mirrored.Bytes()[2 * x], plain.Bytes()[2 * (w - 1 - x)]);
        EXPECT_EQ(mirrored.Bytes()[2 * x + 1], plain.Bytes()[2 * (w - 1 - x) + 1]);
    }
}

}  // namespace
