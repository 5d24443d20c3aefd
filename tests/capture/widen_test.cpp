#include <gtest/gtest.h>

#include "imaging/image565.h"

namespace {

// Worked by hand from the bit layout: every channel's top bits repeat into the
// low bits, so full scale is 255 and the middle lands just above 128.
TEST(CaptureWiden565, RepeatsEachChannelsTopBits) {
    const struct {
        Pixel565 pixel;
        uint8_t red, green, blue;
    } cases[] = {
        {0x0000, 0, 0, 0},       {0xFFFF, 255, 255, 255}, {0xF800, 255, 0, 0},
        {0x07E0, 0, 255, 0},     {0x001F, 0, 0, 255},     {0x0841, 8, 8, 8},
        {0x8410, 132, 130, 132}, {0x7BEF, 123, 125, 123}, {0xA554, 165, 170, 165},
    };
    for (const auto& c : cases) {
        const Rgb8 rgb = Widen565(c.pixel);
        EXPECT_EQ(rgb.red, c.red) << std::hex << c.pixel;
        EXPECT_EQ(rgb.green, c.green) << std::hex << c.pixel;
        EXPECT_EQ(rgb.blue, c.blue) << std::hex << c.pixel;
    }
}

}  // namespace
