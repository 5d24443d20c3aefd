#include <cstring>

#include "effect/render_paths.h"

namespace {
// Lines repeat every 256 pixels, and so do lines across: a scratch line holds
// one period, and line k + 256 is line k.
constexpr int32_t kPeriod = 256;

// offsets[i] = 2 * value i of the walk: the byte offset of pixel i's entry in a
// table of 16-bit pixels, which 32-bit ARM adds to the base in the load itself
// (its halfword loads take no scaled index).
void WalkOffsets(const int32_t* wave, WaveWalk walk, int32_t count, uint16_t* offsets) {
    uint8_t a = walk.phaseA, b = walk.phaseB;
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t value =
            static_cast<uint8_t>(static_cast<uint32_t>(wave[a]) + static_cast<uint32_t>(wave[b]));
        offsets[i] = static_cast<uint16_t>(2 * value);
        a = static_cast<uint8_t>(a + walk.stepA);
        b = static_cast<uint8_t>(b + walk.stepB);
    }
}

// The table holds 16-bit pixels, so a byte offset that is even lands on one.
uint16_t PixelAt(const uint8_t* table, uint16_t offset) {
    return *reinterpret_cast<const uint16_t*>(table + offset);
}

// Two lines from one pass over the offsets: per pixel of each line a palette
// load and a 16-bit store, and half an offset load. Plain 16-bit stores to the
// stack: the compiler joins them where the target allows.
void BuildTwoLines(const uint8_t* tableA, const uint8_t* tableB, const uint16_t* offsets,
                   int32_t count, uint16_t* lineA, uint16_t* lineB) {
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const uint16_t o0 = offsets[i], o1 = offsets[i + 1];
        const uint16_t o2 = offsets[i + 2], o3 = offsets[i + 3];
        lineA[i] = PixelAt(tableA, o0);
        lineA[i + 1] = PixelAt(tableA, o1);
        lineA[i + 2] = PixelAt(tableA, o2);
        lineA[i + 3] = PixelAt(tableA, o3);
        lineB[i] = PixelAt(tableB, o0);
        lineB[i + 1] = PixelAt(tableB, o1);
        lineB[i + 2] = PixelAt(tableB, o2);
        lineB[i + 3] = PixelAt(tableB, o3);
    }
    for (; i < count; ++i) {
        lineA[i] = PixelAt(tableA, offsets[i]);
        lineB[i] = PixelAt(tableB, offsets[i]);
    }
}

// Pixel i + n of a walk is pixel i when n * step is a multiple of 256 for both
// of its steps: the smallest such n, a power of two, is 256 / 2^(trailing zero
// bits the steps share), or 1 when both steps are 0.
int32_t WalkPeriod(WaveWalk walk) {
    uint32_t steps = static_cast<uint32_t>(walk.stepA | walk.stepB);
    int32_t period = 256;
    while (period > 1 && (steps & 1) == 0) {
        period /= 2;
        steps >>= 1;
    }
    return period;
}

// A line of `length` pixels from a scratch line that holds its first period.
// The size is not a constant, so the compiler calls the C library's copy,
// which is tuned for the machine, in place of expanding it inline.
void CopyLine(uint8_t* at, const uint16_t* scratch, int32_t length, int32_t period) {
    const size_t periodBytes = sizeof(uint16_t) * static_cast<size_t>(period);
    while (length > period) {
        std::memcpy(at, scratch, periodBytes);
        at += periodBytes;
        length -= period;
    }
    std::memcpy(at, scratch, sizeof(uint16_t) * static_cast<size_t>(length));
}
}  // namespace

// Any two lines with the same constant are the same: each distinct line is
// built once in a scratch line on the stack and copied from there to every
// line that shares it, never read back from display memory. Distinct lines
// are built two at a time, and only up to the period of the walk along them.
void DrawLinesPortable(const PlasmaLines& lines) {
    // The scratch line holds `kept` pixels (the line, or its first 256), of
    // which the first `built` are looked up and the rest repeat them.
    const int32_t kept = lines.length < kPeriod ? lines.length : kPeriod;
    const int32_t period = WalkPeriod(lines.along);
    const int32_t built = kept < period ? kept : period;
    const int32_t firstLines = lines.count < 256 ? lines.count : 256;
    uint16_t offsets[kPeriod];
    WalkOffsets(lines.wave, lines.along, built, offsets);
    uint8_t across[256];
    WalkValues(lines.wave, lines.across, across);
    // Twice round, so that a constant plus an offset needs no wrap.
    uint16_t palette[512];
    for (int i = 0; i < 256; ++i) {
        palette[i] = palette[i + 256] = static_cast<uint16_t>(lines.palette[i]);
    }

    // The first lines, grouped by constant into rising chains: first[c] is the
    // first line with constant c and next[k] the next line with line k's
    // constant, or k itself at the end. Walking down, a first line not above
    // k was not set in this frame, and then k's constant is new to the list of
    // distinct constants.
    uint8_t first[256], next[256], distinct[256];
    std::memset(first, 0, sizeof first);
    int32_t distinctCount = 0;
    for (int32_t k = firstLines - 1; k >= 0; --k) {
        const uint8_t constant = across[k];
        const uint8_t later = first[constant];
        const bool seen = later > k;
        next[k] = seen ? later : static_cast<uint8_t>(k);
        first[constant] = static_cast<uint8_t>(k);
        distinct[distinctCount] = constant;
        distinctCount += seen ? 0 : 1;
    }

    uint16_t scratch[2][kPeriod];
    for (int32_t d = 0; d < distinctCount; d += 2) {
        const int32_t pair = distinctCount - d < 2 ? distinctCount - d : 2;
        // An odd last line is built twice over rather than by a second loop.
        BuildTwoLines(reinterpret_cast<const uint8_t*>(palette + distinct[d]),
                      reinterpret_cast<const uint8_t*>(palette + distinct[d + pair - 1]), offsets,
                      built, scratch[0], scratch[1]);
        for (int32_t b = 0; b < pair; ++b) {
            uint16_t* line = scratch[b];
            for (int32_t have = built; have < kept; have *= 2) {
                const int32_t more = kept - have < have ? kept - have : have;
                std::memcpy(line + have, line, sizeof(uint16_t) * static_cast<size_t>(more));
            }
            for (int32_t k = first[distinct[d + b]];; k = next[k]) {
                // Line k + 256 repeats line k.
                for (int32_t repeat = k; repeat < lines.count; repeat += 256) {
                    CopyLine(lines.first + repeat * lines.lineStride, line, lines.length, kept);
                }
                if (next[k] == k)
                    break;
            }
        }
    }
}
