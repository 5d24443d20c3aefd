#include <gtest/gtest.h>

#include <stdexcept>

#include "output_files/atomic_file.h"
#include "tests/capture/support/image_files.h"
#include "tests/support/temp_dir.h"
#include "tools/capture/gif_writer.h"

namespace {

// The effect's palette never changes, so whole-program runs never need a
// frame's own colour table; these frames do.
TEST(CaptureGifWriter, KeepsExactColoursWhenAFrameLeavesTheFirstTable) {
    const Image565 frames[] = {
        {2, 2, {0x0000, 0x0000, 0xFFFF, 0xFFFF}},
        {2, 2, {0x8410, 0x0000, 0x8410, 0x0841}},  // two colours the first lacks
        {2, 2, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}},  // back within the first table
        {2, 2, {0x7BEF, 0x7BEF, 0x7BEF, 0x7BEF}},  // a single colour of its own
    };
    TempDir dir;
    {
        AtomicFile file(dir / "a.gif");
        GifWriter gif(file, 25);
        for (const Image565& frame : frames)
            gif.Add(frame);
        gif.Finish();
        file.Commit();
    }
    const GifAnimation animation = ReadGif(dir / "a.gif");
    ASSERT_EQ(animation.frames.size(), std::size(frames));
    EXPECT_TRUE(animation.loopsForever);
    for (size_t i = 0; i < std::size(frames); ++i) {
        EXPECT_EQ(animation.frames[i].image, Widen(frames[i])) << "frame " << i;
        EXPECT_EQ(animation.frames[i].delay, 4) << "frame " << i;
    }
}

TEST(CaptureGifWriter, RefusesAFrameOfMoreThan256ColoursAndLeavesNoFile) {
    Image565 frame{17, 16, {}};
    for (int i = 0; i < 17 * 16; ++i)
        frame.pixels.push_back(static_cast<Pixel565>(i * 97));
    TempDir dir;
    {
        AtomicFile file(dir / "a.gif");
        GifWriter gif(file, 30);
        EXPECT_THROW(gif.Add(frame), std::runtime_error);
    }
    EXPECT_TRUE(dir.Names().empty());
}

}  // namespace
