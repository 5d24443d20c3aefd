#pragma once

#include <memory>
#include <string>

#include "frontends/frontend.h"
#include "frontends/sdl/sdl_frontend.h"

// Loads the window front-end's module, `fileName` next to this executable
// (frontends/sdl/sdl_module.h), and opens the window with it. Throws
// std::runtime_error, with a one-line reason, when the module cannot be
// loaded, is damaged (module_check.h) or the window cannot be opened. The
// module is checked and loaded through one descriptor, which the loader then
// names it by (/proc/PID/fd/N); both stay to the end.
std::unique_ptr<Frontend> OpenWindowModule(const std::string& fileName,
                                           const SdlFrontendOptions& options);
