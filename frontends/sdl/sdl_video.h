#pragma once

#include <string>

// "<what>: <SDL's last error>" on one line.
std::string SdlError(const char* what);

// Opens SDL's video on a driver that puts a window in front of a person;
// throws std::runtime_error, with a one-line reason, when none answers. A
// driver the user named in SDL_VIDEODRIVER is tried as named.
void InitVideo();
