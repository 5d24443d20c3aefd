#pragma once

#include <cstdint>

#include <pixels/pixel565.h>

// 0x00BBGGRR: red in bits 0-7, green 8-15, blue 16-23; the top byte is ignored.
using ColourKey = uint32_t;
