// The 5-6-5 pixel widened to 8 bits a channel, as every host shows and saves it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include <pixels/pixel565.h>

namespace {

// Worked by hand from the bit layout: every channel's top bits repeat into the
// low bits, so full scale is 255 and the middle lands just above 128.
TEST(Widen565, RepeatsEachChannelsTopBits) {
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

constexpr uint32_t kPadding = 0xDEADBEEF;

// A 3x2 screen into rows with two spare words each: every pixel lands in its
// own row and column as 0x00RRGGBB, and the spare words stay as they were.
TEST(WidenToXrgb, WidensEachPixelIntoItsPlaceInRowsOfTheGivenPitch) {
    struct Case {
        uint16_t pixel;
        uint32_t expected;
    };
    const Case cases[] = {
        {0x0000, 0x000000}, {0xFFFF, 0xFFFFFF}, {0xF800, 0xFF0000},
        {0x07E0, 0x00FF00}, {0x001F, 0x0000FF}, {0x8410, 0x848284},
    };
    constexpr int32_t kWidth = 3, kHeight = 2, kRowWords = kWidth + 2;
    std::vector<Pixel565> screen;
    for (const Case& c : cases) {
        screen.push_back(c.pixel);
    }
    std::vector<uint32_t> rows(kRowWords * kHeight, kPadding);
    WidenToXrgb(screen.data(), kWidth, kHeight, rows.data(), kRowWords * sizeof(uint32_t));
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kRowWords; ++x) {
            const uint32_t got = rows[y * kRowWords + x];
            if (x < kWidth) {
                EXPECT_EQ(got, cases[y * kWidth + x].expected)
                    << "pixel " << std::hex << cases[y * kWidth + x].pixel;
            } else {
                EXPECT_EQ(got, kPadding) << "spare word " << x << " of row " << y;
            }
        }
    }
}

// Bytes in canvas order, opaque, and nothing past the count touched.
TEST(WidenToRgba, WritesRedGreenBlueThenOpaqueForEachPixelOnly) {
    const Pixel565 pixels[] = {0xF800, 0x07E0, 0x001F, 0x8410};
    std::vector<uint8_t> rgba(4 * 4 + 4, 0x5A);
    WidenToRgba(pixels, 3, rgba.data());
    const std::vector<uint8_t> expected = {255,  0,    0,    255,  0,    255,  0,
                                           255,  0,    0,    255,  255,  0x5A, 0x5A,
                                           0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A};
    EXPECT_EQ(rgba, expected);
}

}  // namespace
