#pragma once
// Emulated display memory between pages that cannot be touched. A panel is
// rarely a whole number of pages, so only one end can sit flush against its
// guard page: the caller picks the end that drawing runs toward.

#include <cstddef>
#include <cstdint>

namespace platform {

enum class FlushEnd { kStart, kEnd };

// Never freed: the display lasts as long as the process. Null when the
// memory could not be mapped.
uint8_t* AllocateDisplayMemory(size_t bytes, FlushEnd flush);

}  // namespace platform
