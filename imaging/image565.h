#pragma once

#include <cstdint>
#include <vector>

#include "effect/colour.h"

// A frame as drawn: width*height pixels, rows top to bottom.
struct Image565 {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Pixel565> pixels;
};

struct Rgb8 {
    uint8_t red, green, blue;
};

// Widens each channel by repeating its top bits, so that 0 stays 0 and the
// largest value becomes 255.
constexpr Rgb8 Widen565(Pixel565 pixel) {
    const uint32_t r5 = (pixel >> 11) & 0x1F;
    const uint32_t g6 = (pixel >> 5) & 0x3F;
    const uint32_t b5 = pixel & 0x1F;
    return {static_cast<uint8_t>(r5 << 3 | r5 >> 2), static_cast<uint8_t>(g6 << 2 | g6 >> 4),
            static_cast<uint8_t>(b5 << 3 | b5 >> 2)};
}
