#pragma once
// Finished frames handed from the drawing thread to the screen without a
// lock: TerminateThread may end the drawing thread anywhere, and nothing may
// then be left held. Three buffers: one the writer fills, one the reader
// shows, one the latest finished frame. Who owns which lives in one atomic
// word, so a thread ended between any two instructions leaves it consistent.

#include <atomic>
#include <cstddef>
#include <cstdint>

class FrameExchange {
public:
    // Before any other call; false when the memory cannot be had.
    bool Init(size_t bytes);

    // Writer (one thread at a time): copies `frame` in and makes it the
    // latest. Never waits for the reader.
    void Publish(const uint8_t* frame);

    // Reader (one thread at a time): the latest frame, all zeros before the
    // first, and how many frames had been published when it was.
    const uint8_t* Latest(uint64_t* number);

private:
    uint8_t* buffers_[3] = {};
    uint64_t numbers_[3] = {};
    size_t bytes_ = 0;
    uint64_t published_ = 0;  // the writer's own count
    // Bits 0-1: the latest frame's buffer; 2-3: the reader's; 4: the latest
    // is newer than the reader's. The writer's buffer is the third one.
    std::atomic<uint32_t> state_{0};
};
