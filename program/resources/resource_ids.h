#pragma once

// Icon group of the executable (32x32 and 16x16, 16 colours).
#define IDI_PLASMA 101
