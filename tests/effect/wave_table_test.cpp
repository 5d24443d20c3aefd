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

// Computed once on the host and kept as data, so that a target whose sin
// rounds differently is caught: at 32, 96, 160 and 224 the sine times 30 is
// within 3e-11 of a whole number, which a less exact sin could cross.
// clang-format off
const int32_t kPinnedWave[256] = {
    0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 14, 15, 16, 17, 19, 20,
    21, 22, 23, 24, 24, 25, 26, 27, 27, 28, 28, 29, 29, 29, 29, 29,
    29, 29, 29, 29, 29, 29, 28, 28, 27, 27, 26, 25, 24, 24, 23, 22,
    21, 20, 19, 17, 16, 15, 14, 12, 11, 10, 8, 7, 5, 4, 2, 1,
    0, -1, -2, -4, -5, -7, -8, -10, -11, -12, -14, -15, -16, -17, -19, -20,
    -21, -22, -23, -24, -24, -25, -26, -27, -27, -28, -28, -29, -29, -29, -29, -29,
    -29, -29, -29, -29, -29, -29, -28, -28, -27, -27, -26, -25, -24, -24, -23, -22,
    -21, -20, -19, -17, -16, -15, -14, -12, -11, -10, -8, -7, -5, -4, -2, -1,
    0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 14, 15, 16, 17, 19, 20,
    21, 22, 23, 24, 24, 25, 26, 27, 27, 28, 28, 29, 29, 29, 29, 29,
    29, 29, 29, 29, 29, 29, 28, 28, 27, 27, 26, 25, 24, 24, 23, 22,
    21, 20, 19, 17, 16, 15, 14, 12, 11, 10, 8, 7, 5, 4, 2, 1,
    0, -1, -2, -4, -5, -7, -8, -10, -11, -12, -14, -15, -16, -17, -19, -20,
    -21, -22, -23, -24, -24, -25, -26, -27, -27, -28, -28, -29, -29, -29, -29, -29,
    -29, -29, -29, -29, -29, -29, -28, -28, -27, -27, -26, -25, -24, -24, -23, -22,
    -21, -20, -19, -17, -16, -15, -14, -12, -11, -10, -8, -7, -5, -4, -2, -1,
};
// clang-format on

TEST(WaveTable, EqualsThePinnedTableEntryByEntry) {
    PlasmaEffect effect;
    effect.BuildWaveTable();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(effect.wave[i], kPinnedWave[i]) << "index " << i;
    }
}

}  // namespace
