#include "device_core/display_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

namespace device {

uint8_t* AllocateDisplayMemory(size_t bytes, FlushEnd flush) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t usable = (bytes + page - 1) / page * page;
    void* region = mmap(nullptr, usable + 2 * page, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region == MAP_FAILED) {
        return nullptr;
    }
    uint8_t* first = static_cast<uint8_t*>(region) + page;
    if (mprotect(first, usable, PROT_READ | PROT_WRITE) != 0) {
        const int error = errno;  // the reason, not munmap's
        munmap(region, usable + 2 * page);
        errno = error;
        return nullptr;
    }
    return flush == FlushEnd::kStart ? first : first + usable - bytes;
}

}  // namespace device
