#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Far beyond the animation's 1024-frame period, yet quick to reach.
constexpr int32_t kMaxFrame = 1000000;

// Parses a --frames list such as "1-128" or "7,3,10-20": frame numbers and
// inclusive ranges A-B from 1 to kMaxFrame. Returns the frames ascending, each
// once. Throws UsageError.
std::vector<int32_t> ParseFrameList(const std::string& text);
