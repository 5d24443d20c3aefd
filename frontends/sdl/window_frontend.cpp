#include "frontends/sdl/window_frontend.h"

#include <algorithm>
#include <chrono>

#include <pixels/pixel565.h>

#include "device_core/screen_layout.h"
#include "frontends/sdl/message_box.h"
#include "frontends/sdl/virtual_keys.h"

SdlWindowFrontend::SdlWindowFrontend(const SdlWindowParts& parts)
    : parts_(parts),
      width_(device::ScreenWidth()),
      height_(device::ScreenHeight()),
      pixels_(static_cast<size_t>(width_) * height_),
      decorations_(parts.window) {}

SdlWindowFrontend::~SdlWindowFrontend() {
    if (parts_.printStats) {
        stats_.Print();
    }
    SDL_DestroyTexture(parts_.texture);
    SDL_DestroyRenderer(parts_.renderer);
    SDL_DestroyWindow(parts_.window);
    SDL_Quit();
}

void SdlWindowFrontend::PumpInput(Clock::time_point deadline) {
    // SDL waits in whole milliseconds: round up, so that the wait never ends
    // short of the deadline and a 0 ms wait never spins.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(std::max<int64_t>(0, left.count()))) == 0) {
        return;
    }
    bool closeRequested = false;
    do {
        Handle(event, &closeRequested);
    } while (SDL_PollEvent(&event));
}

void SdlWindowFrontend::Wake() {
    // One wake event in the queue is enough, however many wakes come.
    if (!wakePending_.exchange(true)) {
        SDL_Event event{};
        event.type = parts_.wakeEvent;
        SDL_PushEvent(&event);
    }
}

void SdlWindowFrontend::Present() {
    device::CopyScreen(pixels_.data());
    // Renderers widen 565 texels by shifting; the widening is done here.
    void* texels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(parts_.texture, nullptr, &texels, &pitch) == 0) {
        WidenToXrgb(pixels_.data(), width_, height_, texels, static_cast<size_t>(pitch));
        SDL_UnlockTexture(parts_.texture);
    }
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(parts_.renderer, &outputWidth, &outputHeight);
    const ScreenPlacement place = PlaceScreen(outputWidth, outputHeight, width_, height_);
    const SDL_Rect target{place.left, place.top, width_ * place.scale, height_ * place.scale};
    SDL_SetRenderDrawColor(parts_.renderer, 0, 0, 0, SDL_ALPHA_OPAQUE);
    SDL_RenderClear(parts_.renderer);
    SDL_RenderCopy(parts_.renderer, parts_.texture, nullptr, &target);
    SDL_RenderPresent(parts_.renderer);
    stats_.CountPresent();
    decorations_.Update();
}

int SdlWindowFrontend::ShowMessageBox(const device::MessageBoxRequest& request) {
    // The box takes the input from here on; let go of what is held.
    ReleaseHeldInput();
    return ShowSdlMessageBox(parts_.window, request);
}

void SdlWindowFrontend::Handle(const SDL_Event& event, bool* closeRequested) {
    int32_t x = 0, y = 0;
    switch (event.type) {
        case SDL_QUIT:
            RequestClose(closeRequested);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                RequestClose(closeRequested);
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                ReleaseHeldInput();
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (stylusButton_ == 0 && ToScreen(event.button.x, event.button.y, &x, &y)) {
                stylusButton_ = event.button.button;
                held_.StylusDown(x, y);
            }
            break;
        case SDL_MOUSEMOTION:
            if (stylusButton_ != 0) {
                ToScreen(event.motion.x, event.motion.y, &x, &y);
                held_.StylusMove(x, y);
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (stylusButton_ != 0 && event.button.button == stylusButton_) {
                ToScreen(event.button.x, event.button.y, &x, &y);
                stylusButton_ = 0;
                held_.StylusUp(x, y);
            }
            break;
        case SDL_KEYDOWN:
            if (const UINT key = VirtualKeyFor(event.key.keysym.sym, event.key.keysym.scancode)) {
                held_.KeyDown(key);
            }
            break;
        case SDL_KEYUP:
            held_.KeyUp(VirtualKeyFor(event.key.keysym.sym, event.key.keysym.scancode));
            break;
        default:
            if (event.type == parts_.wakeEvent) {
                wakePending_.store(false);
                decorations_.Update();
            }
            break;
    }
}

// One close request however many ways the window manager says it.
void SdlWindowFrontend::RequestClose(bool* closeRequested) {
    if (!*closeRequested) {
        *closeRequested = true;
        device::CloseRequest();
    }
}

// The device pixel under a window position, pulled onto the screen's edge
// from the bars around it; false when it was in the bars.
bool SdlWindowFrontend::ToScreen(int32_t windowX, int32_t windowY, int32_t* x, int32_t* y) const {
    int windowWidth = 0, windowHeight = 0;
    SDL_GetWindowSize(parts_.window, &windowWidth, &windowHeight);
    const ScreenPlacement place = PlaceScreen(windowWidth, windowHeight, width_, height_);
    const bool inside = WindowToScreen(place, width_, height_, windowX, windowY, x, y);
    WindowToScreenClamped(place, width_, height_, windowX, windowY, x, y);
    return inside;
}

void SdlWindowFrontend::ReleaseHeldInput() {
    stylusButton_ = 0;
    held_.ReleaseAll();
}
