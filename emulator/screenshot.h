#pragma once

#include <string>

// Throws std::runtime_error, naming the file, when the memory a screenshot
// of the device's screen takes cannot be had now (after device::Init): such
// a screenshot is refused before the run rather than after it. The memory is
// given back, for the program's threads to start.
void CheckScreenshotMemory(const std::string& path);

// Saves the device's screen, as the user holds it, as an 8-bit RGB PNG.
// Throws WriteError, or std::runtime_error naming the file when memory runs
// out; either way nothing is left of the file. Each message is one line.
void SaveScreenshot(const std::string& path);
