#include "bench/naive_render.h"

#include <cstddef>

void NaiveRenderFrame(PlasmaEffect& e, int32_t& counter, const DrawSurface& surface) {
    uint16_t* const pixels = reinterpret_cast<uint16_t*>(surface.origin);
    const ptrdiff_t xStep = surface.xPitch / 2;
    const ptrdiff_t yStep = surface.yPitch / 2;
    const int32_t* const wave = e.wave;
    const uint32_t* const palette = e.palette;
    uint8_t phase0 = e.base0;
    uint8_t phase1 = e.base1;
    uint8_t phase2 = e.phase2;
    uint8_t phase3 = e.phase3;
    for (int32_t y = 0; y < e.height; ++y) {
        uint16_t* at = pixels + y * yStep;
        phase2 = e.base2;
        phase3 = e.base3;
        for (int32_t x = 0; x < e.width; ++x) {
            const int32_t s = wave[phase3] + wave[phase2] + wave[phase1] + wave[phase0];
            *at = static_cast<uint16_t>(palette[s & 0xFF]);
            at += xStep;
            phase2 = static_cast<uint8_t>(phase2 + e.pixelStep2);
            phase3 = static_cast<uint8_t>(phase3 + e.pixelStep3);
        }
        phase0 = static_cast<uint8_t>(phase0 + e.rowStep0);
        phase1 = static_cast<uint8_t>(phase1 + e.rowStep1);
    }
    e.phase0 = phase0;
    e.phase1 = phase1;
    e.phase2 = phase2;
    e.phase3 = phase3;
    counter = (counter + 1) % 1024;
    e.pixelStep2 = counter;
    e.rowStep0 = counter;
    e.base0 = static_cast<uint8_t>(e.base0 + e.frameStep0);
    e.base1 = static_cast<uint8_t>(e.base1 + e.frameStep1);
    e.base2 = static_cast<uint8_t>(e.base2 + e.frameStep2);
    e.base3 = static_cast<uint8_t>(e.base3 + e.frameStep3);
}
