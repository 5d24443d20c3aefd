// What the page's own thread calls: the screen at each animation frame, the
// user's input and the dialog's answer. The program runs on while these run.
#include <emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include <pixels/pixel565.h>

#include "device_core/display_margins.h"
#include "device_core/held_input.h"
#include "frontends/canvas/canvas_frontend.h"
#include "frontends/common/device_input.h"
#include "platform/device.h"

namespace {
std::vector<uint16_t> gScreen;
std::vector<uint8_t> gRgba;
double gScannedPublished = -1;
std::string gOverrun;

// Input comes only from the page's thread.
device::HeldInput& Held() {
    static DeviceInput sink;
    static device::HeldInput held(sink);
    return held;
}
}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int plasma_screen_width() {
    return device::ScreenWidth();
}

EMSCRIPTEN_KEEPALIVE int plasma_screen_height() {
    return device::ScreenHeight();
}

// The screen as the panel shows it now, widened to RGBA bytes for the canvas;
// null before the device exists.
EMSCRIPTEN_KEEPALIVE uint8_t* plasma_scan_out() {
    const size_t count =
        static_cast<size_t>(device::ScreenWidth()) * static_cast<size_t>(device::ScreenHeight());
    if (count == 0) {
        return nullptr;
    }
    gScreen.resize(count);
    gRgba.resize(count * 4);
    // The count is that of the frame copied only when no frame was published
    // while the copy was taken.
    const uint64_t before = device::PublishedFrames();
    device::CopyScreen(gScreen.data());
    const uint64_t after = device::PublishedFrames();
    gScannedPublished = before == after ? static_cast<double>(before) : -1;
    WidenToRgba(gScreen.data(), count, gRgba.data());
    return gRgba.data();
}

// On a DRAM-buffer device, the published frame the last scan-out showed (-1
// when a frame was published during it).
EMSCRIPTEN_KEEPALIVE double plasma_scanned_published() {
    return gScannedPublished;
}

// Empty while display memory's margins are whole, else what was overrun.
EMSCRIPTEN_KEEPALIVE const char* plasma_check_margins() {
    gOverrun = device::CheckDisplayMargins();
    return gOverrun.c_str();
}

// kind: 0 down, 1 move, 2 up; screen pixels as held.
EMSCRIPTEN_KEEPALIVE void plasma_stylus(int kind, int x, int y) {
    switch (kind) {
        case 0:
            Held().StylusDown(x, y);
            break;
        case 1:
            Held().StylusMove(x, y);
            break;
        default:
            Held().StylusUp(x, y);
            break;
    }
}

EMSCRIPTEN_KEEPALIVE void plasma_key(int virtualKey, int down) {
    if (down != 0) {
        Held().KeyDown(static_cast<uint32_t>(virtualKey));
    } else {
        Held().KeyUp(static_cast<uint32_t>(virtualKey));
    }
}

// The page lost the input (focus gone, a dialog open).
EMSCRIPTEN_KEEPALIVE void plasma_release_all() {
    Held().ReleaseAll();
}

EMSCRIPTEN_KEEPALIVE void plasma_close() {
    device::CloseRequest();
}

EMSCRIPTEN_KEEPALIVE void plasma_answer_message_box(int button) {
    AnswerCanvasMessageBox(button);
}

}  // extern "C"
