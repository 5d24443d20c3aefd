#include <gtest/gtest.h>

#include "effect/plasma_effect.h"

namespace {

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
