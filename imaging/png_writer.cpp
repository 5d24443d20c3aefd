#include "imaging/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {
struct PngFailure {
    char message[256];
};

void OnPngError(png_structp png, png_const_charp message) {
    PngFailure* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void WriteToFile(png_structp png, png_bytep data, size_t size) {
    // A failed write is kept by the file and reported after encoding.
    static_cast<AtomicFile*>(png_get_io_ptr(png))->Write(data, size);
}

void Flush(png_structp) {}

// Runs under libpng's setjmp, so it holds nothing that needs destroying.
void Encode(png_structp png, png_infop info, const Image565& image, png_bytep row) {
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const Pixel565* pixel = image.pixels.data();
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const Rgb8 rgb = Widen565(*pixel++);
            row[3 * x] = rgb.red;
            row[3 * x + 1] = rgb.green;
            row[3 * x + 2] = rgb.blue;
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
}
}  // namespace

void WritePng(const Image565& image, AtomicFile& file) {
    std::vector<png_byte> row(3 * static_cast<size_t>(image.width));
    PngFailure failure{};
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("PNG encoder: out of memory");
    }
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        file.ThrowIfFailed();
        throw std::runtime_error(std::string("PNG encoder: ") + failure.message);
    }
    png_set_write_fn(png, &file, WriteToFile, Flush);
    Encode(png, info, image, row.data());
    png_destroy_write_struct(&png, &info);
    file.ThrowIfFailed();
}
