#pragma once
// What the panel shows: the display's memory read out as the user holds the
// device, each of the program's pixels a scale x scale block.

#include <cstdint>

#include "device_core/display_layout.h"

namespace device {

// Fills `pixels` (model.screenWidth * model.screenHeight, rows top to
// bottom) from `memory`, which the program may be drawing into as it is
// read, as on the real panel: a torn frame is what the user would see too.
void ScanOut(const uint8_t* memory, const DisplayModel& model, uint16_t* pixels);

}  // namespace device
