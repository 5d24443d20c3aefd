// The emulated device draws at its own pace: never more frames than the rate
// allows, and TerminateThread still strikes a render thread held in the pace.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tests/emulator/headless_demo.h"
#include "tests/support/trace_lines.h"

namespace {

const TraceLine* Find(const std::vector<TraceLine>& trace, const std::string& text) {
    for (const TraceLine& line : trace) {
        if (line.call.find(text) != std::string::npos) {
            return &line;
        }
    }
    return nullptr;
}

struct Pacing {
    unsigned long long frames = 0;
    double achieved = 0;
    double renderMs = 0;  // from the render thread's start to its end
};

Pacing Paced(const std::string& out) {
    const std::vector<TraceLine> trace = ParseTrace(out);
    const TraceLine* created = Find(trace, "CreateThread(");
    const TraceLine* terminated = Find(trace, "TerminateThread(");
    const TraceLine* summary = Find(trace, "summary ");
    Pacing p;
    EXPECT_NE(created, nullptr) << out;
    EXPECT_NE(terminated, nullptr) << out;
    EXPECT_NE(summary, nullptr) << out;
    if (created == nullptr || terminated == nullptr || summary == nullptr) {
        return p;
    }
    p.renderMs = terminated->ms - created->ms;
    const size_t at = summary->call.find(" frames=");
    EXPECT_NE(at, std::string::npos) << summary->call;
    if (at != std::string::npos) {
        EXPECT_EQ(std::sscanf(summary->call.c_str() + at, " frames=%llu achieved=%lf", &p.frames,
                              &p.achieved),
                  2)
            << summary->call;
    }
    return p;
}

struct RateCase {
    const char* name;
    std::vector<std::string> args;
    int rate;
};

void PrintTo(const RateCase& c, std::ostream* out) {
    *out << c.name;
}

class Rate : public testing::TestWithParam<RateCase> {};

// Strictly bounded above by the rate over the time the render thread ran;
// below, only loosely, for a busy machine.
TEST_P(Rate, NeverDrawsMoreFramesThanTheRateAllows) {
    const RateCase& c = GetParam();
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--close-after", "1000", "--trace", "-"});
    const ChildResult run = Demo(args);
    ASSERT_FALSE(run.timedOut);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Pacing p = Paced(run.out);
    const double allowed = std::floor(p.renderMs / 1000.0 * c.rate) + 1;
    EXPECT_LE(static_cast<double>(p.frames), allowed) << run.out;
    EXPECT_GE(static_cast<double>(p.frames), allowed / 3) << run.out;
    EXPECT_LE(p.achieved, c.rate * 1.01) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, Rate,
    testing::Values(RateCase{"DefaultDram", {"--dram"}, 60}, RateCase{"DefaultDirect", {}, 60},
                    RateCase{"SlowDram", {"--dram", "--speed", "7"}, 7},
                    RateCase{"FastDirect", {"--speed", "500"}, 500},
                    RateCase{"RotatedVga", {"--device", "vga-landscape", "--speed=30"}, 30}),
    [](const testing::TestParamInfo<RateCase>& info) { return std::string(info.param.name); });

// As fast as the host can: far more than any paced rate.
TEST(Rate, MaxIsUnpaced) {
    const ChildResult run =
        Demo({"--dram", "--speed", "max", "--close-after", "500", "--trace", "-"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("pace=max"), std::string::npos) << run.out;
    const Pacing p = Paced(run.out);
    EXPECT_GT(static_cast<double>(p.frames), p.renderMs / 1000.0 * 60 * 2) << run.out;
}

// At one frame a second the render thread spends nearly all its time held;
// a tap 1.2 s in finds it there, and TerminateThread returns at once, not at
// the next frame 0.8 s later.
TEST(Rate, TerminateThreadStrikesARenderThreadHeldInThePace) {
    for (const bool dram : {true, false}) {
        std::vector<std::string> args = {"--speed", "1", "--tap-after", "1200", "--trace", "-"};
        if (dram) {
            args.push_back("--dram");
        }
        const ChildResult run = Demo(args);
        ASSERT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::vector<TraceLine> trace = ParseTrace(run.out);
        const TraceLine* asked = Find(trace, "GetExitCodeThread(");
        const TraceLine* ended = Find(trace, "TerminateThread(");
        ASSERT_NE(asked, nullptr) << run.out;
        ASSERT_NE(ended, nullptr) << run.out;
        EXPECT_LT(ended->ms - asked->ms, 400.0) << (dram ? "DRAM" : "direct") << "\n" << run.out;
    }
}

}  // namespace
