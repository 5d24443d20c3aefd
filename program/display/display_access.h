#pragma once

#include <gx.h>

// The display's geometry as the display interface reports it; copied once at
// start-up. Only width, height and the two pitches are used: the display is
// always written with 16-bit pixels.
extern GXDisplayProperties gDisplayProperties;

// Opens the display for direct access and fills gDrawSurface.
// Returns 1 on success and 0 when the display cannot be opened or its memory
// cannot be reached. Nothing opened here is ever closed: the display belongs
// to the program until the process ends.
int OpenDisplay();
