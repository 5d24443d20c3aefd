#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "display/draw_surface.h"

// A block of bytes that holds a drawing area of any size and layout, with a
// margin of sentinel bytes around it, so that a stray write shows up.
class Canvas {
public:
    static constexpr uint8_t kSentinel = 0xA5;

    Canvas(int32_t width, int32_t height, int32_t xPitch, int32_t yPitch, int32_t margin = 64)
        : width_(width), height_(height), xPitch_(xPitch), yPitch_(yPitch) {
        const int64_t xs = xPitch / 2, ys = yPitch / 2;
        int64_t lo = 0, hi = 0;
        for (int64_t x : {int64_t{0}, int64_t{width > 0 ? width - 1 : 0}}) {
            for (int64_t y : {int64_t{0}, int64_t{height > 0 ? height - 1 : 0}}) {
                const int64_t offset = 2 * (x * xs + y * ys);
                lo = offset < lo ? offset : lo;
                hi = offset > hi ? offset : hi;
            }
        }
        bytes_.assign(static_cast<size_t>(hi - lo + 2 + 2 * margin), kSentinel);
        originOffset_ = static_cast<size_t>(margin - lo);
    }

    // A surface whose drawn area is this canvas.
    DrawSurface Surface() {
        return DrawSurface{
            bytes_.data() + originOffset_, xPitch_, yPitch_, width_, height_, height_};
    }
    void Install() { gDrawSurface = Surface(); }

    // The pixel drawn at column x of row y, following the pitches.
    uint16_t At(int32_t x, int32_t y) const {
        uint16_t pixel;
        std::memcpy(&pixel,
                    bytes_.data() + originOffset_ +
                        2 * (int64_t{x} * (xPitch_ / 2) + int64_t{y} * (yPitch_ / 2)),
                    sizeof pixel);
        return pixel;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    void Clear() { std::fill(bytes_.begin(), bytes_.end(), kSentinel); }
    bool Untouched() const {
        for (uint8_t b : bytes_) {
            if (b != kSentinel)
                return false;
        }
        return true;
    }

private:
    int32_t width_, height_, xPitch_, yPitch_;
    std::vector<uint8_t> bytes_;
    size_t originOffset_ = 0;
};
