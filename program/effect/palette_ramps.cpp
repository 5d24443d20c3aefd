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

// The channel at entry `index` of `count`: from + sign * index * magnitude /
// count, in 64 bits, where index * magnitude needs up to 39.
uint32_t ChannelValue(const Channel& c, int32_t index, int32_t count) {
    const int64_t step = int64_t{index} * c.magnitude / count;
    return static_cast<uint32_t>(c.from + c.sign * static_cast<int32_t>(step)) & 0xFF;
}
}  // namespace

Pixel565 PlasmaEffect::RampEntry(ColourKey from, ColourKey to, int32_t index, int32_t count) {
    return PackPixel565(ChannelValue(MakeChannel(from, to, 0), index, count),
                        ChannelValue(MakeChannel(from, to, 8), index, count),
                        ChannelValue(MakeChannel(from, to, 16), index, count));
}

// A linear ramp of count entries that starts at `from` and stops one step
// short of `to`, so that ramps laid end to end do not repeat their joins.
void PlasmaEffect::BuildRamp(ColourKey from, ColourKey to, int32_t count, uint32_t* destination) {
    for (int32_t i = 0; i < count; ++i) {
        destination[i] = RampEntry(from, to, i, count);
    }
}

void PlasmaEffect::BuildPalette() {
    for (int r = 0; r < 8; ++r) {
        BuildRamp(keys[2 * r], keys[2 * r + 1], 32, &palette[32 * r]);
    }
}
