#pragma once

#include <memory>

#include "device_core/settings/launch_options.h"
#include "frontends/frontend.h"

// A window where one can be opened, otherwise headless. Throws
// std::runtime_error, with a one-line reason, when a window was required and
// cannot be had.
std::unique_ptr<Frontend> ChooseFrontend(const LaunchOptions& options);
