#pragma once

#include "imaging/image565.h"
#include "output_files/atomic_file.h"

// An 8-bit RGB PNG, each channel widened by Widen565. Throws WriteError, or
// std::runtime_error if the encoder fails.
void WritePng(const Image565& image, AtomicFile& file);
