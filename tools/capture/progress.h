#pragma once

#include <chrono>
#include <cstdint>

// "frame k of n" on stderr, overwritten in place, once the work has taken
// more than a moment; cleared when done. Only for a terminal.
class Progress {
public:
    Progress(int32_t total, bool enabled);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void Update(int32_t done);

private:
    using Clock = std::chrono::steady_clock;

    int32_t total_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_;
    Clock::time_point lastShown_;
};
