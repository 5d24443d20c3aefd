#include "tests/support/png_image.h"

#include <png.h>

#include <stdexcept>

RgbImage ReadPng(const std::string& path) {
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        throw std::runtime_error(path + ": " + png.message);
    }
    if (png.format != PNG_FORMAT_RGB) {
        png_image_free(&png);
        throw std::runtime_error(path + ": not 8-bit RGB");
    }
    RgbImage image;
    image.width = static_cast<int32_t>(png.width);
    image.height = static_cast<int32_t>(png.height);
    image.rgb.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        throw std::runtime_error(path + ": " + png.message);
    }
    return image;
}
