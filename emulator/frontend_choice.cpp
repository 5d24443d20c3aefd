#include "emulator/frontend_choice.h"

#include <cstdio>
#include <stdexcept>

#include "emulator/demo_stats.h"
#include "frontends/headless/headless_frontend.h"
#ifdef PLASMA_HAVE_SDL
#include "frontends/sdl/sdl_frontend.h"
#endif

std::unique_ptr<Frontend> ChooseFrontend(const LaunchOptions& options) {
    if (options.headless) {
        return std::make_unique<HeadlessFrontend>();
    }
#ifdef PLASMA_HAVE_SDL
    try {
        return CreateSdlFrontend(SdlFrontendOptions{options.scale, DemoStatsWanted()});
    } catch (const std::runtime_error& failure) {
        if (options.windowRequired) {
            throw;
        }
        // Not an error: the demo runs as well without a window.
        std::fprintf(stderr, "plasma-demo: %s; running headless%s\n", failure.what(),
                     options.input == ScheduledInputKind::kNone ? " (Ctrl-C to stop)" : "");
    }
#else
    if (options.windowRequired) {
        throw std::runtime_error(
            "cannot open a window: this build has no window front-end (run with --headless)");
    }
    std::fprintf(stderr, "plasma-demo: this build has no window front-end; running headless%s\n",
                 options.input == ScheduledInputKind::kNone ? " (Ctrl-C to stop)" : "");
#endif
    return std::make_unique<HeadlessFrontend>();
}
