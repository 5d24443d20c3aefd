#pragma once

#include "tools/capture/atomic_file.h"
#include "tools/capture/image565.h"

// Raw little-endian 16-bit pixels, rows top to bottom, no header.
void WriteRgb565(const Image565& image, AtomicFile& file);
