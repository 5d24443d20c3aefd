// Input from the device reaches the main window's thread as the platform's
// stylus and key messages.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <iterator>
#include <thread>
#include <vector>

#include <windows.h>

#include "platform/device.h"
#include "tests/platform/test_window.h"
#include "tests/support/eventually.h"

namespace {

constexpr int kWindowX = 2;
constexpr int kWindowY = 3;

struct StylusEvent {
    enum Kind { kDown, kMove, kUp } kind;
    int32_t x, y;  // on the screen
};

struct Expected {
    UINT message;
    int32_t x, y;  // on the screen
};

struct StylusCase {
    const char* name;
    std::vector<StylusEvent> events;
    std::vector<Expected> expected;
};

const StylusCase kStylusCases[] = {
    {"MovesOnlyWhileDown",
     {{StylusEvent::kMove, 1, 1},
      {StylusEvent::kDown, 5, 6},
      {StylusEvent::kMove, 7, 8},
      {StylusEvent::kUp, 9, 10},
      {StylusEvent::kMove, 11, 12},
      {StylusEvent::kUp, 13, 14}},
     {{WM_LBUTTONDOWN, 5, 6}, {WM_MOUSEMOVE, 7, 8}, {WM_LBUTTONUP, 9, 10}}},
    {"PendingMovesCoalesce",
     {{StylusEvent::kDown, 5, 6},
      {StylusEvent::kMove, 7, 8},
      {StylusEvent::kMove, 9, 10},
      {StylusEvent::kMove, 11, 12},
      {StylusEvent::kUp, 13, 14}},
     {{WM_LBUTTONDOWN, 5, 6}, {WM_MOUSEMOVE, 11, 12}, {WM_LBUTTONUP, 13, 14}}},
    {"AtMostOneMovePendingAcrossStrokes",
     {{StylusEvent::kDown, 1, 2},
      {StylusEvent::kMove, 3, 4},
      {StylusEvent::kUp, 5, 6},
      {StylusEvent::kDown, 7, 8},
      {StylusEvent::kMove, 9, 10}},
     {{WM_LBUTTONDOWN, 1, 2}, {WM_LBUTTONUP, 5, 6}, {WM_LBUTTONDOWN, 7, 8}, {WM_MOUSEMOVE, 9, 10}}},
    {"ClientCoordinatesCanBeNegative",
     {{StylusEvent::kDown, 0, 1}, {StylusEvent::kUp, 0, 0}},
     {{WM_LBUTTONDOWN, 0, 1}, {WM_LBUTTONUP, 0, 0}}},
};

void PrintTo(const StylusCase& c, std::ostream* out) {
    *out << c.name;
}

class Stylus : public testing::TestWithParam<StylusCase> {};

TEST_P(Stylus, ArrivesInClientCoordinatesWithTheButtonState) {
    const StylusCase& c = GetParam();
    const HWND window = CreateTestWindow(kWindowX, kWindowY, 100, 100);
    ASSERT_NE(window, nullptr);
    for (const StylusEvent& e : c.events) {
        const std::function<void(int32_t, int32_t)> send[] = {device::StylusDown,
                                                              device::StylusMove, device::StylusUp};
        send[e.kind](e.x, e.y);
    }
    PostQuitMessage(kQuitCode);

    std::vector<MSG> taken = PumpUntilQuit();
    taken.pop_back();

    ASSERT_EQ(taken.size(), c.expected.size());
    DWORD previousTime = 0;
    for (size_t i = 0; i < taken.size(); ++i) {
        const Expected& e = c.expected[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(taken[i].hwnd, window);
        EXPECT_EQ(taken[i].message, e.message);
        EXPECT_EQ(taken[i].wParam, e.message == WM_LBUTTONUP ? 0u : WPARAM{MK_LBUTTON});
        EXPECT_EQ(taken[i].lParam, MAKELPARAM(e.x - kWindowX, e.y - kWindowY));
        EXPECT_EQ(taken[i].pt.x, e.x);
        EXPECT_EQ(taken[i].pt.y, e.y);
        EXPECT_GE(taken[i].time, previousTime);
        previousTime = taken[i].time;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Stylus, testing::ValuesIn(kStylusCases),
                         [](const testing::TestParamInfo<StylusCase>& info) {
                             return std::string(info.param.name);
                         });

// On a panel that shows the program's display scaled up, the stylus lands
// on the display pixel under it: the program never sees panel coordinates.
TEST(Stylus, OnAScaledDisplayArrivesInTheDisplaysCoordinates) {
    device::Config config;
    config.panelWidth = 480;
    config.panelHeight = 640;
    config.displayScale = 2;
    device::Init(config);
    const HWND window = CreateTestWindow(kWindowX, kWindowY, 100, 100);
    ASSERT_NE(window, nullptr);
    device::StylusDown(479, 639);
    device::StylusUp(9, 7);
    PostQuitMessage(kQuitCode);
    std::vector<MSG> taken = PumpUntilQuit();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].lParam, MAKELPARAM(239 - kWindowX, 319 - kWindowY));
    EXPECT_EQ(taken[0].pt.x, 239);
    EXPECT_EQ(taken[0].pt.y, 319);
    EXPECT_EQ(taken[1].lParam, MAKELPARAM(4 - kWindowX, 3 - kWindowY));
    EXPECT_EQ(taken[1].pt.x, 4);
    EXPECT_EQ(taken[1].pt.y, 3);
}

// Bits of a key message's lParam.
constexpr LPARAM kRepeatCount = 0xFFFF;
constexpr LPARAM kScanCode = 0xFF << 16;
constexpr LPARAM kExtended = 1 << 24;
constexpr LPARAM kPreviousDown = LPARAM{1} << 30;
constexpr LPARAM kReleased = LPARAM{1} << 31;

TEST(Keys, CarryRepeatCountScanCodeAndTransitionBits) {
    struct KeyEvent {
        UINT key;
        bool down;
        UINT message;
        bool previousDown;
    };
    const KeyEvent events[] = {
        {'A', true, WM_KEYDOWN, false},     {'A', true, WM_KEYDOWN, true},  // held: a repeat
        {'A', false, WM_KEYUP, true},       {'B', true, WM_KEYDOWN, false},
        {VK_LEFT, true, WM_KEYDOWN, false}, {VK_LEFT, false, WM_KEYUP, true},
        {'B', false, WM_KEYUP, true},
    };
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    for (const KeyEvent& e : events) {
        (e.down ? device::KeyDown : device::KeyUp)(e.key);
    }
    PostQuitMessage(kQuitCode);
    std::vector<MSG> keys;
    for (const MSG& m : PumpUntilQuit()) {
        if (m.message == WM_KEYDOWN || m.message == WM_KEYUP) {
            keys.push_back(m);
        }
    }

    ASSERT_EQ(keys.size(), std::size(events));
    LPARAM scanOf[256] = {};
    for (size_t i = 0; i < keys.size(); ++i) {
        const KeyEvent& e = events[i];
        const LPARAM l = keys[i].lParam;
        SCOPED_TRACE(i);
        EXPECT_EQ(keys[i].message, e.message);
        EXPECT_EQ(keys[i].wParam, e.key);
        EXPECT_EQ(l & kRepeatCount, 1);
        EXPECT_NE(l & kScanCode, 0);
        EXPECT_EQ((l & kPreviousDown) != 0, e.previousDown);
        EXPECT_EQ((l & kReleased) != 0, !e.down);
        EXPECT_EQ((l & kExtended) != 0, e.key == VK_LEFT);
        if (scanOf[e.key] == 0) {
            scanOf[e.key] = l & kScanCode;
        }
        EXPECT_EQ(l & kScanCode, scanOf[e.key]) << "a key keeps its scan code";
    }
    EXPECT_NE(scanOf['A'], scanOf['B']);
}

TEST(Input, IsIgnoredWhileThereIsNoMainWindow) {
    device::KeyDown('A');
    device::StylusDown(1, 1);
    device::CloseRequest();
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    PostQuitMessage(kQuitCode);
    EXPECT_EQ(PumpUntilQuit().size(), 1u);
}

TEST(Input, FromAnotherThreadWakesTheWaitingWindowThread) {
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    std::thread host([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        device::StylusDown(10, 20);
    });
    MSG m{};
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
    host.join();
    EXPECT_EQ(m.message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(m.lParam, MAKELPARAM(10, 20));
}

TEST(Input, GoesToTheThreadThatMadeTheMainWindow) {
    // The main window belongs to a thread of its own; this thread's queue
    // must stay empty.
    HWND window = nullptr;
    std::vector<MSG> taken;
    std::atomic<bool> created{false};
    std::thread owner([&] {
        window = CreateTestWindow();
        created = true;
        taken = PumpUntilQuit();
    });
    if (!Eventually([&] { return created.load(); })) {
        owner.detach();
        FAIL() << "the window's thread did not make it";
    }
    device::CloseRequest();
    owner.join();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(MessagesOf(taken), (std::vector<Seen>{{WM_CLOSE, 0}, {WM_QUIT, kQuitCode}}));
    PostQuitMessage(0);
    MSG m{};
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);
}

}  // namespace
