#include "platform/src/display.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "device_core/display_memory.h"
#include "device_core/scan_out.h"
#include "platform/src/display_state.h"
#include "platform/src/termination.h"

namespace platform {

DisplayState& Display() {
    static DisplayState* state = new DisplayState;
    return *state;
}

void InitDisplay(const device::Config& config) {
    DisplayState& d = Display();
    d.model = device::ModelFor(config);
    errno = 0;
    d.memory = device::AllocateDisplayMemory(d.model.bytes, d.model.flush);
    if (d.memory == nullptr) {
        const int error = errno != 0 ? errno : ENOMEM;
        throw std::runtime_error("cannot map " + std::to_string(d.model.bytes) +
                                 " bytes of display memory: " + std::strerror(error));
    }
    d.dramBuffer = config.dramBuffer;
    d.failure = config.failure;
    d.framesPerSecond = config.framesPerSecond;
    d.pacer = device::FramePacer(config.framesPerSecond);
    if (d.dramBuffer) {
        try {
            d.screen.assign(d.model.bytes, 0);
        } catch (const std::bad_alloc&) {
            throw std::runtime_error("not enough memory for the screen's buffer of " +
                                     std::to_string(d.model.bytes) + " bytes");
        }
    }
    d.ready.store(true);
}

std::string DisplayTraceSummary() {
    const DisplayState& d = Display();
    char text[160];
    std::snprintf(text, sizeof text, "GXBeginDraw=%llu GXEndDraw=%llu published=%llu",
                  static_cast<unsigned long long>(d.begins.load()),
                  static_cast<unsigned long long>(d.ends.load()),
                  static_cast<unsigned long long>(d.published.load()));
    return text;
}

int32_t DisplayWidth() {
    const DisplayState& d = Display();
    return d.ready.load() ? d.model.layout.width : 0;
}

int32_t DisplayHeight() {
    const DisplayState& d = Display();
    return d.ready.load() ? d.model.layout.height : 0;
}

POINT ScreenToDisplay(int32_t x, int32_t y) {
    const DisplayState& d = Display();
    const int32_t s = d.ready.load() ? d.model.scale : 1;
    // Rounds toward minus infinity, so that a point just off the screen's
    // left or top edge stays off the display's.
    const auto down = [s](int32_t v) { return v >= 0 ? v / s : -((-v + s - 1) / s); };
    return POINT{down(x), down(y)};
}

}  // namespace platform

namespace device {

int32_t ScreenWidth() {
    const platform::DisplayState& d = platform::Display();
    return d.ready.load() ? d.model.screenWidth : 0;
}

int32_t ScreenHeight() {
    const platform::DisplayState& d = platform::Display();
    return d.ready.load() ? d.model.screenHeight : 0;
}

void CopyScreen(uint16_t* pixels) {
    platform::DisplayState& d = platform::Display();
    if (!d.ready.load()) {
        return;
    }
    if (!d.dramBuffer) {
        device::ScanOut(d.memory, d.model, pixels);
        return;
    }
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(d.mutex);
    device::ScanOut(d.screen.data(), d.model, pixels);
}

uint64_t PublishedFrames() {
    return platform::Display().published.load();
}

}  // namespace device
