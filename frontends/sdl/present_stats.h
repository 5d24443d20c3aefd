#pragma once

#include <chrono>

// How often the window was presented and the device published a frame, for
// a line on stderr as the window closes.
class PresentStats {
public:
    PresentStats() : created_(std::chrono::steady_clock::now()) {}
    void CountPresent() { ++presents_; }
    void Print() const;

private:
    const std::chrono::steady_clock::time_point created_;
    unsigned long long presents_ = 0;
};
