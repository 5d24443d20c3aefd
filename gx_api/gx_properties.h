#pragma once
// The display's layout as GX reports it. For the hosts that implement GX
// (the stand-in, gx.dll): each brings its own <gx.h> and <windows.h>.

#include <gx.h>

#include "device_core/display_layout.h"

namespace device {

// 16-bit 5-6-5 pixels with direct access, as the layout lies.
inline GXDisplayProperties PropertiesOf(const DisplayLayout& layout) {
    GXDisplayProperties p{};
    p.cxWidth = static_cast<DWORD>(layout.width);
    p.cyHeight = static_cast<DWORD>(layout.height);
    p.cbxPitch = layout.xPitch;
    p.cbyPitch = layout.yPitch;
    p.cBPP = 16;
    p.ffFormat = kfDirect | kfDirect565 | (layout.landscape ? kfLandscape : 0);
    return p;
}

}  // namespace device
