#pragma once

#include <SDL_video.h>

#include <string>

// The window's title and icon, kept as the device shows them for the program.
class WindowDecorations {
public:
    explicit WindowDecorations(SDL_Window* window);
    // Takes what changed since the last call.
    void Update();

private:
    SDL_Window* const window_;
    std::u16string title_;
};
