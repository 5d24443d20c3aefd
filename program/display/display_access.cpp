#include "display/display_access.h"

#include <cstddef>

#include "display/draw_surface.h"

GXDisplayProperties gDisplayProperties;

namespace {
// The top rows belong to the handheld's own title bar; the plasma starts
// below them and leaves the last row alone.
constexpr ptrdiff_t kSkippedTopRows = 24;
constexpr int32_t kUndrawnRows = 25;
constexpr DWORD kMaxWidth = 640;
constexpr DWORD kMaxHeight = 320;
}  // namespace

int OpenDisplay() {
    if (GXOpenDisplay(nullptr, 0) == 0) {
        return 0;
    }
    gDisplayProperties = GXGetDisplayProperties();
    // This first GXBeginDraw is never matched by GXEndDraw: its address is
    // used for the rest of the run.
    uint8_t* memory = static_cast<uint8_t*>(GXBeginDraw());
    if (memory == nullptr) {
        return 0;
    }
    DrawSurface& surface = gDrawSurface;
    surface.origin = memory + kSkippedTopRows * gDisplayProperties.cbyPitch;
    surface.xPitch = gDisplayProperties.cbxPitch;
    surface.yPitch = gDisplayProperties.cbyPitch;
    surface.width = static_cast<int32_t>(
        gDisplayProperties.cxWidth > kMaxWidth ? kMaxWidth : gDisplayProperties.cxWidth);
    surface.height = static_cast<int32_t>(
        gDisplayProperties.cyHeight > kMaxHeight ? kMaxHeight : gDisplayProperties.cyHeight);
    surface.renderHeight = surface.height - kUndrawnRows;
    return 1;
}
