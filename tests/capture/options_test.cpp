#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "tests/support/bad_command_lines.h"
#include "tools/capture/options.h"

namespace {

using Args = std::vector<std::string>;

std::vector<int32_t> Range(int32_t first, int32_t last) {
    std::vector<int32_t> frames(static_cast<size_t>(last - first + 1));
    std::iota(frames.begin(), frames.end(), first);
    return frames;
}

struct GoodCase {
    const char* name;
    Args args;
    int32_t width, height;
    std::vector<int32_t> frames;
    int32_t fps;
    OutputFormat format;
    std::string pathOfFrame7;
};

const std::vector<GoodCase> kGoodCases = {
    {"defaults",
     {"--out", "f%04d.png"},
     240,
     295,
     Range(1, 128),
     30,
     OutputFormat::kPng,
     "f0007.png"},
    {"name=value forms and an upper-case extension",
     {"--size=1x1", "--frames=5", "--out=one.RGB565"},
     1,
     1,
     {5},
     30,
     OutputFormat::kRgb565,
     "one.RGB565"},
    {"largest size, capital X, options after --out",
     {"--out", "a.Png", "--size", "4096X4096", "--frames", "1"},
     4096,
     4096,
     {1},
     30,
     OutputFormat::kPng,
     "a.Png"},
    {"unsorted list with repeats and overlapping ranges",
     {"--frames", "9,3-5,4,1000000,3,2-3", "--out", "x%d.rgb565"},
     240,
     295,
     {2, 3, 4, 5, 9, 1000000},
     30,
     OutputFormat::kRgb565,
     "x7.rgb565"},
    {"a range of one frame",
     {"--frames", "6-6", "--out", "x.gif"},
     240,
     295,
     {6},
     30,
     OutputFormat::kGif,
     "x.gif"},
    {"gif with fps",
     {"--fps", "50", "--frames", "2-4", "--out", "dir/anim.GIF"},
     240,
     295,
     {2, 3, 4},
     50,
     OutputFormat::kGif,
     "dir/anim.GIF"},
    {"slowest gif",
     {"--fps=1", "--out", "a.gif"},
     240,
     295,
     Range(1, 128),
     1,
     OutputFormat::kGif,
     "a.gif"},
    {"literal percent signs around the number",
     {"--frames", "1-2", "--out", "a%%b%03d%%.rgb565"},
     240,
     295,
     {1, 2},
     30,
     OutputFormat::kRgb565,
     "a%b007%.rgb565"},
    {"widest padding",
     {"--frames", "1,7", "--out", "f%09d.png"},
     240,
     295,
     {1, 7},
     30,
     OutputFormat::kPng,
     "f000000007.png"},
    {"one frame may name its number",
     {"--frames", "12", "--out", "f%d.png"},
     240,
     295,
     {12},
     30,
     OutputFormat::kPng,
     "f7.png"},
};

TEST(CaptureOptions, AcceptsGoodForms) {
    for (const GoodCase& c : kGoodCases) {
        SCOPED_TRACE(c.name);
        ParsedCommand parsed;
        ASSERT_NO_THROW(parsed = ParseOptions(c.args));
        const Options& o = parsed.options;
        EXPECT_EQ(parsed.command, Command::kCapture);
        EXPECT_EQ(o.width, c.width);
        EXPECT_EQ(o.height, c.height);
        EXPECT_EQ(o.frames, c.frames);
        EXPECT_EQ(o.fps, c.fps);
        EXPECT_EQ(o.out.Format(), c.format);
        EXPECT_EQ(o.out.ForFrame(7), c.pathOfFrame7);
    }
}

TEST(CaptureOptions, HelpAndVersionWinOverTheRest) {
    EXPECT_EQ(ParseOptions({"--help"}).command, Command::kHelp);
    EXPECT_EQ(ParseOptions({"-h"}).command, Command::kHelp);
    EXPECT_EQ(ParseOptions({"--out", "x.png", "--help", "--size", "0x0"}).command, Command::kHelp);
    EXPECT_EQ(ParseOptions({"--version"}).command, Command::kVersion);
    EXPECT_EQ(ParseOptions({"--version", "--bogus", "--size", "0x0"}).command, Command::kVersion);
}

const std::vector<BadCommandLine> kBadCases = {
    {{}, "--out PATH"},
    {{"--size", "0x5", "--out", "a.png"}, "--size"},
    {{"--size", "4097x1", "--out", "a.png"}, "WxH"},
    {{"--size", "12", "--out", "a.png"}, "WxH"},
    {{"--size", "x5", "--out", "a.png"}, "WxH"},
    {{"--size", "5x", "--out", "a.png"}, "WxH"},
    {{"--size", "-5x5", "--out", "a.png"}, "WxH"},
    {{"--size", "+5x5", "--out", "a.png"}, "WxH"},
    {{"--size", "5x5x5", "--out", "a.png"}, "WxH"},
    {{"--size", " 5x5", "--out", "a.png"}, "WxH"},
    {{"--size", "99999999999999999999x5", "--out", "a.png"}, "WxH"},
    {{"--frames", "0", "--out", "a.gif"}, "--frames"},
    {{"--frames", "", "--out", "a.gif"}, "--frames"},
    {{"--frames", "1,,2", "--out", "a.gif"}, "range A-B"},
    {{"--frames", "1,", "--out", "a.gif"}, "range A-B"},
    {{"--frames", "5-2", "--out", "a.gif"}, "write it as 2-5"},
    {{"--frames", "1000001", "--out", "a.gif"}, "1000000"},
    {{"--frames", "1-1000001", "--out", "a.gif"}, "1000000"},
    {{"--frames", "a", "--out", "a.gif"}, "--frames"},
    {{"--frames", "1-", "--out", "a.gif"}, "--frames"},
    {{"--frames", "-3", "--out", "a.gif"}, "--frames"},
    {{"--frames", "1-2-3", "--out", "a.gif"}, "--frames"},
    {{"--frames", "1.5", "--out", "a.gif"}, "--frames"},
    {{"--frames", " 1", "--out", "a.gif"}, "--frames"},
    {{"--fps", "0", "--out", "a.gif"}, "from 1 to 50"},
    {{"--fps", "51", "--out", "a.gif"}, "from 1 to 50"},
    {{"--fps", "2.5", "--out", "a.gif"}, "--fps"},
    {{"--fps", "", "--out", "a.gif"}, "--fps"},
    {{"--fps", "10", "--frames", "1", "--out", "a.png"}, "only applies to .gif"},
    {{"--out", "a.jpg"}, ".png, .rgb565 or .gif"},
    {{"--out", "png"}, ".png, .rgb565 or .gif"},
    {{"--out", "a.png%d"}, ".png, .rgb565 or .gif"},
    {{"--out", ""}, ".png, .rgb565 or .gif"},
    {{"--out", "f%s.png"}, "%0Nd"},
    {{"--out", "f%5d.png"}, "%0Nd"},
    {{"--out", "f%010d.png"}, "%0Nd"},
    {{"--out", "f%00d.png"}, "%0Nd"},
    {{"--out", "f%"}, "%0Nd"},
    {{"--out", "f%d%d.png"}, "more than one"},
    {{"--out", "f%d.gif"}, "drop the %d"},
    {{"--frames", "1-2", "--out", "a.png"}, "need a %d"},
    {{"--frames", "3,4", "--out", "100%%.rgb565"}, "need a %d"},
    {{"--bogus", "--out", "a.png"}, "unknown argument '--bogus'"},
    {{"--out", "a.gif", "extra.gif"}, "unknown argument 'extra.gif'"},
    {{"-o", "a.gif"}, "unknown argument '-o'"},
    {{"--size", "1x1", "--size=2x2", "--out", "a.gif"}, "--size given more than once"},
    {{"--frames", "1", "--out"}, "--out needs a value"},
    {{"--out", "--frames", "1"}, "--out needs a value"},
    {{"--out=", "--frames", "1"}, "--out needs a value"},
};

TEST(CaptureOptions, RejectsBadFormsNamingTheProblem) {
    ExpectEachRefused(kBadCases, [](const Args& args) { ParseOptions(args); });
}

}  // namespace
