#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "effect/plasma_effect.h"

namespace {

// Entry i of a ramp of n, one channel: what the ramp means, worked out apart
// from the effect's own arithmetic.
uint32_t Expected(uint32_t from, uint32_t to, int64_t i, int64_t n) {
    const int64_t f = from & 0xFF, t = to & 0xFF;
    const int64_t step = i * (t > f ? t - f : f - t) / n;
    return static_cast<uint32_t>(t >= f ? f + step : f - step);
}

uint32_t ExpectedPixel(ColourKey from, ColourKey to, int64_t i, int64_t n) {
    return PackPixel565(Expected(from, to, i, n), Expected(from >> 8, to >> 8, i, n),
                        Expected(from >> 16, to >> 16, i, n));
}

TEST(Palette, EntriesAlongTheRamps) {
    PlasmaEffect effect;
    effect.BuildPalette();
    const struct {
        int entry;
        uint32_t pixel;
    } cases[] = {
        {0, 0x0000},  {1, 0x0000},   {2, 0x0001},   {31, 0x001E},  {32, 0x001F},  {64, 0x07E0},
        {96, 0x07F0}, {127, 0x07FF}, {128, 0x07FF}, {160, 0xFFFF}, {224, 0x07F0}, {255, 0x0040},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(effect.palette[c.entry], c.pixel) << "entry " << c.entry;
    }
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(effect.palette[i] >> 16, 0u) << "upper half of entry " << i;
    }
}

TEST(Palette, RampBetweenEqualKeysIsFlat) {
    PlasmaEffect effect;
    uint32_t ramp[32];
    effect.BuildRamp(0x3080C0, 0x3080C0, 32, ramp);
    for (uint32_t pixel : ramp) {
        EXPECT_EQ(pixel, PackPixel565(0xC0, 0x80, 0x30));
    }
}

TEST(Palette, FallingChannelStepsDownAndStopsShortOfItsEnd) {
    PlasmaEffect effect;
    uint32_t ramp[32];
    effect.BuildRamp(0x0000FF, 0x000000, 32, ramp);  // red 255 -> 0
    EXPECT_EQ(ramp[0], PackPixel565(255, 0, 0));
    EXPECT_EQ(ramp[1], PackPixel565(248, 0, 0));
    EXPECT_EQ(ramp[2], PackPixel565(240, 0, 0));
    EXPECT_EQ(ramp[31], PackPixel565(8, 0, 0));  // 255 - 31 * 255 / 32, never 0
    for (int i = 1; i < 32; ++i) {
        EXPECT_LE(ramp[i] >> 11, ramp[i - 1] >> 11);
    }
}

TEST(Palette, CountOfZeroOrLessWritesNothing) {
    PlasmaEffect effect;
    for (int32_t count : {0, -1, -32}) {
        uint32_t ramp[4] = {0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD};
        effect.BuildRamp(0x000000, 0xFFFFFF, count, ramp);
        for (uint32_t pixel : ramp) {
            EXPECT_EQ(pixel, 0xDEADu) << "count " << count;
        }
    }
}

// Past about 8.4 million entries index * 255 no longer fits in 32 bits; a
// ramp of nine million is still cheap to build whole.
TEST(Palette, LongRampKeepsItsCourseToTheLastEntry) {
    constexpr int32_t kCount = 9000000;
    const ColourKey from = 0x0000FF, to = 0xFF8000;  // red falls, green and blue climb
    std::vector<uint32_t> ramp(kCount);
    PlasmaEffect effect;
    effect.BuildRamp(from, to, kCount, ramp.data());
    int wrong = 0;
    for (int32_t i = 0; i < kCount; i += i < 8000000 ? 9973 : 1) {
        wrong += ramp[i] != ExpectedPixel(from, to, i, kCount);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(ramp[kCount - 1], PackPixel565(1, 127, 254));
}

// Any count the signature takes, up to INT32_MAX, entry by entry.
TEST(Palette, RampEntriesAtTheLargestCounts) {
    const ColourKey from = 0x00FF00, to = 0xFF00FF;
    for (const int32_t count : {32, 8421505, 8421506, INT32_MAX - 1, INT32_MAX}) {
        for (const int32_t index : {0, 1, count / 2, count - 2, count - 1}) {
            EXPECT_EQ(PlasmaEffect::RampEntry(from, to, index, count),
                      ExpectedPixel(from, to, index, count))
                << "entry " << index << " of " << count;
        }
    }
    EXPECT_EQ(PlasmaEffect::RampEntry(from, to, INT32_MAX - 1, INT32_MAX),
              PackPixel565(254, 1, 254));
}

// The palette's own ramps, entry by entry, as before.
TEST(Palette, ShortRampsFollowTheSameCourse) {
    PlasmaEffect effect;
    for (const int32_t count : {1, 2, 3, 31, 32, 33, 1000}) {
        std::vector<uint32_t> ramp(static_cast<size_t>(count));
        effect.BuildRamp(0x10F080, 0xC0307F, count, ramp.data());
        for (int32_t i = 0; i < count; ++i) {
            EXPECT_EQ(ramp[i], ExpectedPixel(0x10F080, 0xC0307F, i, count))
                << "entry " << i << " of " << count;
        }
    }
}

TEST(Palette, TopByteOfKeysIsIgnored) {
    PlasmaEffect effect;
    uint32_t plain[32], tagged[32];
    effect.BuildRamp(0x102030, 0xF0E0D0, 32, plain);
    effect.BuildRamp(0xFF102030, 0x7FF0E0D0, 32, tagged);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(plain[i], tagged[i]) << "entry " << i;
    }
}

TEST(Palette, EachRampEndsOneStepShortOfTheNextRampsStart) {
    PlasmaEffect effect;
    effect.BuildPalette();
    // Ramp 1 runs blue -> green: blue falls and green climbs, neither arrives.
    EXPECT_EQ(effect.palette[63], PackPixel565(0, 255 * 31 / 32, 255 - 255 * 31 / 32));
    EXPECT_NE(effect.palette[63], effect.palette[64]);
}

}  // namespace
