#include "emulator/screenshot.h"

#include <cstdlib>
#include <new>
#include <stdexcept>

#include "imaging/image565.h"
#include "imaging/png_writer.h"
#include "output_files/atomic_file.h"
#include "platform/device.h"

namespace {
size_t ScreenPixels() {
    return static_cast<size_t>(device::ScreenWidth()) * static_cast<size_t>(device::ScreenHeight());
}

std::runtime_error NoMemoryFor(const std::string& path) {
    return std::runtime_error("not enough memory to save the screenshot " + path);
}
}  // namespace

void CheckScreenshotMemory(const std::string& path) {
    // Kept in a volatile, so that the compiler cannot leave the request out.
    void* volatile probe = std::malloc(ScreenPixels() * sizeof(Pixel565));
    const bool had = probe != nullptr;
    std::free(probe);
    if (!had) {
        throw NoMemoryFor(path);
    }
}

void SaveScreenshot(const std::string& path) {
    try {
        Image565 screen;
        screen.width = device::ScreenWidth();
        screen.height = device::ScreenHeight();
        screen.pixels.resize(ScreenPixels());
        device::CopyScreen(screen.pixels.data());
        AtomicFile file(path);
        WritePng(screen, file);
        file.Commit();
    } catch (const std::bad_alloc&) {
        throw NoMemoryFor(path);
    }
}
