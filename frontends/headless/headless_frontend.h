#pragma once

#include <condition_variable>
#include <mutex>

#include "frontends/frontend.h"

// No window: nothing is shown, the only input is what the launcher schedules,
// and a message box is written to stderr and answered with OK at once.
class HeadlessFrontend : public Frontend {
public:
    void PumpInput(Clock::time_point deadline) override;
    void Wake() override;
    void Present() override {}
    int ShowMessageBox(const device::MessageBoxRequest& request) override;
    int FrameIntervalMs() const override { return 20; }

private:
    std::mutex mutex_;
    std::condition_variable woken_;
    bool wakePending_ = false;
};
