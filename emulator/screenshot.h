#pragma once

#include <string>

// Saves the device's screen, as the user holds it, as an 8-bit RGB PNG.
// Returns false with a one-line reason on failure.
bool SaveScreenshot(const std::string& path, std::string* error);
