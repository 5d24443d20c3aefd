#pragma once

#include <cstdint>

#include "display/draw_surface.h"
#include "effect/plasma_effect.h"

// The per-pixel algorithm read as plainly as possible: four table loads per
// pixel, phases walked one pixel and one row at a time. Every renderer must
// produce exactly what this produces. It works on the effect's own fields but
// keeps its frame counter in `counter`, so that it can run beside the shipped
// renderer without the two sharing one counter.
void OracleRenderFrame(PlasmaEffect& effect, int32_t& counter, const DrawSurface& surface);
