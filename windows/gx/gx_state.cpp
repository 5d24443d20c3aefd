#include "windows/gx/gx_state.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>

#include "cli/exit_status.h"
#include "device_core/display_memory.h"
#include "device_core/scan_out.h"
#include "windows/gx/screen_dump.h"
#include "windows/gx/screen_window.h"

namespace {
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
    gx.model = device::ModelFor(config);
    gx.memory = device::AllocateDisplayMemory(gx.model.bytes, gx.model.flush);
    if (gx.memory == nullptr || (config.dramBuffer && !gx.frames.Init(gx.model.bytes))) {
        throw std::runtime_error("cannot have the display's memory");
    }
    gx.pacer = device::FramePacer(config.framesPerSecond);
    gx.programThread = GetCurrentThreadId();
    PrepareScreenDump();
    StartScreenWindow();
    // Only a display that started leaves a screenshot and counts at the end.
    gx.ready.store(true);
}

// Every GX call starts here, so this is where an exception stops: the
// program gets the platform's answers, never an exception, and a gx.dll
// that cannot start ends the process with one line as plasma-demo would.
BOOL CALLBACK Start(PINIT_ONCE, PVOID, PVOID*) {
    try {
        StartNow();
    } catch (const std::exception& error) {
        const cli::Failure failure = cli::FailureOf("gx.dll", error);
        WriteErrorLine(failure.line);
        ExitProcess(static_cast<UINT>(failure.status));
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
    device::ScanOut(memory, gx.model, pixels);
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::string DescribeError(DWORD code) {
    char text[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, text, sizeof text, nullptr);
    std::string described(text, length);
    while (!described.empty() && (described.back() == '\n' || described.back() == '\r' ||
                                  described.back() == ' ' || described.back() == '.')) {
        described.pop_back();
    }
    if (described.empty()) {
        std::snprintf(text, sizeof text, "error 0x%08lx", static_cast<unsigned long>(code));
        described = text;
    }
    return described;
}

void WriteErrorLine(const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}
