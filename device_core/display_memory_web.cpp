#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device_core/display_margins.h"
#include "device_core/display_memory.h"

namespace device {
namespace {

constexpr size_t kMargin = 4096;

struct Block {
    uint8_t* below;  // kMargin bytes, then the memory, then kMargin bytes
    size_t bytes;
};
std::atomic<Block*> gBlock{nullptr};

// A pattern that changes from byte to byte, so that no run of one colour
// written over it goes unseen.
uint8_t Pattern(size_t at) {
    return static_cast<uint8_t>(0xA5 ^ (at * 29));
}

void Lay(uint8_t* margin) {
    for (size_t i = 0; i < kMargin; ++i) {
        margin[i] = Pattern(i);
    }
}

// The offset of the first changed byte, or kMargin when none is.
size_t FirstChanged(const uint8_t* margin) {
    for (size_t i = 0; i < kMargin; ++i) {
        if (margin[i] != Pattern(i)) {
            return i;
        }
    }
    return kMargin;
}

}  // namespace

// The memory lies right against both margins, whichever end the device
// flushes it to: a byte off either end is caught.
uint8_t* AllocateDisplayMemory(size_t bytes, FlushEnd) {
    uint8_t* region = static_cast<uint8_t*>(std::malloc(bytes + 2 * kMargin));
    if (region == nullptr) {
        errno = ENOMEM;
        return nullptr;
    }
    // Display memory starts black, as fresh pages do on the other hosts.
    std::memset(region + kMargin, 0, bytes);
    Lay(region);
    Lay(region + kMargin + bytes);
    gBlock.store(new Block{region, bytes});
    return region + kMargin;
}

std::string CheckDisplayMargins() {
    const Block* block = gBlock.load();
    if (block == nullptr) {
        return {};
    }
    char line[160];
    if (const size_t at = FirstChanged(block->below); at != kMargin) {
        std::snprintf(line, sizeof line,
                      "display memory overrun: a write %zu bytes before its start", kMargin - at);
        return line;
    }
    if (const size_t at = FirstChanged(block->below + kMargin + block->bytes); at != kMargin) {
        std::snprintf(line, sizeof line, "display memory overrun: a write %zu bytes past its end",
                      at + 1);
        return line;
    }
    return {};
}

uint8_t* DisplayMemoryEnd() {
    const Block* block = gBlock.load();
    return block == nullptr ? nullptr : block->below + kMargin + block->bytes;
}

}  // namespace device
