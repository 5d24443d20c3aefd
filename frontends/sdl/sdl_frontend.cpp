#include "frontends/sdl/sdl_frontend.h"

#include <SDL.h>
#include <dlfcn.h>
#include <link.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bitset>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "frontends/sdl/icon_image.h"
#include "frontends/sdl/virtual_keys.h"
#include "frontends/sdl/window_layout.h"
#include "imaging/image565.h"
#include "platform/utf8.h"
#include "resources/resource_ids.h"

namespace {
using Clock = std::chrono::steady_clock;

constexpr int32_t kMaxDefaultScale = 3;
constexpr int32_t kIconSize = 32;
constexpr int kDefaultRefreshHz = 60;
const char kInitialTitle[] = "plasma-demo";

std::string SdlError(const char* what) {
    std::string reason = std::string(what) + ": " + SDL_GetError();
    for (char& c : reason) {
        c = (c == '\n' || c == '\r') ? ' ' : c;  // the launcher prints one line
    }
    return reason;
}

class SdlFrontend final : public Frontend {
public:
    SdlFrontend(SDL_Window* window, SDL_Renderer* renderer, SDL_Texture* texture, Uint32 wakeEvent,
                int frameIntervalMs)
        : window_(window),
          renderer_(renderer),
          texture_(texture),
          wakeEvent_(wakeEvent),
          frameIntervalMs_(frameIntervalMs),
          width_(device::ScreenWidth()),
          height_(device::ScreenHeight()),
          pixels_(static_cast<size_t>(width_) * height_),
          created_(Clock::now()) {}

    ~SdlFrontend() override {
        // Nothing may wake a front-end that is gone.
        device::SetWakeHandler([](void*) {}, nullptr);
        if (const char* stats = std::getenv("PLASMA_DEMO_STATS"); stats && *stats == '1') {
            PrintStats();
        }
        SDL_DestroyTexture(texture_);
        SDL_DestroyRenderer(renderer_);
        SDL_DestroyWindow(window_);
        SDL_Quit();
    }

    void PumpInput(Clock::time_point deadline) override {
        // SDL waits in whole milliseconds: round up, so that the wait never
        // ends short of the deadline and a 0 ms wait never spins.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, static_cast<int>(std::max<int64_t>(0, left.count()))) ==
            0) {
            return;
        }
        bool closeRequested = false;
        do {
            Handle(event, &closeRequested);
        } while (SDL_PollEvent(&event));
    }

    void Wake() override {
        // One wake event in the queue is enough, however many wakes come.
        if (!wakePending_.exchange(true)) {
            SDL_Event event{};
            event.type = wakeEvent_;
            SDL_PushEvent(&event);
        }
    }

    void Present() override {
        device::CopyScreen(pixels_.data());
        // Renderers widen 565 texels by shifting; bit replication keeps white
        // white, so the widening is done here.
        void* texels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(texture_, nullptr, &texels, &pitch) == 0) {
            for (int32_t y = 0; y < height_; ++y) {
                const uint16_t* from = pixels_.data() + static_cast<size_t>(y) * width_;
                uint32_t* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(texels) +
                                                           static_cast<size_t>(y) * pitch);
                for (int32_t x = 0; x < width_; ++x) {
                    const Rgb8 rgb = Widen565(from[x]);
                    to[x] = uint32_t{rgb.red} << 16 | uint32_t{rgb.green} << 8 | rgb.blue;
                }
            }
            SDL_UnlockTexture(texture_);
        }
        int outputWidth = 0, outputHeight = 0;
        SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
        const ScreenPlacement place = PlaceScreen(outputWidth, outputHeight, width_, height_);
        const SDL_Rect target{place.left, place.top, width_ * place.scale, height_ * place.scale};
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, SDL_ALPHA_OPAQUE);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, &target);
        SDL_RenderPresent(renderer_);
        ++presents_;
        UpdateTitle();
    }

    int ShowMessageBox(const device::MessageBoxRequest& request) override {
        // The box takes the input from here on; let go of what is held.
        ReleaseHeldInput();
        const std::string caption = ToUtf8(request.caption), text = ToUtf8(request.text);
        const SDL_MessageBoxButtonData ok{
            SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
            "OK"};
        const SDL_MessageBoxData box{0, window_, caption.c_str(), text.c_str(), 1, &ok, nullptr};
        int button = IDOK;
        if (SDL_ShowMessageBox(&box, &button) != 0) {
            std::fprintf(stderr, "plasma-demo: %s\nmessage box \"%s\": %s\n",
                         SdlError("cannot show a message box").c_str(), caption.c_str(),
                         text.c_str());
        }
        // OK is the only button, so closing the box counts as OK as well.
        return IDOK;
    }

    int FrameIntervalMs() const override { return frameIntervalMs_; }

