#pragma once

#include <cstdint>
#include <string>

struct Rgb8 {
    uint8_t red, green, blue;
};

// Widens a 565 pixel to 8 bits a channel by bit replication, so that full
// intensity stays full (31 -> 255) and black stays black.
constexpr Rgb8 Widen565(uint16_t pixel) {
    const unsigned r5 = pixel >> 11, g6 = (pixel >> 5) & 0x3F, b5 = pixel & 0x1F;
    return Rgb8{static_cast<uint8_t>(r5 << 3 | r5 >> 2), static_cast<uint8_t>(g6 << 2 | g6 >> 4),
                static_cast<uint8_t>(b5 << 3 | b5 >> 2)};
}

// Writes width x height 565 pixels (rows top to bottom) as an 8-bit RGB PNG.
// The file is written under a temporary name and renamed into place, so no
// half-written image is ever left. On failure returns false and sets `error`
// to one line naming the file and the system's reason.
bool WriteRgb565Png(const std::string& path, const uint16_t* pixels, int32_t width, int32_t height,
                    std::string* error);
