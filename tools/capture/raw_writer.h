#pragma once

#include "imaging/image565.h"
#include "output_files/atomic_file.h"

// Raw little-endian 16-bit pixels, rows top to bottom, no header.
void WriteRgb565(const Image565& image, AtomicFile& file);
