#pragma once

#include <SDL_video.h>

#include <string>

#include "platform/device.h"

// The window's title and icon, kept as the device shows them for the program.
class WindowDecorations {
public:
    explicit WindowDecorations(SDL_Window* window);
    // Takes what changed since the last call.
    void Update();

private:
    SDL_Window* const window_;
    std::u16string title_;
    const device::Resource* icon_ = nullptr;  // the one last taken
};
