#pragma once
// Emulated display memory between pages that cannot be touched, so that a
// row drawn too long faults instead of writing elsewhere. One file per host
// (display_memory_<host>.cpp), chosen by the build.

#include <cstddef>
#include <cstdint>

#include "device_core/display_layout.h"

namespace device {

// Never freed: the display lasts as long as the process. Null when the
// memory could not be had, with errno saying why.
uint8_t* AllocateDisplayMemory(size_t bytes, FlushEnd flush);

}  // namespace device
