#include <gtest/gtest.h>

#include "effect/plasma_effect.h"

namespace {

TEST(WaveTable, TwoPeriodsOfASineWithinTwentyNine) {
    PlasmaEffect effect;
    effect.BuildWaveTable();
    const struct {
        int index;
        int32_t value;
    } cases[] = {
        {0, 0}, {32, 29}, {64, 0}, {96, -29}, {128, 0}, {160, 29}, {192, 0}, {224, -29},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(effect.wave[c.index], c.value) << "index " << c.index;
    }
    int32_t lowest = 0, highest = 0;
    for (int i = 0; i < 256; ++i) {
        lowest = std::min(lowest, effect.wave[i]);
        highest = std::max(highest, effect.wave[i]);
        // Positive in the first half of each period, negative in the second.
        const int inPeriod = i % 128;
        if (inPeriod > 0 && inPeriod < 64) {
            EXPECT_GT(effect.wave[i], 0) << i;
        } else if (inPeriod > 64) {
            EXPECT_LT(effect.wave[i], 0) << i;
        }
        // The two periods agree to within the truncation of the step constant.
        if (i < 128) {
            EXPECT_NEAR(effect.wave[i], effect.wave[i + 128], 1) << i;
        }
    }
    EXPECT_EQ(lowest, -29);
    EXPECT_EQ(highest, 29);
}

}  // namespace
