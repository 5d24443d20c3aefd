#pragma once
// The window front-end as a module of its own (plasma-frontend-sdl.so, next
// to plasma-demo), which plasma-demo loads only when it tries a window: SDL
// and the libraries behind it take tens of milliseconds to load, and a run
// without a window has no need to wait for them.
//
// The module takes the device's calls (device::) from plasma-demo, which
// exports them, and brings everything else it needs.

#include <string>

#include "frontends/frontend.h"
#include "frontends/sdl/sdl_frontend.h"

// The module's one entry point, looked up by this name; the number changes
// with its signature or with SdlFrontendOptions.
inline constexpr char kSdlModuleEntry[] = "plasma_create_sdl_frontend_v1";

// Makes the window front-end (CreateSdlFrontend) and hands it over, or
// returns null with the one-line reason in *reason.
using SdlModuleEntry = Frontend* (*)(const SdlFrontendOptions* options,
                                     std::string* reason) noexcept;

extern "C" Frontend* plasma_create_sdl_frontend_v1(const SdlFrontendOptions* options,
                                                   std::string* reason) noexcept;
