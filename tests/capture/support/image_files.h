#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/image565.h"
#include "tests/support/png_image.h"

struct GifFrame {
    int32_t delay;  // 1/100 s
    RgbImage image;
};

struct GifAnimation {
    int32_t width = 0;
    int32_t height = 0;
    bool loopsForever = false;  // NETSCAPE2.0 extension with a loop count of 0
    std::vector<GifFrame> frames;
};

RgbImage Widen(const Image565& image);

// Each reader throws std::runtime_error if the file is not what the tool
// promises (ReadPng, for an 8-bit RGB PNG, is in tests/support): a headerless
// raw file of exactly this size; a GIF whose every frame covers the whole
// screen, without transparency.
Image565 ReadRgb565(const std::string& path, int32_t width, int32_t height);
GifAnimation ReadGif(const std::string& path);
