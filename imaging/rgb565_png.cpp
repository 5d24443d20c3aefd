#include "imaging/rgb565_png.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
std::string SystemError(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

// libpng reports errors by longjmp; keep everything that needs destroying
// outside the frame that is jumped over.
bool Encode(FILE* file, const uint16_t* pixels, int32_t width, int32_t height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const Rgb8 rgb = Widen565(pixels[static_cast<size_t>(y) * width + x]);
            row[3 * x] = rgb.red;
            row[3 * x + 1] = rgb.green;
            row[3 * x + 2] = rgb.blue;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}
}  // namespace

bool WriteRgb565Png(const std::string& path, const uint16_t* pixels, int32_t width, int32_t height,
                    std::string* error) {
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        *error = SystemError(path, errno);
        return false;
    }
    const bool encoded = Encode(file, pixels, width, height);
    const int writeError = std::ferror(file) ? errno : 0;
    if (std::fclose(file) != 0 || !encoded || writeError != 0) {
        const int reason = writeError != 0 ? writeError : (errno != 0 ? errno : EIO);
        std::remove(temporary.c_str());
        *error = SystemError(path, reason);
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int reason = errno;
        std::remove(temporary.c_str());
        *error = SystemError(path, reason);
        return false;
    }
    return true;
}
