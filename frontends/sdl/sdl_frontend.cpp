#include "frontends/sdl/sdl_frontend.h"

#include <SDL.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "device_core/screen_layout.h"
#include "frontends/sdl/sdl_process.h"
#include "frontends/sdl/sdl_video.h"
#include "frontends/sdl/window_frontend.h"

namespace {
constexpr int kDefaultRefreshHz = 60;

int FrameIntervalFor(SDL_Window* window) {
    SDL_DisplayMode mode;
    int hz = kDefaultRefreshHz;
    if (SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(window), &mode) == 0 &&
        mode.refresh_rate > 0) {
        hz = mode.refresh_rate;
    }
    return std::max(1, 1000 / hz);
}
}  // namespace

std::unique_ptr<Frontend> CreateSdlFrontend(const SdlFrontendOptions& options) {
    // The launcher's own SIGINT/SIGTERM handling stays in force.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    InitVideo();
    EndChildrenWithTheLauncher();
    const int32_t width = device::ScreenWidth(), height = device::ScreenHeight();
    int32_t scale = options.scale;
    if (scale <= 0) {
        SDL_Rect usable{0, 0, width, height};
        SDL_GetDisplayUsableBounds(0, &usable);
        scale = LargestFittingScale(usable.w, usable.h, width, height, kMaxDefaultScale);
    }
    SDL_Window* window =
        SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * scale,
                         height * scale, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    if (window != nullptr) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
        if (renderer == nullptr) {
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        }
    }
    if (renderer != nullptr) {
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                    width, height);
    }
    const Uint32 wakeEvent = SDL_RegisterEvents(1);
    if (texture == nullptr || wakeEvent == static_cast<Uint32>(-1)) {
        const std::string reason =
            SdlError(window == nullptr ? "cannot open a window" : "cannot draw in a window");
        if (renderer != nullptr) {
            SDL_DestroyRenderer(renderer);
        }
        if (window != nullptr) {
            SDL_DestroyWindow(window);
        }
        SDL_Quit();
        throw std::runtime_error(reason);
    }
    KeepLibrariesLoaded();
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    // The whole screen stays visible, at least one window pixel a device pixel.
    SDL_SetWindowMinimumSize(window, width, height);
    auto frontend = std::make_unique<SdlWindowFrontend>(SdlWindowParts{
        window, renderer, texture, wakeEvent, FrameIntervalFor(window), options.printStats});
    SDL_ShowWindow(window);
    frontend->Present();
    return frontend;
}
