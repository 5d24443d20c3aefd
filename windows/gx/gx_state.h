#pragma once
// gx.dll's process-wide state: the settings, the emulated display and the
// frames published on a DRAM-buffer display.

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "platform/src/display_geometry.h"
#include "windows/gx/frame_exchange.h"
#include "windows/gx/settings.h"

struct GxState {
    // Written once by the first GX call, before `ready`; read-only afterwards.
    GxSettings settings;
    platform::DisplayGeometry geometry{};  // the display the program gets
    int32_t scale = 1;                     // panel pixels a side for each of its pixels
    int32_t screenWidth = 0;               // the panel as held, in its own pixels
    int32_t screenHeight = 0;
    uint8_t* memory = nullptr;  // the display's rows, top to bottom
    size_t bytes = 0;
    DWORD programThread = 0;  // the thread that made the first GX call
    ULONGLONG startTick = 0;  // when the process loaded gx.dll
    std::atomic<bool> ready{false};

    std::atomic<bool> opened{false};
    FrameExchange frames;  // DRAM-buffer displays only
    std::atomic<uint64_t> refreshes{0};
};

GxState& Gx();

// Sets everything up on the first GX call of the process, from whichever
// call comes first. A bad setting ends the process with status 2 after one
// line on stderr.
void EnsureStarted();

// The screen as the user holds it, screenWidth x screenHeight 565 pixels,
// rows top to bottom, each of the display's pixels a scale x scale block:
// display memory as it is, or the latest published frame on a DRAM-buffer
// display. `published` is that frame's number (0 for none or no DRAM buffer).
void CopyScreen(uint16_t* pixels, uint64_t* published);

// One line on the process's standard error, if it has one.
void WriteErrorLine(const std::string& line);
