#pragma once
// The display's 16-bit pixel and its widening to 8 bits a channel.

#include <cstddef>
#include <cstdint>

// 5-6-5 pixel: red in bits 11-15, green 5-10, blue 0-4.
using Pixel565 = uint16_t;

// Keeps the top 5, 6 and 5 bits of 8-bit channels.
constexpr Pixel565 PackPixel565(uint32_t red, uint32_t green, uint32_t blue) {
    return static_cast<Pixel565>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

struct Rgb8 {
    uint8_t red, green, blue;
};

// Widens each channel by repeating its top bits, so that 0 stays 0 and the
// largest value becomes 255 (a plain shift would leave white a shade of grey).
constexpr Rgb8 Widen565(Pixel565 pixel) {
    const uint32_t r5 = (pixel >> 11) & 0x1F;
    const uint32_t g6 = (pixel >> 5) & 0x3F;
    const uint32_t b5 = pixel & 0x1F;
    return {static_cast<uint8_t>(r5 << 3 | r5 >> 2), static_cast<uint8_t>(g6 << 2 | g6 >> 4),
            static_cast<uint8_t>(b5 << 3 | b5 >> 2)};
}

// The same as one 0x00RRGGBB word, as desktop bitmaps take it.
constexpr uint32_t WidenToXrgb(Pixel565 pixel) {
    const Rgb8 rgb = Widen565(pixel);
    return uint32_t{rgb.red} << 16 | uint32_t{rgb.green} << 8 | rgb.blue;
}

// Widens a screen of width*height pixels, rows top to bottom, into rows of
// 0x00RRGGBB words `pitch` bytes apart.
inline void WidenToXrgb(const Pixel565* pixels, int32_t width, int32_t height, void* rows,
                        size_t pitch) {
    for (int32_t y = 0; y < height; ++y) {
        const Pixel565* from = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        uint32_t* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(rows) +
                                                   static_cast<size_t>(y) * pitch);
        for (int32_t x = 0; x < width; ++x) {
            to[x] = WidenToXrgb(from[x]);
        }
    }
}

// Widens `count` pixels into bytes red, green, blue, 255 each, as a
// browser's canvas takes them.
inline void WidenToRgba(const Pixel565* pixels, size_t count, uint8_t* rgba) {
    for (size_t i = 0; i < count; ++i) {
        const Rgb8 rgb = Widen565(pixels[i]);
        rgba[4 * i] = rgb.red;
        rgba[4 * i + 1] = rgb.green;
        rgba[4 * i + 2] = rgb.blue;
        rgba[4 * i + 3] = 255;
    }
}
