// The probe on the stand-in: the host side of the device makes the input and
// answers the message box, as a front-end would.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "conformance/probe.h"
#include "platform/device.h"

namespace {

std::atomic<int> gAnswer{IDOK};

struct Wake {
    std::mutex mutex;
    std::condition_variable changed;
    bool pending = false;
};

int WINAPI ProbeEntry(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    return RunProbe(instance);
}

}  // namespace

void DriverPressKey(UINT virtualKey) {
    device::KeyDown(virtualKey);
    device::KeyUp(virtualKey);
}

// The probe's window is the main window, at the screen's top-left corner:
// its client points are screen points.
void DriverTap(HWND, int x, int y) {
    device::StylusDown(x, y);
    device::StylusUp(x, y);
}

void DriverAnswerNextMessageBox(int button) {
    gAnswer = button;
}

int main() {
    device::Init(device::Config{});
    static Wake wake;
    device::SetWakeHandler(
        [](void*) {
            {
                const std::lock_guard<std::mutex> lock(wake.mutex);
                wake.pending = true;
            }
            wake.changed.notify_one();
        },
        nullptr);
    device::StartProgram(ProbeEntry, u"", SW_SHOW);
    while (!device::ProgramEnded()) {
        device::MessageBoxRequest request;
        if (device::TakeMessageBoxRequest(&request)) {
            device::AnswerMessageBox(gAnswer);
            continue;
        }
        std::unique_lock<std::mutex> lock(wake.mutex);
        wake.changed.wait_for(lock, std::chrono::milliseconds(100), [] { return wake.pending; });
        wake.pending = false;
    }
    return device::ExitCode();
}
