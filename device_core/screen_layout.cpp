#include "device_core/screen_layout.h"

#include <algorithm>

namespace {
// Division rounding toward minus infinity, so that the pixels just left of or
// above the screen map to -1 and not to 0.
int32_t FloorDiv(int32_t value, int32_t divisor) {
    const int32_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}
}  // namespace

int32_t LargestFittingScale(int32_t areaWidth, int32_t areaHeight, int32_t screenWidth,
                            int32_t screenHeight, int32_t maxScale) {
    for (int32_t scale = maxScale; scale > 1; --scale) {
        if (int64_t{screenWidth} * scale <= areaWidth &&
            int64_t{screenHeight} * scale <= areaHeight) {
            return scale;
        }
    }
    return 1;
}

ScreenPlacement PlaceScreen(int32_t windowWidth, int32_t windowHeight, int32_t screenWidth,
                            int32_t screenHeight) {
    const int32_t scale =
        std::max<int32_t>(1, std::min(windowWidth / screenWidth, windowHeight / screenHeight));
    // Halving rounds toward minus infinity too, so a too-small window is
    // cropped evenly.
    return ScreenPlacement{scale, FloorDiv(windowWidth - screenWidth * scale, 2),
                           FloorDiv(windowHeight - screenHeight * scale, 2)};
}

bool WindowToScreen(const ScreenPlacement& placement, int32_t screenWidth, int32_t screenHeight,
                    int32_t windowX, int32_t windowY, int32_t* x, int32_t* y) {
    *x = FloorDiv(windowX - placement.left, placement.scale);
    *y = FloorDiv(windowY - placement.top, placement.scale);
    return *x >= 0 && *x < screenWidth && *y >= 0 && *y < screenHeight;
}

void WindowToScreenClamped(const ScreenPlacement& placement, int32_t screenWidth,
                           int32_t screenHeight, int32_t windowX, int32_t windowY, int32_t* x,
                           int32_t* y) {
    WindowToScreen(placement, screenWidth, screenHeight, windowX, windowY, x, y);
    *x = std::clamp<int32_t>(*x, 0, screenWidth - 1);
    *y = std::clamp<int32_t>(*y, 0, screenHeight - 1);
}
