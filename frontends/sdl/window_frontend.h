#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "frontends/common/device_input.h"
#include "frontends/frontend.h"
#include "frontends/sdl/present_stats.h"
#include "frontends/sdl/window_decorations.h"

// What CreateSdlFrontend made; the front-end owns it from then on and ends
// SDL's video with it.
struct SdlWindowParts {
    SDL_Window* window;
    SDL_Renderer* renderer;
    SDL_Texture* texture;  // the device's screen, RGB888, streaming
    Uint32 wakeEvent;
    int frameIntervalMs;
    bool printStats;
};

class SdlWindowFrontend final : public Frontend {
public:
    explicit SdlWindowFrontend(const SdlWindowParts& parts);
    ~SdlWindowFrontend() override;

    void PumpInput(Clock::time_point deadline) override;
    void Wake() override;
    void Present() override;
    int ShowMessageBox(const device::MessageBoxRequest& request) override;
    int FrameIntervalMs() const override { return parts_.frameIntervalMs; }

private:
    void Handle(const SDL_Event& event, bool* closeRequested);
    void RequestClose(bool* closeRequested);
    bool ToScreen(int32_t windowX, int32_t windowY, int32_t* x, int32_t* y) const;
    void ReleaseHeldInput();

    const SdlWindowParts parts_;
    const int32_t width_, height_;
    std::vector<uint16_t> pixels_;
    std::atomic<bool> wakePending_{false};
    WindowDecorations decorations_;
    DeviceInput device_;
    device::HeldInput held_{device_};
    uint8_t stylusButton_ = 0;  // the mouse button holding the stylus down, 0 for none
    PresentStats stats_;
};
