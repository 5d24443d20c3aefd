#pragma once

#include <cstdint>

// Where the device's screen sits in a window: an integer number of window
// pixels per device pixel, centred, with black bars around it.
struct ScreenPlacement {
    int32_t scale;
    int32_t left;  // window position of the screen's top-left corner
    int32_t top;
};

// The largest scale a window front-end picks by itself, where the user gave
// none (plasma-demo's --scale, gx.dll's PLASMA_GX_SCALE).
constexpr int32_t kMaxDefaultScale = 3;

// The largest scale from 1 to maxScale at which a screen fits in the given
// area; 1 when none does.
int32_t LargestFittingScale(int32_t areaWidth, int32_t areaHeight, int32_t screenWidth,
                            int32_t screenHeight, int32_t maxScale);

// The screen placed in a window of the given size: as large as fits, never
// below 1 (a smaller window shows the screen's middle).
ScreenPlacement PlaceScreen(int32_t windowWidth, int32_t windowHeight, int32_t screenWidth,
                            int32_t screenHeight);

// The device pixel under a window position; false in the bars around it.
bool WindowToScreen(const ScreenPlacement& placement, int32_t screenWidth, int32_t screenHeight,
                    int32_t windowX, int32_t windowY, int32_t* x, int32_t* y);

// Like WindowToScreen, but pulled onto the nearest screen pixel: a stylus
// dragged off the screen stays on its edge.
void WindowToScreenClamped(const ScreenPlacement& placement, int32_t screenWidth,
                           int32_t screenHeight, int32_t windowX, int32_t windowY, int32_t* x,
                           int32_t* y);
