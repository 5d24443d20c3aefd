#include "display/draw_surface.h"

DrawSurface gDrawSurface;
