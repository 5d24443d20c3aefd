#pragma once

#include <cstdint>

// Where and how much to draw. Start-up fills the one process-wide instance
// before any other thread exists; afterwards it is only read.
struct DrawSurface {
    uint8_t* origin;       // byte address of the first pixel drawn
    int32_t xPitch;        // bytes between horizontally adjacent pixels
    int32_t yPitch;        // bytes between vertically adjacent pixels
    int32_t width;         // pixels drawn per row
    int32_t height;        // clamped display height (sizes the window)
    int32_t renderHeight;  // rows drawn
};

extern DrawSurface gDrawSurface;
