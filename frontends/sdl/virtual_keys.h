#pragma once

#include <SDL_keyboard.h>
#include <windows.h>

// The device's virtual-key code for a host key, or 0 for a key the device
// does not have. Letters follow the host's layout (by their place where the
// layout's letters are not Latin); the digit row always gives digits.
UINT VirtualKeyFor(SDL_Keycode key, SDL_Scancode position);