private:
    void Handle(const SDL_Event& event, bool* closeRequested) {
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
                if (stylusButton_ == 0 && ToScreen(event.button.x, event.button.y)) {
                    stylusButton_ = event.button.button;
                    device::StylusDown(stylusX_, stylusY_);
                }
                break;
            case SDL_MOUSEMOTION:
                if (stylusButton_ != 0) {
                    const int32_t lastX = stylusX_, lastY = stylusY_;
                    ToScreen(event.motion.x, event.motion.y);
                    if (stylusX_ != lastX || stylusY_ != lastY) {
                        device::StylusMove(stylusX_, stylusY_);
                    }
                }
                break;
            case SDL_MOUSEBUTTONUP:
                if (stylusButton_ != 0 && event.button.button == stylusButton_) {
                    ToScreen(event.button.x, event.button.y);
                    ReleaseStylus();
                }
                break;
            case SDL_KEYDOWN:
                // Held keys repeat as the platform's own keyboard does.
                if (const UINT key =
                        VirtualKeyFor(event.key.keysym.sym, event.key.keysym.scancode)) {
                    keysDown_.set(key);
                    device::KeyDown(key);
                }
                break;
            case SDL_KEYUP:
                if (const UINT key = VirtualKeyFor(event.key.keysym.sym, event.key.keysym.scancode);
                    key != 0 && keysDown_.test(key)) {
                    keysDown_.reset(key);
                    device::KeyUp(key);
                }
                break;
            default:
                if (event.type == wakeEvent_) {
                    wakePending_.store(false);
                    UpdateTitle();
                }
                break;
        }
    }

    // One close request however many ways the window manager says it.
    void RequestClose(bool* closeRequested) {
        if (!*closeRequested) {
            *closeRequested = true;
            device::CloseRequest();
        }
    }

    // Sets the stylus position from a window position; false when it is in
    // the bars around the screen (the position is then pulled onto the edge).
    bool ToScreen(int32_t windowX, int32_t windowY) {
        int windowWidth = 0, windowHeight = 0;
        SDL_GetWindowSize(window_, &windowWidth, &windowHeight);
        const ScreenPlacement place = PlaceScreen(windowWidth, windowHeight, width_, height_);
        const bool inside =
            WindowToScreen(place, width_, height_, windowX, windowY, &stylusX_, &stylusY_);
        WindowToScreenClamped(place, width_, height_, windowX, windowY, &stylusX_, &stylusY_);
        return inside;
    }

    void ReleaseStylus() {
        stylusButton_ = 0;
        device::StylusUp(stylusX_, stylusY_);
    }

    void ReleaseHeldInput() {
        if (stylusButton_ != 0) {
            ReleaseStylus();
        }
        for (UINT key = 0; key < keysDown_.size(); ++key) {
            if (keysDown_.test(key)) {
                device::KeyUp(key);
            }
        }
        keysDown_.reset();
    }

    void UpdateTitle() {
        std::u16string title = device::MainWindowTitle();
        if (title != title_) {
            title_ = std::move(title);
            SDL_SetWindowTitle(window_, title_.empty() ? kInitialTitle : ToUtf8(title_).c_str());
        }
    }

    void PrintStats() const {
        const double seconds = std::chrono::duration<double>(Clock::now() - created_).count();
        const unsigned long long published = device::PublishedFrames();
        std::fprintf(stderr,
                     "plasma-demo: %.2f s, %llu presents (%.1f/s), %llu published frames "
                     "(%.1f/s)\n",
                     seconds, presents_, presents_ / seconds, published, published / seconds);
    }

    SDL_Window* const window_;
    SDL_Renderer* const renderer_;
    SDL_Texture* const texture_;
    const Uint32 wakeEvent_;
    const int frameIntervalMs_;
    const int32_t width_, height_;
    std::vector<uint16_t> pixels_;
    std::atomic<bool> wakePending_{false};
    std::u16string title_;
    uint8_t stylusButton_ = 0;  // the mouse button holding the stylus down, 0 for none
    int32_t stylusX_ = 0, stylusY_ = 0;
    std::bitset<256> keysDown_;
    unsigned long long presents_ = 0;
    const Clock::time_point created_;
};

void SetIcon(SDL_Window* window) {
    const device::Resource* icon =
        device::FindResource(device::ResourceType::kIconGroup, IDI_PLASMA);
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

// SDL shows a message box from a child process (a fork of its own, or
// zenity) and waits for it. Were the launcher to end meanwhile (a second stop
// signal), the child would stay, and with it the box, the launcher's window
// (the child holds the inherited display connection) and the caller's output
// pipes. So every child is killed when the launcher ends.
pid_t gLauncher = 0;

void OnForkInChild() {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != gLauncher) {
        _exit(127);  // the launcher ended before the line above took effect
    }
}

