#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "frontends/common/screen_pixels.h"

namespace {

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
    std::vector<uint16_t> screen;
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

}  // namespace
