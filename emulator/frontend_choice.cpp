#include "emulator/frontend_choice.h"

#include <cstdio>
#include <stdexcept>
#include <string>

#include "emulator/window_module.h"
#include "frontends/headless/headless_frontend.h"
#include "frontends/sdl/named_displays.h"
#include "host/demo_stats.h"

namespace {
// The window front-end's module beside plasma-demo; empty in a build without one.
constexpr char kWindowModule[] = PLASMA_WINDOW_MODULE;

const char* StopHint(const LaunchOptions& options) {
    return options.input == ScheduledInputKind::kNone ? " (Ctrl-C to stop)" : "";
}

std::unique_ptr<Frontend> OpenWindow(const LaunchOptions& options) {
    // Nothing to try: the module is not loaded for nothing.
    if (NamedDisplays().empty() && UserVideoDrivers().empty()) {
        throw std::runtime_error(NoDisplayNamed());
    }
    return OpenWindowModule(kWindowModule, SdlFrontendOptions{options.scale, DemoStatsWanted()});
}
}  // namespace

std::unique_ptr<Frontend> ChooseFrontend(const LaunchOptions& options) {
    if (options.headless) {
        return std::make_unique<HeadlessFrontend>();
    }
    if (kWindowModule[0] == '\0') {
        if (options.windowRequired) {
            throw std::runtime_error(
                "cannot open a window: this build has no window front-end (run with --headless)");
        }
        std::fprintf(stderr,
                     "plasma-demo: this build has no window front-end; running headless%s\n",
                     StopHint(options));
        return std::make_unique<HeadlessFrontend>();
    }
    try {
        return OpenWindow(options);
    } catch (const std::runtime_error& failure) {
        if (options.windowRequired) {
            throw;
        }
        // Not an error: the demo runs as well without a window.
        std::fprintf(stderr, "plasma-demo: %s; running headless%s\n", failure.what(),
                     StopHint(options));
    }
    return std::make_unique<HeadlessFrontend>();
}
