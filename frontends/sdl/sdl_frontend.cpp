#include "frontends/sdl/sdl_frontend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "device_core/screen_layout.h"
#include "frontends/sdl/process_limits.h"
#include "frontends/sdl/sdl_process.h"
#include "frontends/sdl/sdl_video.h"
#include "frontends/sdl/window_frontend.h"

namespace {
constexpr int kDefaultRefreshHz = 60;
constexpr uint64_t kMiB = 1024 * 1024;

// How SDL draws in the window: by GL (on a GPU, or Mesa's llvmpipe), or by
// its software renderer into the window's own memory.
enum class Drawing { kAny, kSoftware };

// The address space a window drawn by SDL's software renderer takes beyond
// what the process has before SDL's video starts, the program's threads
// included; measured under ulimit -v as about 10 MB (12 here, for margin) and 4 bytes a window
// pixel (its surface) and 6 a device pixel (the texture and our copy).
uint64_t SoftwareWindowBytes(int32_t width, int32_t height, int32_t scale) {
    constexpr uint64_t kBase = 12 * kMiB;
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    return kBase + pixels * 6 + pixels * static_cast<uint64_t>(scale) * scale * 4;
}

// A GL driver maps an amount that depends on the driver and on the
// machine's cores (llvmpipe: hundreds of MB, a thread a core), and Mesa's
// crashes where one of those allocations fails. Under an address-space limit
// the window is drawn by SDL's software renderer, whose allocations are
// checked, and not opened at all where even that would not fit.
Drawing ChooseDrawing(int32_t width, int32_t height, int32_t scale) {
    uint64_t left = 0;
    if (!AddressSpaceLeft(&left)) {
        return Drawing::kAny;
    }
    // The scale is not known yet without a desktop to fit: the largest.
    const uint64_t needed =
        SoftwareWindowBytes(width, height, scale > 0 ? scale : kMaxDefaultScale);
    if (left < needed) {
        throw std::runtime_error("cannot open a window: " + std::to_string(left / kMiB) +
                                 " MB of address space left under the limit (ulimit -v), "
                                 "a window needs " +
                                 std::to_string((needed + kMiB - 1) / kMiB) + " MB");
    }
    // Else SDL's window surface would be drawn through GL after all.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return Drawing::kSoftware;
}

SDL_Renderer* CreateRenderer(SDL_Window* window, Drawing drawing) {
    SDL_Renderer* renderer = nullptr;
    if (drawing == Drawing::kAny) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC);
    }
    if (renderer == nullptr) {
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }
    return renderer;
}

// Why the window could not be had, after SDL's own reason.
std::string WindowFailure(bool opened) {
    const std::string shortage = DescriptorShortage(kWindowDescriptors);
    if (!shortage.empty()) {
        return std::string("cannot open a window: no file descriptor left for it: ") + shortage;
    }
    return SdlError(opened ? "cannot draw in a window" : "cannot open a window");
}

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
    const int32_t width = device::ScreenWidth(), height = device::ScreenHeight();
    const Drawing drawing = ChooseDrawing(width, height, options.scale);
    InitVideo();
    EndChildrenWithTheLauncher();
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
        renderer = CreateRenderer(window, drawing);
    }
    if (renderer != nullptr) {
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                    width, height);
    }
    const Uint32 wakeEvent = SDL_RegisterEvents(1);
    if (texture == nullptr || wakeEvent == static_cast<Uint32>(-1)) {
        const std::string reason = WindowFailure(window != nullptr);
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
