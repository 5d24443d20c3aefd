#include "platform/src/display.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/src/display_geometry.h"
#include "platform/src/display_memory.h"
#include "platform/src/display_state.h"
#include "platform/src/fatal.h"
#include "platform/src/termination.h"

namespace platform {

DisplayState& Display() {
    static DisplayState* state = new DisplayState;
    return *state;
}

void InitDisplay(const device::Config& config) {
    DisplayState& d = Display();
    // Display memory holds the program's display; the panel only shows it.
    d.scale = config.displayScale;
    const int32_t width = config.panelWidth / d.scale;
    const int32_t height = config.panelHeight / d.scale;
    d.bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 2;
    // Held at 90 or 180 degrees, rows as the user sees them run toward the
    // panel's first byte, so a row drawn one pixel too long lands before it.
    const bool towardStart = config.rotation == 90 || config.rotation == 180;
    d.memory = AllocateDisplayMemory(d.bytes, towardStart ? FlushEnd::kStart : FlushEnd::kEnd);
    if (d.memory == nullptr) {
        char what[96];
        std::snprintf(what, sizeof what, "Init: cannot map %zu bytes of display memory", d.bytes);
        Fatal(what);
    }
    d.geometry = GeometryFor(width, height, config.rotation);
    d.dramBuffer = config.dramBuffer;
    d.failure = config.failure;
    if (d.dramBuffer) {
        d.screen.assign(d.bytes, 0);
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
    return d.ready.load() ? static_cast<int32_t>(d.geometry.properties.cxWidth) : 0;
}

int32_t DisplayHeight() {
    const DisplayState& d = Display();
    return d.ready.load() ? static_cast<int32_t>(d.geometry.properties.cyHeight) : 0;
}

POINT ScreenToDisplay(int32_t x, int32_t y) {
    const DisplayState& d = Display();
    const int32_t s = d.ready.load() ? d.scale : 1;
    // Rounds toward minus infinity, so that a point just off the screen's
    // left or top edge stays off the display's.
    const auto down = [s](int32_t v) { return v >= 0 ? v / s : -((-v + s - 1) / s); };
    return POINT{down(x), down(y)};
}

}  // namespace platform

namespace {

using platform::DisplayGeometry;

// Reads display memory while the program may be drawing into it, as the
// panel's scan-out does: a torn frame is what the user would see too.
// Each of the display's pixels covers scale x scale pixels of the screen.
__attribute__((no_sanitize("thread"), noinline)) void ScanOut(const uint8_t* memory,
                                                              const DisplayGeometry& geometry,
                                                              int32_t scale, uint16_t* pixels) {
    const volatile uint8_t* bytes = memory;
    const int32_t width = static_cast<int32_t>(geometry.properties.cxWidth) * scale;
    const int32_t height = static_cast<int32_t>(geometry.properties.cyHeight) * scale;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const ptrdiff_t at = platform::PixelOffset(geometry, x / scale, y / scale);
            *pixels++ = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        }
    }
}

void CopyFrame(const uint8_t* frame, const DisplayGeometry& geometry, int32_t scale,
               uint16_t* pixels) {
    const int32_t width = static_cast<int32_t>(geometry.properties.cxWidth) * scale;
    const int32_t height = static_cast<int32_t>(geometry.properties.cyHeight) * scale;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            std::memcpy(pixels++, frame + platform::PixelOffset(geometry, x / scale, y / scale), 2);
        }
    }
}

}  // namespace

namespace device {

int32_t ScreenWidth() {
    const platform::DisplayState& d = platform::Display();
    return platform::DisplayWidth() * d.scale;
}

int32_t ScreenHeight() {
    const platform::DisplayState& d = platform::Display();
    return platform::DisplayHeight() * d.scale;
}

void CopyScreen(uint16_t* pixels) {
    platform::DisplayState& d = platform::Display();
    if (!d.ready.load()) {
        return;
    }
    if (!d.dramBuffer) {
        ScanOut(d.memory, d.geometry, d.scale, pixels);
        return;
    }
    const platform::TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(d.mutex);
    CopyFrame(d.screen.data(), d.geometry, d.scale, pixels);
}

uint64_t PublishedFrames() {
    return platform::Display().published.load();
}

}  // namespace device
