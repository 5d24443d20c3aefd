#include <gtest/gtest.h>

#include "display/draw_surface.h"
#include "effect/plasma_effect.h"
#include "tests/support/canvas.h"
#include "tests/support/frame_counter.h"

namespace {

class AnimationState : public ::testing::Test {
protected:
    void SetUp() override { ResetFrameCounter(); }
};

TEST_F(AnimationState, ConstructionSetsStepsAndKeysAndLeavesTheCounter) {
    PlasmaEffect::frameCounter = 77;
    PlasmaEffect effect;
    EXPECT_EQ(PlasmaEffect::frameCounter, 77);
    EXPECT_EQ(effect.width, 0);
    EXPECT_EQ(effect.height, 0);
    EXPECT_EQ(effect.pixelStep2, 1);
    EXPECT_EQ(effect.pixelStep3, 2);
    EXPECT_EQ(effect.rowStep0, 1);
    EXPECT_EQ(effect.rowStep1, 2);
    EXPECT_EQ(effect.frameStep2, -1);
    EXPECT_EQ(effect.frameStep3, 3);
    EXPECT_EQ(effect.frameStep0, 1);
    EXPECT_EQ(effect.frameStep1, -2);
    const uint8_t phases[] = {effect.phase0, effect.phase1, effect.phase2, effect.phase3,
                              effect.base0,  effect.base1,  effect.base2,  effect.base3};
    for (uint8_t phase : phases)
        EXPECT_EQ(phase, 0);
    const ColourKey keys[16] = {0x000000, 0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00, 0x80FF00,
                                0x80FF00, 0xFFFF00, 0xFFFF00, 0xFFFFFF, 0xFFFFFF, 0xFFFF00,
                                0xFFFF00, 0x80FF00, 0x80FF00, 0x000000};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(effect.keys[i], keys[i]) << "key " << i;
}

TEST_F(AnimationState, FirstFrameUsesStepOneAndEachFrameAdvancesCounterStepsAndBases) {
    Canvas canvas(8, 4, 2, 16);
    canvas.Install();
    PlasmaEffect effect;
    effect.Init(8, 4);
    // Frame one: steps 1 from construction, top-left pixel = palette[4 * wave[0]].
    EXPECT_EQ(canvas.At(0, 0), effect.palette[(4 * effect.wave[0]) & 0xFF]);
    EXPECT_EQ(PlasmaEffect::frameCounter, 2);
    EXPECT_EQ(effect.pixelStep2, 2);
    EXPECT_EQ(effect.rowStep0, 2);
    EXPECT_EQ(effect.base0, 1);
    EXPECT_EQ(effect.base1, 254);
    EXPECT_EQ(effect.base2, 255);
    EXPECT_EQ(effect.base3, 3);
    for (int frame = 2; frame <= 5; ++frame)
        effect.RenderFrame();
    EXPECT_EQ(PlasmaEffect::frameCounter, 6);
    EXPECT_EQ(effect.pixelStep2, 6);
    EXPECT_EQ(effect.rowStep0, 6);
    EXPECT_EQ(effect.base0, 5);
    EXPECT_EQ(effect.base1, static_cast<uint8_t>(-10));
    EXPECT_EQ(effect.base2, static_cast<uint8_t>(-5));
    EXPECT_EQ(effect.base3, 15);
    // The top-left pixel of any frame is the sum of the four bases' values.
    const int32_t index = effect.wave[effect.base3] + effect.wave[effect.base2] +
                          effect.wave[effect.base1] + effect.wave[effect.base0];
    effect.RenderFrame();
    EXPECT_EQ(canvas.At(0, 0), effect.palette[index & 0xFF]);
}

// Steps are plain int32_t fields: any value moves a phase by itself modulo
// 256, the extremes included, without overflowing.
TEST_F(AnimationState, FrameStepsOfAnySizeMoveBasesModulo256) {
    Canvas canvas(2, 2, 2, 4);
    canvas.Install();
    PlasmaEffect effect;
    effect.Init(2, 2);
    effect.base0 = effect.base1 = effect.base2 = effect.base3 = 200;
    effect.frameStep0 = INT32_MAX;  // 255 modulo 256
    effect.frameStep1 = INT32_MIN;  // 0
    effect.frameStep2 = 256 + 7;
    effect.frameStep3 = INT32_MIN + 1;  // 1
    effect.RenderFrame();
    EXPECT_EQ(effect.base0, 199);
    EXPECT_EQ(effect.base1, 200);
    EXPECT_EQ(effect.base2, 207);
    EXPECT_EQ(effect.base3, 201);
}

TEST_F(AnimationState, CounterWrapsToZeroAfter1023) {
    Canvas canvas(1, 1, 2, 2);
    canvas.Install();
    PlasmaEffect effect;
    effect.Init(1, 1);
    PlasmaEffect::frameCounter = 1022;
    effect.RenderFrame();
    EXPECT_EQ(PlasmaEffect::frameCounter, 1023);
    EXPECT_EQ(effect.pixelStep2, 1023);
    effect.RenderFrame();
    EXPECT_EQ(PlasmaEffect::frameCounter, 0);
    EXPECT_EQ(effect.pixelStep2, 0);
    EXPECT_EQ(effect.rowStep0, 0);
}

TEST_F(AnimationState, StepsAboveTwoFiftyFiveActModuloTwoFiftySix) {
    Canvas wide(300, 40, 2, 600), narrow(300, 40, 2, 600);
    PlasmaEffect effect;
    wide.Install();
    effect.Init(300, 40);
    PlasmaEffect twin = effect;
    effect.pixelStep2 = 257;
    effect.rowStep0 = 257 + 256;
    twin.pixelStep2 = 1;
    twin.rowStep0 = 1;
    effect.RenderFrame();
    narrow.Install();
    twin.RenderFrame();
    EXPECT_EQ(wide.Bytes(), narrow.Bytes());
}

TEST_F(AnimationState, EmptyAreaDrawsNothingButStillAdvances) {
    const struct {
        int32_t width, height;
        uint8_t phase0AfterFrame;  // two rows at rowStep0 1, or none
    } cases[] = {{0, 2, 2}, {-5, 2, 2}, {8, 0, 0}, {8, -3, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        ResetFrameCounter();
        Canvas canvas(8, 2, 2, 16);
        canvas.Install();
        PlasmaEffect effect;
        effect.BuildWaveTable();
        effect.BuildPalette();
        effect.width = c.width;
        effect.height = c.height;
        effect.RenderFrame();
        EXPECT_TRUE(canvas.Untouched()) << c.width << "x" << c.height;
        EXPECT_EQ(effect.phase0, c.phase0AfterFrame) << c.width << "x" << c.height;
        EXPECT_EQ(PlasmaEffect::frameCounter, 2);
        EXPECT_EQ(effect.pixelStep2, 2);
        EXPECT_EQ(effect.rowStep0, 2);
        EXPECT_EQ(effect.base0, 1);
        EXPECT_EQ(effect.base3, 3);
    }
}

TEST_F(AnimationState, SecondInitKeepsTheAnimationWhereItStood) {
    Canvas small(16, 8, 2, 32);
    small.Install();
    PlasmaEffect effect;
    effect.Init(16, 8);
    for (int i = 0; i < 9; ++i)
        effect.RenderFrame();
    const PlasmaEffect before = effect;
    const int32_t counter = PlasmaEffect::frameCounter;

    Canvas large(40, 30, 2, 80);
    large.Install();
    effect.Init(40, 30);
    EXPECT_EQ(effect.width, 40);
    EXPECT_EQ(effect.height, 30);
    EXPECT_EQ(PlasmaEffect::frameCounter, counter + 1);
    EXPECT_EQ(effect.base0, static_cast<uint8_t>(before.base0 + 1));
    EXPECT_EQ(effect.pixelStep2, counter + 1);
    const int32_t index = before.wave[before.base3] + before.wave[before.base2] +
                          before.wave[before.base1] + before.wave[before.base0];
    EXPECT_EQ(large.At(0, 0), before.palette[index & 0xFF]);
}

}  // namespace
