#include "platform/src/pacing.h"

#include <cstdio>
#include <mutex>

#include "platform/src/display_state.h"
#include "platform/src/thread_record.h"

namespace platform {

void PaceFrame() {
    DisplayState& d = Display();
    const auto now = std::chrono::steady_clock::now();
    int64_t next = 0;
    {
        const std::lock_guard<std::mutex> lock(d.pacerMutex);
        next = d.pacer.FrameEnded(now.time_since_epoch().count());
    }
    const auto deadline =
        std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(next));
    if (deadline > now) {
        WaitUntil(deadline);
    }
}

bool FrameEndsAtFlagRead() {
    const DisplayState& d = Display();
    return d.ready.load() && !d.dramBuffer && d.opened.load() && OnDrawingThread();
}

std::string PacingSummary() {
    DisplayState& d = Display();
    const std::lock_guard<std::mutex> lock(d.pacerMutex);
    char pace[32];
    if (d.framesPerSecond > 0) {
        std::snprintf(pace, sizeof pace, "%d/s", d.framesPerSecond);
    } else {
        std::snprintf(pace, sizeof pace, "max");
    }
    const uint64_t frames = d.pacer.Frames();
    const double seconds = static_cast<double>(d.pacer.SpanNs()) / 1e9;
    // Frames after the first, over the time from the first to the last.
    const double achieved = seconds > 0 ? static_cast<double>(frames - 1) / seconds : 0.0;
    char text[96];
    std::snprintf(text, sizeof text, "pace=%s frames=%llu achieved=%.1f/s", pace,
                  static_cast<unsigned long long>(frames), achieved);
    return text;
}

}  // namespace platform

namespace device {

uint64_t FramesDrawn() {
    platform::DisplayState& d = platform::Display();
    const std::lock_guard<std::mutex> lock(d.pacerMutex);
    return d.pacer.Frames();
}

}  // namespace device
