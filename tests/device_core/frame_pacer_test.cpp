// The device's pace: an absolute schedule of frame starts, no drift from
// sleeps that run long, no burst after falling behind.
#include <gtest/gtest.h>

#include <vector>

#include "device_core/frame_pacer.h"

namespace {

constexpr int64_t kMs = 1000000;  // nanoseconds

struct PaceCase {
    const char* name;
    int32_t framesPerSecond;
    std::vector<int64_t> frameEnds;   // when each frame ends, ms
    std::vector<int64_t> nextStarts;  // when the pacer lets the next begin, ms
};

void PrintTo(const PaceCase& c, std::ostream* out) {
    *out << c.name;
}

const PaceCase kCases[] = {
    {"EachFrameWaitsForItsSlot", 100, {0, 11, 21, 35}, {10, 20, 30, 40}},
    // Each sleep wakes 3 ms late; the schedule does not move with them.
    {"SleepsThatRunLongDoNotDrift", 100, {0, 13, 23, 33, 43}, {10, 20, 30, 40, 50}},
    // Under a frame late: the next starts at once, the one after on time.
    {"ALittleLateStartsAtOnceThenKeepsTime", 100, {0, 25, 31, 33}, {10, 25, 31, 40}},
    // More than a frame late: no burst of frames to catch up.
    {"FarBehindStartsAfreshInsteadOfCatchingUp", 100, {0, 55, 56, 66}, {10, 55, 65, 75}},
    {"UnpacedNeverWaits", 0, {0, 1, 2}, {0, 1, 2}},
};

class Pace : public testing::TestWithParam<PaceCase> {};

TEST_P(Pace, GivesEachFrameItsStart) {
    const PaceCase& c = GetParam();
    device::FramePacer pacer(c.framesPerSecond);
    ASSERT_EQ(c.frameEnds.size(), c.nextStarts.size());
    for (size_t i = 0; i < c.frameEnds.size(); ++i) {
        EXPECT_EQ(pacer.FrameEnded(c.frameEnds[i] * kMs), c.nextStarts[i] * kMs) << "frame " << i;
    }
    EXPECT_EQ(pacer.Frames(), c.frameEnds.size());
    EXPECT_EQ(pacer.SpanNs(), (c.frameEnds.back() - c.frameEnds.front()) * kMs);
}

INSTANTIATE_TEST_SUITE_P(Cases, Pace, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<PaceCase>& info) {
                             return std::string(info.param.name);
                         });

// However frames fall, no more start in a span than the rate allows, plus
// the first.
TEST(Pace, NeverStartsMoreFramesThanTheRateAllows) {
    device::FramePacer pacer(60);
    const int64_t period = 1000000000LL / 60;
    int64_t now = 0;
    std::vector<int64_t> starts;
    for (int i = 0; i < 1000; ++i) {
        // Frames that take anything from nothing to three periods.
        now += (i * 7919 % 13) * period / 4;
        now = pacer.FrameEnded(now);
        starts.push_back(now);
    }
    for (size_t first = 0; first < starts.size(); first += 37) {
        for (size_t last = first; last < starts.size(); last += 53) {
            const int64_t span = starts[last] - starts[first];
            EXPECT_LE(static_cast<int64_t>(last - first), span / period + 1)
                << "frames " << first << " to " << last;
        }
    }
}

}  // namespace
