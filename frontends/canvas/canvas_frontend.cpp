#include "frontends/canvas/canvas_frontend.h"

#include <emscripten.h>

#include <atomic>

namespace {
std::atomic<CanvasFrontend*> gFrontend{nullptr};
}  // namespace

CanvasFrontend::CanvasFrontend() {
    gFrontend.store(this);
}

CanvasFrontend::~CanvasFrontend() {
    gFrontend.store(nullptr);
}

void CanvasFrontend::PumpInput(Clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    woken_.wait_until(lock, deadline, [this] { return wakePending_; });
    wakePending_ = false;
}

void CanvasFrontend::Wake() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wakePending_ = true;
    }
    woken_.notify_one();
}

int CanvasFrontend::ShowMessageBox(const device::MessageBoxRequest& request) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answer_ = 0;
    }
    // The page opens its dialog and returns at once; the answer comes later,
    // from the page's thread.
    MAIN_THREAD_EM_ASM(
        { Module.plasmaPage.showMessageBox(UTF16ToString($0), UTF16ToString($1), $2); },
        request.caption.c_str(), request.text.c_str(), request.type);
    std::unique_lock<std::mutex> lock(mutex_);
    woken_.wait(lock, [this] { return answer_ != 0; });
    return answer_;
}

void CanvasFrontend::Answer(int button) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answer_ = button;
    }
    woken_.notify_all();
}

void AnswerCanvasMessageBox(int button) {
    if (CanvasFrontend* frontend = gFrontend.load()) {
        frontend->Answer(button);
    }
}
