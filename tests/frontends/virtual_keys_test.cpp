#include <gtest/gtest.h>

#include "frontends/sdl/virtual_keys.h"

namespace {

struct KeyCase {
    const char* what;
    SDL_Keycode key;
    SDL_Scancode position;
    UINT expected;
};

TEST(VirtualKeyFor, GivesThePlatformsCodes) {
    const KeyCase cases[] = {
        {"a", SDLK_a, SDL_SCANCODE_A, 'A'},
        {"z", SDLK_z, SDL_SCANCODE_Z, 'Z'},
        {"0", SDLK_0, SDL_SCANCODE_0, '0'},
        {"5", SDLK_5, SDL_SCANCODE_5, '5'},
        {"9", SDLK_9, SDL_SCANCODE_9, '9'},
        {"left", SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT},
        {"up", SDLK_UP, SDL_SCANCODE_UP, VK_UP},
        {"right", SDLK_RIGHT, SDL_SCANCODE_RIGHT, VK_RIGHT},
        {"down", SDLK_DOWN, SDL_SCANCODE_DOWN, VK_DOWN},
        {"return", SDLK_RETURN, SDL_SCANCODE_RETURN, VK_RETURN},
        {"keypad enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, VK_RETURN},
        {"escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE},
        {"space", SDLK_SPACE, SDL_SCANCODE_SPACE, VK_SPACE},
        {"backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, VK_BACK},
        {"tab", SDLK_TAB, SDL_SCANCODE_TAB, VK_TAB},
        {"f1", SDLK_F1, SDL_SCANCODE_F1, 0},
        {"shift", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 0},
        {"semicolon", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 0},
        {"letter o where s is on a Dvorak layout", SDLK_o, SDL_SCANCODE_S, 'O'},
        {"quote where q is on a Dvorak layout", SDLK_QUOTE, SDL_SCANCODE_Q, 0},
        {"ampersand on the digit row of a French layout", SDLK_AMPERSAND, SDL_SCANCODE_1, '1'},
        {"e acute on the digit row of a French layout", 0xE9, SDL_SCANCODE_2, '2'},
        {"Cyrillic ef where a is", 0x0444, SDL_SCANCODE_A, 'A'},
        {"Greek omega where v is", 0x03C9, SDL_SCANCODE_V, 'V'},
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(VirtualKeyFor(c.key, c.position), c.expected) << c.what;
    }
}

}  // namespace
