#include <gtest/gtest.h>

#include "effect/plasma_effect.h"
#include "tests/support/canvas.h"
#include "tests/support/frame_counter.h"

namespace {

// Each layout against the oracle, path by path, is in render_paths_test; this
// compares the layouts with one another, pixel for pixel where each puts it.
TEST(RenderFrameLayout, MirroredAndRotatedLayoutsDrawTheSameFrame) {
    ResetFrameCounter();
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
