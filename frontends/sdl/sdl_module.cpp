#include "frontends/sdl/sdl_module.h"

#include <exception>
#include <new>
#include <type_traits>

// No exception crosses into the loader: what would be thrown is a reason.
extern "C" Frontend* plasma_create_sdl_frontend_v1(const SdlFrontendOptions* options,
                                                   std::string* reason) noexcept {
    try {
        return CreateSdlFrontend(*options).release();
    } catch (const std::bad_alloc&) {
        *reason = "cannot open a window: not enough memory";
    } catch (const std::exception& failure) {
        *reason = failure.what();
    }
    return nullptr;
}

static_assert(std::is_same_v<decltype(&plasma_create_sdl_frontend_v1), SdlModuleEntry>,
              "the loader calls the entry point through SdlModuleEntry");
