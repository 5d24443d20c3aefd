#pragma once

#include <condition_variable>
#include <mutex>

#include "frontends/frontend.h"

// A browser page in front of the device. The page's own thread draws the
// screen at each animation frame and hands input straight to the device, so
// this front-end, on the host's thread, only waits and shows message boxes:
// as a dialog in the page, answered through AnswerCanvasMessageBox.
class CanvasFrontend : public Frontend {
public:
    CanvasFrontend();
    ~CanvasFrontend() override;
    CanvasFrontend(const CanvasFrontend&) = delete;
    CanvasFrontend& operator=(const CanvasFrontend&) = delete;

    void PumpInput(Clock::time_point deadline) override;
    void Wake() override;
    void Present() override {}
    int ShowMessageBox(const device::MessageBoxRequest& request) override;
    // Only the schedule's input and the device's wakes come this way.
    int FrameIntervalMs() const override { return 100; }

    void Answer(int button);

private:
    std::mutex mutex_;
    std::condition_variable woken_;
    bool wakePending_ = false;
    int answer_ = 0;  // 0 while the dialog is open
};

// The button the user chose in the page's dialog (IDOK, ...); from the page's
// thread. Ignored while no front-end waits for one.
void AnswerCanvasMessageBox(int button);
