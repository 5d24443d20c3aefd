#pragma once
// How the screen as the user holds it lies in the panel's display memory.

#include <cstddef>
#include <cstdint>

#include <gx.h>

namespace platform {

struct DisplayGeometry {
    GXDisplayProperties properties;
    ptrdiff_t originOffset;  // byte offset of the logical top-left pixel
};

// `rotation` is the clockwise turn from the panel's own orientation to the
// way it is held: 0, 90, 180 or 270.
DisplayGeometry GeometryFor(int32_t panelWidth, int32_t panelHeight, int rotation);

// Byte offset of logical pixel (x, y) in display memory.
inline ptrdiff_t PixelOffset(const DisplayGeometry& geometry, int32_t x, int32_t y) {
    return geometry.originOffset + static_cast<ptrdiff_t>(x) * geometry.properties.cbxPitch +
           static_cast<ptrdiff_t>(y) * geometry.properties.cbyPitch;
}

}  // namespace platform
