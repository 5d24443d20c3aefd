// CreateThread and GetExitCodeThread.

#include <gtest/gtest.h>

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

#include <windows.h>

#include "platform/src/sanitizer_build.h"
#include "tests/support/eventually.h"

namespace {

constexpr DWORD kRoutineResult = 1234;
std::atomic<bool> gRelease{false};

DWORD WINAPI WaitThenReturn(LPVOID) {
    while (!gRelease) {
        Sleep(1);
    }
    return kRoutineResult;
}

DWORD ExitCodeOf(HANDLE thread) {
    DWORD code = 0;
    EXPECT_EQ(GetExitCodeThread(thread, &code), TRUE);
    return code;
}

TEST(Threads, ExitCodeIsStillActiveUntilTheRoutineReturnsAndThenStays) {
    DWORD id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, WaitThenReturn, nullptr, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(ExitCodeOf(thread), static_cast<DWORD>(STILL_ACTIVE));
    gRelease = true;
    EXPECT_TRUE(Eventually([thread] { return ExitCodeOf(thread) != STILL_ACTIVE; }));
    EXPECT_EQ(ExitCodeOf(thread), kRoutineResult);
    // Terminating a thread that has ended changes nothing.
    EXPECT_EQ(TerminateThread(thread, 5), TRUE);
    EXPECT_EQ(ExitCodeOf(thread), kRoutineResult);
}

TEST(Threads, EachThreadGetsItsOwnHandleAndId) {
    gRelease = true;
    DWORD firstId = 0, secondId = 0;
    const HANDLE first = CreateThread(nullptr, 0, WaitThenReturn, nullptr, 0, &firstId);
    const HANDLE second = CreateThread(nullptr, 0, WaitThenReturn, nullptr, 0, &secondId);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(firstId, secondId);
    EXPECT_TRUE(Eventually([&] { return ExitCodeOf(first) == kRoutineResult; }));
    EXPECT_TRUE(Eventually([&] { return ExitCodeOf(second) == kRoutineResult; }));
}

TEST(Threads, HandlesThatNameNoThreadAreRefused) {
    gRelease = true;
    const HANDLE real = CreateThread(nullptr, 0, WaitThenReturn, nullptr, 0, nullptr);
    ASSERT_NE(real, nullptr);
    const uintptr_t r = reinterpret_cast<uintptr_t>(real);
    const HANDLE bogus[] = {nullptr, reinterpret_cast<HANDLE>(r + 1),
                            reinterpret_cast<HANDLE>(r + 64), reinterpret_cast<HANDLE>(0x1)};
    for (HANDLE h : bogus) {
        SCOPED_TRACE(h);
        DWORD code = 77;
        EXPECT_EQ(GetExitCodeThread(h, &code), FALSE);
        EXPECT_EQ(code, 77u);
        EXPECT_EQ(TerminateThread(h, 1), FALSE);
    }
    EXPECT_EQ(GetExitCodeThread(real, nullptr), FALSE);
}

TEST(Threads, CreateRefusesWhatItCannotDo) {
    gRelease = true;
    DWORD id = 0;
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, &id), nullptr);
    EXPECT_EQ(CreateThread(nullptr, 0, WaitThenReturn, nullptr, 0x4 /* CREATE_SUSPENDED */, &id),
              nullptr);
    EXPECT_EQ(id, 0u);
}

DWORD WINAPI ReportStackSize(LPVOID) {
    pthread_attr_t attributes;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
        pthread_attr_getstacksize(&attributes, &size);
        pthread_attr_destroy(&attributes);
    }
    return static_cast<DWORD>(size);
}

TEST(Threads, StackIsTheRequestOrASafeMinimumInWholePages) {
    const size_t minimum = platform::kSanitizerBuild ? 1024 * 1024 : 64 * 1024;
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const DWORD requests[] = {0, 1, 16 * 1024, 200 * 1024 + 1, 2 * 1024 * 1024};
    for (DWORD request : requests) {
        SCOPED_TRACE(request);
        const HANDLE thread = CreateThread(nullptr, request, ReportStackSize, nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        ASSERT_TRUE(Eventually([thread] { return ExitCodeOf(thread) != STILL_ACTIVE; }));
        const size_t size = ExitCodeOf(thread);
        EXPECT_GE(size, std::max<size_t>(request, minimum));
        EXPECT_LT(size, std::max<size_t>(request, minimum) + page);
        EXPECT_EQ(size % page, 0u);
    }
}

}  // namespace
