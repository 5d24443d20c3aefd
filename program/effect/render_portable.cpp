#include <cstring>

#include "effect/render_paths.h"

namespace {
constexpr uint16_t kNoLine = 0xFFFF;
// Pixels of scratch line kept on the stack: the 256-pixel period, repeated.
constexpr int32_t kScratchPixels = 512;

void CopyLine(uint8_t* at, const uint16_t* scratch, int32_t length) {
    while (length > kScratchPixels) {
        std::memcpy(at, scratch, sizeof(uint16_t) * kScratchPixels);
        at += sizeof(uint16_t) * kScratchPixels;
        length -= kScratchPixels;
    }
    std::memcpy(at, scratch, sizeof(uint16_t) * static_cast<size_t>(length));
}
// scratch[i] = shifted[along[i]] for i < count. Four pixels to a 64-bit
// store where the byte order allows it: one store per pixel is the limit.
void BuildPeriod(const uint16_t* shifted, const uint8_t* along, int32_t count, uint16_t* scratch) {
    int32_t i = 0;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (; i + 4 <= count; i += 4) {
        const uint64_t four = uint64_t{shifted[along[i]]} | uint64_t{shifted[along[i + 1]]} << 16 |
                              uint64_t{shifted[along[i + 2]]} << 32 |
                              uint64_t{shifted[along[i + 3]]} << 48;
        std::memcpy(scratch + i, &four, sizeof four);
    }
#endif
    for (; i < count; ++i) {
        scratch[i] = shifted[along[i]];
    }
}
}  // namespace

// Lines k and k + 256 are the same, and so are any two lines with the same
// constant: each distinct line is built once in a scratch line on the stack
// and copied from there, never read back from display memory.
void DrawLinesPortable(const PlasmaLines& lines) {
    uint8_t along[256], across[256];
    WalkValues(lines.wave, lines.along, along);
    WalkValues(lines.wave, lines.across, across);
    // Twice round, so that an index plus a constant needs no wrap.
    uint16_t palette[512];
    for (int i = 0; i < 256; ++i) {
        palette[i] = palette[i + 256] = static_cast<uint16_t>(lines.palette[i]);
    }

    // The first lines, grouped by constant into chains.
    const int32_t firstLines = lines.count < 256 ? lines.count : 256;
    uint16_t chainStart[256], chainNext[256];
    for (uint16_t& start : chainStart)
        start = kNoLine;
    for (int32_t k = firstLines - 1; k >= 0; --k) {
        chainNext[k] = chainStart[across[k]];
        chainStart[across[k]] = static_cast<uint16_t>(k);
    }

    const int32_t period = lines.length < 256 ? lines.length : 256;
    const int32_t kept = lines.length < kScratchPixels ? lines.length : kScratchPixels;
    uint16_t scratch[kScratchPixels];
    for (int32_t k = 0; k < firstLines; ++k) {
        const uint8_t constant = across[k];
        if (chainStart[constant] != k)
            continue;
        BuildPeriod(palette + constant, along, period, scratch);
        for (int32_t i = period; i < kept; i += period) {
            std::memcpy(
                scratch + i, scratch,
                sizeof(uint16_t) * static_cast<size_t>(kept - i < period ? kept - i : period));
        }
        for (uint16_t line = static_cast<uint16_t>(k); line != kNoLine; line = chainNext[line]) {
            // Line k + 256 repeats line k.
            for (int32_t repeat = line;; repeat += 256) {
                CopyLine(lines.first + repeat * lines.lineStride, scratch, lines.length);
                if (lines.count - repeat <= 256)
                    break;
            }
        }
    }
}
