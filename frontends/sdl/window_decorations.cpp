#include "frontends/sdl/window_decorations.h"

#include <SDL_surface.h>

#include "frontends/sdl/icon_image.h"
#include "platform/device.h"
#include "platform/utf8.h"

namespace {
constexpr int32_t kIconSize = 32;
const char kInitialTitle[] = "plasma-demo";

void SetIcon(SDL_Window* window, const device::Resource* icon) {
    IconImage image;
    if (icon == nullptr || !DecodeIcon(icon->bytes, icon->size, kIconSize, &image)) {
        return;
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(image.argb.data(), image.width, image.height, 32,
                                           image.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface != nullptr) {
        SDL_SetWindowIcon(window, surface);
        SDL_FreeSurface(surface);
    }
}
}  // namespace

WindowDecorations::WindowDecorations(SDL_Window* window) : window_(window) {
    SDL_SetWindowTitle(window_, kInitialTitle);
    Update();
}

void WindowDecorations::Update() {
    std::u16string title = device::MainWindowTitle();
    if (title != title_) {
        title_ = std::move(title);
        SDL_SetWindowTitle(window_, title_.empty() ? kInitialTitle : ToUtf8(title_).c_str());
    }
    if (const device::Resource* icon = device::ProgramIcon(); icon != icon_) {
        icon_ = icon;
        SetIcon(window_, icon_);
    }
}
