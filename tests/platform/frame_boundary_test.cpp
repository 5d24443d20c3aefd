// Where a frame ends on display memory: at the drawing thread's read of a
// flag (the first thread the program creates), never at a read on another
// thread, which is neither held in the pace nor counted.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include <gx.h>
#include <windows.h>

#include "platform/device.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kRate = 60;
constexpr double kFrameMs = 1000.0 / kRate;

enum class Reader {
    kMainThread,     // the program's own, as its message loop would
    kDrawingThread,  // the first it creates
    kSecondThread,   // one it creates after the drawing thread
    kHostThread,     // not the program's at all
};

struct BoundaryCase {
    const char* name;
    Reader reader;
    bool dram;
    int reads;
    uint64_t frames;  // that the reads end
};

const BoundaryCase kCases[] = {
    {"MainThread", Reader::kMainThread, false, 200, 0},
    {"SecondThread", Reader::kSecondThread, false, 200, 0},
    {"HostThread", Reader::kHostThread, false, 200, 0},
    {"DrawingThread", Reader::kDrawingThread, false, 7, 7},
    // GXEndDraw ends the frames there; a read is only a read.
    {"DrawingThreadOnDram", Reader::kDrawingThread, true, 200, 0},
};

void PrintTo(const BoundaryCase& c, std::ostream* out) {
    *out << c.name;
}

LONG volatile gFlag = 1;
BoundaryCase gCase;
std::atomic<double> gReadsMs{-1};

void ReadTheFlag() {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < gCase.reads; ++i) {
        InterlockedCompareExchange(&gFlag, 0, 0);
    }
    gReadsMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

DWORD WINAPI ReadIfMine(LPVOID parameter) {
    if (static_cast<Reader>(reinterpret_cast<uintptr_t>(parameter)) == gCase.reader) {
        ReadTheFlag();
    }
    return 0;
}

bool Join(HANDLE thread) {
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeThread(thread, &code) == TRUE && code == STILL_ACTIVE) {
        Sleep(1);
    }
    return code == 0;
}

HANDLE Start(Reader reader) {
    return CreateThread(nullptr, 0, ReadIfMine,
                        reinterpret_cast<LPVOID>(static_cast<uintptr_t>(reader)), 0, nullptr);
}

int WINAPI Program(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (GXOpenDisplay(nullptr, GX_FULLSCREEN) != 1) {
        return 1;
    }
    const HANDLE drawing = Start(Reader::kDrawingThread);
    const HANDLE second = Start(Reader::kSecondThread);
    if (drawing == nullptr || second == nullptr || !Join(drawing) || !Join(second)) {
        return 2;
    }
    if (gCase.reader == Reader::kMainThread) {
        ReadTheFlag();
    }
    return 0;
}

class FrameBoundary : public testing::TestWithParam<BoundaryCase> {};

TEST_P(FrameBoundary, OnlyTheDrawingThreadsReadsEndFrames) {
    gCase = GetParam();
    device::Config config;
    config.framesPerSecond = kRate;
    config.dramBuffer = gCase.dram;
    device::Init(config);
    if (gCase.reader == Reader::kHostThread) {
        ASSERT_EQ(GXOpenDisplay(nullptr, GX_FULLSCREEN), 1);
        ReadTheFlag();
    } else {
        device::StartProgram(Program, u"", SW_SHOW);
        ASSERT_TRUE(device::WaitForProgramEnd(60000));
        ASSERT_EQ(device::ExitCode(), 0);
    }
    ASSERT_GE(gReadsMs.load(), 0.0) << "the reads never ran";

    EXPECT_EQ(device::FramesDrawn(), gCase.frames);
    if (gCase.frames == 0) {
        // Held, they would take a frame each after the first.
        EXPECT_LT(gReadsMs.load(), (gCase.reads - 1) * kFrameMs / 2)
            << "reads off the frame boundary were held";
    } else {
        EXPECT_GE(gReadsMs.load(), (gCase.frames - 1) * kFrameMs * 0.95)
            << "the drawing thread was not held to the pace";
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, FrameBoundary, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<BoundaryCase>& info) {
                             return std::string(info.param.name);
                         });

// The message loop polls a flag all the while the drawing thread draws: the
// frames are the drawing thread's alone, and the loop is never held.
constexpr int kDrawnFrames = 12;
std::atomic<bool> gDrawing{true};
std::atomic<uint64_t> gMainReads{0};

DWORD WINAPI Draw(LPVOID) {
    for (int i = 0; i < kDrawnFrames; ++i) {
        InterlockedCompareExchange(&gFlag, 0, 0);
    }
    gDrawing = false;
    return 0;
}

int WINAPI PollWhileDrawing(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (GXOpenDisplay(nullptr, GX_FULLSCREEN) != 1) {
        return 1;
    }
    const HANDLE drawing = CreateThread(nullptr, 0, Draw, nullptr, 0, nullptr);
    if (drawing == nullptr) {
        return 2;
    }
    while (gDrawing.load()) {
        InterlockedCompareExchange(&gFlag, 0, 0);
        ++gMainReads;
    }
    return Join(drawing) ? 0 : 3;
}

TEST(FrameBoundary, AMainThreadPollingAlongsideNeitherAddsFramesNorIsHeld) {
    device::Config config;
    config.framesPerSecond = kRate;
    device::Init(config);
    device::StartProgram(PollWhileDrawing, u"", SW_SHOW);
    ASSERT_TRUE(device::WaitForProgramEnd(60000));
    ASSERT_EQ(device::ExitCode(), 0);
    EXPECT_EQ(device::FramesDrawn(), static_cast<uint64_t>(kDrawnFrames));
    // Held, the loop would read about once a frame.
    EXPECT_GT(gMainReads.load(), static_cast<uint64_t>(10 * kDrawnFrames));
}

}  // namespace
