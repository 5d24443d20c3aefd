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

DWORD TickCount() {
    return static_cast<DWORD>((NowNs() - StartNs()) / 1000000);
}

}  // namespace platform
