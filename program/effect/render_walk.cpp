// What every path needs: the values of one walk, and a frame seen as lines.
#include "effect/render_paths.h"

namespace {
ptrdiff_t Magnitude(ptrdiff_t v) {
    return v < 0 ? -v : v;
}

// The same walk read from its last value back to its first.
WaveWalk Reversed(WaveWalk walk, int32_t count) {
    const uint32_t last = static_cast<uint32_t>(count) - 1;
    return {
        static_cast<uint8_t>(walk.phaseA + last * walk.stepA), static_cast<uint8_t>(-walk.stepA),
        static_cast<uint8_t>(walk.phaseB + last * walk.stepB), static_cast<uint8_t>(-walk.stepB)};
}

void AsLines(const PlasmaFrame& frame, ptrdiff_t pixelStep, ptrdiff_t lineStep, int32_t length,
             int32_t count, WaveWalk along, WaveWalk across, PlasmaLines* lines) {
    lines->first = frame.origin;
    if (pixelStep < 0) {
        // Address order runs against the walk.
        lines->first -= 2 * static_cast<ptrdiff_t>(length - 1);
        along = Reversed(along, length);
    }
    lines->lineStride = 2 * lineStep;
    lines->length = length;
    lines->count = count;
    lines->along = along;
    lines->across = across;
    lines->wave = frame.wave;
    lines->palette = frame.palette;
}
}  // namespace

void WalkValues(const int32_t* wave, WaveWalk walk, uint8_t* values) {
    uint8_t a = walk.phaseA, b = walk.phaseB;
    for (int i = 0; i < 256; ++i) {
        values[i] =
            static_cast<uint8_t>(static_cast<uint32_t>(wave[a]) + static_cast<uint32_t>(wave[b]));
        a = static_cast<uint8_t>(a + walk.stepA);
        b = static_cast<uint8_t>(b + walk.stepB);
    }
}

bool FrameAsLines(const PlasmaFrame& frame, PlasmaLines* lines) {
    // Lines that never share a pixel can be drawn in any order.
    if (Magnitude(frame.xStep) == 1 && Magnitude(frame.yStep) >= frame.width) {
        AsLines(frame, frame.xStep, frame.yStep, frame.width, frame.height, frame.alongX,
                frame.alongY, lines);
        return true;
    }
    if (Magnitude(frame.yStep) == 1 && Magnitude(frame.xStep) >= frame.height) {
        AsLines(frame, frame.yStep, frame.xStep, frame.height, frame.width, frame.alongY,
                frame.alongX, lines);
        return true;
    }
    return false;
}
