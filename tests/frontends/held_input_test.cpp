// A front-end's held input: the device hears of a release only for what it
// heard pressed, of a drag only when the stylus moved, and of the release of
// everything held when the front-end lets go.

#include <gtest/gtest.h>

#include <vector>

#include <windows.h>

#include "frontends/common/device_input.h"
#include "tests/platform/test_window.h"

namespace {

struct Step {
    enum Kind { kDown, kMove, kUp, kKeyDown, kKeyUp, kReleaseAll } kind;
    int32_t x = 0, y = 0;  // the stylus's point, or x the key
};

struct Expected {
    UINT message;
    int32_t x = 0, y = 0;  // the stylus's point, or x the key
};

struct HeldCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<Expected> expected;
};

void PrintTo(const HeldCase& c, std::ostream* out) {
    *out << c.name;
}

const HeldCase kCases[] = {
    {"AStylusStaysDownUntilItsUp",
     {{Step::kDown, 1, 2}, {Step::kDown, 3, 4}, {Step::kUp, 5, 6}, {Step::kUp, 7, 8}},
     {{WM_LBUTTONDOWN, 1, 2}, {WM_LBUTTONUP, 5, 6}}},
    {"MovesOnlyWhenTheStylusMoved",
     {{Step::kMove, 1, 1}, {Step::kDown, 5, 6}, {Step::kMove, 5, 6}, {Step::kUp, 7, 8}},
     {{WM_LBUTTONDOWN, 5, 6}, {WM_LBUTTONUP, 7, 8}}},
    {"KeysGoUpOnlyWhenHeld",
     {{Step::kKeyUp, VK_LEFT},
      {Step::kKeyDown, VK_RIGHT},
      {Step::kKeyDown, VK_RIGHT},
      {Step::kKeyUp, VK_RIGHT},
      {Step::kKeyUp, VK_RIGHT}},
     {{WM_KEYDOWN, VK_RIGHT}, {WM_KEYDOWN, VK_RIGHT}, {WM_KEYUP, VK_RIGHT}}},
    {"LettingGoLiftsTheStylusWhereItWasAndEveryKeyOnce",
     {{Step::kDown, 5, 6},
      {Step::kMove, 7, 8},
      {Step::kKeyDown, VK_LEFT},
      {Step::kKeyDown, VK_UP},
      {Step::kReleaseAll},
      {Step::kReleaseAll},
      {Step::kUp, 9, 9},
      {Step::kKeyUp, VK_LEFT}},
     {{WM_LBUTTONDOWN, 5, 6},
      {WM_MOUSEMOVE, 7, 8},
      {WM_KEYDOWN, VK_LEFT},
      {WM_KEYDOWN, VK_UP},
      {WM_LBUTTONUP, 7, 8},
      {WM_KEYUP, VK_LEFT},
      {WM_KEYUP, VK_UP}}},
};

class Held : public testing::TestWithParam<HeldCase> {};

TEST_P(Held, ReachesTheDeviceAsThePlatformsMessages) {
    const HeldCase& c = GetParam();
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    DeviceInput sink;
    device::HeldInput held(sink);
    for (const Step& s : c.steps) {
        switch (s.kind) {
            case Step::kDown:
                held.StylusDown(s.x, s.y);
                break;
            case Step::kMove:
                held.StylusMove(s.x, s.y);
                break;
            case Step::kUp:
                held.StylusUp(s.x, s.y);
                break;
            case Step::kKeyDown:
                held.KeyDown(static_cast<UINT>(s.x));
                break;
            case Step::kKeyUp:
                held.KeyUp(static_cast<UINT>(s.x));
                break;
            case Step::kReleaseAll:
                held.ReleaseAll();
                break;
        }
    }
    EXPECT_FALSE(held.StylusHeld());
    PostQuitMessage(kQuitCode);
    std::vector<MSG> taken = PumpUntilQuit();
    taken.pop_back();

    ASSERT_EQ(taken.size(), c.expected.size());
    for (size_t i = 0; i < taken.size(); ++i) {
        const Expected& e = c.expected[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(taken[i].message, e.message);
        if (e.message == WM_KEYDOWN || e.message == WM_KEYUP) {
            EXPECT_EQ(taken[i].wParam, static_cast<WPARAM>(e.x));
        } else {
            EXPECT_EQ(taken[i].pt.x, e.x);
            EXPECT_EQ(taken[i].pt.y, e.y);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Held, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<HeldCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
