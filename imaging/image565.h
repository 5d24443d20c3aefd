#pragma once

#include <cstdint>
#include <vector>

#include <pixels/pixel565.h>

// A frame as drawn: width*height pixels, rows top to bottom.
struct Image565 {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Pixel565> pixels;
};
