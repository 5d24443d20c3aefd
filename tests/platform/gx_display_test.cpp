// GX over emulated display memory: the geometry for each way the device is
// held, the screen the user sees, and the guard pages around the memory.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>
#include <vector>

#include <gx.h>

#include "platform/device.h"
#include "platform/src/sanitizer_build.h"

namespace {

struct RotationCase {
    int rotation;
    GXDisplayProperties properties;
    ptrdiff_t originOffset;  // of GXBeginDraw's address in display memory
};

constexpr int32_t kPanelWidth = 240;
constexpr int32_t kPanelHeight = 320;
constexpr DWORD kPortrait = kfDirect | kfDirect565;
constexpr DWORD kLandscape = kfDirect | kfDirect565 | kfLandscape;

const RotationCase kRotations[] = {
    {0, {240, 320, 2, 480, 16, kPortrait}, 0},
    {90, {320, 240, -480, 2, 16, kLandscape}, 319 * 480},
    {180, {240, 320, -2, -480, 16, kPortrait}, 320 * 480 - 2},
    {270, {320, 240, 480, -2, 16, kLandscape}, 239 * 2},
};

// The lowest address any logical pixel lies at: the start of display memory.
uint8_t* LowestPixel(uint8_t* origin, const GXDisplayProperties& p) {
    uint8_t* lowest = origin;
    for (int64_t x : {int64_t{0}, int64_t{p.cxWidth} - 1}) {
        for (int64_t y : {int64_t{0}, int64_t{p.cyHeight} - 1}) {
            uint8_t* at = origin + x * p.cbxPitch + y * p.cbyPitch;
            lowest = at < lowest ? at : lowest;
        }
    }
    return lowest;
}

void PrintTo(const RotationCase& c, std::ostream* out) {
    *out << "rotation " << c.rotation;
}

class Rotation : public testing::TestWithParam<RotationCase> {};

TEST_P(Rotation, PropertiesAndFirstPixelMatchTheWayTheDeviceIsHeld) {
    const RotationCase& c = GetParam();
    device::Config config;
    config.panelWidth = kPanelWidth;
    config.panelHeight = kPanelHeight;
    config.rotation = c.rotation;
    device::Init(config);
    ASSERT_EQ(GXOpenDisplay(reinterpret_cast<HWND>(1), GX_FULLSCREEN), 1);

    const GXDisplayProperties p = GXGetDisplayProperties();
    EXPECT_EQ(p.cxWidth, c.properties.cxWidth);
    EXPECT_EQ(p.cyHeight, c.properties.cyHeight);
    EXPECT_EQ(p.cbxPitch, c.properties.cbxPitch);
    EXPECT_EQ(p.cbyPitch, c.properties.cbyPitch);
    EXPECT_EQ(p.cBPP, c.properties.cBPP);
    EXPECT_EQ(p.ffFormat, c.properties.ffFormat);
    EXPECT_EQ(device::ScreenWidth(), static_cast<int32_t>(p.cxWidth));
    EXPECT_EQ(device::ScreenHeight(), static_cast<int32_t>(p.cyHeight));

    uint8_t* origin = static_cast<uint8_t*>(GXBeginDraw());
    ASSERT_NE(origin, nullptr);
    EXPECT_EQ(origin - LowestPixel(origin, p), c.originOffset);

    // Every pixel drawn through the pitches shows where the user sees it.
    const int32_t w = static_cast<int32_t>(p.cxWidth), h = static_cast<int32_t>(p.cyHeight);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const uint16_t value = static_cast<uint16_t>(y * w + x);
            std::memcpy(origin + x * p.cbxPitch + y * p.cbyPitch, &value, 2);
        }
    }
    EXPECT_EQ(GXEndDraw(), 1);
    std::vector<uint16_t> screen(static_cast<size_t>(w * h));
    device::CopyScreen(screen.data());
    for (size_t i = 0; i < screen.size(); ++i) {
        ASSERT_EQ(screen[i], static_cast<uint16_t>(i)) << "pixel " << i % w << "," << i / w;
    }
    EXPECT_EQ(device::PublishedFrames(), 0u) << "not a DRAM-buffer device";
    EXPECT_EQ(GXIsDisplayDRAMBuffer(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rotations, Rotation, testing::ValuesIn(kRotations),
                         [](const testing::TestParamInfo<RotationCase>& info) {
                             return "Turned" + std::to_string(info.param.rotation);
                         });

TEST(DramBuffer, ScreenShowsOnlyPublishedFrames) {
    device::Config config;
    config.panelWidth = 4;
    config.panelHeight = 3;
    config.dramBuffer = true;
    device::Init(config);
    ASSERT_EQ(GXOpenDisplay(nullptr, GX_FULLSCREEN), 1);
    EXPECT_EQ(GXIsDisplayDRAMBuffer(), 1);
    std::vector<uint16_t> screen(12, 0xFFFF);

    uint16_t* pixels = static_cast<uint16_t*>(GXBeginDraw());
    ASSERT_NE(pixels, nullptr);
    for (int i = 0; i < 12; ++i) {
        pixels[i] = static_cast<uint16_t>(100 + i);
    }
    device::CopyScreen(screen.data());
    EXPECT_EQ(screen, std::vector<uint16_t>(12, 0)) << "nothing published yet";

    EXPECT_EQ(GXEndDraw(), 1);
    EXPECT_EQ(device::PublishedFrames(), 1u);
    device::CopyScreen(screen.data());
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(screen[i], 100 + i);
    }

    pixels = static_cast<uint16_t*>(GXBeginDraw());
    pixels[0] = 7;  // drawn, not published
    device::CopyScreen(screen.data());
    EXPECT_EQ(screen[0], 100);
    EXPECT_EQ(GXEndDraw(), 1);
    device::CopyScreen(screen.data());
    EXPECT_EQ(screen[0], 7);
    EXPECT_EQ(device::PublishedFrames(), 2u);
}

