#include <gtest/gtest.h>

#include "device_core/screen_layout.h"

namespace {

struct FitCase {
    int32_t areaWidth, areaHeight, screenWidth, screenHeight, expected;
};

TEST(LargestFittingScale, IsTheLargestUpToTheLimitThatFits) {
    const FitCase cases[] = {
        {1280, 1024, 240, 320, 3},   {1280, 1024, 320, 240, 3}, {1280, 1024, 480, 640, 1},
        {1280, 1024, 640, 480, 2},   {720, 960, 240, 320, 3},   {719, 960, 240, 320, 2},
        {720, 959, 240, 320, 2},     {100, 100, 240, 320, 1},   {4000, 4000, 240, 320, 3},
        {1920, 1080, 4096, 4096, 1},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(LargestFittingScale(c.areaWidth, c.areaHeight, c.screenWidth, c.screenHeight, 3),
                  c.expected)
            << c.areaWidth << "x" << c.areaHeight << " for " << c.screenWidth << "x"
            << c.screenHeight;
    }
}

struct PlaceCase {
    int32_t windowWidth, windowHeight;
    ScreenPlacement expected;
};

TEST(PlaceScreen, CentresTheLargestIntegerScaleWithBarsAround) {
    const PlaceCase cases[] = {
        {240, 320, {1, 0, 0}},    {720, 960, {3, 0, 0}},      {1000, 1000, {3, 140, 20}},
        {241, 321, {1, 0, 0}},    {242, 322, {1, 1, 1}},      {481, 700, {2, 0, 30}},
        {2000, 330, {1, 880, 5}}, {100, 100, {1, -70, -110}}, {239, 320, {1, -1, 0}},
    };
    for (const PlaceCase& c : cases) {
        const ScreenPlacement p = PlaceScreen(c.windowWidth, c.windowHeight, 240, 320);
        EXPECT_EQ(p.scale, c.expected.scale) << c.windowWidth << "x" << c.windowHeight;
        EXPECT_EQ(p.left, c.expected.left) << c.windowWidth << "x" << c.windowHeight;
        EXPECT_EQ(p.top, c.expected.top) << c.windowWidth << "x" << c.windowHeight;
    }
}

struct PointCase {
    int32_t windowX, windowY;
    bool inside;
    int32_t x, y;  // clamped onto the screen
};

// A 240x320 screen at scale 3 in a 1000x1000 window: it covers x 140..859
// and y 20..979.
TEST(WindowToScreen, MapsThePixelsOfTheScreenAndNothingAround) {
    const ScreenPlacement place{3, 140, 20};
    const PointCase cases[] = {
        {140, 20, true, 0, 0},       {142, 22, true, 0, 0},      {143, 20, true, 1, 0},
        {859, 979, true, 239, 319},  {500, 500, true, 120, 160}, {139, 20, false, 0, 0},
        {860, 500, false, 239, 160}, {500, 19, false, 120, 0},   {500, 980, false, 120, 319},
        {0, 0, false, 0, 0},         {-5, -5, false, 0, 0},      {2000, 2000, false, 239, 319},
        {137, 500, false, 0, 160},
    };
    for (const PointCase& c : cases) {
        int32_t x = -100, y = -100;
        EXPECT_EQ(WindowToScreen(place, 240, 320, c.windowX, c.windowY, &x, &y), c.inside)
            << c.windowX << "," << c.windowY << " -> " << x << "," << y;
        WindowToScreenClamped(place, 240, 320, c.windowX, c.windowY, &x, &y);
        EXPECT_EQ(x, c.x) << c.windowX << "," << c.windowY;
        EXPECT_EQ(y, c.y) << c.windowX << "," << c.windowY;
    }
}

TEST(WindowToScreen, EveryWindowPixelOfAScaledScreenLandsOnItsDevicePixel) {
    const ScreenPlacement place = PlaceScreen(50, 40, 7, 5);  // scale 7, left 0, top 2
    ASSERT_EQ(place.scale, 7);
    for (int32_t wy = 0; wy < 40; ++wy) {
        for (int32_t wx = 0; wx < 50; ++wx) {
            int32_t x = 0, y = 0;
            const bool inside = WindowToScreen(place, 7, 5, wx, wy, &x, &y);
            const bool expected =
                wx >= place.left && wx < place.left + 49 && wy >= place.top && wy < place.top + 35;
            ASSERT_EQ(inside, expected) << wx << "," << wy;
            if (inside) {
                ASSERT_EQ(x * 7 + place.left, wx - (wx - place.left) % 7);
                ASSERT_EQ(y * 7 + place.top, wy - (wy - place.top) % 7);
            }
        }
    }
}

}  // namespace
