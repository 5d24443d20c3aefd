// Window classes and windows: which messages are sent straight to the
// procedure, and what is left of a window once it is destroyed.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include <windows.h>

#include "platform/device.h"
#include "tests/platform/test_window.h"

namespace {

constexpr UINT kUserMessage = 0x0400;
constexpr UINT kNcDestroy = 0x0082;

struct CreateCase {
    const char* name;
    LRESULT createResult;
    bool created;
};

void PrintTo(const CreateCase& c, std::ostream* out) {
    *out << c.name;
}

class WindowCreation : public testing::TestWithParam<CreateCase> {};

TEST_P(WindowCreation, SendsCreateBeforeReturningAndFailsWhenItSaysSo) {
    const CreateCase& c = GetParam();
    TestWindowBehaviour behaviour;
    behaviour.createResult = c.createResult;
    behaviour.quitOn = kUserMessage;  // not on WM_DESTROY: the queue must stay empty
    const HWND window = CreateTestWindow(0, 0, 240, 320, behaviour);

    const std::vector<Received> received = ReceivedMessages();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].message, static_cast<UINT>(WM_CREATE));
    EXPECT_NE(received[0].lParam, 0);
    EXPECT_EQ(window != nullptr, c.created);
    EXPECT_EQ(device::MainWindowExists(), c.created);
    const std::vector<Seen> expected = c.created
                                           ? std::vector<Seen>{{WM_CREATE, 0}}
                                           : std::vector<Seen>{{WM_CREATE, 0}, {WM_DESTROY, 0}};
    EXPECT_EQ(MessagesOf(received), expected);
    // Nothing was posted on the way.
    PostQuitMessage(kQuitCode);
    EXPECT_EQ(PumpUntilQuit().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowCreation,
                         testing::Values(CreateCase{"Accepted", 0, true},
                                         CreateCase{"Refused", -1, false}),
                         [](const testing::TestParamInfo<CreateCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(Window, UpdateWindowSendsPaintWithoutQueueingIt) {
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(UpdateWindow(window), TRUE);
    EXPECT_EQ(MessagesOf(ReceivedMessages()), (std::vector<Seen>{{WM_CREATE, 0}, {WM_PAINT, 0}}));
    PostQuitMessage(kQuitCode);
    EXPECT_EQ(PumpUntilQuit().size(), 1u);
}

// What was queued for the window stays queued: the handheld's DestroyWindow
// does not flush the thread's queue, and dispatching it reaches nobody.
TEST(Window, CloseDestroysAtOnceWithoutNcDestroyAndLeavesWhatWasQueued) {
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(window), 1u);
    PostMessageW(window, WM_CLOSE, 0, 0);
    PostMessageW(window, kUserMessage, 0, 0);

    const std::vector<MSG> taken = PumpUntilQuit();

    EXPECT_EQ(MessagesOf(taken),
              (std::vector<Seen>{{WM_CLOSE, 0}, {kUserMessage, 0}, {WM_QUIT, kQuitCode}}));
    const std::vector<Received> received = ReceivedMessages();
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[1].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(received[2].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(received[2].depth, 1) << "WM_DESTROY is sent while WM_CLOSE is handled";
    for (const Received& r : received) {
        EXPECT_NE(r.message, kNcDestroy);
    }

    // The window is gone.
    EXPECT_FALSE(device::MainWindowExists());
    EXPECT_EQ(PostMessageW(window, kUserMessage, 0, 0), FALSE);
    const MSG late{window, kUserMessage, 0, 0, 0, {0, 0}};
    EXPECT_EQ(DispatchMessageW(&late), 0);
    EXPECT_EQ(ShowWindow(window, SW_SHOW), FALSE);
    EXPECT_EQ(UpdateWindow(window), FALSE);
    EXPECT_EQ(DestroyWindow(window), FALSE);
    EXPECT_EQ(ReceivedMessages().size(), 3u);
}

TEST(Window, ShowWindowReturnsThePreviousVisibility) {
    struct Step {
        int command;
        BOOL wasVisible;
    };
    const Step steps[] = {{SW_SHOW, FALSE},
                          {SW_SHOWNORMAL, TRUE},
                          {SW_HIDE, TRUE},
                          {SW_HIDE, FALSE},
                          {SW_SHOWNORMAL, FALSE}};
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    for (const Step& step : steps) {
        EXPECT_EQ(ShowWindow(window, step.command), step.wasVisible) << step.command;
    }
}

TEST(Window, ClassesAreFoundByNameWithoutRegardToCaseOrByAtom) {
    const HWND first = CreateTestWindow();  // registers "test"
    ASSERT_NE(first, nullptr);
    WNDCLASSW again{};
    again.lpfnWndProc = DefWindowProcW;
    again.lpszClassName = u"TEST";
    EXPECT_EQ(RegisterClassW(&again), 0) << "already registered";
    WNDCLASSW other = again;
    other.lpszClassName = u"other";
    const ATOM atom = RegisterClassW(&other);
    ASSERT_NE(atom, 0);

    EXPECT_NE(CreateWindowExW(0, u"Test", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_NE(CreateWindowExW(0, MAKEINTRESOURCEW(atom), u"", 0, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    const size_t before = ReceivedMessages().size();
    EXPECT_EQ(
        CreateWindowExW(0, u"missing", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(ReceivedMessages().size(), before);
}

TEST(Window, TheFirstTopLevelWindowIsTheMainWindow) {
    EXPECT_FALSE(device::MainWindowExists());
    EXPECT_EQ(device::MainWindowTitle(), u"");
    const HWND main = CreateTestWindow();
    ASSERT_NE(main, nullptr);
    WNDCLASSW other{};
    other.lpfnWndProc = DefWindowProcW;
    other.lpszClassName = u"other";
    ASSERT_NE(RegisterClassW(&other), 0);
    ASSERT_NE(
        CreateWindowExW(0, u"other", u"Second", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_TRUE(device::MainWindowExists());
    EXPECT_EQ(device::MainWindowTitle(), u"Test window");
}

TEST(Window, MessagesPostedFromAnotherThreadWakeTheWindowsThread) {
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    std::thread poster([window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(PostMessageW(window, kUserMessage, 9, 0), TRUE);
    });
    MSG m{};
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), TRUE);
    poster.join();
    EXPECT_EQ(m.message, kUserMessage);
    EXPECT_EQ(m.wParam, 9u);
}

TEST(Window, OnlyTheOwningThreadDestroysAWindow) {
    const HWND window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    BOOL fromOtherThread = TRUE;
    std::thread([&] { fromOtherThread = DestroyWindow(window); }).join();
    EXPECT_EQ(fromOtherThread, FALSE);
    EXPECT_EQ(DestroyWindow(window), TRUE);
    EXPECT_FALSE(device::MainWindowExists());
}

}  // namespace
