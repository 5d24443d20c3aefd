// A call of the program in which the device runs short of memory: no
// exception reaches the program; the calling thread stops there for good,
// and the host is woken and told which call it was.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include <gx.h>
#include <windows.h>

#include "platform/device.h"
#include "tests/support/eventually.h"

namespace {
// Set by a thread that is to find no memory from then on.
thread_local bool tNoMemory = false;
}  // namespace

// This test's own allocator, so that a thread can run out of memory on cue.
// Not inlined: the compiler would take malloc and free inside them for a
// mismatch with new and delete.
__attribute__((noinline)) void* operator new(std::size_t size) {
    if (!tNoMemory) {
        if (void* block = std::malloc(size == 0 ? 1 : size)) {
            return block;
        }
    }
    throw std::bad_alloc();
}

__attribute__((noinline)) void operator delete(void* block) noexcept {
    std::free(block);
}

__attribute__((noinline)) void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

const WCHAR kClass[] = u"short";

struct ShortCall {
    const char* name;             // the call the device names
    std::function<void()> setUp;  // with memory, on the program's thread
    std::function<void()> call;   // made without any
};

void PrintTo(const ShortCall& c, std::ostream* os) {
    *os << c.name;
}

const ShortCall* gCase = nullptr;
std::atomic<int> gWakes{0};
std::atomic<bool> gCallReturned{false};

DWORD WINAPI Idle(LPVOID) {
    return 0;
}

void RegisterTheClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);
}

int WINAPI RunShort(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (gCase->setUp) {
        gCase->setUp();
    }
    tNoMemory = true;
    if (gCase->call) {
        gCase->call();
        gCallReturned = true;
    }
    return 0;  // still without memory: its return is short too
}

class MemoryShortage : public ::testing::TestWithParam<ShortCall> {};

// Traced, so that every call has a line to make.
TEST_P(MemoryShortage, StopsTheCallingThreadAndTellsTheHostWhichCall) {
    gCase = &GetParam();
    device::Config config;
    config.trace = std::fopen("/dev/null", "w");
    ASSERT_NE(config.trace, nullptr);
    device::Init(config);
    device::SetWakeHandler([](void*) { ++gWakes; }, nullptr);
    EXPECT_EQ(device::MemoryShortage(), "");
    device::StartProgram(RunShort, u"", SW_SHOW);

    ASSERT_TRUE(Eventually([] { return !device::MemoryShortage().empty(); }));
    EXPECT_EQ(device::MemoryShortage(),
              std::string("not enough memory on the device for the program's ") + gCase->name);
    EXPECT_GE(gWakes.load(), 1);
    EXPECT_FALSE(gCallReturned.load()) << "the program got an answer without memory";
    // Stopped, not ended: the host ends the run.
    EXPECT_FALSE(device::ProgramEnded());
}

INSTANTIATE_TEST_SUITE_P(
    Calls, MemoryShortage,
    ::testing::Values(
        ShortCall{"RegisterClassW", nullptr, RegisterTheClass},
        ShortCall{"CreateWindowExW", RegisterTheClass,
                  [] {
                      CreateWindowExW(0, kClass, u"A title too long to be kept in place", 0, 0, 0,
                                      10, 10, nullptr, nullptr, nullptr, nullptr);
                  }},
        ShortCall{"GetStockObject", nullptr, [] { GetStockObject(BLACK_BRUSH); }},
        // A trace line too long to be kept in place, after the wait.
        ShortCall{"Sleep", nullptr, [] { Sleep(100); }},
        ShortCall{"PostQuitMessage", nullptr, [] { PostQuitMessage(0); }},
        ShortCall{"MessageBoxW", nullptr,
                  [] { MessageBoxW(nullptr, u"A text too long to be kept in place", u"", MB_OK); }},
        ShortCall{"InterlockedExchange", nullptr,
                  [] {
                      static LONG value = 0;
                      InterlockedExchange(&value, 1);
                  }},
        ShortCall{"CreateThread", nullptr,
                  [] { CreateThread(nullptr, 0, Idle, nullptr, 0, nullptr); }},
        ShortCall{"GXOpenDisplay", nullptr, [] { GXOpenDisplay(nullptr, 0); }},
        // No call at all: the device notes the program's end, and has no
        // memory for that either.
        ShortCall{"return from WinMain", nullptr, nullptr}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            c = c == ' ' ? '_' : c;
        }
        return name;
    });

}  // namespace
