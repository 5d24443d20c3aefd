#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/capture/support/oracle_frames.h"
#include "tools/capture/frame_renderer.h"

namespace {

// The frame counter is shared by the process, so a second capture in the same
// process must still start from frame 1.
TEST(CaptureFrameRenderer, EachRendererStartsFromAFreshAnimation) {
    const std::vector<Image565> expected = OracleFrames(9, 4, {1, 3, 40});
    for (int run = 0; run < 2; ++run) {
        FrameRenderer renderer(9, 4);
        EXPECT_EQ(renderer.Render(1).pixels, expected[0].pixels) << "run " << run;
        EXPECT_EQ(renderer.Render(3).pixels, expected[1].pixels) << "run " << run;
        EXPECT_EQ(renderer.Render(40).pixels, expected[2].pixels) << "run " << run;
        EXPECT_THROW(renderer.Render(39), std::runtime_error);
    }
}

}  // namespace
