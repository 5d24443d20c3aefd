#include "tests/support/png_image.h"

#include <png.h>

#include <cstdio>

bool ReadPng(const std::string& path, RgbImage* image, std::string* error) {
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        *error = path + ": " + png.message;
        return false;
    }
    if (png.format != PNG_FORMAT_RGB) {
        *error = path + ": not 8-bit RGB";
        png_image_free(&png);
        return false;
    }
    image->width = static_cast<int32_t>(png.width);
    image->height = static_cast<int32_t>(png.height);
    image->rgb.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image->rgb.data(), 0, nullptr)) {
        *error = path + ": " + png.message;
        return false;
    }
    return true;
}
