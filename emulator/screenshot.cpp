#include "emulator/screenshot.h"

#include <vector>

#include "imaging/rgb565_png.h"
#include "platform/device.h"

bool SaveScreenshot(const std::string& path, std::string* error) {
    const int32_t width = device::ScreenWidth(), height = device::ScreenHeight();
    std::vector<uint16_t> pixels(static_cast<size_t>(width) * height);
    device::CopyScreen(pixels.data());
    return WriteRgb565Png(path, pixels.data(), width, height, error);
}
