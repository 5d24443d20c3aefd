// The order in which GetMessageW hands out messages: posted ones first, then
// input from the device, and the quit only once nothing else is queued.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <windows.h>

#include "platform/device.h"
#include "tests/platform/test_window.h"

namespace {

constexpr UINT kUserMessage = 0x0400;
constexpr UINT kNever = 0;

struct OrderCase {
    const char* name;
    UINT quitOn;  // the procedure quits on this message; kNever: `queue` quits
    std::function<void(HWND)> queue;
    std::vector<Seen> expected;
};

const OrderCase kOrderCases[] = {
    {"PostedBeforeInput",
     kNever,
     [](HWND w) {
         device::KeyDown(VK_LEFT);
         PostMessageW(w, kUserMessage, 5, 0);
         PostQuitMessage(kQuitCode);
     },
     {{kUserMessage, 5}, {WM_KEYDOWN, VK_LEFT}, {WM_QUIT, kQuitCode}}},
    {"QuitWaitsForMessagesQueuedAfterIt",
     kNever,
     [](HWND w) {
         PostQuitMessage(kQuitCode);
         device::KeyDown(VK_RETURN);
         PostMessageW(w, kUserMessage, 1, 0);
     },
     {{kUserMessage, 1}, {WM_KEYDOWN, VK_RETURN}, {WM_CHAR, '\r'}, {WM_QUIT, kQuitCode}}},
    {"CharacterAndKeyUpComeBeforeQuit",
     WM_KEYDOWN,
     [](HWND) {
         device::KeyDown('A');
         device::KeyUp('A');
     },
     {{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}, {WM_QUIT, kQuitCode}}},
    {"StylusUpComesBeforeQuit",
     WM_LBUTTONDOWN,
     [](HWND) {
         device::StylusDown(4, 4);
         device::StylusUp(4, 4);
     },
     {{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}, {WM_QUIT, kQuitCode}}},
    // Destroying the window leaves its input queued: the handheld's
    // DestroyWindow does not flush the queue.
    {"CloseIsPostedAheadOfInputThatOutlivesTheWindow",
     WM_DESTROY,
     [](HWND) {
         device::KeyDown(VK_DOWN);
         device::CloseRequest();
     },
     {{WM_CLOSE, 0}, {WM_KEYDOWN, VK_DOWN}, {WM_QUIT, kQuitCode}}},
};

void PrintTo(const OrderCase& c, std::ostream* out) {
    *out << c.name;
}

class MessageOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(MessageOrder, GetMessageReturnsQueuedMessagesInOrderAndQuitLast) {
    const OrderCase& c = GetParam();
    TestWindowBehaviour behaviour;
    behaviour.quitOn = c.quitOn;
    const HWND window = CreateTestWindow(0, 0, 240, 320, behaviour);
    ASSERT_NE(window, nullptr);
    c.queue(window);

    const std::vector<MSG> taken = PumpUntilQuit();

    EXPECT_EQ(MessagesOf(taken), c.expected);
    for (const MSG& m : taken) {
        EXPECT_EQ(m.hwnd, m.message == WM_QUIT ? nullptr : window);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MessageOrder, testing::ValuesIn(kOrderCases),
                         [](const testing::TestParamInfo<OrderCase>& info) {
                             return std::string(info.param.name);
                         });

struct CharacterCase {
    UINT key;
    int character;  // -1: none
};

TEST(TranslateMessage, PostsTheUnshiftedCharacterOfAKeyDownWithItsLParam) {
    const CharacterCase cases[] = {
        {'A', 'a'},      {'Z', 'z'},        {'0', '0'},        {'9', '9'},
        {VK_SPACE, ' '}, {VK_RETURN, '\r'}, {VK_ESCAPE, 0x1B}, {VK_BACK, 0x08},
        {VK_TAB, '\t'},  {VK_LEFT, -1},     {VK_DOWN, -1},     {0x70 /* F1 */, -1},
    };
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    for (const CharacterCase& c : cases) {
        SCOPED_TRACE(c.key);
        const LPARAM lParam = 0x00150001 + static_cast<LPARAM>(c.key);
        const MSG keyDown{window, WM_KEYDOWN, c.key, lParam, 0, {0, 0}};
        // Nonzero for any key down, zero for a key up, as on the handheld;
        // only a key down with a character posts.
        EXPECT_EQ(TranslateMessage(&keyDown), TRUE);
        const MSG keyUp{window, WM_KEYUP, c.key, lParam, 0, {0, 0}};
        EXPECT_EQ(TranslateMessage(&keyUp), FALSE);
        const MSG tap{window, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {0, 0}};
        EXPECT_EQ(TranslateMessage(&tap), FALSE);
        PostQuitMessage(0);
        const std::vector<MSG> taken = PumpUntilQuit();
        ASSERT_EQ(taken.size(), c.character >= 0 ? 2u : 1u);
        if (c.character >= 0) {
            EXPECT_EQ(taken[0].message, static_cast<UINT>(WM_CHAR));
            EXPECT_EQ(taken[0].wParam, static_cast<WPARAM>(c.character));
            EXPECT_EQ(taken[0].lParam, lParam);
            EXPECT_EQ(taken[0].hwnd, window);
        }
    }
}

TEST(GetMessage, FiltersByWindowAndRangeAndLeavesTheRestQueued) {
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(nullptr, kUserMessage, 1, 0);  // to the thread, no window
    PostMessageW(window, kUserMessage + 1, 2, 0);
    PostMessageW(window, kUserMessage + 2, 3, 0);

    MSG m{};
    ASSERT_EQ(GetMessageW(&m, window, 0, 0), TRUE);
    EXPECT_EQ(m.wParam, 2u);
    ASSERT_EQ(GetMessageW(&m, nullptr, kUserMessage + 2, kUserMessage + 2), TRUE);
    EXPECT_EQ(m.wParam, 3u);
    ASSERT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_EQ(m.hwnd, nullptr);
}

}  // namespace
