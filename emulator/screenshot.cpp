#include "emulator/screenshot.h"

#include "imaging/atomic_file.h"
#include "imaging/image565.h"
#include "imaging/png_writer.h"
#include "platform/device.h"

void SaveScreenshot(const std::string& path) {
    Image565 screen;
    screen.width = device::ScreenWidth();
    screen.height = device::ScreenHeight();
    screen.pixels.resize(static_cast<size_t>(screen.width) * screen.height);
    device::CopyScreen(screen.pixels.data());
    AtomicFile file(path);
    WritePng(screen, file);
    file.Commit();
}
