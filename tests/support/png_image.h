#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGB image read back from a PNG file.
struct RgbImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, rows top to bottom

    bool operator==(const RgbImage& other) const {
        return width == other.width && height == other.height && rgb == other.rgb;
    }
    uint32_t At(int32_t x, int32_t y) const {
        const size_t i = 3 * (static_cast<size_t>(y) * width + x);
        return uint32_t{rgb[i]} << 16 | uint32_t{rgb[i + 1]} << 8 | rgb[i + 2];
    }
};

// Reads an 8-bit RGB PNG; throws std::runtime_error, naming the file and what
// is wrong with it, for anything else.
RgbImage ReadPng(const std::string& path);