void EndChildrenWithTheLauncher() {
    static std::once_flag once;
    std::call_once(once, [] {
        gLauncher = getpid();
        pthread_atfork(nullptr, nullptr, OnForkInChild);
    });
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// A sanitizer reports at exit what a library kept or did; a library SDL has
// unloaded by then (Mesa's GL driver) shows as an unknown module that no
// suppression can name. Under a sanitizer every library loaded so far stays.
void KeepLibrariesLoaded() {
    if (!kSanitized) {
        return;
    }
    std::vector<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* found) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                static_cast<std::vector<std::string>*>(found)->push_back(info->dlpi_name);
            }
            return 0;
        },
        &names);
    for (const std::string& name : names) {
        dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

// SDL falls back to drivers that show nothing to anyone (offscreen, dummy)
// when no display answers; only these put a window in front of a person.
bool ShowsWindows(const char* driver) {
    for (const char* name : {"x11", "wayland", "kmsdrm", "windows", "cocoa"}) {
        if (driver != nullptr && std::strcmp(driver, name) == 0) {
            return true;
        }
    }
    return false;
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The displays the environment names, as SDL's drivers and as the user knows
// them; none when it names none. Unnamed displays are not probed: a Wayland
// probe without its runtime directory prints complaints of its own.
struct Displays {
    std::string drivers;  // in SDL's own order of preference
    std::string names;
};

Displays NamedDisplays() {
    Displays found;
    const std::string x = Variable("DISPLAY"), wayland = Variable("WAYLAND_DISPLAY");
    if (!x.empty()) {
        found.drivers = "x11";
        found.names = "DISPLAY=" + x;
    }
    if (!wayland.empty() && (wayland[0] == '/' || !Variable("XDG_RUNTIME_DIR").empty())) {
        found.drivers += found.drivers.empty() ? "wayland" : ",wayland";
        found.names +=
            (found.names.empty() ? "WAYLAND_DISPLAY=" : " or WAYLAND_DISPLAY=") + wayland;
    }
    return found;
}

// Opens SDL's video on a driver that shows a window, or says why not. A
// driver the user named in SDL_VIDEODRIVER is tried as named.
bool InitVideo(std::string* error) {
    Displays displays;
    if (Variable("SDL_VIDEODRIVER").empty()) {
        displays = NamedDisplays();
        if (displays.drivers.empty()) {
            *error = "cannot open a window: no display (DISPLAY and WAYLAND_DISPLAY are unset)";
            return false;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, displays.drivers.c_str());
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        // SDL names the drivers it tried; the user knows the display.
        *error = displays.names.empty() ? SdlError("cannot open a window")
                                        : SdlError(("cannot open a window: nothing answers at " +
                                                    displays.names + "; SDL says")
                                                       .c_str());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!ShowsWindows(driver)) {
        *error = std::string("cannot open a window: SDL's \"") + (driver ? driver : "?") +
                 "\" video driver shows none";
        SDL_Quit();
        return false;
    }
    return true;
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

std::unique_ptr<Frontend> CreateSdlFrontend(const SdlFrontendOptions& options, std::string* error) {
    // The launcher's own SIGINT/SIGTERM handling stays in force.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    if (!InitVideo(error)) {
        return nullptr;
    }
    EndChildrenWithTheLauncher();
    const int32_t width = device::ScreenWidth(), height = device::ScreenHeight();
    int32_t scale = options.scale;
    if (scale <= 0) {
        SDL_Rect usable{0, 0, width, height};
        SDL_GetDisplayUsableBounds(0, &usable);
        scale = LargestFittingScale(usable.w, usable.h, width, height, kMaxDefaultScale);
    }
    SDL_Window* window =
        SDL_CreateWindow(kInitialTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         width * scale, height * scale, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
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
        *error = SdlError(window == nullptr ? "cannot open a window" : "cannot draw in a window");
        if (renderer != nullptr) {
            SDL_DestroyRenderer(renderer);
        }
        if (window != nullptr) {
            SDL_DestroyWindow(window);
        }
        SDL_Quit();
        return nullptr;
    }
    KeepLibrariesLoaded();
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    // The whole screen stays visible, at least one window pixel a device pixel.
    SDL_SetWindowMinimumSize(window, width, height);
    SetIcon(window);
    auto frontend = std::make_unique<SdlFrontend>(window, renderer, texture, wakeEvent,
                                                  FrameIntervalFor(window));
    SDL_ShowWindow(window);
    frontend->Present();
    return frontend;
}
