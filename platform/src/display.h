#pragma once
// The emulated display behind GX: its memory, its geometry as held, and the
// frames published on a DRAM-buffer device.

#include <string>

#include "platform/device.h"

namespace platform {

// From device::Init, before any program thread exists.
void InitDisplay(const device::Config& config);
std::string DisplayTraceSummary();

}  // namespace platform
