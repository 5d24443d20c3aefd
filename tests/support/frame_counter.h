#pragma once

#include <cstdint>

#include "effect/plasma_effect.h"

// Every effect of a process shares one frame counter. A test that draws from
// the animation's start puts it back there first, so that what it draws does
// not depend on the tests that ran before it.

// The counter as a fresh process has it (read before any test runs).
inline const int32_t kFreshFrameCounter = PlasmaEffect::frameCounter;

inline void ResetFrameCounter() {
    PlasmaEffect::frameCounter = kFreshFrameCounter;
}
