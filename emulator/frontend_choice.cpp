#include "emulator/frontend_choice.h"

#include "frontends/headless/headless_frontend.h"

std::unique_ptr<Frontend> ChooseFrontend(const LaunchOptions& options, std::string* error) {
    if (options.windowRequired) {
        *error = "no window front-end in this build (run with --headless)";
        return nullptr;
    }
    return std::make_unique<HeadlessFrontend>();
}
