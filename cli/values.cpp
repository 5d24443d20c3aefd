#include "cli/values.h"

#include <algorithm>
#include <utility>

#include "cli/usage_error.h"

namespace cli {

std::optional<int64_t> ParseWholeNumber(std::string_view text, int64_t low, int64_t high) {
    if (text.empty()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > high) {
            return std::nullopt;  // also stops before the value can overflow
        }
    }
    if (value < low) {
        return std::nullopt;
    }
    return value;
}

std::optional<Size> ParseSize(std::string_view text, int32_t maxSide) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int64_t> width = ParseWholeNumber(text.substr(0, x), 1, maxSide);
    const std::optional<int64_t> height = ParseWholeNumber(text.substr(x + 1), 1, maxSide);
    if (!width || !height) {
        return std::nullopt;
    }
    return Size{static_cast<int32_t>(*width), static_cast<int32_t>(*height)};
}

std::string FromTo(int64_t low, int64_t high) {
    return "from " + std::to_string(low) + " to " + std::to_string(high);
}

int64_t WholeNumber(const std::string& option, const std::string& text, int64_t low, int64_t high) {
    const std::optional<int64_t> value = ParseWholeNumber(text, low, high);
    if (!value) {
        throw UsageError(option + ": '" + text + "' is not a whole number " + FromTo(low, high));
    }
    return *value;
}

int64_t Milliseconds(const std::string& option, const std::string& text, int64_t max) {
    const std::optional<int64_t> value = ParseWholeNumber(text, 0, max);
    if (!value) {
        throw UsageError(option + ": '" + text + "' is not milliseconds " + FromTo(0, max));
    }
    return *value;
}

Size SizeValue(const std::string& option, const std::string& text, int32_t maxSide,
               const char* example) {
    const std::optional<Size> size = ParseSize(text, maxSide);
    if (!size) {
        throw UsageError(option + ": '" + text + "' is not WxH with W and H " + FromTo(1, maxSide) +
                         " (e.g. " + example + ")");
    }
    return *size;
}

std::vector<int32_t> NumberList(const std::string& option, const std::string& text, int32_t max) {
    const auto reject = [&](std::string_view item) {
        throw UsageError(option + ": '" + std::string(item) +
                         "' is not a frame number N or range A-B (frames " + FromTo(1, max) +
                         ", separated by commas)");
    };
    const auto number = [&](std::string_view digits, std::string_view item) {
        const std::optional<int64_t> value = ParseWholeNumber(digits, 1, max);
        if (!value) {
            reject(item);
        }
        return static_cast<int32_t>(*value);
    };
    // Ranges first, so that a list of many overlapping long ranges stays cheap.
    std::vector<std::pair<int32_t, int32_t>> ranges;
    std::string_view rest = text;
    while (true) {
        const size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        const size_t dash = item.find('-');
        if (dash == std::string_view::npos) {
            const int32_t one = number(item, item);
            ranges.emplace_back(one, one);
        } else {
            const int32_t first = number(item.substr(0, dash), item);
            const int32_t last = number(item.substr(dash + 1), item);
            if (first > last) {
                throw UsageError(option + ": range '" + std::string(item) +
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
    std::vector<int32_t> numbers;
    for (const auto& [first, last] : ranges) {
        const int32_t from = numbers.empty() ? first : std::max(first, numbers.back() + 1);
        for (int32_t n = from; n <= last; ++n) {
            numbers.push_back(n);
        }
    }
    return numbers;
}

}  // namespace cli
