// Misuse of the device that no call can answer stops the process with one
// line naming the call and the fault.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/device.h"

namespace {

struct BadConfig {
    const char* name;
    device::Config config;
    const char* message;
};

device::Config With(int32_t width, int32_t height, int rotation, int32_t scale) {
    device::Config config;
    config.panelWidth = width;
    config.panelHeight = height;
    config.rotation = rotation;
    config.displayScale = scale;
    return config;
}

void PrintTo(const BadConfig& c, std::ostream* os) {
    *os << c.name;
}

// "fast" forks without exec: the ARM build runs under qemu-user, which
// cannot exec the test binary again, and no thread runs yet to make a fork unsafe.
class DeviceMisuse : public testing::TestWithParam<BadConfig> {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "fast"); }
};

TEST_P(DeviceMisuse, InitStopsWithOneLine) {
    EXPECT_DEATH(device::Init(GetParam().config), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Configs, DeviceMisuse,
    testing::Values(BadConfig{"NoWidth", With(0, 320, 0, 1),
                              "device: Init: the panel needs a positive size"},
                    BadConfig{"NegativeHeight", With(240, -1, 0, 1),
                              "device: Init: the panel needs a positive size"},
                    BadConfig{"Rotation45", With(240, 320, 45, 1),
                              "device: Init: rotation must be 0, 90, 180 or 270"},
                    BadConfig{"ScaleZero", With(480, 640, 0, 0),
                              "device: Init: the display scale must be positive"},
                    BadConfig{"ScaleNotADivisor", With(480, 640, 0, 3),
                              "device: Init: the display scale must be positive"}),
    [](const testing::TestParamInfo<BadConfig>& info) { return std::string(info.param.name); });

TEST(DeviceMisuseTwice, ASecondInitStops) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_DEATH(
        {
            device::Init(device::Config{});
            device::Init(device::Config{});
        },
        "device: Init called twice; a process holds one device");
}

}  // namespace
