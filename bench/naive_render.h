#pragma once

#include <cstdint>

#include "display/draw_surface.h"
#include "effect/plasma_effect.h"

// The per-pixel loop written out plainly, as a first attempt would be: four
// wave loads, a palette load and a 16-bit store per pixel, phases in locals,
// no tables but the effect's own. The yardstick the renderer's speed-ups are
// measured against. Advances the animation like RenderFrame, with its frame
// counter in `counter`.
void NaiveRenderFrame(PlasmaEffect& effect, int32_t& counter, const DrawSurface& surface);
