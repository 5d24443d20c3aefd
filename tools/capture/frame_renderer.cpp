#include "tools/capture/frame_renderer.h"

#include <stdexcept>

#include "display/draw_surface.h"

FrameRenderer::FrameRenderer(int32_t width, int32_t height) {
    image_.width = width;
    image_.height = height;
    image_.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    gDrawSurface = DrawSurface{
        reinterpret_cast<uint8_t*>(image_.pixels.data()), 2, 2 * width, width, height, height};
    // The counter is shared by the process; start it as a fresh program does.
    PlasmaEffect::frameCounter = 1;
    effect_.Init(width, height);
}

FrameRenderer::~FrameRenderer() {
    gDrawSurface = DrawSurface{};
}

const Image565& FrameRenderer::Render(int32_t frame) {
    if (frame < current_) {
        throw std::runtime_error("frames must be rendered in ascending order");
    }
    if (frame > current_) {
        // Frames not asked for only advance the animation: with no rows the
        // renderer draws nothing but still steps every phase.
        effect_.height = 0;
        for (int32_t skipped = current_ + 1; skipped < frame; ++skipped) {
            effect_.RenderFrame();
        }
        effect_.height = image_.height;
        effect_.RenderFrame();
        current_ = frame;
    }
    return image_;
}
