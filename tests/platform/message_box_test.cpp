// MessageBoxW hands its request to the host and waits for the answer.

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include <windows.h>

#include "platform/device.h"
#include "tests/support/eventually.h"

namespace {

struct Host {
    std::mutex mutex;
    std::condition_variable woken;
    int wakes = 0;
} gHost;

void Wake(void*) {
    const std::lock_guard<std::mutex> lock(gHost.mutex);
    ++gHost.wakes;
    gHost.woken.notify_all();
}

std::atomic<int> gAnswer{0};

int WINAPI Ask(HINSTANCE, HINSTANCE, LPWSTR, int) {
    gAnswer = MessageBoxW(nullptr, u"Out of memory", u"Plasma", MB_OK);
    return 0;
}

TEST(MessageBox, IsShownByTheHostAndReturnsItsAnswer) {
    device::Init(device::Config{});
    device::SetWakeHandler(Wake, nullptr);
    device::StartProgram(Ask, u"", SW_SHOW);

    device::MessageBoxRequest request;
    {
        std::unique_lock<std::mutex> lock(gHost.mutex);
        ASSERT_TRUE(gHost.woken.wait_for(lock, std::chrono::seconds(10), [&request] {
            return device::TakeMessageBoxRequest(&request);
        }));
    }
    EXPECT_EQ(request.caption, u"Plasma");
    EXPECT_EQ(request.text, u"Out of memory");
    EXPECT_EQ(request.type, static_cast<UINT>(MB_OK));
    EXPECT_FALSE(device::TakeMessageBoxRequest(&request)) << "taken once";
    EXPECT_FALSE(device::WaitForProgramEnd(50)) << "the program waits for the answer";

    device::AnswerMessageBox(IDCANCEL);
    ASSERT_TRUE(device::WaitForProgramEnd(10000));
    EXPECT_EQ(gAnswer.load(), IDCANCEL);
}

std::atomic<int> gSecondAnswer{0};

DWORD WINAPI AskFirst(LPVOID) {
    return static_cast<DWORD>(MessageBoxW(nullptr, u"first", u"", MB_OK));
}

DWORD WINAPI AskSecond(LPVOID) {
    gSecondAnswer = MessageBoxW(nullptr, u"second", u"", MB_OK);
    return 0;
}

TEST(MessageBox, AnAnswerMeantForATerminatedCallerGoesToNoOtherBox) {
    device::SetWakeHandler(Wake, nullptr);
    device::MessageBoxRequest request;
    const HANDLE first = CreateThread(nullptr, 0, AskFirst, nullptr, 0, nullptr);
    ASSERT_TRUE(Eventually([&request] { return device::TakeMessageBoxRequest(&request); }));
    EXPECT_EQ(request.text, u"first");
    ASSERT_EQ(TerminateThread(first, 0), TRUE);
    ASSERT_NE(CreateThread(nullptr, 0, AskSecond, nullptr, 0, nullptr), nullptr);
    ASSERT_TRUE(Eventually([&request] { return device::TakeMessageBoxRequest(&request); }));
    EXPECT_EQ(request.text, u"second");

    device::AnswerMessageBox(IDCANCEL);  // to the first box, shown before its caller ended
    device::AnswerMessageBox(IDOK);
    ASSERT_TRUE(Eventually([] { return gSecondAnswer.load() != 0; }));
    EXPECT_EQ(gSecondAnswer.load(), IDOK);
}

TEST(MessageBox, WithoutAHostListeningIsDismissedAtOnce) {
    EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", MB_OK), IDOK);
    device::MessageBoxRequest request;
    EXPECT_FALSE(device::TakeMessageBoxRequest(&request));
}

}  // namespace
