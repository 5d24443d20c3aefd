#include <cstddef>
#include <cstring>

#include "display/draw_surface.h"
#include "effect/plasma_effect.h"

namespace {
inline void StorePixel(uint8_t* at, uint16_t pixel) {
    // Pitches may be odd, so a pixel is not always 2-byte aligned.
    std::memcpy(at, &pixel, sizeof pixel);
}
}  // namespace

// Phases 0 and 1 are constant along a row and phases 2 and 3 restart from the
// same bases on every row, so a frame is one 256-periodic index row plus one
// constant per row. The pixels are the same as summing four table values per
// pixel; display memory is only ever written.
void PlasmaEffect::RenderFrame() {
    const DrawSurface& surface = gDrawSurface;
    const ptrdiff_t xStep = surface.xPitch / 2;
    const ptrdiff_t yStep = surface.yPitch / 2;

    phase0 = base0;
    phase1 = base1;
    if (height > 0) {
        uint8_t indexRow[256];
        uint8_t p2 = base2;
        uint8_t p3 = base3;
        for (int x = 0; x < 256; ++x) {
            indexRow[x] = static_cast<uint8_t>(wave[p3] + wave[p2]);
            p2 = static_cast<uint8_t>(p2 + pixelStep2);
            p3 = static_cast<uint8_t>(p3 + pixelStep3);
        }
        uint16_t pixels[256];
        for (int i = 0; i < 256; ++i) {
            pixels[i] = static_cast<uint16_t>(palette[i]);
        }
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t rowConstant = static_cast<uint8_t>(wave[phase1] + wave[phase0]);
            uint8_t* at = surface.origin + 2 * y * yStep;
            for (int32_t x = 0; x < width; ++x) {
                StorePixel(at, pixels[static_cast<uint8_t>(indexRow[x & 255] + rowConstant)]);
                at += 2 * xStep;
            }
            phase0 = static_cast<uint8_t>(phase0 + rowStep0);
            phase1 = static_cast<uint8_t>(phase1 + rowStep1);
        }
        // Leave the working phases where a pixel-by-pixel walk would.
        const uint32_t drawn = width > 0 ? static_cast<uint32_t>(width) : 0;
        phase2 = static_cast<uint8_t>(base2 + drawn * static_cast<uint32_t>(pixelStep2));
        phase3 = static_cast<uint8_t>(base3 + drawn * static_cast<uint32_t>(pixelStep3));
    }
    AdvanceFrame();
}
