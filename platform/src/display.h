#pragma once
// The emulated display behind GX: its memory, its geometry as held, and the
// frames published on a DRAM-buffer device.

#include <string>

#include <windows.h>

#include "platform/device.h"

namespace platform {

// From device::Init, before any program thread exists. Throws
// std::runtime_error when display memory or the screen's buffer cannot be had.
void InitDisplay(const device::Config& config);
std::string DisplayTraceSummary();

// The display as the program gets it, in its pixels: what a window of
// default size covers.
int32_t DisplayWidth();
int32_t DisplayHeight();
// A point on the screen as held (panel pixels) on the program's display.
POINT ScreenToDisplay(int32_t x, int32_t y);

}  // namespace platform
