#pragma once
// gx.dll's process-wide state: the settings, the emulated display and the
// frames published on a DRAM-buffer display.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "device_core/display_layout.h"
#include "device_core/frame_pacer.h"
#include "windows/gx/frame_exchange.h"
#include "windows/gx/settings.h"

struct GxState {
    // Written once by the first GX call, before `ready`; read-only afterwards.
    GxSettings settings;
    device::DisplayModel model;  // the display the program gets, and the screen
    uint8_t* memory = nullptr;   // the display's rows, top to bottom
    DWORD programThread = 0;     // the thread that made the first GX call
    ULONGLONG startTick = 0;     // when the process loaded gx.dll
    std::atomic<bool> ready{false};

    std::atomic<bool> opened{false};
    FrameExchange frames;  // DRAM-buffer displays only
    // The drawing thread's alone: GXEndDraw holds it to the device's pace.
    device::FramePacer pacer;
    std::atomic<uint64_t> refreshes{0};
};

GxState& Gx();

// Sets everything up on the first GX call of the process, from whichever
// call comes first. A bad setting ends the process with status 2 after one
// line on stderr.
void EnsureStarted();

// The screen as the user holds it (device::ScanOut): display memory as it
// is, or the latest published frame on a DRAM-buffer display. `published` is that frame's number (0
// for none or no DRAM buffer).
void CopyScreen(uint16_t* pixels, uint64_t* published);

// Text of the platform's wide strings, as UTF-8.
std::string Utf8(const std::wstring& text);

// The system's own words for an error code, else the code.
std::string DescribeError(DWORD code);

// One line on the process's standard error, if it has one.
void WriteErrorLine(const std::string& line);
