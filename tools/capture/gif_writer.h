#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image565.h"
#include "output_files/atomic_file.h"

struct GifFileType;

// How long frame `index` (from 0) shows, in 1/100 s: frame k starts at
// 100*k/fps rounded to the nearest hundredth, so the average rate is exact.
int32_t GifDelay(int32_t index, int32_t fps);

// A looping animated GIF with exact colours: a frame has at most 256 colours,
// so each one gets its own table entry. The first frame's colours form the
// global table; a frame with a colour outside it carries its own table.
class GifWriter {
public:
    GifWriter(AtomicFile& file, int32_t fps);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // Throws std::runtime_error for a frame of more than 256 colours.
    void Add(const Image565& frame);
    void Finish();

private:
    void Check(int result);
    void Start(const Image565& first);

    AtomicFile& file_;
    int32_t fps_;
    int32_t frames_ = 0;
    GifFileType* gif_ = nullptr;
    std::vector<int16_t> globalIndex_;  // by 565 value; -1 where absent
    std::vector<uint8_t> indices_;
};
