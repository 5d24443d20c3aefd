#pragma once

#include <memory>

#include "frontends/frontend.h"

struct SdlFrontendOptions {
    int scale;                // 0: the largest of 1..3 that fits the desktop
    bool printStats = false;  // presents and published frames on stderr at the end
};

// A window showing the device's screen. Throws std::runtime_error, with a
// one-line reason, when no display can be opened.
std::unique_ptr<Frontend> CreateSdlFrontend(const SdlFrontendOptions& options);
