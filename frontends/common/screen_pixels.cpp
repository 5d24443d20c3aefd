#include "frontends/common/screen_pixels.h"

#include "imaging/image565.h"

void WidenToXrgb(const uint16_t* pixels, int32_t width, int32_t height, void* rows, size_t pitch) {
    for (int32_t y = 0; y < height; ++y) {
        const uint16_t* from = pixels + static_cast<size_t>(y) * width;
        uint32_t* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(rows) +
                                                   static_cast<size_t>(y) * pitch);
        for (int32_t x = 0; x < width; ++x) {
            const Rgb8 rgb = Widen565(from[x]);
            to[x] = uint32_t{rgb.red} << 16 | uint32_t{rgb.green} << 8 | rgb.blue;
        }
    }
}
