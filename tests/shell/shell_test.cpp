// The program's shell on the emulated device: the drawing surface it opens
// and how a stop ends the render thread. The program's state is process-wide,
// so each test runs in a process of its own (ctest runs them so); nothing but
// the stand-in and the program is needed, so these run on any target.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gx.h>
#include <windows.h>

#include "display/display_access.h"
#include "display/draw_surface.h"
#include "effect/plasma_effect.h"
#include "platform/device.h"
#include "shell/shell.h"
#include "tests/support/case_name.h"
#include "tests/support/eventually.h"

namespace {

std::vector<uint16_t> Screen() {
    std::vector<uint16_t> pixels(static_cast<size_t>(device::ScreenWidth()) *
                                 device::ScreenHeight());
    device::CopyScreen(pixels.data());
    return pixels;
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

struct SurfaceCase {
    const char* name;
    int32_t panelWidth, panelHeight;
    int rotation;
    long long offset, xPitch, yPitch, width, height, renderHeight;
    int32_t firstDrawnRow, lastDrawnRow, drawnPerRow;
};

void PrintTo(const SurfaceCase& c, std::ostream* os) {
    *os << c.name;
}

// Screen rows as the user holds the device: the plasma fills rows 24 to
// height - 2 of the clamped area and leaves the rest alone.
const SurfaceCase kSurfaces[] = {
    {"portrait 240x320", 240, 320, 0, 11520, 2, 480, 240, 320, 295, 24, 318, 240},
    {"vga landscape 640x480", 480, 640, 90, 48, -960, 2, 640, 320, 295, 24, 318, 640},
    {"wide and tall 800x600 clamped", 800, 600, 0, 24 * 1600, 2, 1600, 640, 320, 295, 24, 318, 640},
    {"small 200x100 keeps its size", 200, 100, 0, 24 * 400, 2, 400, 200, 100, 75, 24, 98, 200},
    {"sideways 320x240", 240, 320, 90, 48, -480, 2, 320, 240, 215, 24, 238, 320},
    {"upside down 240x320", 240, 320, 180, -24 * 480, -2, -480, 240, 320, 295, 24, 318, 240},
    {"26 rows draw one", 100, 26, 0, 24 * 200, 2, 200, 100, 26, 1, 24, 24, 100},
    {"25 rows draw none", 100, 25, 0, 24 * 200, 2, 200, 100, 25, 0, -1, -1, 0},
    {"20 rows draw none", 100, 20, 0, 24 * 200, 2, 200, 100, 20, -5, -1, -1, 0},
};

class DrawingSurface : public ::testing::TestWithParam<SurfaceCase> {};

// Opens the display on the panel, draws one frame and compares the drawing
// surface and the rows of the screen that changed.
TEST_P(DrawingSurface, FollowsTheDisplaysGeometry) {
    const SurfaceCase& c = GetParam();
    device::Config config;
    config.panelWidth = c.panelWidth;
    config.panelHeight = c.panelHeight;
    config.rotation = c.rotation;
    device::Init(config);
    ASSERT_EQ(OpenDisplay(), 1);
    const uint16_t sentinel = 0xA5A5;
    PaintScreen(sentinel);
    EXPECT_EQ(gDrawSurface.origin - static_cast<uint8_t*>(GXBeginDraw()), c.offset);
    EXPECT_EQ(gDrawSurface.xPitch, c.xPitch);
    EXPECT_EQ(gDrawSurface.yPitch, c.yPitch);
    EXPECT_EQ(gDrawSurface.width, c.width);
    EXPECT_EQ(gDrawSurface.height, c.height);
    EXPECT_EQ(gDrawSurface.renderHeight, c.renderHeight);

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
    EXPECT_EQ(firstRow, c.firstDrawnRow);
    EXPECT_EQ(lastRow, c.lastDrawnRow);
    EXPECT_EQ(widest, c.drawnPerRow);
}

INSTANTIATE_TEST_SUITE_P(Geometries, DrawingSurface, ::testing::ValuesIn(kSurfaces), NameOfCase());

class DisplayFailure : public ::testing::TestWithParam<device::DisplayFailure> {};

TEST_P(DisplayFailure, OpeningFailsWhenTheDisplayOrItsMemoryCannotBeHad) {
    device::Config config;
    config.failure = GetParam();
    device::Init(config);
    EXPECT_EQ(OpenDisplay(), 0);
}

INSTANTIATE_TEST_SUITE_P(Failures, DisplayFailure,
                         ::testing::Values(device::DisplayFailure::kOpen,
                                           device::DisplayFailure::kBegin),
                         [](const auto& info) {
                             return info.param == device::DisplayFailure::kOpen ? "Open" : "Begin";
                         });

// Runs `entry` as the program on a default device until it ends.
void RunProgram(device::EntryPoint entry, device::Config config = device::Config{}) {
    device::Init(config);
    device::StartProgram(entry, u"", SW_SHOW);
    ASSERT_TRUE(device::WaitForProgramEnd(20000));
    EXPECT_EQ(device::ExitCode(), 0);
}

struct DestroySeen {
    bool started = false, drawing = false, frozen = false, running = true;
    int messagesBeforeQuit = -1;
    WPARAM quitCode = 1;
} gDestroy;

// A window destroyed by the platform (not through the queue) stops the
// render thread before DestroyWindow returns.
int WINAPI DestroyEntry(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    if (!OpenDisplay() || !CreateMainWindow(showCommand, instance))
        return 10;
    gDestroy.started = true;
    gRenderThread = CreateThread(nullptr, 4096, RenderThreadProc, nullptr, 0, &gRenderThreadId);
    const std::vector<uint16_t> before = Screen();
    for (int i = 0; i < 2500 && Screen() == before; ++i)
        Sleep(2);
    gDestroy.drawing = Screen() != before;
    DestroyWindow(gMainWindow);
    // The thread ends with the code it was found running with, so only the
    // screen can tell that it is gone.
    const std::vector<uint16_t> atDestroy = Screen();
    Sleep(100);
    gDestroy.frozen = Screen() == atDestroy;
    gDestroy.running = IsRunning();
    MSG message;
    int handled = 0;
    while (GetMessageW(&message, nullptr, 0, 0))
        ++handled;
    gDestroy.messagesBeforeQuit = handled;
    gDestroy.quitCode = message.wParam;
    return 0;
}

TEST(StopProtocol, DestroyingTheWindowStopsTheRenderThreadAtOnce) {
    RunProgram(DestroyEntry);
    ASSERT_TRUE(gDestroy.started);
    EXPECT_TRUE(gDestroy.drawing);
    EXPECT_TRUE(gDestroy.frozen);
    EXPECT_FALSE(gDestroy.running);
    EXPECT_EQ(gDestroy.messagesBeforeQuit, 0);
    EXPECT_EQ(gDestroy.quitCode, 0u);
}

constexpr int kEarlyStopRounds = 50;
int gStoppedClean = -1;

// Stops that come right after the render thread was created, mostly before
// it has set its flag.
int WINAPI EarlyStopEntry(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    if (!OpenDisplay() || !CreateMainWindow(showCommand, instance))
        return 10;
    gStoppedClean = 0;
    for (int i = 0; i < kEarlyStopRounds; ++i) {
        gRenderThread = CreateThread(nullptr, 4096, RenderThreadProc, nullptr, 0, &gRenderThreadId);
        MainWndProc(gMainWindow, WM_KEYDOWN, VK_SPACE, 0);
        const std::vector<uint16_t> atStop = Screen();
        const bool flagDown = !IsRunning();
        Sleep(20);
        gStoppedClean += flagDown && !IsRunning() && Screen() == atStop;
    }
    return 0;
}

TEST(StopProtocol, StopBeforeTheRenderThreadSetsItsFlagStillEndsIt) {
    RunProgram(EarlyStopEntry);
    EXPECT_EQ(gStoppedClean, kEarlyStopRounds);
}

// The whole program until a close request; then the screen must stay as it
// is. On a DRAM-buffer display every frame is published.
void ExpectCloseFreezesTheScreen(bool dramBuffer) {
    device::Config config;
    config.dramBuffer = dramBuffer;
    device::Init(config);
    device::StartProgram(WinMain, u"", SW_SHOW);
    ASSERT_TRUE(Eventually([] { return device::MainWindowExists(); }));
    const std::vector<uint16_t> blank = Screen();
    ASSERT_TRUE(Eventually([&] { return Screen() != blank; })) << "the plasma is drawn";
    const std::vector<uint16_t> drawn = Screen();
    EXPECT_TRUE(Eventually([&] { return Screen() != drawn; })) << "the plasma animates";
    device::CloseRequest();
    ASSERT_TRUE(device::WaitForProgramEnd(20000));
    EXPECT_EQ(device::ExitCode(), 0);
    EXPECT_EQ(device::PublishedFrames() > 1, dramBuffer);
    const std::vector<uint16_t> atExit = Screen();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(Screen(), atExit) << "drawn after the program ended";
}

TEST(StopProtocol, NothingIsDrawnAfterTheStop) {
    ExpectCloseFreezesTheScreen(false);
}

TEST(StopProtocol, DramBufferDisplaysPublishEachFrame) {
    ExpectCloseFreezesTheScreen(true);
}

}  // namespace
