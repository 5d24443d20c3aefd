#pragma once
// Option values both programs take, each parsed one way. The checked forms
// throw UsageError with a one-line message that starts with the option's name
// and says what it accepts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Plain decimal digits only (no sign, no spaces) with a value from low to high.
std::optional<int64_t> ParseWholeNumber(std::string_view text, int64_t low, int64_t high);

struct Size {
    int32_t width;
    int32_t height;
};

// "WxH" (or "WXH"), each side from 1 to maxSide.
std::optional<Size> ParseSize(std::string_view text, int32_t maxSide);

// "from 1 to 8": how the limits read in messages and help.
std::string FromTo(int64_t low, int64_t high);

int64_t WholeNumber(const std::string& option, const std::string& text, int64_t low, int64_t high);
int64_t Milliseconds(const std::string& option, const std::string& text, int64_t max);
// `example` is a good value shown in the message, e.g. "240x320".
Size SizeValue(const std::string& option, const std::string& text, int32_t maxSide,
               const char* example);
// A list such as "1-128" or "7,3,10-20": numbers and inclusive ranges A-B
// from 1 to max. Returns them ascending, each once.
std::vector<int32_t> NumberList(const std::string& option, const std::string& text, int32_t max);

}  // namespace cli