// A VGA panel running a program that is not high-resolution aware: GX
// gives it a display of half the panel's size a side, and the panel shows
// each of its pixels as a 2x2 block, whether scanned out or published.
class ScaledDisplay : public testing::TestWithParam<bool> {};

TEST_P(ScaledDisplay, GxGivesTheSmallerDisplayAndThePanelShowsItDoubled) {
    const bool dram = GetParam();
    device::Config config;
    config.panelWidth = 8;
    config.panelHeight = 6;
    config.displayScale = 2;
    config.dramBuffer = dram;
    device::Init(config);
    ASSERT_EQ(GXOpenDisplay(nullptr, GX_FULLSCREEN), 1);
    const GXDisplayProperties p = GXGetDisplayProperties();
    EXPECT_EQ(p.cxWidth, 4u);
    EXPECT_EQ(p.cyHeight, 3u);
    EXPECT_EQ(p.cbxPitch, 2);
    EXPECT_EQ(p.cbyPitch, 8);
    ASSERT_EQ(device::ScreenWidth(), 8);
    ASSERT_EQ(device::ScreenHeight(), 6);

    uint16_t* pixels = static_cast<uint16_t*>(GXBeginDraw());
    ASSERT_NE(pixels, nullptr);
    for (int i = 0; i < 12; ++i) {
        pixels[i] = static_cast<uint16_t>(100 + i);
    }
    EXPECT_EQ(GXEndDraw(), 1);
    EXPECT_EQ(device::PublishedFrames(), dram ? 1u : 0u);
    std::vector<uint16_t> screen(48);
    device::CopyScreen(screen.data());
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(screen[y * 8 + x], 100 + (y / 2) * 4 + x / 2) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ScaledDisplay, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "DramBuffer" : "DisplayMemory");
                         });

