#include "tools/capture/progress.h"

#include <cstdio>

namespace {
constexpr std::chrono::milliseconds kQuietFor{500};
constexpr std::chrono::milliseconds kRefreshEvery{100};
}  // namespace

Progress::Progress(int32_t total, bool enabled)
    : total_(total), enabled_(enabled), start_(Clock::now()) {}

Progress::~Progress() {
    if (shown_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

void Progress::Update(int32_t done) {
    if (!enabled_) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (now - start_ < kQuietFor || (shown_ && now - lastShown_ < kRefreshEvery)) {
        return;
    }
    std::fprintf(stderr, "\rplasma-capture: frame %d of %d", static_cast<int>(done),
                 static_cast<int>(total_));
    std::fflush(stderr);
    shown_ = true;
    lastShown_ = now;
}
