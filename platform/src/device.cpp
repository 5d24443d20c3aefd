// Setting the device up, and the program's life on it.

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/device.h"
#include "platform/src/clock.h"
#include "platform/src/display.h"
#include "platform/src/fatal.h"
#include "platform/src/host.h"
#include "platform/src/memory_shortage.h"
#include "platform/src/pacing.h"
#include "platform/src/sanitizer_build.h"
#include "platform/src/termination.h"
#include "platform/src/thread_record.h"
#include "platform/src/trace.h"
#include "platform/src/window_system.h"

namespace {

constexpr uintptr_t kModuleInstance = 0x10000;
constexpr size_t kProgramStack = platform::kSanitizerBuild ? 8u << 20 : 1u << 20;

struct DeviceState {
    std::mutex mutex;
    bool initialized = false;
    void (*wake)(void*) = nullptr;
    void* wakeContext = nullptr;
    int wakesRunning = 0;  // calls of a wake handler under way
    std::condition_variable wakesChanged;
    bool started = false;
    bool ended = false;
    bool endAnnounced = false;  // the host's wake for the end has returned
    std::thread::id programThread;
    int exitCode = 0;
    std::condition_variable endedChanged;
};

DeviceState& Device() {
    static DeviceState* state = new DeviceState;
    return *state;
}

const char* FailureName(device::DisplayFailure failure) {
    switch (failure) {
        case device::DisplayFailure::kOpen:
            return "Open";
        case device::DisplayFailure::kBegin:
            return "Begin";
        default:
            return "None";
    }
}

void ProgramReturned(int code) {
    const platform::TerminationDeferred deferred;
    platform::TraceLine("WinMain returned %d", code);
    DeviceState& d = Device();
    {
        const std::lock_guard<std::mutex> lock(d.mutex);
        d.ended = true;
        d.exitCode = code;
        d.programThread = std::this_thread::get_id();
    }
    platform::WakeHost();
    {
        const std::lock_guard<std::mutex> lock(d.mutex);
        d.endAnnounced = true;
    }
    d.endedChanged.notify_all();
}

}  // namespace

namespace platform {

HINSTANCE ModuleInstance() {
    return reinterpret_cast<HINSTANCE>(kModuleInstance);
}

void WakeHost() {
    DeviceState& d = Device();
    // A wake under way always finishes: SetWakeHandler waits for it.
    const TerminationDeferred deferred;
    void (*wake)(void*) = nullptr;
    void* context = nullptr;
    {
        const std::lock_guard<std::mutex> lock(d.mutex);
        wake = d.wake;
        context = d.wakeContext;
        if (wake == nullptr) {
            return;
        }
        ++d.wakesRunning;
    }
    wake(context);
    {
        const std::lock_guard<std::mutex> lock(d.mutex);
        --d.wakesRunning;
    }
    d.wakesChanged.notify_all();
}

bool HostListening() {
    DeviceState& d = Device();
    const TerminationDeferred deferred;
    const std::lock_guard<std::mutex> lock(d.mutex);
    return d.wake != nullptr;
}

}  // namespace platform

namespace device {

void Init(const Config& config) {
    DeviceState& d = Device();
    {
        const std::lock_guard<std::mutex> lock(d.mutex);
        if (d.initialized) {
            platform::Fatal("Init called twice; a process holds one device");
        }
        d.initialized = true;
    }
    if (config.panelWidth <= 0 || config.panelHeight <= 0) {
        platform::Fatal("Init: the panel needs a positive size");
    }
    if (config.rotation != 0 && config.rotation != 90 && config.rotation != 180 &&
        config.rotation != 270) {
        platform::Fatal("Init: rotation must be 0, 90, 180 or 270");
    }
    if (config.displayScale < 1 || config.panelWidth % config.displayScale != 0 ||
        config.panelHeight % config.displayScale != 0) {
        platform::Fatal("Init: the display scale must be positive and divide the panel's sides");
    }
    // Made now, on the host's call that may throw: made first by a program's
    // call, a shortage of memory for it would stop the program, and the host's
    // wake handler would meet it again.
    platform::Windows();
    platform::StartClock();
    platform::InstallTerminationHandler();
    platform::InitDisplay(config);
    platform::StartTrace(config.trace);
    platform::TraceLine(
        "Init(panel=%dx%d, displayScale=%d, rotation=%d, dramBuffer=%d, failure=%s)",
        config.panelWidth, config.panelHeight, config.displayScale, config.rotation,
        config.dramBuffer ? 1 : 0, FailureName(config.failure));
}

void SetWakeHandler(void (*wake)(void* context), void* context) {
    DeviceState& d = Device();
    std::unique_lock<std::mutex> lock(d.mutex);
    d.wake = wake;
    d.wakeContext = context;
    // The host may let go of the old handler's context once this returns.
    d.wakesChanged.wait(lock, [&d] { return d.wakesRunning == 0; });
}

void StartProgram(EntryPoint entry, const std::u16string& commandLine, int showCommand) {
    DeviceState& d = Device();
    {
        const std::lock_guard<std::mutex> lock(d.mutex);
        if (d.started) {
            platform::Fatal("StartProgram called twice; a process runs one program");
        }
        d.started = true;
    }
    // Short of memory or threads: the host's to report, not misuse.
    int error = ENOMEM;
    platform::ThreadRecord* thread = nullptr;
    try {
        std::vector<WCHAR> line(commandLine.begin(), commandLine.end());
        line.push_back(0);
        platform::TraceLine("StartProgram(commandLine=%s, show=%d)",
                            platform::Quoted(line.data()).c_str(), showCommand);
        auto body = [entry, line, showCommand]() mutable -> DWORD {
            const int code = entry(platform::ModuleInstance(), nullptr, line.data(), showCommand);
            try {
                ProgramReturned(code);
            } catch (const std::bad_alloc&) {
                platform::OutOfMemoryIn("return from WinMain");
            }
            return static_cast<DWORD>(code);
        };
        thread = platform::SpawnThread("main", kProgramStack, false, std::move(body), &error);
    } catch (const std::bad_alloc&) {
    }
    if (thread == nullptr) {
        throw std::runtime_error(std::string("cannot start the program's thread: ") +
                                 std::strerror(error));
    }
}

// True only once the wake for the end has returned too: the host may then
// let go of what its wake handler uses. The wait is as short as the handler,
// and is skipped when the handler itself asks.
bool ProgramEnded() {
    DeviceState& d = Device();
    std::unique_lock<std::mutex> lock(d.mutex);
    if (d.ended && d.programThread != std::this_thread::get_id()) {
        d.endedChanged.wait(lock, [&d] { return d.endAnnounced; });
    }
    return d.ended;
}

int ExitCode() {
    DeviceState& d = Device();
    const std::lock_guard<std::mutex> lock(d.mutex);
    return d.exitCode;
}

bool WaitForProgramEnd(int timeoutMs) {
    DeviceState& d = Device();
    std::unique_lock<std::mutex> lock(d.mutex);
    // Once it returns, the program's main thread makes no more calls to the host.
    const auto ended = [&d] { return d.endAnnounced; };
    if (timeoutMs < 0) {
        d.endedChanged.wait(lock, ended);
        return true;
    }
    return d.endedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended);
}

int FinishTrace() {
    platform::TraceLine("summary %s %s", platform::DisplayTraceSummary().c_str(),
                        platform::PacingSummary().c_str());
    return platform::FinishTrace();
}

}  // namespace device
