#pragma once
// The display's process-wide state, shared by the GX calls and the host's
// view of the screen.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "device_core/display_layout.h"
#include "device_core/frame_pacer.h"
#include "platform/device.h"

namespace platform {

struct DisplayState {
    // Set once by device::Init, before `ready`; read-only afterwards.
    uint8_t* memory = nullptr;  // the panel's rows, top to bottom
    device::DisplayModel model;
    bool dramBuffer = false;
    device::DisplayFailure failure = device::DisplayFailure::kNone;
    int32_t framesPerSecond = 0;  // 0: unpaced
    std::atomic<bool> ready{false};

    std::atomic<bool> opened{false};
    std::mutex mutex;
    std::vector<uint8_t> screen;  // the last published frame; guarded by `mutex`
    std::atomic<uint64_t> published{0};
    std::atomic<uint64_t> begins{0};
    std::atomic<uint64_t> ends{0};
    std::mutex pacerMutex;
    device::FramePacer pacer;  // guarded by `pacerMutex`
};

DisplayState& Display();

}  // namespace platform
