#pragma once
// Emulated display memory: its last byte sits against a page that cannot be
// touched, and another such page lies before it, so a write past either end
// faults at once.

#include <cstddef>
#include <cstdint>

namespace platform {

// Never freed: the display lasts as long as the process. Null when the
// memory could not be mapped.
uint8_t* AllocateDisplayMemory(size_t bytes);

}  // namespace platform
