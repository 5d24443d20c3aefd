#include "frontends/sdl/present_stats.h"

#include <cstdio>

#include "platform/device.h"

void PresentStats::Print() const {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - created_).count();
    const unsigned long long frames = device::FramesDrawn();
    std::fprintf(stderr,
                 "plasma-demo: %.2f s, %llu refreshes (%.1f/s), %llu program frames (%.1f/s)\n",
                 seconds, presents_, presents_ / seconds, frames, frames / seconds);
}
