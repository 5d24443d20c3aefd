#include "frontends/headless/headless_frontend.h"

#include <chrono>
#include <cstdio>

#include "platform/utf8.h"

void HeadlessFrontend::PumpInput(Clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    woken_.wait_until(lock, deadline, [this] { return wakePending_; });
    wakePending_ = false;
}

void HeadlessFrontend::Wake() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wakePending_ = true;
    }
    woken_.notify_one();
}

int HeadlessFrontend::ShowMessageBox(const device::MessageBoxRequest& request) {
    std::fprintf(stderr, "message box \"%s\": %s\n", ToUtf8(request.caption).c_str(),
                 ToUtf8(request.text).c_str());
    return IDOK;
}
