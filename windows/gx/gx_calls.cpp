// The display interface's calls. GXBeginDraw and GXEndDraw run on the
// program's drawing thread, which TerminateThread may end anywhere: they
// take no lock and allocate nothing.

#include <gx.h>

#include "gx_api/gx_properties.h"
#include "windows/gx/gx_state.h"

namespace {

int64_t NowNs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<int64_t>(static_cast<double>(now.QuadPart) * 1e9 /
                                static_cast<double>(frequency.QuadPart));
}

// Sleeps to the next frame's start. TerminateThread may end the thread in
// the middle: nothing is held.
void HoldToThePace(device::FramePacer& pacer) {
    if (!pacer.Paced()) {
        return;
    }
    const int64_t now = NowNs();
    const int64_t next = pacer.FrameEnded(now);
    if (next > now) {
        // Whole milliseconds, rounded up: the screen's timer runs at 1 ms.
        Sleep(static_cast<DWORD>((next - now + 999999) / 1000000));
    }
}

}  // namespace

extern "C" {

int GXOpenDisplay(HWND /*window*/, DWORD /*flags*/) {
    EnsureStarted();
    GxState& gx = Gx();
    if (gx.settings.launch.device.failure == device::DisplayFailure::kOpen) {
        return 0;
    }
    gx.opened.store(true);
    return 1;
}

int GXCloseDisplay() {
    EnsureStarted();
    return Gx().opened.exchange(false) ? 1 : 0;
}

GXDisplayProperties GXGetDisplayProperties() {
    EnsureStarted();
    return device::PropertiesOf(Gx().model.layout);
}

void* GXBeginDraw() {
    EnsureStarted();
    GxState& gx = Gx();
    if (!gx.opened.load() || gx.settings.launch.device.failure == device::DisplayFailure::kBegin) {
        return nullptr;
    }
    return gx.memory + gx.model.layout.originOffset;
}

int GXEndDraw() {
    EnsureStarted();
    GxState& gx = Gx();
    if (!gx.opened.load()) {
        return 0;
    }
    if (gx.settings.launch.device.dramBuffer) {
        gx.frames.Publish(gx.memory);
        HoldToThePace(gx.pacer);
    }
    return 1;
}

int GXIsDisplayDRAMBuffer() {
    EnsureStarted();
    return Gx().settings.launch.device.dramBuffer ? 1 : 0;
}

// Input needs no preparing here: the screen's window hands keys to the
// program's window as they come.
int GXOpenInput() {
    EnsureStarted();
    return 1;
}

int GXCloseInput() {
    EnsureStarted();
    return 1;
}

// The screen keeps showing what was drawn while the program is in the
// background; nothing to give up or take back.
int GXSuspend() {
    EnsureStarted();
    return 1;
}

int GXResume() {
    EnsureStarted();
    return 1;
}

}  // extern "C"
