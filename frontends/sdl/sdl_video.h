#pragma once

#include <string>

// "<what>: <SDL's last error>" on one line.
std::string SdlError(const char* what);

// Opens SDL's video on a driver that puts a window in front of a person;
// throws std::runtime_error, with a one-line reason, when none answers. The
// drivers the user named in SDL_VIDEODRIVER are tried as named, less those
// whose display does not answer in time.
void InitVideo();
