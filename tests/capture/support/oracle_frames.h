#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image565.h"

// The frames the effect draws from a fresh start, computed by the plain
// per-pixel algorithm: frame 1 is the one Init draws. Returns one image for
// each number in `wanted` (ascending).
std::vector<Image565> OracleFrames(int32_t width, int32_t height,
                                   const std::vector<int32_t>& wanted);
