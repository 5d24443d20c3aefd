#pragma once
// The emulated device's own pace: the program's frames come at the device's
// rate, not the host's. The drawing thread meets the platform once a frame
// (GXEndDraw, or the read of its running flag); there the host asks the
// pacer how long to hold it. Frames keep an absolute schedule, so sleeps
// that run long never add up to drift, and a thread that fell behind by
// more than a frame starts afresh instead of catching up in a burst.

#include <cstdint>

namespace device {

class FramePacer {
public:
    // 0 frames a second: never held.
    explicit FramePacer(int32_t framesPerSecond = 0);

    bool Paced() const { return periodNs_ != 0; }

    // A frame ends at `nowNs` (any steady clock): the time the next one may
    // start, which is `nowNs` itself when it may start at once.
    int64_t FrameEnded(int64_t nowNs);

    // Frames ended so far, and the time from the first to the last.
    uint64_t Frames() const { return frames_; }
    int64_t SpanNs() const { return frames_ > 1 ? lastNs_ - firstNs_ : 0; }

private:
    int64_t periodNs_;
    int64_t nextNs_ = 0;  // when the next frame may start
    int64_t firstNs_ = 0;
    int64_t lastNs_ = 0;
    uint64_t frames_ = 0;
};

}  // namespace device
