// GX.dll over the emulated display.

#include <gx.h>

#include <cstring>
#include <mutex>
#include <new>
#include <string>

#include "gx_api/gx_properties.h"
#include "platform/src/display_state.h"
#include "platform/src/memory_shortage.h"
#include "platform/src/pacing.h"
#include "platform/src/termination.h"
#include "platform/src/trace.h"

namespace {

std::string DisplayAddress(const platform::DisplayState& d, const void* address) {
    if (address == nullptr) {
        return "0";
    }
    return "display+" +
           platform::Hex(static_cast<uintptr_t>(static_cast<const uint8_t*>(address) - d.memory));
}

}  // namespace

extern "C" {

int GXOpenDisplay(HWND window, DWORD flags) try {
    const platform::TerminationDeferred deferred;
    platform::DisplayState& d = platform::Display();
    const int result = d.ready.load() && d.failure != device::DisplayFailure::kOpen ? 1 : 0;
    if (result != 0) {
        d.opened.store(true);
    }
    platform::TraceLine("GXOpenDisplay(hwnd=%s, flags=%s) = %d", platform::Hex(window).c_str(),
                        platform::Hex(flags).c_str(), result);
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXOpenDisplay");
}

GXDisplayProperties GXGetDisplayProperties() try {
    const platform::TerminationDeferred deferred;
    const platform::DisplayState& d = platform::Display();
    GXDisplayProperties p{};
    if (d.ready.load()) {
        p = device::PropertiesOf(d.model.layout);
    }
    platform::TraceLine(
        "GXGetDisplayProperties() = {cxWidth=%u, cyHeight=%u, cbxPitch=%d, cbyPitch=%d, cBPP=%d, "
        "ffFormat=%s}",
        p.cxWidth, p.cyHeight, p.cbxPitch, p.cbyPitch, p.cBPP, platform::Hex(p.ffFormat).c_str());
    return p;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXGetDisplayProperties");
}

// Only the first call and failures are listed; FinishTrace gives the counts.
void* GXBeginDraw() try {
    const platform::TerminationDeferred deferred;
    platform::DisplayState& d = platform::Display();
    void* result = nullptr;
    if (d.opened.load() && d.failure != device::DisplayFailure::kBegin) {
        result = d.memory + d.model.layout.originOffset;
    }
    if (++d.begins == 1 || result == nullptr) {
        platform::TraceLine("GXBeginDraw() = %s", DisplayAddress(d, result).c_str());
    }
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXBeginDraw");
}

int GXEndDraw() try {
    const platform::TerminationDeferred deferred;
    platform::DisplayState& d = platform::Display();
    const int result = d.opened.load() ? 1 : 0;
    if (result != 0 && d.dramBuffer) {
        const std::lock_guard<std::mutex> lock(d.mutex);
        std::memcpy(d.screen.data(), d.memory, d.model.bytes);
        ++d.published;
    }
    // Every GXEndDraw closes a frame's bracket: counted, listed only if it fails.
    ++d.ends;
    if (result == 0) {
        platform::TraceLine("GXEndDraw() = %d", result);
    } else if (d.dramBuffer) {
        platform::PaceFrame();
    }
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXEndDraw");
}

int GXIsDisplayDRAMBuffer() try {
    const platform::TerminationDeferred deferred;
    const platform::DisplayState& d = platform::Display();
    const int result = d.ready.load() && d.dramBuffer ? 1 : 0;
    platform::TraceLine("GXIsDisplayDRAMBuffer() = %d", result);
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXIsDisplayDRAMBuffer");
}

int GXCloseDisplay() try {
    const platform::TerminationDeferred deferred;
    const int result = platform::Display().opened.exchange(false) ? 1 : 0;
    platform::TraceLine("GXCloseDisplay() = %d", result);
    return result;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXCloseDisplay");
}

// Input reaches the program's window as messages whether or not it asked for
// it; suspending changes nothing on a screen that is always there.
int GXOpenInput() try {
    const platform::TerminationDeferred deferred;
    platform::TraceLine("GXOpenInput() = 1");
    return 1;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXOpenInput");
}

int GXCloseInput() try {
    const platform::TerminationDeferred deferred;
    platform::TraceLine("GXCloseInput() = 1");
    return 1;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXCloseInput");
}

int GXSuspend() try {
    const platform::TerminationDeferred deferred;
    platform::TraceLine("GXSuspend() = 1");
    return 1;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXSuspend");
}

int GXResume() try {
    const platform::TerminationDeferred deferred;
    platform::TraceLine("GXResume() = 1");
    return 1;
} catch (const std::bad_alloc&) {
    platform::OutOfMemoryIn("GXResume");
}

}  // extern "C"
