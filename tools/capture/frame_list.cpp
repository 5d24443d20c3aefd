#include "tools/capture/frame_list.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "tools/capture/number.h"
#include "tools/capture/usage_error.h"

namespace {
[[noreturn]] void Reject(std::string_view item) {
    throw UsageError("--frames: '" + std::string(item) +
                     "' is not a frame number N or range A-B (frames 1 to " +
                     std::to_string(kMaxFrame) + ", separated by commas)");
}

int32_t ParseFrame(std::string_view text, std::string_view item) {
    const std::optional<int64_t> value = ParseDecimal(text, kMaxFrame);
    if (!value || *value < 1) {
        Reject(item);
    }
    return static_cast<int32_t>(*value);
}
}  // namespace

std::vector<int32_t> ParseFrameList(const std::string& text) {
    // Ranges first, so that a list of many overlapping long ranges stays cheap.
    std::vector<std::pair<int32_t, int32_t>> ranges;
    std::string_view rest = text;
    while (true) {
        const size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        const size_t dash = item.find('-');
        if (dash == std::string_view::npos) {
            const int32_t frame = ParseFrame(item, item);
            ranges.emplace_back(frame, frame);
        } else {
            const int32_t first = ParseFrame(item.substr(0, dash), item);
            const int32_t last = ParseFrame(item.substr(dash + 1), item);
            if (first > last) {
                throw UsageError("--frames: range '" + std::string(item) +
                                 "' runs backwards; write it as " + std::to_string(last) + "-" +
                                 std::to_string(first));
            }
            ranges.emplace_back(first, last);
        }
        if (comma == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(comma + 1);
    }
    std::sort(ranges.begin(), ranges.end());
    std::vector<int32_t> frames;
    for (const auto& [first, last] : ranges) {
        const int32_t from = frames.empty() ? first : std::max(first, frames.back() + 1);
        for (int32_t frame = from; frame <= last; ++frame) {
            frames.push_back(frame);
        }
    }
    return frames;
}
