#include "tests/support/oracle_comparison.h"

#include <gtest/gtest.h>

#include "effect/plasma_effect.h"
#include "tests/support/canvas.h"
#include "tests/support/plasma_oracle.h"

void ExpectFramesMatchOracle(const char* name, int32_t width, int32_t height, int32_t xPitch,
                             int32_t yPitch, int32_t margin, int frames) {
    Canvas drawn(width, height, xPitch, yPitch, margin);
    Canvas expected(width, height, xPitch, yPitch, margin);

    PlasmaEffect reference;
    reference.BuildWaveTable();
    reference.BuildPalette();
    reference.width = width;
    reference.height = height;
    int32_t counter = PlasmaEffect::frameCounter;
    OracleRenderFrame(reference, counter, expected.Surface());

    drawn.Install();
    PlasmaEffect effect;
    effect.Init(width, height);
    for (int frame = 1; frame <= frames; ++frame) {
        ASSERT_EQ(drawn.Bytes(), expected.Bytes()) << name << ", frame " << frame;
        ASSERT_EQ(PlasmaEffect::frameCounter, counter) << name << ", frame " << frame;
        const uint8_t states[][2] = {
            {effect.base0, reference.base0},   {effect.base1, reference.base1},
            {effect.base2, reference.base2},   {effect.base3, reference.base3},
            {effect.phase0, reference.phase0}, {effect.phase1, reference.phase1},
            {effect.phase2, reference.phase2}, {effect.phase3, reference.phase3},
        };
        for (const auto& state : states) {
            ASSERT_EQ(state[0], state[1]) << name << ", frame " << frame;
        }
        ASSERT_EQ(effect.pixelStep2, reference.pixelStep2);
        ASSERT_EQ(effect.rowStep0, reference.rowStep0);
        effect.RenderFrame();
        OracleRenderFrame(reference, counter, expected.Surface());
    }
}
