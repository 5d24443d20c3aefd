#pragma once

#include <SDL_video.h>

#include "platform/device.h"

// Shows the program's message box over `window` and returns the button
// chosen. When SDL cannot show it, the box goes to stderr and counts as OK.
int ShowSdlMessageBox(SDL_Window* window, const device::MessageBoxRequest& request);
