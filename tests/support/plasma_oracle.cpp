#include "tests/support/plasma_oracle.h"

#include <cstring>

namespace {
// A phase moves by its step modulo 256; unsigned, so that no step overflows.
uint32_t Wrapped(int32_t step) {
    return static_cast<uint32_t>(step);
}
}  // namespace

void OracleRenderFrame(PlasmaEffect& e, int32_t& counter, const DrawSurface& surface) {
    const int32_t xStep = surface.xPitch / 2;
    const int32_t yStep = surface.yPitch / 2;
    e.phase0 = e.base0;
    e.phase1 = e.base1;
    for (int32_t y = 0; y < e.height; ++y) {
        uint8_t* position = surface.origin + 2 * static_cast<intptr_t>(y) * yStep;
        e.phase2 = e.base2;
        e.phase3 = e.base3;
        for (int32_t x = 0; x < e.width; ++x) {
            const int32_t s =
                e.wave[e.phase3] + e.wave[e.phase2] + e.wave[e.phase1] + e.wave[e.phase0];
            const uint16_t pixel = static_cast<uint16_t>(e.palette[s & 0xFF]);
            std::memcpy(position, &pixel, sizeof pixel);
            position += 2 * static_cast<intptr_t>(xStep);
            e.phase2 = static_cast<uint8_t>(e.phase2 + Wrapped(e.pixelStep2));
            e.phase3 = static_cast<uint8_t>(e.phase3 + Wrapped(e.pixelStep3));
        }
        e.phase0 = static_cast<uint8_t>(e.phase0 + Wrapped(e.rowStep0));
        e.phase1 = static_cast<uint8_t>(e.phase1 + Wrapped(e.rowStep1));
    }
    counter = (counter + 1) % 1024;
    e.pixelStep2 = counter;
    e.rowStep0 = counter;
    e.base0 = static_cast<uint8_t>(e.base0 + Wrapped(e.frameStep0));
    e.base1 = static_cast<uint8_t>(e.base1 + Wrapped(e.frameStep1));
    e.base2 = static_cast<uint8_t>(e.base2 + Wrapped(e.frameStep2));
    e.base3 = static_cast<uint8_t>(e.base3 + Wrapped(e.frameStep3));
}
