#include <cstring>

#include "effect/render_paths.h"

// Row by row, pixel by pixel, so that overlapping pixels end as the last
// write leaves them.
void DrawFrameGeneral(const PlasmaFrame& frame) {
    uint8_t xValues[256], yValues[256];
    WalkValues(frame.wave, frame.alongX, xValues);
    WalkValues(frame.wave, frame.alongY, yValues);
    uint16_t pixels[256];
    for (int i = 0; i < 256; ++i) {
        pixels[i] = static_cast<uint16_t>(frame.palette[i]);
    }
    for (int32_t y = 0; y < frame.height; ++y) {
        const uint8_t constant = yValues[y & 255];
        uint8_t* at = frame.origin + 2 * static_cast<ptrdiff_t>(y) * frame.yStep;
        for (int32_t x = 0; x < frame.width; ++x) {
            const uint16_t pixel = pixels[static_cast<uint8_t>(xValues[x & 255] + constant)];
            // Pitches may be odd, so a pixel is not always 2-byte aligned.
            std::memcpy(at, &pixel, sizeof pixel);
            at += 2 * frame.xStep;
        }
    }
}
