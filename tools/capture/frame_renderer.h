#pragma once

#include <cstdint>

#include "effect/plasma_effect.h"
#include "imaging/image565.h"

// Runs the animation from a fresh start into memory. Owns the process-wide
// drawing surface while it exists, so only one may exist at a time.
class FrameRenderer {
public:
    FrameRenderer(int32_t width, int32_t height);
    ~FrameRenderer();
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    // The pixels of frame `frame`: 1 is the frame Init draws, n the one the
    // (n-1)th RenderFrame after it draws. Frames only go forward.
    const Image565& Render(int32_t frame);

private:
    Image565 image_;
    PlasmaEffect effect_;
    int32_t current_ = 1;  // the frame image_ holds
};
