#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One image of an icon file, as 0xAARRGGBB pixels, rows top to bottom.
struct IconImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> argb;
};

// Decodes the image `wantedSize` pixels a side from an icon file (the largest
// when there is none that size). Handles bitmap images of 1, 4, 8, 24 and 32
// bits a pixel with their transparency mask; false for anything else or a
// damaged file.
bool DecodeIcon(const uint8_t* bytes, size_t size, int32_t wantedSize, IconImage* image);
