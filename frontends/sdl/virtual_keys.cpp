#include "frontends/sdl/virtual_keys.h"

UINT VirtualKeyFor(SDL_Keycode key, SDL_Scancode position) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<UINT>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<UINT>('0' + (key - SDLK_0));
    }
    switch (key) {
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_RETURN2:
            return VK_RETURN;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        default:
            break;
    }
    // The digit row gives digits whatever the layout puts on it.
    if (position >= SDL_SCANCODE_1 && position <= SDL_SCANCODE_9) {
        return static_cast<UINT>('1' + (position - SDL_SCANCODE_1));
    }
    if (position == SDL_SCANCODE_0) {
        return '0';
    }
    // A letter of a non-Latin layout counts as the Latin letter in its place.
    const bool nonLatinCharacter = key >= 0x80 && (key & SDLK_SCANCODE_MASK) == 0;
    if (nonLatinCharacter && position >= SDL_SCANCODE_A && position <= SDL_SCANCODE_Z) {
        return static_cast<UINT>('A' + (position - SDL_SCANCODE_A));
    }
    return 0;
}
