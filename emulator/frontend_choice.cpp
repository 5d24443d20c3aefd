#include "emulator/frontend_choice.h"

#include <cstdio>

#include "emulator/demo_stats.h"
#include "frontends/headless/headless_frontend.h"
#ifdef PLASMA_HAVE_SDL
#include "frontends/sdl/sdl_frontend.h"
#endif

std::unique_ptr<Frontend> ChooseFrontend(const LaunchOptions& options, std::string* error) {
    if (options.headless) {
        return std::make_unique<HeadlessFrontend>();
    }
#ifdef PLASMA_HAVE_SDL
    std::unique_ptr<Frontend> window =
        CreateSdlFrontend(SdlFrontendOptions{options.scale, DemoStatsWanted()}, error);
    if (window) {
        return window;
    }
    if (options.windowRequired) {
        return nullptr;
    }
    std::fprintf(stderr, "plasma-demo: %s; running headless%s\n", error->c_str(),
                 options.input == ScheduledInputKind::kNone ? " (Ctrl-C to stop)" : "");
#else
    if (options.windowRequired) {
        *error = "no window front-end in this build (run with --headless)";
        return nullptr;
    }
#endif
    return std::make_unique<HeadlessFrontend>();
}
