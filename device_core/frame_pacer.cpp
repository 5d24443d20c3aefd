#include "device_core/frame_pacer.h"

namespace device {

FramePacer::FramePacer(int32_t framesPerSecond)
    : periodNs_(framesPerSecond > 0 ? 1000000000LL / framesPerSecond : 0) {}

int64_t FramePacer::FrameEnded(int64_t nowNs) {
    if (frames_++ == 0) {
        firstNs_ = nowNs;
        nextNs_ = nowNs;
    }
    lastNs_ = nowNs;
    if (periodNs_ == 0) {
        return nowNs;
    }
    nextNs_ += periodNs_;
    if (nowNs - nextNs_ >= periodNs_) {
        // More than a frame late: the schedule starts again from now.
        nextNs_ = nowNs;
    }
    return nextNs_ > nowNs ? nextNs_ : nowNs;
}

}  // namespace device
