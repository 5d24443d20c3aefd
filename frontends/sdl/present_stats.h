#pragma once

#include <chrono>

// How often the window was refreshed and the program drew a frame, for a
// line on stderr as the window closes (PLASMA_DEMO_STATS=1).
class PresentStats {
public:
    PresentStats() : created_(std::chrono::steady_clock::now()) {}
    void CountPresent() { ++presents_; }
    void Print() const;

private:
    const std::chrono::steady_clock::time_point created_;
    unsigned long long presents_ = 0;
};
