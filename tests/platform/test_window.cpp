#include "tests/platform/test_window.h"

#include <gtest/gtest.h>

#include <mutex>
#include <ostream>

namespace {

std::mutex gMutex;
std::vector<Received> gReceived;
TestWindowBehaviour gBehaviour;
thread_local int tDepth = 0;

LRESULT CALLBACK TestProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TestWindowBehaviour behaviour;
    {
        const std::lock_guard<std::mutex> lock(gMutex);
        gReceived.push_back({message, wParam, lParam, tDepth});
        behaviour = gBehaviour;
    }
    ++tDepth;
    LRESULT result = DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_CREATE) {
        result = behaviour.createResult;
    }
    if (message == behaviour.quitOn) {
        PostQuitMessage(kQuitCode);
    }
    --tDepth;
    return result;
}

}  // namespace

HWND CreateTestWindow(int x, int y, int width, int height, TestWindowBehaviour behaviour) {
    {
        const std::lock_guard<std::mutex> lock(gMutex);
        gBehaviour = behaviour;
    }
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = TestProcedure;
        windowClass.lpszClassName = u"test";
        return RegisterClassW(&windowClass);
    }();
    EXPECT_NE(atom, 0);
    return CreateWindowExW(0, u"test", u"Test window", WS_CAPTION, x, y, width, height, nullptr,
                           nullptr, nullptr, nullptr);
}

std::vector<Received> ReceivedMessages() {
    const std::lock_guard<std::mutex> lock(gMutex);
    return gReceived;
}

std::vector<MSG> PumpUntilQuit() {
    std::vector<MSG> taken;
    for (;;) {
        MSG message{};
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        taken.push_back(message);
        if (result == 0) {
            EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
            return taken;
        }
        EXPECT_EQ(result, TRUE);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::vector<Seen> MessagesOf(const std::vector<MSG>& messages) {
    std::vector<Seen> seen;
    for (const MSG& m : messages) {
        seen.push_back({m.message, m.wParam});
    }
    return seen;
}

std::vector<Seen> MessagesOf(const std::vector<Received>& messages) {
    std::vector<Seen> seen;
    for (const Received& m : messages) {
        seen.push_back({m.message, m.wParam});
    }
    return seen;
}

void PrintTo(const Seen& seen, std::ostream* out) {
    *out << "{0x" << std::hex << seen.message << ", 0x" << seen.wParam << std::dec << "}";
}
