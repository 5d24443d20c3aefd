#pragma once

#include <memory>
#include <string>

#include "frontends/frontend.h"
#include "frontends/sdl/sdl_frontend.h"

// Loads the window front-end's module, `fileName` next to this executable
// (frontends/sdl/sdl_module.h), and opens the window with it. Throws
// std::runtime_error, with a one-line reason, when the module cannot be
// loaded or the window cannot be opened. The module stays loaded to the end.
std::unique_ptr<Frontend> OpenWindowModule(const std::string& fileName,
                                           const SdlFrontendOptions& options);
