#include "tools/capture/raw_writer.h"

#include <vector>

void WriteRgb565(const Image565& image, AtomicFile& file) {
    std::vector<uint8_t> row(2 * static_cast<size_t>(image.width));
    for (int32_t y = 0; y < image.height; ++y) {
        const Pixel565* pixels = image.pixels.data() + static_cast<size_t>(y) * image.width;
        for (int32_t x = 0; x < image.width; ++x) {
            row[2 * x] = static_cast<uint8_t>(pixels[x] & 0xFF);
            row[2 * x + 1] = static_cast<uint8_t>(pixels[x] >> 8);
        }
        if (!file.Write(row.data(), row.size())) {
            break;
        }
    }
    file.ThrowIfFailed();
}
