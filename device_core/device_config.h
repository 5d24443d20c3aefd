#pragma once
// What the emulated handheld is: its panel, how it is held, what its display
// gives the program. Every host builds the same device from this.

#include <cstdint>
#include <cstdio>

namespace device {

// The default pace: one frame for each refresh of the panel, so that every
// frame of the animation is seen, once.
constexpr int32_t kDefaultFramesPerSecond = 60;
// Above this a frame's budget is under a millisecond, finer than a host's
// sleep can keep.
constexpr int32_t kMaxFramesPerSecond = 1000;

enum class DisplayFailure { kNone, kOpen, kBegin };

struct Config {
    // The panel in its own orientation; display memory is its rows, top to
    // bottom, 2 bytes a pixel.
    int32_t panelWidth = 240;
    int32_t panelHeight = 320;
    // Clockwise turn from the panel's own orientation to the way the user
    // holds it: 0, 90, 180 or 270. 90 turns a 240x320 panel into a 320x240
    // screen with x pitch -480 and y pitch 2.
    int rotation = 0;
    // Panel pixels a side for each pixel of the display the program gets: 2
    // on a 480x640 panel whose system presents programs that do not declare
    // themselves high-resolution aware with a 240x320 display and scales it
    // up. The panel's sides must be multiples of it.
    int32_t displayScale = 1;
    bool dramBuffer = false;  // GXEndDraw publishes frames; the screen shows only those
    DisplayFailure failure = DisplayFailure::kNone;
    // Frames the device draws a second; 0 for as fast as the host can.
    int32_t framesPerSecond = kDefaultFramesPerSecond;
    FILE* trace = nullptr;  // one line per platform call when set
};

}  // namespace device
