#include "device_core/scan_out.h"

namespace device {

// Racing the program's drawing is the point, so ThreadSanitizer is told not
// to look, and the reads are volatile so that none is merged or repeated.
__attribute__((no_sanitize("thread"), noinline)) void ScanOut(const uint8_t* memory,
                                                              const DisplayModel& model,
                                                              uint16_t* pixels) {
    const volatile uint8_t* bytes = memory;
    const int32_t scale = model.scale;
    for (int32_t y = 0; y < model.screenHeight; ++y) {
        for (int32_t x = 0; x < model.screenWidth; ++x) {
            const ptrdiff_t at = PixelOffset(model.layout, x / scale, y / scale);
            *pixels++ = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        }
    }
}

}  // namespace device
