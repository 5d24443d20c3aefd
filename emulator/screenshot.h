#pragma once

#include <string>

// Saves the device's screen, as the user holds it, as an 8-bit RGB PNG.
// Throws WriteError, whose message is one line, when it cannot.
void SaveScreenshot(const std::string& path);
