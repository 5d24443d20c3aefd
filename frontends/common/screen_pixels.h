#pragma once

#include <cstddef>
#include <cstdint>

// Widens a screen of 565 pixels (width*height, rows top to bottom) into rows
// of 0x00RRGGBB words, `pitch` bytes apart, each channel by repeating its top
// bits: displays widen by shifting, which leaves white a shade of grey.
void WidenToXrgb(const uint16_t* pixels, int32_t width, int32_t height, void* rows, size_t pitch);
