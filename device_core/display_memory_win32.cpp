#include "device_core/display_memory.h"

#include <windows.h>

#include <cerrno>

namespace device {

uint8_t* AllocateDisplayMemory(size_t bytes, FlushEnd flush) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    const size_t usable = (bytes + page - 1) / page * page;
    uint8_t* region =
        static_cast<uint8_t*>(VirtualAlloc(nullptr, usable + 2 * page, MEM_RESERVE, PAGE_NOACCESS));
    if (region == nullptr) {
        errno = ENOMEM;
        return nullptr;
    }
    uint8_t* first = region + page;
    if (VirtualAlloc(first, usable, MEM_COMMIT, PAGE_READWRITE) == nullptr) {
        VirtualFree(region, 0, MEM_RELEASE);
        errno = ENOMEM;
        return nullptr;
    }
    return flush == FlushEnd::kStart ? first : first + usable - bytes;
}

}  // namespace device