struct FailureCase {
    const char* name;
    device::DisplayFailure failure;
    bool open;  // calls GXOpenDisplay first
    int openResult;
    bool drawable;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class DisplayFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(DisplayFailures, OpenAndBeginDrawFailAsConfigured) {
    const FailureCase& c = GetParam();
    device::Config config;
    config.failure = c.failure;
    device::Init(config);
    if (c.open) {
        EXPECT_EQ(GXOpenDisplay(nullptr, GX_FULLSCREEN), c.openResult);
    }
    EXPECT_EQ(GXBeginDraw() != nullptr, c.drawable);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayFailures,
    testing::Values(FailureCase{"None", device::DisplayFailure::kNone, true, 1, true},
                    FailureCase{"Open", device::DisplayFailure::kOpen, true, 0, false},
                    FailureCase{"Begin", device::DisplayFailure::kBegin, true, 1, false},
                    FailureCase{"NotOpened", device::DisplayFailure::kNone, false, 0, false}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// Closing the display ends drawing until it is opened again; a display that
// is not open cannot be closed.
TEST(CloseDisplay, EndsDrawingUntilOpenedAgain) {
    device::Init(device::Config{});
    ASSERT_EQ(GXOpenDisplay(nullptr, GX_FULLSCREEN), 1);
    EXPECT_EQ(GXCloseDisplay(), 1);
    EXPECT_EQ(GXBeginDraw(), nullptr);
    EXPECT_EQ(GXEndDraw(), 0);
    EXPECT_EQ(GXCloseDisplay(), 0);
    ASSERT_EQ(GXOpenDisplay(nullptr, GX_FULLSCREEN), 1);
    EXPECT_NE(GXBeginDraw(), nullptr);
}

// Display memory of a panel whose rows do not fill whole pages.
uint8_t* OpenOddPanel(int rotation = 0) {
    device::Config config;
    config.panelWidth = 7;
    config.panelHeight = 5;
    config.rotation = rotation;
    device::Init(config);
    GXOpenDisplay(nullptr, GX_FULLSCREEN);
    return static_cast<uint8_t*>(GXBeginDraw());
}

void Poke(volatile uint8_t* at) {
    *at = 1;
}

// A write outside display memory is a memory fault: the signal itself, or a
// sanitizer's report of one.
bool DiedOfAMemoryFault(int status) {
    if (platform::kSanitizerBuild) {
        return !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    }
    return WIFSIGNALED(status) && (WTERMSIG(status) == SIGSEGV || WTERMSIG(status) == SIGBUS);
}
const char* const kFaultReport = platform::kSanitizerBuild ? "SEGV" : "";

// The child forks without exec: qemu-user cannot start the ARM test binary
// again, and the write has to happen for the test to mean anything there.
class GuardPages : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "fast"); }
};

TEST_F(GuardPages, TheWholePanelIsWritable) {
    uint8_t* memory = OpenOddPanel();
    ASSERT_NE(memory, nullptr);
    for (size_t i = 0; i < 7 * 5 * 2; ++i) {
        Poke(memory + i);
    }
}

TEST_F(GuardPages, AWriteOnePixelPastTheEndFaults) {
    EXPECT_EXIT(Poke(OpenOddPanel() + 7 * 5 * 2), DiedOfAMemoryFault, kFaultReport);
}

// However the panel is held, one pixel past the end of the last row as the
// user sees it is outside display memory, and faults.
TEST_F(GuardPages, ARowDrawnOnePixelTooLongFaultsInEveryOrientation) {
    for (int rotation : {0, 90, 180, 270}) {
        EXPECT_EXIT(
            {
                uint8_t* first = OpenOddPanel(rotation);
                const GXDisplayProperties p = GXGetDisplayProperties();
                Poke(first + static_cast<ptrdiff_t>(p.cxWidth) * p.cbxPitch +
                     static_cast<ptrdiff_t>(p.cyHeight - 1) * p.cbyPitch);
            },
            DiedOfAMemoryFault, kFaultReport)
            << "rotation " << rotation;
    }
}

TEST_F(GuardPages, AWriteBeforeTheMemorysFirstPageFaults) {
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    EXPECT_EXIT(
        {
            const uintptr_t first = reinterpret_cast<uintptr_t>(OpenOddPanel()) / page * page;
            Poke(reinterpret_cast<uint8_t*>(first - 1));
        },
        DiedOfAMemoryFault, kFaultReport);
}

}  // namespace
