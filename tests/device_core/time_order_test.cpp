// Stamps for a log written by threads whose clocks differ a little.
#include <gtest/gtest.h>

#include <vector>

#include "device_core/time_order.h"

namespace {

// A reading behind the last stamp (another thread's clock) is given the last
// stamp; time goes on from the next reading that is later.
TEST(TimeOrder, NeverGoesBackAndFollowsTheClockOtherwise) {
    const std::vector<double> readings = {0.212, 10.538, 10.268, 10.537, 10.540, 240.257, 240.0};
    const std::vector<double> stamps = {0.212, 10.538, 10.538, 10.538, 10.540, 240.257, 240.257};
    device::TimeOrder order;
    for (size_t i = 0; i < readings.size(); ++i) {
        EXPECT_EQ(order.Stamp(readings[i]), stamps[i]) << "reading " << i;
    }
}

}  // namespace
