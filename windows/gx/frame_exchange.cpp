#include "windows/gx/frame_exchange.h"

#include <cstring>

#include <windows.h>

namespace {
constexpr uint32_t kIndex = 3;
constexpr uint32_t kFresh = 16;

uint32_t LatestOf(uint32_t state) {
    return state & kIndex;
}
uint32_t ReaderOf(uint32_t state) {
    return (state >> 2) & kIndex;
}
uint32_t WriterOf(uint32_t state) {
    return 3 - LatestOf(state) - ReaderOf(state);
}
uint32_t State(uint32_t latest, uint32_t reader, bool fresh) {
    return latest | reader << 2 | (fresh ? kFresh : 0);
}
}  // namespace

bool FrameExchange::Init(size_t bytes) {
    bytes_ = bytes;
    // Committed pages are zero: the screen is black until the first frame.
    void* memory = VirtualAlloc(nullptr, 3 * bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (memory == nullptr) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        buffers_[i] = static_cast<uint8_t*>(memory) + i * bytes;
    }
    state_.store(State(0, 1, false));
    return true;
}

void FrameExchange::Publish(const uint8_t* frame) {
    // Only the writer changes which buffer is the writer's, so it stays put
    // while the reader swaps the other two.
    uint32_t state = state_.load(std::memory_order_acquire);
    const uint32_t mine = WriterOf(state);
    std::memcpy(buffers_[mine], frame, bytes_);
    numbers_[mine] = ++published_;
    while (!state_.compare_exchange_weak(state, State(mine, ReaderOf(state), true),
                                         std::memory_order_acq_rel, std::memory_order_acquire)) {
    }
}

const uint8_t* FrameExchange::Latest(uint64_t* number) {
    uint32_t state = state_.load(std::memory_order_acquire);
    while ((state & kFresh) != 0 &&
           !state_.compare_exchange_weak(state, State(ReaderOf(state), LatestOf(state), false),
                                         std::memory_order_acq_rel, std::memory_order_acquire)) {
    }
    const uint32_t reader = (state & kFresh) != 0 ? LatestOf(state) : ReaderOf(state);
    *number = numbers_[reader];
    return buffers_[reader];
}
