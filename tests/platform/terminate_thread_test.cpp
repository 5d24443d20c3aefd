// TerminateThread ends a thread at once wherever it stands, but never while
// it holds one of the stand-in's locks.

#include <gtest/gtest.h>

#include <stdio.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gx.h>
#include <windows.h>

#include "platform/device.h"
#include "platform/src/sanitizer_build.h"
#include "tests/support/eventually.h"

namespace {

using std::chrono::milliseconds;

constexpr DWORD kTerminatedCode = 99;
// Built against the stand-in that stops threads at their next call into it.
#ifdef PLASMA_STOPS_ONLY_AT_CALLS
constexpr bool kStopsOnlyAtCalls = true;
#else
constexpr bool kStopsOnlyAtCalls = false;
#endif
constexpr size_t kCells = 4096;

DWORD ExitCodeOf(HANDLE thread) {
    DWORD code = 0;
    EXPECT_EQ(GetExitCodeThread(thread, &code), TRUE);
    return code;
}

// A render loop: frames of plain stores, with one read per frame of a "keep
// running?" flag that is never cleared: none, a plain atomic load, or the
// platform's interlocked read.
enum class FlagRead { kNone, kAtomic, kInterlocked };

struct Spinner {
    FlagRead read = FlagRead::kNone;
    LONG volatile flag = 1;
    std::atomic<bool> started{false};
    std::atomic<bool> stop{false};
    volatile uint32_t cells[kCells] = {};
};

DWORD WINAPI Spin(LPVOID parameter) {
    Spinner* s = static_cast<Spinner*>(parameter);
    s->started.store(true);
    for (uint32_t frame = 1;; ++frame) {
        if (s->read == FlagRead::kAtomic && s->stop.load(std::memory_order_relaxed)) {
            return 0;
        }
        if (s->read == FlagRead::kInterlocked && InterlockedCompareExchange(&s->flag, 0, 0) == 0) {
            return 0;
        }
        for (size_t i = 0; i < kCells; ++i) {
            s->cells[i] = frame;
        }
    }
}

// On a host that stops threads only at their calls into the stand-in, only
// the interlocked read lets the loop be ended, and the frame under way is
// finished: every cell then holds the same frame.
void ExpectTerminateStopsTheLoop(Spinner& spinner) {
    const HANDLE thread = CreateThread(nullptr, 0, Spin, &spinner, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(Eventually([&spinner] { return spinner.started.load(); }));
    std::this_thread::sleep_for(milliseconds(20));
    EXPECT_EQ(ExitCodeOf(thread), static_cast<DWORD>(STILL_ACTIVE));

    ASSERT_EQ(TerminateThread(thread, kTerminatedCode), TRUE);

    std::array<uint32_t, kCells> before;
    for (size_t i = 0; i < kCells; ++i) {
        before[i] = spinner.cells[i];
    }
    EXPECT_NE(before[0], 0u) << "the loop never ran";
    std::this_thread::sleep_for(milliseconds(100));
    for (size_t i = 0; i < kCells; ++i) {
        ASSERT_EQ(spinner.cells[i], before[i]) << "cell " << i << " changed after TerminateThread";
    }
    EXPECT_EQ(ExitCodeOf(thread), kTerminatedCode);
    if (kStopsOnlyAtCalls) {
        for (size_t i = 0; i < kCells; ++i) {
            ASSERT_EQ(before[i], before[0]) << "cell " << i << ": the frame was cut off";
        }
    }
}

class TerminateSpinning : public testing::TestWithParam<FlagRead> {};

TEST_P(TerminateSpinning, StopsTheLoopBeforeReturning) {
    static Spinner spinner;  // the parked thread keeps pointing at it
    spinner.read = GetParam();
    if (platform::kThreadSanitizer && spinner.read == FlagRead::kNone) {
        GTEST_SKIP() << "ThreadSanitizer hands a signal to a thread only at a library call or "
                        "an atomic operation; a loop with neither cannot be ended there";
    }
    ExpectTerminateStopsTheLoop(spinner);
}

INSTANTIATE_TEST_SUITE_P(Loops, TerminateSpinning,
                         testing::ValuesIn(kStopsOnlyAtCalls
                                               ? std::vector<FlagRead>{FlagRead::kInterlocked}
                                               : std::vector<FlagRead>{FlagRead::kNone,
                                                                       FlagRead::kAtomic,
                                                                       FlagRead::kInterlocked}),
                         [](const testing::TestParamInfo<FlagRead>& info) {
                             switch (info.param) {
                                 case FlagRead::kNone:
                                     return std::string("CallFree");
                                 case FlagRead::kAtomic:
                                     return std::string("AtomicLoadEachFrame");
                                 default:
                                     return std::string("InterlockedReadEachFrame");
                             }
                         });

DWORD WINAPI EndAtOnce(LPVOID) {
    return 0;
}

// Only the drawing thread's flag reads end frames, but every thread's read
// is a place to stop: here the program's second thread, on an open, paced
// display.
TEST(TerminateThread, StopsASecondThreadAtItsFlagRead) {
    device::Init(device::Config{});
    ASSERT_EQ(GXOpenDisplay(nullptr, GX_FULLSCREEN), 1);
    ASSERT_NE(CreateThread(nullptr, 0, EndAtOnce, nullptr, 0, nullptr), nullptr);
    static Spinner spinner;
    spinner.read = FlagRead::kInterlocked;
    ExpectTerminateStopsTheLoop(spinner);
}

// Threads blocked in the stand-in's waits.
std::atomic<bool> gEntering{false};
std::atomic<bool> gReturned{false};

DWORD WINAPI SleepLong(LPVOID) {
    gEntering = true;
    Sleep(1000000);
    gReturned = true;
    return 1;
}

DWORD WINAPI WaitForAMessage(LPVOID) {
    MSG m{};
    gEntering = true;
    GetMessageW(&m, nullptr, 0, 0);
    gReturned = true;
    return 1;
}

DWORD WINAPI AskTheUser(LPVOID) {
    gEntering = true;
    MessageBoxW(nullptr, u"Continue?", u"Question", MB_OK);
    gReturned = true;
    return 1;
}

std::atomic<bool> gHostWoken{false};

struct BlockedCase {
    const char* name;
    LPTHREAD_START_ROUTINE routine;
};

void PrintTo(const BlockedCase& c, std::ostream* out) {
    *out << c.name;
}

class TerminateBlocked : public testing::TestWithParam<BlockedCase> {};

TEST_P(TerminateBlocked, EndsTheWaitAndTheCallNeverReturns) {
    device::SetWakeHandler([](void*) { gHostWoken = true; }, nullptr);  // a host that never answers
    const HANDLE thread = CreateThread(nullptr, 0, GetParam().routine, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(Eventually([] { return gEntering.load(); }));
    std::this_thread::sleep_for(milliseconds(50));  // well inside the wait by now

    ASSERT_TRUE(
        FinishesWithin([thread] { EXPECT_EQ(TerminateThread(thread, kTerminatedCode), TRUE); }));

    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_FALSE(gReturned);
    EXPECT_EQ(ExitCodeOf(thread), kTerminatedCode);
    device::MessageBoxRequest request;
    EXPECT_FALSE(device::TakeMessageBoxRequest(&request)) << "a terminated request is withdrawn";
}

INSTANTIATE_TEST_SUITE_P(Waits, TerminateBlocked,
                         testing::Values(BlockedCase{"Sleep", SleepLong},
                                         BlockedCase{"GetMessageW", WaitForAMessage},
                                         BlockedCase{"MessageBoxW", AskTheUser}),
                         [](const testing::TestParamInfo<BlockedCase>& info) {
                             return std::string(info.param.name);
                         });

// A trace file whose writes of PostMessageW lines wait at a gate: a thread
// writing one holds the window system's and the trace's locks meanwhile.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool holding = false;
    bool open = false;
} gGate;

ssize_t GatedWrite(void*, const char* data, size_t size) {
    if (std::string(data, size).find("PostMessageW") != std::string::npos) {
        std::unique_lock<std::mutex> lock(gGate.mutex);
        gGate.holding = true;
        gGate.changed.notify_all();
        gGate.changed.wait(lock, [] { return gGate.open; });
    }
    return static_cast<ssize_t>(size);
}

std::atomic<bool> gGo{false};

DWORD WINAPI PostToItself(LPVOID) {
    while (!gGo) {
        std::this_thread::yield();  // no traced calls before the test is ready
    }
    PostMessageW(nullptr, 0x0400, 0, 0);
    gReturned = true;
    return 1;
}

TEST(TerminateThread, WaitsWhileTheThreadHoldsAStandInLockAndLeavesNoneHeld) {
    cookie_io_functions_t io{};
    io.write = GatedWrite;
    FILE* trace = fopencookie(nullptr, "w", io);
    ASSERT_NE(trace, nullptr);
    device::Config config;
    config.trace = trace;
    device::Init(config);
    const HANDLE thread = CreateThread(nullptr, 0, PostToItself, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    gGo = true;
    {
        std::unique_lock<std::mutex> lock(gGate.mutex);
        ASSERT_TRUE(
            gGate.changed.wait_for(lock, std::chrono::seconds(10), [] { return gGate.holding; }));
    }

    std::atomic<bool> terminated{false};
    std::thread terminator([&] {
        EXPECT_EQ(TerminateThread(thread, kTerminatedCode), TRUE);
        terminated = true;
    });
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_FALSE(terminated) << "TerminateThread returned while the thread held the locks";
    {
        const std::lock_guard<std::mutex> lock(gGate.mutex);
        gGate.open = true;
        gGate.changed.notify_all();
    }
    ASSERT_TRUE(Eventually([&] { return terminated.load(); }));
    terminator.join();

    EXPECT_FALSE(gReturned) << "the thread went on after its locked section";
    EXPECT_EQ(ExitCodeOf(thread), kTerminatedCode);
    // The locks it held are free again.
    EXPECT_TRUE(FinishesWithin([] {
        EXPECT_EQ(PostMessageW(nullptr, 0x0401, 0, 0), TRUE);
        Sleep(1);
    }));
}

std::atomic<HANDLE> gOwnHandle{nullptr};

DWORD WINAPI EndItself(LPVOID) {
    HANDLE self = nullptr;
    while ((self = gOwnHandle.load()) == nullptr) {
        Sleep(1);
    }
    TerminateThread(self, kTerminatedCode);
    gReturned = true;
    return 1;
}

TEST(TerminateThread, OfItselfNeverReturns) {
    const HANDLE thread = CreateThread(nullptr, 0, EndItself, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    gOwnHandle = thread;
    EXPECT_TRUE(Eventually([thread] { return ExitCodeOf(thread) == kTerminatedCode; }));
    std::this_thread::sleep_for(milliseconds(50));
    EXPECT_FALSE(gReturned);
}

}  // namespace
