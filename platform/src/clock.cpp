#include "platform/src/clock.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace platform {
namespace {

std::atomic<int64_t> gStartNs{0};

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t StartNs() {
    int64_t start = gStartNs.load();
    if (start == 0) {
        int64_t expected = 0;
        const int64_t now = NowNs();
        start = gStartNs.compare_exchange_strong(expected, now) ? now : expected;
    }
    return start;
}

}  // namespace

void StartClock() {
    gStartNs.store(NowNs());
}

double MillisecondsSinceStart() {
    return static_cast<double>(NowNs() - StartNs()) / 1e6;
}

// Never before the start: a reading taken just as the clock was started on
// another thread would otherwise wrap around to 49 days.
DWORD TickCount() {
    const int64_t ms = (NowNs() - StartNs()) / 1000000;
    return ms > 0 ? static_cast<DWORD>(ms) : 0;
}

}  // namespace platform
