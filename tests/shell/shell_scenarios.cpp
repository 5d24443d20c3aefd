// Runs one scenario of the program on the emulated device and prints what it
// saw as `key=value` lines; the tests run each scenario in a process of its
// own, because the program's state is process-wide.
#include <gx.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "display/display_access.h"
#include "display/draw_surface.h"
#include "effect/plasma_effect.h"
#include "emulator/host_loop.h"
#include "frontends/headless/headless_frontend.h"
#include "platform/device.h"
#include "shell/shell.h"

namespace {
using Clock = std::chrono::steady_clock;

std::vector<uint16_t> Screen() {
    std::vector<uint16_t> pixels(static_cast<size_t>(device::ScreenWidth()) *
                                 device::ScreenHeight());
    device::CopyScreen(pixels.data());
    return pixels;
}

void Print(const char* key, long long value) {
    std::printf("%s=%lld\n", key, value);
}

// Paints the whole screen, through display memory, in one colour.
void PaintScreen(uint16_t colour) {
    auto* first = static_cast<uint8_t*>(GXBeginDraw());
    const GXDisplayProperties p = GXGetDisplayProperties();
    for (DWORD y = 0; y < p.cyHeight; ++y) {
        for (DWORD x = 0; x < p.cxWidth; ++x) {
            std::memcpy(first + static_cast<ptrdiff_t>(x) * p.cbxPitch +
                            static_cast<ptrdiff_t>(y) * p.cbyPitch,
                        &colour, sizeof colour);
        }
    }
}

// Opens the display on the given panel, draws one frame and reports the
// drawing surface and which rows of the screen changed.
int Surface(int argc, char** argv) {
    if (argc < 6)
        return 64;
    device::Config config;
    config.panelWidth = std::atoi(argv[2]);
    config.panelHeight = std::atoi(argv[3]);
    config.rotation = std::atoi(argv[4]);
    config.failure = std::strcmp(argv[5], "open") == 0    ? device::DisplayFailure::Open
                     : std::strcmp(argv[5], "begin") == 0 ? device::DisplayFailure::Begin
                                                          : device::DisplayFailure::None;
    device::Init(config);
    const int opened = OpenDisplay();
    Print("opened", opened);
    if (!opened)
        return 0;
    const uint16_t sentinel = 0xA5A5;
    PaintScreen(sentinel);
    Print("offset", gDrawSurface.origin - static_cast<uint8_t*>(GXBeginDraw()));
    Print("xPitch", gDrawSurface.xPitch);
    Print("yPitch", gDrawSurface.yPitch);
    Print("width", gDrawSurface.width);
    Print("height", gDrawSurface.height);
    Print("renderHeight", gDrawSurface.renderHeight);

    PlasmaEffect effect;
    effect.Init(gDrawSurface.width, gDrawSurface.renderHeight);
    const std::vector<uint16_t> screen = Screen();
    const int32_t w = device::ScreenWidth(), h = device::ScreenHeight();
    int32_t firstRow = -1, lastRow = -1, widest = 0;
    for (int32_t y = 0; y < h; ++y) {
        int32_t changed = 0;
        for (int32_t x = 0; x < w; ++x)
            changed += screen[static_cast<size_t>(y) * w + x] != sentinel;
        if (changed > 0) {
            firstRow = firstRow < 0 ? y : firstRow;
            lastRow = y;
            widest = changed > widest ? changed : widest;
        }
    }
    Print("firstDrawnRow", firstRow);
    Print("lastDrawnRow", lastRow);
    Print("drawnPerRow", widest);
    return 0;
}

// A window destroyed by the platform (not through the queue) stops the
// render thread before DestroyWindow returns.
int WINAPI DestroyEntry(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    if (!OpenDisplay() || !CreateMainWindow(showCommand, instance))
        return 10;
    gRenderThread = CreateThread(nullptr, 4096, RenderThreadProc, nullptr, 0, &gRenderThreadId);
    const std::vector<uint16_t> before = Screen();
    for (int i = 0; i < 500 && Screen() == before; ++i)
        Sleep(2);
    Print("drawing", Screen() != before);
    DestroyWindow(gMainWindow);
    // The thread ends with the code it was found running with, so only the
    // screen can tell that it is gone.
    const std::vector<uint16_t> atDestroy = Screen();
    Sleep(100);
    Print("frozenAfterDestroy", Screen() == atDestroy);
    Print("runningAfterDestroy", gRunning.load());
    MSG message;
    int handled = 0;
    while (GetMessageW(&message, nullptr, 0, 0))
        ++handled;
    Print("messagesBeforeQuit", handled);
    Print("quitCode", static_cast<long long>(message.wParam));
    return 0;
}

// Stops that come right after the render thread was created, mostly before
// it has set its flag.
int WINAPI EarlyStopEntry(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    if (!OpenDisplay() || !CreateMainWindow(showCommand, instance))
        return 10;
    int stoppedClean = 0;
    const int rounds = 50;
    for (int i = 0; i < rounds; ++i) {
        gRenderThread = CreateThread(nullptr, 4096, RenderThreadProc, nullptr, 0, &gRenderThreadId);
        MainWndProc(gMainWindow, WM_KEYDOWN, VK_SPACE, 0);
        const std::vector<uint16_t> atStop = Screen();
        const bool flagDown = gRunning.load() == 0;
        Sleep(20);
        stoppedClean += flagDown && gRunning.load() == 0 && Screen() == atStop;
    }
    Print("rounds", rounds);
    Print("stoppedClean", stoppedClean);
    return 0;
}

int RunEntry(device::EntryPoint entry) {
    device::Init(device::Config{});
    device::StartProgram(entry, u"", SW_SHOW);
    if (!device::WaitForProgramEnd(20000))
        return 20;
    Print("exit", device::ExitCode());
    return 0;
}

// The whole program until a stop; then the screen must stay as it is.
int StopFreezes(int argc, char** argv) {
    LaunchOptions options;
    options.device.dramBuffer = argc > 2 && std::strcmp(argv[2], "dram") == 0;
    options.input = ScheduledInputKind::Close;
    options.inputAfterMs = 400;
    device::Init(options.device);
    HeadlessFrontend frontend;
    std::thread watch([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const std::vector<uint16_t> first = Screen();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        Print("animating", Screen() != first);
    });
    const int exitCode = RunHost(frontend, options, Clock::now());
    watch.join();
    Print("exit", exitCode);
    Print("publishedFrames", static_cast<long long>(device::PublishedFrames()));
    const std::vector<uint16_t> atExit = Screen();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Print("frozen", Screen() == atExit);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 64;
    const std::string scenario = argv[1];
    if (scenario == "surface")
        return Surface(argc, argv);
    if (scenario == "destroy")
        return RunEntry(DestroyEntry);
    if (scenario == "early-stop")
        return RunEntry(EarlyStopEntry);
    if (scenario == "stop-freezes")
        return StopFreezes(argc, argv);
    return 64;
}
