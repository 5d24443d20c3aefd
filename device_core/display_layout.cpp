#include "device_core/display_layout.h"

namespace device {

DisplayLayout LayoutFor(int32_t panelWidth, int32_t panelHeight, int rotation) {
    const int32_t pixel = 2;
    const int32_t row = pixel * panelWidth;
    DisplayLayout l;
    l.landscape = rotation == 90 || rotation == 270;
    l.width = l.landscape ? panelHeight : panelWidth;
    l.height = l.landscape ? panelWidth : panelHeight;
    switch (rotation) {
        case 90:  // top-left as held is the panel's bottom-left
            l.xPitch = -row;
            l.yPitch = pixel;
            l.originOffset = static_cast<ptrdiff_t>(panelHeight - 1) * row;
            break;
        case 180:  // the panel's last pixel
            l.xPitch = -pixel;
            l.yPitch = -row;
            l.originOffset = static_cast<ptrdiff_t>(panelHeight) * row - pixel;
            break;
        case 270:  // the panel's top-right
            l.xPitch = row;
            l.yPitch = -pixel;
            l.originOffset = static_cast<ptrdiff_t>(panelWidth - 1) * pixel;
            break;
        default:
            l.xPitch = pixel;
            l.yPitch = row;
            l.originOffset = 0;
            break;
    }
    return l;
}

DisplayModel ModelFor(const Config& config) {
    DisplayModel m;
    // Display memory holds the program's display; the panel only shows it,
    // each of its pixels as a scale x scale block.
    m.scale = config.displayScale;
    const int32_t width = config.panelWidth / m.scale;
    const int32_t height = config.panelHeight / m.scale;
    m.layout = LayoutFor(width, height, config.rotation);
    m.bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 2;
    // Held at 90 or 180 degrees, rows as the user sees them run toward the
    // panel's first byte, so a row drawn one pixel too long lands before it.
    m.flush = config.rotation == 90 || config.rotation == 180 ? FlushEnd::kStart : FlushEnd::kEnd;
    m.screenWidth = m.layout.width * m.scale;
    m.screenHeight = m.layout.height * m.scale;
    return m;
}

}  // namespace device
