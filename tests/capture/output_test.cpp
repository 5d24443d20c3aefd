#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "tests/capture/support/image_files.h"
#include "tests/capture/support/oracle_frames.h"
#include "tests/capture/support/run_program.h"
#include "tests/support/case_name.h"
#include "tests/support/temp_dir.h"

namespace {

struct OutputCase {
    const char* name;
    std::vector<std::string> options;  // besides --out
    int32_t width, height;
    std::vector<int32_t> frames;  // written, ascending
    int32_t fps;                  // for the GIF; 0 leaves the default of 30
};

void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<int32_t> Range(int32_t first, int32_t last) {
    std::vector<int32_t> frames(static_cast<size_t>(last - first + 1));
    std::iota(frames.begin(), frames.end(), first);
    return frames;
}

// Frame numbering is checked against the effect from a fresh start, with gaps
// that skip frames and numbers past the counter's 256-frame wrap.
const OutputCase kCases[] = {
    // clang-format off
    {"defaults", {}, 240, 295, Range(1, 128), 0},
    {"the Init frame alone", {"--size", "7x5", "--frames", "1"}, 7, 5, {1}, 25},
    {"unsorted with gaps and repeats", {"--size", "33x17", "--frames", "300,2,7,2,3-4"},
     33, 17, {2, 3, 4, 7, 300}, 7},
    {"one pixel", {"--size=1x1", "--frames=1-3"}, 1, 1, {1, 2, 3}, 50},
    {"wider than the row period", {"--size", "257x3", "--frames", "1,256-258"},
     257, 3, {1, 256, 257, 258}, 1},
    {"tall and narrow", {"--size", "3x300", "--frames", "5-6"}, 3, 300, {5, 6}, 30},
    // clang-format on
};

std::string Name(const char* pattern, int32_t frame) {
    char name[64];
    std::snprintf(name, sizeof name, pattern, static_cast<int>(frame));
    return name;
}

std::vector<std::string> Names(const char* pattern, const std::vector<int32_t>& frames) {
    std::vector<std::string> names;
    for (int32_t frame : frames)
        names.push_back(Name(pattern, frame));
    std::sort(names.begin(), names.end());
    return names;
}

class CaptureOutput : public ::testing::TestWithParam<OutputCase> {
protected:
    // Runs the tool with the case's options and this --out, expecting success.
    void Export(const std::string& out, std::vector<std::string> more = {}) {
        std::vector<std::string> args = GetParam().options;
        args.insert(args.end(), more.begin(), more.end());
        args.insert(args.end(), {"--out", out});
        const ChildResult result = RunCapture(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
    }

    // The raw frames, as written by the tool.
    std::vector<Image565> ExportRgb565() {
        const OutputCase& c = GetParam();
        Export(raw_ / "f%04d.rgb565");
        std::vector<Image565> frames;
        for (int32_t frame : c.frames) {
            frames.push_back(ReadRgb565(raw_ / Name("f%04d.rgb565", frame), c.width, c.height));
        }
        return frames;
    }

    TempDir raw_;
    TempDir dir_;
};

TEST_P(CaptureOutput, Rgb565IsTheEffectsFrame) {
    const OutputCase& c = GetParam();
    const std::vector<Image565> written = ExportRgb565();
    // No temporary files left, no frames beyond those asked for.
    EXPECT_EQ(raw_.Names(), Names("f%04d.rgb565", c.frames));
    const std::vector<Image565> expected = OracleFrames(c.width, c.height, c.frames);
    ASSERT_EQ(written.size(), expected.size());
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_EQ(written[i].pixels, expected[i].pixels) << "frame " << c.frames[i];
    }
}

TEST_P(CaptureOutput, PngIsTheWidenedRgb565) {
    const OutputCase& c = GetParam();
    const std::vector<Image565> raw = ExportRgb565();
    Export(dir_ / "img%d.PNG");
    EXPECT_EQ(dir_.Names(), Names("img%d.PNG", c.frames));
    for (size_t i = 0; i < c.frames.size() && i < raw.size(); ++i) {
        EXPECT_EQ(ReadPng(dir_ / Name("img%d.PNG", c.frames[i])), Widen(raw[i]))
            << "frame " << c.frames[i];
    }
}

TEST_P(CaptureOutput, GifFramesAreTheWidenedRgb565AtTheFps) {
    const OutputCase& c = GetParam();
    const std::vector<Image565> raw = ExportRgb565();
    const int32_t fps = c.fps != 0 ? c.fps : 30;
    Export(dir_ / "anim.gif", c.fps != 0 ? std::vector<std::string>{"--fps", std::to_string(c.fps)}
                                         : std::vector<std::string>{});
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"anim.gif"});
    const GifAnimation gif = ReadGif(dir_ / "anim.gif");
    EXPECT_EQ(gif.width, c.width);
    EXPECT_EQ(gif.height, c.height);
    EXPECT_TRUE(gif.loopsForever);
    ASSERT_EQ(gif.frames.size(), c.frames.size());
    int32_t elapsed = 0;
    for (size_t i = 0; i < gif.frames.size() && i < raw.size(); ++i) {
        EXPECT_EQ(gif.frames[i].image, Widen(raw[i])) << "frame " << c.frames[i];
        // Each frame ends at its exact time rounded to a hundredth of a second.
        elapsed += gif.frames[i].delay;
        EXPECT_EQ(elapsed, std::lround(100.0 * static_cast<double>(i + 1) / fps))
            << "after frame " << c.frames[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CaptureOutput, ::testing::ValuesIn(kCases), NameOfCase());

}  // namespace
