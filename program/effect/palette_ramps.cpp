#include "effect/plasma_effect.h"

namespace {
struct Channel {
    int32_t from;
    int32_t sign;
    int32_t magnitude;
};

Channel MakeChannel(ColourKey from, ColourKey to, int shift) {
    const int32_t f = static_cast<int32_t>((from >> shift) & 0xFF);
    const int32_t t = static_cast<int32_t>((to >> shift) & 0xFF);
    const int32_t d = t - f;
    return {f, (d > 0) - (d < 0), d < 0 ? -d : d};
}

uint32_t ChannelValue(const Channel& c, int32_t sum, int32_t count) {
    return static_cast<uint32_t>(c.from + c.sign * (sum / count)) & 0xFF;
}
}  // namespace

// A linear ramp of count entries that starts at `from` and stops one step
// short of `to`, so that ramps laid end to end do not repeat their joins.
void PlasmaEffect::BuildRamp(ColourKey from, ColourKey to, int32_t count, uint32_t* destination) {
    const Channel red = MakeChannel(from, to, 0);
    const Channel green = MakeChannel(from, to, 8);
    const Channel blue = MakeChannel(from, to, 16);
    int32_t redSum = 0, greenSum = 0, blueSum = 0;
    for (int32_t i = 0; i < count; ++i) {
        destination[i] =
            PackPixel565(ChannelValue(red, redSum, count), ChannelValue(green, greenSum, count),
                         ChannelValue(blue, blueSum, count));
        redSum += red.magnitude;
        greenSum += green.magnitude;
        blueSum += blue.magnitude;
    }
}

void PlasmaEffect::BuildPalette() {
    for (int r = 0; r < 8; ++r) {
        BuildRamp(keys[2 * r], keys[2 * r + 1], 32, &palette[32 * r]);
    }
}
