#include "tools/capture/frame_renderer.h"

#include <stdexcept>

#include "display/draw_surface.h"

FrameRenderer::FrameRenderer(int32_t width, int32_t height) {
    image_.width = width;
    image_.height = height;
    image_.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    gDrawSurface = DrawSurface{
        reinterpret_cast<uint8_t*>(image_.pixels.data()), 2, 2 * width, width, height, height};
    // The frame counter is the process's, not the effect's: start it where a
    // fresh program's starts, so that each renderer shows the program's frames.
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
    // Every frame is drawn, as the program draws it; the ones not asked for
    // are drawn over.
    for (; current_ < frame; ++current_) {
        effect_.RenderFrame();
    }
    return image_;
}
