// The interlocked calls: what each returns and stores, that concurrent calls
// lose no update, that a value handed over through them publishes what was
// written before (ThreadSanitizer sees no race), and how they are traced.

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "platform/device.h"

namespace {

enum class Call { kExchange, kCompareExchange, kIncrement, kDecrement };

struct InterlockedCase {
    const char* name;
    Call call;
    LONG before;
    LONG argument, comparand;  // as the call takes them
    LONG returned, after;
};

constexpr LONG kMax = INT32_MAX;
constexpr LONG kMin = INT32_MIN;

const InterlockedCase kCases[] = {
    {"exchange returns the old value", Call::kExchange, 7, -3, 0, 7, -3},
    {"exchange with the same value", Call::kExchange, 5, 5, 0, 5, 5},
    {"compare-exchange stores on a match", Call::kCompareExchange, 1, 9, 1, 1, 9},
    {"compare-exchange leaves a mismatch", Call::kCompareExchange, 2, 9, 1, 2, 2},
    {"compare-exchange as a read of 1", Call::kCompareExchange, 1, 0, 0, 1, 1},
    {"compare-exchange as a read of 0", Call::kCompareExchange, 0, 0, 0, 0, 0},
    {"compare-exchange of the extremes", Call::kCompareExchange, kMin, kMax, kMin, kMin, kMax},
    {"increment returns the new value", Call::kIncrement, 41, 0, 0, 42, 42},
    {"increment wraps at the top", Call::kIncrement, kMax, 0, 0, kMin, kMin},
    {"decrement returns the new value", Call::kDecrement, 0, 0, 0, -1, -1},
    {"decrement wraps at the bottom", Call::kDecrement, kMin, 0, 0, kMax, kMax},
};

LONG Apply(Call call, LONG volatile* value, LONG argument, LONG comparand) {
    switch (call) {
        case Call::kExchange:
            return InterlockedExchange(value, argument);
        case Call::kCompareExchange:
            return InterlockedCompareExchange(value, argument, comparand);
        case Call::kIncrement:
            return InterlockedIncrement(value);
        case Call::kDecrement:
            return InterlockedDecrement(value);
    }
    return 0;
}

TEST(Interlocked, EachCallReturnsAndStoresAsDocumented) {
    for (const InterlockedCase& c : kCases) {
        LONG value = c.before;
        EXPECT_EQ(Apply(c.call, &value, c.argument, c.comparand), c.returned) << c.name;
        EXPECT_EQ(value, c.after) << c.name;
    }
}

// Increments, decrements and compare-exchange additions from several threads
// at once: each must land exactly once.
TEST(Interlocked, ConcurrentUpdatesAreNeverLost) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 20000;
    LONG counter = 0;
    LONG added = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&counter, &added, t] {
            for (int i = 0; i < kRounds; ++i) {
                InterlockedIncrement(&counter);
                if (t % 2 == 1) {
                    InterlockedDecrement(&counter);
                }
                // Add 3 with a compare-exchange loop, as code without an
                // interlocked add does it.
                LONG seen = InterlockedCompareExchange(&added, 0, 0);
                for (;;) {
                    const LONG found = InterlockedCompareExchange(&added, seen + 3, seen);
                    if (found == seen) {
                        break;
                    }
                    seen = found;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, kThreads / 2 * kRounds);
    EXPECT_EQ(added, kThreads * kRounds * 3);
}

// A value written before the flag is raised with InterlockedExchange is seen
// by a thread that reads the flag raised with InterlockedCompareExchange, in
// both directions, round after round: the calls order plain memory.
TEST(Interlocked, AFlagHandsOverWhatWasWrittenBeforeIt) {
    constexpr int kRounds = 2000;
    LONG turn = 0;         // 0: the main thread's turn, 1: the helper's
    uint32_t payload = 0;  // plain memory (wraps), touched only by the thread whose turn it is
    std::thread helper([&] {
        for (int i = 0; i < kRounds; ++i) {
            while (InterlockedCompareExchange(&turn, 0, 0) != 1) {
                std::this_thread::yield();
            }
            payload = payload * 3 + 1;
            InterlockedExchange(&turn, 0);
        }
    });
    uint32_t expected = 0;
    for (int i = 0; i < kRounds; ++i) {
        while (InterlockedCompareExchange(&turn, 0, 0) != 0) {
            std::this_thread::yield();
        }
        ASSERT_EQ(payload, expected) << "round " << i;
        payload += 1;
        expected = (expected + 1) * 3 + 1;
        InterlockedExchange(&turn, 1);
    }
    helper.join();
    EXPECT_EQ(payload, expected);
}

std::vector<std::string> ReadLines(FILE* file) {
    std::vector<std::string> lines;
    std::rewind(file);
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
        lines.push_back(buffer);
    }
    return lines;
}

bool Listed(const std::vector<std::string>& lines, const std::string& call) {
    for (const std::string& line : lines) {
        if (line.find(" device " + call + "\n") != std::string::npos) {
            return true;
        }
    }
    return false;
}

// Stores are listed; reads, which a render loop makes every frame, are not.
TEST(Interlocked, TheTraceListsStoresButNotReads) {
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    device::Config config;
    config.trace = file;
    device::Init(config);
    static LONG value = 0;
    char address[32];
    std::snprintf(address, sizeof address, "0x%" PRIxPTR, reinterpret_cast<uintptr_t>(&value));
    const std::string at = address;

    InterlockedExchange(&value, 1);
    InterlockedCompareExchange(&value, 0, 0);  // a read
    InterlockedCompareExchange(&value, 5, 2);  // a mismatch
    InterlockedCompareExchange(&value, 1, 1);  // stores what is there
    InterlockedCompareExchange(&value, 4, 1);
    InterlockedIncrement(&value);
    InterlockedDecrement(&value);
    const std::vector<std::string> lines = ReadLines(file);
    std::fclose(file);

    EXPECT_TRUE(Listed(lines, "InterlockedExchange(" + at + ", 1) = 0"));
    EXPECT_TRUE(Listed(lines, "InterlockedCompareExchange(" + at + ", 4, 1) = 1"));
    EXPECT_TRUE(Listed(lines, "InterlockedIncrement(" + at + ") = 5"));
    EXPECT_TRUE(Listed(lines, "InterlockedDecrement(" + at + ") = 4"));
    int compareExchanges = 0;
    for (const std::string& line : lines) {
        compareExchanges += line.find("InterlockedCompareExchange") != std::string::npos;
    }
    EXPECT_EQ(compareExchanges, 1) << "only the compare-exchange that changed the value";
}

}  // namespace
