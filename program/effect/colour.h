#pragma once

#include <cstdint>

// 0x00BBGGRR: red in bits 0-7, green 8-15, blue 16-23; the top byte is ignored.
using ColourKey = uint32_t;

// 5-6-5 pixel: red in bits 11-15, green 5-10, blue 0-4.
using Pixel565 = uint16_t;

constexpr Pixel565 PackPixel565(uint32_t red, uint32_t green, uint32_t blue) {
    return static_cast<Pixel565>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}
