#pragma once

#include "output_files/atomic_file.h"
#include "imaging/image565.h"

// Raw little-endian 16-bit pixels, rows top to bottom, no header.
void WriteRgb565(const Image565& image, AtomicFile& file);
