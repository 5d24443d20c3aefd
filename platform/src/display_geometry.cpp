#include "platform/src/display_geometry.h"

namespace platform {

DisplayGeometry GeometryFor(int32_t panelWidth, int32_t panelHeight, int rotation) {
    const LONG pixel = 2;
    const LONG row = pixel * panelWidth;
    DisplayGeometry g{};
    g.properties.cBPP = 16;
    g.properties.ffFormat = kfDirect | kfDirect565;
    const bool sideways = rotation == 90 || rotation == 270;
    if (sideways) {
        g.properties.ffFormat |= kfLandscape;
    }
    g.properties.cxWidth = static_cast<DWORD>(sideways ? panelHeight : panelWidth);
    g.properties.cyHeight = static_cast<DWORD>(sideways ? panelWidth : panelHeight);
    switch (rotation) {
        case 90:  // top-left as held is the panel's bottom-left
            g.properties.cbxPitch = -row;
            g.properties.cbyPitch = pixel;
            g.originOffset = static_cast<ptrdiff_t>(panelHeight - 1) * row;
            break;
        case 180:  // the panel's last pixel
            g.properties.cbxPitch = -pixel;
            g.properties.cbyPitch = -row;
            g.originOffset = static_cast<ptrdiff_t>(panelHeight) * row - pixel;
            break;
        case 270:  // the panel's top-right
            g.properties.cbxPitch = row;
            g.properties.cbyPitch = -pixel;
            g.originOffset = static_cast<ptrdiff_t>(panelWidth - 1) * pixel;
            break;
        default:
            g.properties.cbxPitch = pixel;
            g.properties.cbyPitch = row;
            g.originOffset = 0;
            break;
    }
    return g;
}

}  // namespace platform
