#include "emulator/screenshot.h"

#include <exception>

#include "imaging/atomic_file.h"
#include "imaging/image565.h"
#include "imaging/png_writer.h"
#include "platform/device.h"

bool SaveScreenshot(const std::string& path, std::string* error) {
    Image565 screen;
    screen.width = device::ScreenWidth();
    screen.height = device::ScreenHeight();
    screen.pixels.resize(static_cast<size_t>(screen.width) * screen.height);
    device::CopyScreen(screen.pixels.data());
    try {
        AtomicFile file(path);
        WritePng(screen, file);
        file.Commit();
        return true;
    } catch (const std::exception& failure) {
        *error = failure.what();
        return false;
    }
}
