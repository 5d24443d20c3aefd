#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Plain decimal digits only (no sign, no spaces) with a value from 0 to max.
std::optional<int64_t> ParseDecimal(std::string_view text, int64_t max);
