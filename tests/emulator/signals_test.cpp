// Stop signals sent to plasma-demo from outside, at awkward moments.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/emulator/headless_demo.h"
#include "tests/support/child_process.h"
#include "tests/support/inherited_disposition.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_lines.h"

namespace {

bool Exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

bool TraceHas(const std::string& trace, const std::string& call, const std::string& message) {
    for (const TraceLine& line : ParseTrace(trace)) {
        if (line.call.rfind(call, 0) == 0 && line.call.find(message) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class StopSignal : public ::testing::TestWithParam<int> {};

// The trace file is opened first thing in main, before the device and its
// window are made: a signal sent the moment it appears comes before the
// window exists, and still closes the program the usual way.
TEST_P(StopSignal, BeforeTheWindowExistsIsACloseRequest) {
    const int signal = GetParam();
    TempDir dir;
    const std::string trace = dir / "trace.txt", shot = dir / "shot.png";
    bool sent = false;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        if (!sent && Exists(trace)) {
            sent = true;
            kill(pid, signal);
        }
    };
    const ChildResult run = Demo({"--trace", trace, "--screenshot", shot}, options);
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.exitCode, 0) << run.err << " signal " << run.termSignal;
    EXPECT_TRUE(TraceHas(ReadFile(trace), "DispatchMessageW", "WM_CLOSE"));
    EXPECT_NO_THROW(ReadPng(shot));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) {
                             return std::string(info.param == SIGINT ? "SIGINT" : "SIGTERM");
                         });

// A shell starts a background job with SIGINT ignored, so that Ctrl-C at the
// terminal reaches only the foreground; the job keeps it that way. SIGTERM
// counts however it was inherited.
TEST(Signals, InterruptInheritedAsIgnoredStaysIgnoredTerminationAlwaysCounts) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        ChildOptions options;
        options.signal = signal;
        options.signalAfterMs = 200;
        ChildResult run;
        {
            const InheritedDisposition ignored(signal, SIG_IGN);
            run = Demo({"--tap-after", "1500", "--trace", "-"}, options);
        }
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const bool closed = TraceHas(run.out, "DispatchMessageW", "WM_CLOSE");
        EXPECT_EQ(closed, signal == SIGTERM) << run.out;
        if (signal == SIGINT) {
            EXPECT_TRUE(TraceHas(run.out, "DispatchMessageW", "WM_LBUTTONDOWN")) << run.out;
        }
    }
}

struct EndingSignal {
    const char* name;
    int signal;
    int times;     // sent in a row
    int exitCode;  // -1: the signal itself ends the process
};

void PrintTo(const EndingSignal& c, std::ostream* os) {
    *os << c.name;
}

class ScreenshotCutShort : public ::testing::TestWithParam<EndingSignal> {};

// A large screenshot takes a while to encode. A signal that ends the process
// while it is being written leaves neither the temporary file nor a part of
// the screenshot behind.
TEST_P(ScreenshotCutShort, LeavesNoTemporaryFile) {
    const EndingSignal& c = GetParam();
    TempDir dir;
    // Signals of one kind do not queue: the next goes out once the last
    // has had time to arrive.
    int sent = 0;
    std::chrono::steady_clock::time_point last;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        const auto now = std::chrono::steady_clock::now();
        if (sent == c.times || (sent > 0 && now - last < std::chrono::milliseconds(20))) {
            return;
        }
        for (const std::string& name : dir.Names()) {
            if (sent > 0 || name.rfind(".big.png.tmp", 0) == 0) {
                ++sent;
                last = now;
                kill(pid, c.signal);
                return;
            }
        }
    };
    const ChildResult run = Demo(
        {"--display", "4096x4096", "--close-after", "0", "--screenshot", dir / "big.png"}, options);
    ASSERT_EQ(sent, c.times) << run.err;
    if (c.exitCode >= 0) {
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    } else {
        EXPECT_EQ(run.termSignal, c.signal) << run.err;
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{}) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Signals, ScreenshotCutShort,
                         ::testing::Values(EndingSignal{"SIGINT_twice", SIGINT, 2, 128 + SIGINT},
                                           EndingSignal{"SIGTERM_twice", SIGTERM, 2, 128 + SIGTERM},
                                           EndingSignal{"SIGHUP", SIGHUP, 1, -1},
                                           EndingSignal{"SIGALRM", SIGALRM, 1, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
