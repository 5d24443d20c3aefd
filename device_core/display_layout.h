#pragma once
// The emulated display: how the screen as the user holds it lies in the
// panel's memory, and how large everything is.

#include <cstddef>
#include <cstdint>

#include "device_core/device_config.h"

namespace device {

// The display as the program gets it, in its own pixels.
struct DisplayLayout {
    int32_t width = 0;
    int32_t height = 0;
    int32_t xPitch = 0;          // bytes between horizontally adjacent pixels
    int32_t yPitch = 0;          // bytes between vertically adjacent pixels
    ptrdiff_t originOffset = 0;  // byte offset of the top-left pixel as held
    bool landscape = false;      // held sideways
};

// `rotation` is the clockwise turn from the panel's own orientation to the
// way it is held: 0, 90, 180 or 270.
DisplayLayout LayoutFor(int32_t panelWidth, int32_t panelHeight, int rotation);

// Byte offset of the display's pixel (x, y) in display memory.
inline ptrdiff_t PixelOffset(const DisplayLayout& layout, int32_t x, int32_t y) {
    return layout.originOffset + static_cast<ptrdiff_t>(x) * layout.xPitch +
           static_cast<ptrdiff_t>(y) * layout.yPitch;
}

// A panel is rarely a whole number of pages, so display memory can sit flush
// against the guard page at one end only: the end that drawing runs toward.
enum class FlushEnd { kStart, kEnd };

// Everything a host needs to know of a device's display.
struct DisplayModel {
    DisplayLayout layout;  // the program's display
    int32_t scale = 1;     // panel pixels a side for each of its pixels
    size_t bytes = 0;      // display memory
    FlushEnd flush = FlushEnd::kEnd;
    // The screen as the user holds it, in panel pixels.
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
};

DisplayModel ModelFor(const Config& config);

}  // namespace device
