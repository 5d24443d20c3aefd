#include "windows/gx/gx_state.h"

#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include "cli/usage_error.h"
#include "platform/src/display_memory.h"
#include "windows/gx/screen_dump.h"
#include "windows/gx/screen_window.h"

namespace {
constexpr UINT kBadSetting = 2;
constexpr UINT kFailed = 1;

INIT_ONCE gStartOnce = INIT_ONCE_STATIC_INIT;

GxSettings SettingsFromEnvironment() {
    wchar_t* environment = GetEnvironmentStringsW();
    try {
        GxSettings settings = ReadSettings(environment);
        FreeEnvironmentStringsW(environment);
        return settings;
    } catch (...) {
        FreeEnvironmentStringsW(environment);
        throw;
    }
}

void StartNow() {
    GxState& gx = Gx();
    gx.settings = SettingsFromEnvironment();
    const device::Config& config = gx.settings.launch.device;
    // A larger panel may show the program a smaller display, scaled up.
    gx.scale = config.displayScale;
    const int32_t width = config.panelWidth / gx.scale;
    const int32_t height = config.panelHeight / gx.scale;
    gx.geometry = platform::GeometryFor(width, height, config.rotation);
    gx.screenWidth = static_cast<int32_t>(gx.geometry.properties.cxWidth) * gx.scale;
    gx.screenHeight = static_cast<int32_t>(gx.geometry.properties.cyHeight) * gx.scale;
    gx.bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 2;
    // Held at 90 or 180 degrees, rows as the user sees them run toward the
    // panel's first byte, so a row drawn one pixel too long lands before it.
    const bool towardStart = config.rotation == 90 || config.rotation == 180;
    gx.memory = platform::AllocateDisplayMemory(
        gx.bytes, towardStart ? platform::FlushEnd::kStart : platform::FlushEnd::kEnd);
    if (gx.memory == nullptr || (config.dramBuffer && !gx.frames.Init(gx.bytes))) {
        throw std::runtime_error("cannot have the display's memory");
    }
    gx.programThread = GetCurrentThreadId();
    gx.ready.store(true);
    PrepareScreenDump();
    StartScreenWindow();
}

// Every GX call starts here, so this is where an exception stops: the
// program gets the platform's answers, never an exception, and a gx.dll
// that cannot start ends the process with one line as plasma-demo would.
BOOL CALLBACK Start(PINIT_ONCE, PVOID, PVOID*) {
    try {
        StartNow();
    } catch (const UsageError& failure) {
        WriteErrorLine(std::string("gx.dll: ") + failure.what());
        ExitProcess(kBadSetting);
    } catch (const std::exception& failure) {
        WriteErrorLine(std::string("gx.dll: ") + failure.what());
        ExitProcess(kFailed);
    }
    return TRUE;
}
}  // namespace

// Built as gx.dll loads, before any of its calls can be made.
GxState gState;

GxState& Gx() {
    return gState;
}

void EnsureStarted() {
    InitOnceExecuteOnce(&gStartOnce, Start, nullptr, nullptr);
}

void CopyScreen(uint16_t* pixels, uint64_t* published) {
    GxState& gx = Gx();
    *published = 0;
    const uint8_t* memory = gx.memory;
    if (gx.settings.launch.device.dramBuffer) {
        memory = gx.frames.Latest(published);
    }
    // Read while the program may be drawing, as the panel's scan-out does: a
    // torn frame is what the user would see too.
    const volatile uint8_t* bytes = memory;
    const int32_t scale = gx.scale;
    for (int32_t y = 0; y < gx.screenHeight; ++y) {
        for (int32_t x = 0; x < gx.screenWidth; ++x) {
            const ptrdiff_t at = platform::PixelOffset(gx.geometry, x / scale, y / scale);
            *pixels++ = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        }
    }
}

void WriteErrorLine(const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}
