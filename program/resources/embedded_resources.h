#pragma once

#include <cstddef>
#include <cstdint>

// The bytes of plasma.ico (icon group IDI_PLASMA), for hosts without a
// resource compiler.
extern const uint8_t kPlasmaIcon[];
extern const size_t kPlasmaIconSize;
