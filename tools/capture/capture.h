#pragma once

#include "tools/capture/options.h"
#include "tools/capture/progress.h"

// Renders the frames asked for, in ascending order, and writes them. Throws
// WriteError, or std::runtime_error if an encoder fails.
void Capture(const Options& options, Progress& progress);
