#include "tools/capture/number.h"

std::optional<int64_t> ParseDecimal(std::string_view text, int64_t max) {
    if (text.empty()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > max) {
            return std::nullopt;  // also stops before the value can overflow
        }
    }
    return value;
}
