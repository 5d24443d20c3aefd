// plasma-demo in its window on an X server of the test's own, driven by real
// X input (xdotool, XTest) and looked at as the user sees it.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "effect/plasma_effect.h"
#include "imaging/image565.h"
#include "platform/src/sanitizer_build.h"
#include "tests/frontends/programs.h"
#include "tests/frontends/x_display.h"
#include "tests/support/canvas.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/frame_counter.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_lines.h"

namespace {
constexpr int kDemoTimeoutMs = 20000;  // a hang ends the case, it does not stall the run
constexpr std::chrono::milliseconds kWait{10000};  // for a window, a title, a size
constexpr int kSettleMs = 300;  // longer than the program's 40 ms wait for a message

// Windows, titles and pictures are looked at this often while waiting for them.
constexpr std::chrono::milliseconds kLookEvery{10};

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// plasma-demo running on a thread of the test, so that the test can act
// while it runs.
class RunningDemo {
public:
    RunningDemo(std::vector<std::string> args, ChildOptions options) {
        args.insert(args.begin(), PLASMA_DEMO);
        options.timeoutMs = kDemoTimeoutMs;
        thread_ = std::thread([this, args, options] {
            result_ = RunChild(args, options);
            ended_.store(true);
        });
    }
    ~RunningDemo() { Finish(); }
    bool Ended() const { return ended_.load(); }
    const ChildResult& Finish() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return result_;
    }

private:
    std::thread thread_;
    std::atomic<bool> ended_{false};
    ChildResult result_;
};

std::vector<TraceLine> Calls(const std::vector<TraceLine>& trace, const std::string& prefix) {
    std::vector<TraceLine> found;
    for (const TraceLine& line : trace) {
        if (line.call.rfind(prefix, 0) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

// The value of `name=0x...` in a traced message, -1 when absent.
long long Field(const std::string& call, const std::string& name) {
    const size_t at = call.find(name + "=");
    if (at == std::string::npos) {
        return -1;
    }
    return std::strtoll(call.c_str() + at + name.size() + 1, nullptr, 0);
}

struct Point {
    int x, y;
    bool operator==(const Point& other) const { return x == other.x && y == other.y; }
};
std::ostream& operator<<(std::ostream& os, const Point& p) {
    return os << "(" << p.x << ", " << p.y << ")";
}

// The stylus position a traced mouse message carries.
Point StylusAt(const TraceLine& line) {
    const long long lParam = Field(line.call, "lParam");
    return Point{static_cast<int>(lParam & 0xFFFF), static_cast<int>((lParam >> 16) & 0xFFFF)};
}

// Adds an option to a sanitizer's options for the programs the test starts.
[[maybe_unused]] void AppendOption(const char* variable, const std::string& option) {
    const char* options = std::getenv(variable);
    setenv(variable, (std::string(options != nullptr ? options : "") + ":" + option).c_str(), 1);
}

class SdlWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string xvfb = FindProgram("Xvfb");
        if (xvfb.empty()) {
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it); "
                            "the window is not tested";
        }
        xdotool_ = FindProgram("xdotool");
        ASSERT_FALSE(xdotool_.empty()) << "xdotool is missing (scripts/setup installs it)";
        display_.Start(xvfb);
#ifdef PLASMA_TSAN_SUPPRESSIONS
        AppendOption("TSAN_OPTIONS", "suppressions=" PLASMA_TSAN_SUPPRESSIONS);
#endif
#ifdef PLASMA_KEEP_LOADED
        // Loaded first, the sanitizer runtime accepts the preload beside it.
        setenv("LD_PRELOAD", PLASMA_KEEP_LOADED, 1);
        AppendOption("ASAN_OPTIONS", "verify_asan_link_order=0");
#endif
    }
    // Without its X server a demo still running loses its window and ends.
    void TearDown() override {
        display_.Stop();
        demo_.reset();
    }

    void Launch(std::vector<std::string> args) {
        demo_ = std::make_unique<RunningDemo>(std::move(args), ChildOptions{});
    }
    const ChildResult& Finish() {
        return demo_->Finish();
    }

    // The demo's window once it shows a title for which `accept` holds.
    Window WaitForWindow(bool (*accept)(const std::string& title)) {
        Window found = None;
        Eventually(
            [&] {
                for (Window w : ShownWindows(x())) {
                    if (TransientFor(x(), w) == None ||
                        TransientFor(x(), w) == DefaultRootWindow(x())) {
                        if (accept(WindowName(x(), w))) {
                            found = w;
                            return true;
                        }
                    }
                }
                return demo_->Ended();
            },
            kWait, kLookEvery);
        return found;
    }
    // The window once the program's main window exists and named it.
    Window WaitForProgramWindow() {
        return WaitForWindow(
            [](const std::string& title) { return !title.empty() && title != "plasma-demo"; });
    }

    void Xdotool(std::vector<std::string> args) {
        args.insert(args.begin(), xdotool_);
        ChildOptions options;
        options.timeoutMs = 5000;
        const ChildResult run = RunChild(args, options);
        EXPECT_EQ(run.exitCode, 0) << args[1] << ": " << run.err;
    }
    static std::string Id(Window window) {
        return std::to_string(window);
    }

    void Resize(Window window, int width, int height) {
        // At the screen's corner, so that all of it stays on the screen.
        XMoveResizeWindow(x(), window, 0, 0, static_cast<unsigned>(width),
                          static_cast<unsigned>(height));
        XSync(x(), False);
        int w = 0, h = 0;
        ASSERT_TRUE(
            Eventually([&] { return WindowSize(x(), window, &w, &h) && w == width && h == height; },
                       kWait, kLookEvery))
            << "the window stays " << w << "x" << h;
    }

    Display* x() const {
        return display_.x();
    }

    VirtualDisplay display_;
    std::string xdotool_;
    std::unique_ptr<RunningDemo> demo_;
};

TEST_F(SdlWindow, TakesTheProgramsTitleAndTheExecutablesIcon) {
    Launch({"--window", "--trace", "-"});
    const Window window = WaitForProgramWindow();
    ASSERT_NE(window, None) << Finish().err;
    const std::string title = WindowName(x(), window);
    const std::vector<uint32_t> icon = Cardinals(x(), window, "_NET_WM_ICON");
    SendDeleteWindow(x(), window);
    const ChildResult& run = Finish();
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const auto created = Calls(ParseTrace(run.out), "CreateWindowExW(");
    ASSERT_EQ(created.size(), 1u) << run.out;
    const size_t from = created[0].call.find("title=\"") + 7;
    EXPECT_EQ(title, created[0].call.substr(from, created[0].call.find('"', from) - from));

    const std::vector<uint32_t> expected = IconByImageMagick(0);
    ASSERT_EQ(expected.size(), 32u * 32u);
    ASSERT_EQ(icon.size(), 2 + expected.size());
    EXPECT_EQ(icon[0], 32u);
    EXPECT_EQ(icon[1], 32u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), icon.begin() + 2));
}

struct Size {
    int width, height;
};

struct PictureCase {
    const char* name;
    std::vector<std::string> args;
    Size screen;                     // as held
    Size window;                     // as opened
    Size resized;                    // 0 x 0: not resized
    const char* renderer = nullptr;  // SDL's choice unless named
};

void PrintTo(const PictureCase& c, std::ostream* os) {
    *os << c.name;
}

class SdlWindowPicture : public SdlWindow, public ::testing::WithParamInterface<PictureCase> {};

// The device's screen as the window shows it: each block of scale x scale
// window pixels one colour, black around it. Counts what breaks that.
struct Unscaled {
    std::vector<uint32_t> rgb;  // a device pixel's widened colour
    int unevenBlocks = 0, litBars = 0;
};

Unscaled Unscale(const Picture& picture, int32_t width, int32_t height) {
    const int scale = std::max(1, std::min(picture.width / width, picture.height / height));
    const int left = (picture.width - width * scale) / 2,
              top = (picture.height - height * scale) / 2;
    Unscaled screen;
    screen.rgb.assign(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int dx = (x - left) / scale, dy = (y - top) / scale;
            const bool onScreen = x >= left && y >= top && dx < width && dy < height;
            if (!onScreen) {
                screen.litBars += picture.At(x, y) != 0;
            } else if ((x - left) % scale == 0 && (y - top) % scale == 0) {
                screen.rgb[static_cast<size_t>(dy) * width + dx] = picture.At(x, y);
            } else {
                screen.unevenBlocks +=
                    picture.At(x, y) != picture.At(left + dx * scale, top + dy * scale);
            }
        }
    }
    return screen;
}

uint32_t Packed(Rgb8 rgb) {
    return uint32_t{rgb.red} << 16 | uint32_t{rgb.green} << 8 | rgb.blue;
}

// The plasma's frames in the order the program draws them, found by drawing
// them again: the screen is black but for rows 24 on, down to the last row
// but one of at most 320, at most 640 pixels wide.
bool FindFrame(const std::vector<uint16_t>& screen, int32_t width, int32_t height, long* frame) {
    const int32_t drawnWidth = std::min(width, 640), top = 24;
    const int32_t drawnHeight = std::min(height, 320) - 1 - top;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const bool drawn = x < drawnWidth && y >= top && y < top + drawnHeight;
            if (!drawn && screen[static_cast<size_t>(y) * width + x] != 0) {
                return false;
            }
        }
    }
    Canvas canvas(drawnWidth, drawnHeight, 2, 2 * drawnWidth);
    canvas.Install();
    // From the animation's start, as the demo, a fresh process, has it.
    ResetFrameCounter();
    PlasmaEffect effect;
    effect.Init(drawnWidth, drawnHeight);
    constexpr long kMaxFrames = 1 << 16;
    for (*frame = 0; *frame < kMaxFrames; ++*frame) {
        bool same = true;
        for (int32_t y = 0; y < drawnHeight && same; ++y) {
            for (int32_t x = 0; x < drawnWidth && same; ++x) {
                same = canvas.At(x, y) == screen[static_cast<size_t>(y + top) * width + x];
            }
        }
        if (same) {
            return true;
        }
        effect.RenderFrame();
    }
    return false;
}

// Every window pixel is its device pixel's 565 colour widened by bit
// replication; a DRAM-buffer device shows whole frames, so the picture is one
// the program drew.
TEST_P(SdlWindowPicture, ShowsTheScreenPixelForPixel) {
    const PictureCase& c = GetParam();
    std::vector<std::string> args = c.args;
    args.push_back("--dram");
    if (c.renderer != nullptr) {
        setenv("SDL_RENDER_DRIVER", c.renderer, 1);
    }
    Launch(args);
    const Window window = WaitForProgramWindow();
    ASSERT_NE(window, None) << Finish().err;
    int width = 0, height = 0;
    ASSERT_TRUE(WindowSize(x(), window, &width, &height));
    EXPECT_EQ(width, c.window.width);
    EXPECT_EQ(height, c.window.height);
    if (c.resized.width != 0) {
        Resize(window, c.resized.width, c.resized.height);
    }
    // Presents can lag far behind under sanitizers: wait for one in the
    // window's final layout, with the program's frames in it.
    Picture picture;
    Unscaled shown;
    const bool settled = Eventually(
        [&] {
            if (!CapturePicture(x(), window, &picture)) {
                return false;
            }
            shown = Unscale(picture, c.screen.width, c.screen.height);
            return shown.litBars == 0 && std::any_of(shown.rgb.begin(), shown.rgb.end(),
                                                     [](uint32_t p) { return p != 0; });
        },
        kWait, kLookEvery);
    SendDeleteWindow(x(), window);
    EXPECT_EQ(Finish().exitCode, 0) << Finish().err;
    ASSERT_TRUE(settled) << "the window never showed the screen in its layout";

    EXPECT_EQ(shown.unevenBlocks, 0);
    std::vector<uint16_t> screen;
    int notWidened = 0;
    for (uint32_t rgb : shown.rgb) {
        const uint16_t pixel = static_cast<uint16_t>((rgb >> 19) << 11 | ((rgb >> 10) & 0x3F) << 5 |
                                                     ((rgb >> 3) & 0x1F));
        notWidened += Packed(Widen565(pixel)) != rgb;
        screen.push_back(pixel);
    }
    EXPECT_EQ(notWidened, 0);
    long frame = -1;
    EXPECT_TRUE(FindFrame(screen, c.screen.width, c.screen.height, &frame))
        << "the window shows no frame the program drew";
}

const PictureCase kPictureCases[] = {
    {"pocketpc_at_scale_2", {"--scale", "2"}, {240, 320}, {480, 640}, {0, 0}},
    {"pocketpc_drawn_by_sdl_in_software",
     {"--scale", "2"},
     {240, 320},
     {480, 640},
     {0, 0},
     "software"},
    {"landscape_at_the_largest_scale_that_fits",
     {"--display", "240x320", "--rotate", "90"},
     {320, 240},
     {960, 720},
     {0, 0}},
    {"vga_landscape_letterboxed",
     {"--display", "480x640", "--rotate", "90", "--scale", "1"},
     {640, 480},
     {640, 480},
     {1100, 900}},
    {"rotated_panel_enlarged_to_scale_3",
     {"--display", "200x300", "--rotate", "90", "--scale", "2"},
     {300, 200},
     {600, 400},
     {905, 700}},
};

INSTANTIATE_TEST_SUITE_P(Devices, SdlWindowPicture, ::testing::ValuesIn(kPictureCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What the user does, and the message it must bring to the program.
struct InputCase {
    const char* name;
    std::vector<std::string> xdotool;  // "W" stands for the window
    const char* message;               // posted to the program's queue
    long long wParam;                  // -1: not checked
    Point stylus;                      // checked for mouse messages
};

void PrintTo(const InputCase& c, std::ostream* os) {
    *os << c.name;
}

class SdlWindowInput : public SdlWindow, public ::testing::WithParamInterface<InputCase> {};

// Each ends the program with 0, through the device's queue: the program
// takes the message at least 40 ms after it was posted.
TEST_P(SdlWindowInput, EndsTheProgram) {
    const InputCase& c = GetParam();
    Launch({"--scale", "2", "--trace", "-"});
    const Window window = WaitForProgramWindow();
    ASSERT_NE(window, None) << Finish().err;
    if (c.xdotool.empty()) {
        SendDeleteWindow(x(), window);
    } else if (c.xdotool[0] == "SIGTERM") {
        const std::vector<uint32_t> pid = Cardinals(x(), window, "_NET_WM_PID");
        ASSERT_EQ(pid.size(), 1u);
        kill(static_cast<pid_t>(pid[0]), SIGTERM);
    } else {
        std::vector<std::string> args = c.xdotool;
        std::replace(args.begin(), args.end(), std::string("W"), Id(window));
        Xdotool(args);
    }
    const ChildResult& run = Finish();
    ASSERT_FALSE(run.timedOut) << run.out << run.err;
    EXPECT_EQ(run.exitCode, 0) << run.err;

    const auto trace = ParseTrace(run.out);
    const auto posted = Calls(trace, std::string("post ") + c.message + "(");
    ASSERT_EQ(posted.size(), 1u) << run.out;
    if (c.wParam >= 0) {
        EXPECT_EQ(Field(posted[0].call, "wParam"), c.wParam) << posted[0].call;
    }
    if (std::string(c.message).find("WM_LBUTTON") == 0 ||
        std::string(c.message) == "WM_MOUSEMOVE") {
        EXPECT_EQ(StylusAt(posted[0]), c.stylus) << posted[0].call;
    }
    const auto taken = Calls(trace, std::string("DispatchMessageW(") + c.message + "(");
    ASSERT_FALSE(taken.empty()) << run.out;
    EXPECT_GE(taken[0].ms - posted[0].ms, 40.0);
}

// At scale 2, window pixel (2x+1, 2y+1) lies on device pixel (x, y).
INSTANTIATE_TEST_SUITE_P(
    Inputs, SdlWindowInput,
    ::testing::Values(
        InputCase{"tap",
                  {"mousemove", "--window", "W", "201", "301", "click", "1"},
                  "WM_LBUTTONDOWN",
                  1,
                  {100, 150}},
        InputCase{"tap_release",
                  {"mousemove", "--window", "W", "479", "639", "click", "1"},
                  "WM_LBUTTONUP",
                  -1,
                  {239, 319}},
        InputCase{"drag",
                  {"mousemove", "--window", "W", "21", "41", "mousedown", "1", "mousemove",
                   "--window", "W", "121", "81", "mouseup", "1"},
                  "WM_MOUSEMOVE",
                  1,
                  {60, 40}},
        InputCase{"drag_off_the_screen_releases_on_its_edge",
                  {"mousemove", "--window", "W", "21", "41", "mousedown", "1", "mousemove",
                   "--window", "W", "600", "700", "mouseup", "1"},
                  "WM_LBUTTONUP",
                  -1,
                  {239, 319}},
        InputCase{"key_a", {"windowfocus", "--sync", "W", "key", "a"}, "WM_KEYDOWN", 'A', {}},
        InputCase{"key_7", {"windowfocus", "--sync", "W", "key", "7"}, "WM_KEYDOWN", '7', {}},
        InputCase{
            "key_return", {"windowfocus", "--sync", "W", "key", "Return"}, "WM_KEYDOWN", 0x0D, {}},
        InputCase{
            "key_left", {"windowfocus", "--sync", "W", "key", "Left"}, "WM_KEYDOWN", 0x25, {}},
        InputCase{
            "key_release", {"windowfocus", "--sync", "W", "key", "Escape"}, "WM_KEYUP", 0x1B, {}},
        InputCase{"close_button", {}, "WM_CLOSE", -1, {}},
        InputCase{"termination_signal", {"SIGTERM"}, "WM_CLOSE", -1, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A 240x320 screen at scale 3 in a 1000x1000 window covers x 140..859 and
// y 20..979; clicks around it are not taps, and its corner is pixel (0, 0).
// At the device's own pace the window shows the animation frame after frame:
// each refresh of a DRAM-buffer device is a whole frame the program drew,
// the frames never go back, and none is ahead of what 60 a second allows
// since the launch. (The window may lag behind the program, under a
// sanitizer by many frames, and then catch up: the bound is the program's.)
TEST_F(SdlWindow, ShowsTheAnimationFrameAfterFrameAtTheDevicesPace) {
    const auto launched = std::chrono::steady_clock::now();
    Launch({"--dram", "--scale", "1"});
    const Window window = WaitForProgramWindow();
    ASSERT_NE(window, None) << Finish().err;
    struct Look {
        double ms;
        std::vector<uint16_t> screen;
    };
    std::vector<Look> looks;
    const auto start = std::chrono::steady_clock::now();
    auto next = start;
    while (looks.size() < 40 && std::chrono::steady_clock::now() - start < kWait) {
        Picture picture;
        if (CapturePicture(x(), window, &picture)) {
            const Unscaled shown = Unscale(picture, 240, 320);
            Look look{std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                launched)
                          .count(),
                      {}};
            for (uint32_t rgb : shown.rgb) {
                look.screen.push_back(static_cast<uint16_t>(
                    (rgb >> 19) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F)));
            }
            // Only once the program's frames are there.
            if (std::any_of(look.screen.begin(), look.screen.end(),
                            [](uint16_t p) { return p != 0; })) {
                looks.push_back(std::move(look));
            }
        }
        next += std::chrono::milliseconds(17);
        std::this_thread::sleep_until(next);
    }
    SendDeleteWindow(x(), window);
    EXPECT_EQ(Finish().exitCode, 0) << Finish().err;
    ASSERT_GE(looks.size(), 10u) << "the window showed too few frames to follow";

    std::vector<long> frames;
    for (const Look& look : looks) {
        long frame = -1;
        ASSERT_TRUE(FindFrame(look.screen, 240, 320, &frame))
            << "the look at " << look.ms << " ms shows no frame the program drew";
        frames.push_back(frame);
    }
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        if (i > 0) {
            EXPECT_GE(frames[i], frames[i - 1]) << "the animation ran backwards";
        }
        // Frame 0 is the one Init draws; one more for a look taken just as a
        // frame was published.
        EXPECT_LE(frames[i], static_cast<long>(looks[i].ms * 60 / 1000) + 2)
            << "ahead of the device's pace " << looks[i].ms << " ms after the launch";
    }
    EXPECT_GT(frames.back(), frames.front()) << "the animation stood still";
}

// PLASMA_DEMO_STATS=1: the window's refreshes and the program's frames, each
// a second, as the window closes; at the device's pace the program draws no
// more frames than the window lasted allows.
TEST_F(SdlWindow, StatsGiveRefreshesAndProgramFrames) {
    setenv("PLASMA_DEMO_STATS", "1", 1);
    Launch({"--close-after", "1500"});
    const ChildResult& run = Finish();
    unsetenv("PLASMA_DEMO_STATS");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    double seconds = 0, refreshRate = 0, frameRate = 0;
    unsigned long long refreshes = 0, frames = 0;
    bool found = false;
    for (const std::string& line : Lines(run.err)) {
        found = found || std::sscanf(line.c_str(),
                                     "plasma-demo: %lf s, %llu refreshes (%lf/s), %llu program "
                                     "frames (%lf/s)",
                                     &seconds, &refreshes, &refreshRate, &frames, &frameRate) == 5;
    }
    ASSERT_TRUE(found) << run.err;
    EXPECT_GT(refreshes, 0u);
    EXPECT_GT(frames, 0u);
    EXPECT_LE(frameRate, 60 * 1.01 + 1 / seconds) << run.err;
}

TEST_F(SdlWindow, ClicksBesideTheEnlargedScreenAreNotTaps) {
    Launch({"--scale", "1", "--trace", "-"});
    const Window window = WaitForProgramWindow();
    ASSERT_NE(window, None) << Finish().err;
    Resize(window, 1000, 1000);
    const Point beside[] = {{139, 500}, {860, 500}, {500, 19}, {500, 980}, {0, 0}, {999, 999}};
    for (const Point& p : beside) {
        Xdotool({"mousemove", "--window", Id(window), std::to_string(p.x), std::to_string(p.y),
                 "click", "1"});
    }
    Pause(kSettleMs);
    EXPECT_FALSE(demo_->Ended()) << "a click beside the screen ended the program";
    Xdotool({"mousemove", "--window", Id(window), "140", "20", "click", "1"});
    const ChildResult& run = Finish();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto taps = Calls(ParseTrace(run.out), "post WM_LBUTTONDOWN(");
    ASSERT_EQ(taps.size(), 1u) << run.out;
    EXPECT_EQ(StylusAt(taps[0]), (Point{0, 0}));
}

class SdlWindowMessageBox : public SdlWindow, public ::testing::WithParamInterface<bool> {};

// The program's message box is a real one over the window, and holds the
// program until Return dismisses it; a close of the window meanwhile waits.
TEST_P(SdlWindowMessageBox, HoldsTheProgramUntilReturn) {
    const bool closeWindowFirst = GetParam();
    Launch({"--fail", "open", "--trace", "-"});
    const Window window =
        WaitForWindow([](const std::string& title) { return title == "plasma-demo"; });
    ASSERT_NE(window, None) << Finish().err;
    Window box = None;
    ASSERT_TRUE(Eventually(
        [&] {
            for (Window w : ShownWindows(x())) {
                box = TransientFor(x(), w) == window ? w : box;
            }
            return box != None;
        },
        kWait, kLookEvery))
        << "no message box over the window";
    if (closeWindowFirst) {
        SendDeleteWindow(x(), window);
    }
    Pause(kSettleMs);
    EXPECT_FALSE(demo_->Ended()) << "the program went on without an answer";
    Xdotool({"windowfocus", "--sync", Id(box), "key", "Return"});
    const ChildResult& run = Finish();
    ASSERT_FALSE(run.timedOut) << run.out << run.err;
    EXPECT_EQ(run.exitCode, 1) << run.err;
    const auto boxes = Calls(ParseTrace(run.out), "MessageBoxW(");
    ASSERT_EQ(boxes.size(), 1u) << run.out;
    EXPECT_NE(boxes[0].call.find("text=\"GXOpenDisplay failed\""), std::string::npos);
    EXPECT_NE(boxes[0].call.find(") = 1"), std::string::npos) << boxes[0].call;  // IDOK
    EXPECT_EQ(run.err.find("message box"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Boxes, SdlWindowMessageBox, ::testing::Values(false, true),
                         [](const auto& info) {
                             return std::string(info.param ? "window_closed_meanwhile" : "alone");
                         });

// A person runs a sanitizer build as it is, without the tests' suppressions,
// preloads or options: it runs cleanly in a window all the same, reporting
// nothing about the libraries behind the window.
TEST_F(SdlWindow, RunsCleanlyWithoutTheTestsSanitizerSettings) {
    const ChildResult run =
        RunChild({"/usr/bin/env", "-u", "LD_PRELOAD", "-u", "LSAN_OPTIONS",
                  "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1", "TSAN_OPTIONS=halt_on_error=1",
                  PLASMA_DEMO, "--window", "--close-after", "1500"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
}

// A stop signal that comes while the window is still being made (the trace
// file is opened before it) ends the launcher at once: status 128 plus the
// signal, no screenshot, nothing left but the trace.
TEST_F(SdlWindow, StopBeforeTheWindowExistsEndsTheLauncherAtOnce) {
    TempDir dir;
    const std::string trace = dir / "trace.txt", shot = dir / "shot.png";
    bool sent = false;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        if (!sent && access(trace.c_str(), F_OK) == 0) {
            sent = true;
            kill(pid, SIGTERM);
        }
    };
    demo_ = std::make_unique<RunningDemo>(
        std::vector<std::string>{"--window", "--trace", trace, "--screenshot", shot}, options);
    const ChildResult& run = Finish();
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.exitCode, 128 + SIGTERM) << run.err << " signal " << run.termSignal;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"trace.txt"});
}

// A second stop signal ends the launcher at once, while the message box is
// up: nothing of it may stay behind, neither the box's process (which would
// hold the caller's pipes open), nor the box, nor the launcher's window.
TEST_F(SdlWindow, NothingOutlivesTheLauncherEndedDuringAMessageBox) {
    Launch({"--fail", "open"});
    const Window window =
        WaitForWindow([](const std::string& title) { return title == "plasma-demo"; });
    ASSERT_NE(window, None) << Finish().err;
    ASSERT_TRUE(Eventually(
        [&] {
            for (Window w : ShownWindows(x())) {
                if (TransientFor(x(), w) == window) {
                    return true;
                }
            }
            return false;
        },
        kWait, kLookEvery))
        << "no message box over the window";
    const std::vector<uint32_t> pid = Cardinals(x(), window, "_NET_WM_PID");
    ASSERT_EQ(pid.size(), 1u);
    kill(static_cast<pid_t>(pid[0]), SIGTERM);
    Pause(100);
    kill(static_cast<pid_t>(pid[0]), SIGTERM);
    const ChildResult& run = Finish();
    EXPECT_FALSE(run.timedOut) << "something held the launcher's output open";
    EXPECT_EQ(run.exitCode, 128 + SIGTERM) << run.err;
    EXPECT_TRUE(Eventually([&] { return ShownWindows(x()).empty(); },
                           std::chrono::milliseconds(3000), kLookEvery))
        << ShownWindows(x()).size() << " windows stayed on the screen";
}

struct DisplayLossCase {
    const char* name;
    long addressSpaceLimit;  // 0: none (a GL renderer); else SDL's software renderer
};

void PrintTo(const DisplayLossCase& c, std::ostream* os) {
    *os << c.name;
}

class SdlWindowDisplayLoss : public SdlWindow,
                             public ::testing::WithParamInterface<DisplayLossCase> {};

// The window's X server killed mid-run: the program's own line instead of
// Xlib's, status 1, and the run ends there, with no screenshot and nothing of
// one left behind, whichever renderer drew the window.
TEST_P(SdlWindowDisplayLoss, EndsTheRunInOneLine) {
    const DisplayLossCase& c = GetParam();
    if (c.addressSpaceLimit > 0 && platform::kSanitizerBuild) {
        GTEST_SKIP() << "a sanitizer's runtime cannot start under an address-space limit";
    }
    TempDir dir;
    ChildOptions options;
    options.addressSpaceLimit = c.addressSpaceLimit;
    demo_ = std::make_unique<RunningDemo>(
        std::vector<std::string>{"--window", "--screenshot", dir / "shot.png"}, options);
    ASSERT_NE(WaitForProgramWindow(), None) << Finish().err;
    Pause(kSettleMs);
    ASSERT_FALSE(demo_->Ended()) << Finish().err;
    const std::string display = std::getenv("DISPLAY");
    display_.Stop();
    const ChildResult& run = Finish();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 1) << run.err << " signal " << run.termSignal;
    EXPECT_EQ(run.err, "plasma-demo: the window's display " + display + " went away\n");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Renderers, SdlWindowDisplayLoss,
                         ::testing::Values(DisplayLossCase{"unlimited", 0},
                                           DisplayLossCase{"address_space_limit", 400L << 20}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where no display can be reached the launcher goes on headless, unless a
// window was required; SDL's drivers that show nothing (offscreen, dummy) do
// not count as a window. SDL picks its driver itself here, as for a user.
TEST(SdlWindowWithoutDisplay, FallsBackToHeadlessUnlessAWindowIsRequired) {
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("WAYLAND_DISPLAY");
    const std::string unserved = UnservedDisplay();
    const struct {
        const char* name;
        std::vector<std::string> prefix;  // before plasma-demo's arguments
    } environments[] = {
        {"DISPLAY unset", {"/usr/bin/env", "-u", "DISPLAY"}},
        {"DISPLAY without a server", {"/usr/bin/env", "DISPLAY=" + unserved}},
        {"empty environment", {"/usr/bin/env", "-i"}},
    };
    for (const auto& environment : environments) {
        SCOPED_TRACE(environment.name);
        std::vector<std::string> optional = environment.prefix;
        optional.insert(optional.end(), {PLASMA_DEMO, "--close-after", "100"});
        const ChildResult fallback = RunChild(optional);
        EXPECT_EQ(fallback.exitCode, 0) << fallback.err;
        ASSERT_EQ(Lines(fallback.err).size(), 1u) << fallback.err;
        EXPECT_EQ(fallback.err.rfind("plasma-demo: cannot open a window: ", 0), 0u) << fallback.err;
        EXPECT_NE(fallback.err.find("; running headless"), std::string::npos) << fallback.err;

        std::vector<std::string> required = environment.prefix;
        required.insert(required.end(), {PLASMA_DEMO, "--window", "--close-after", "100"});
        const ChildResult refused = RunChild(required);
        EXPECT_EQ(refused.exitCode, 1) << refused.err;
        ASSERT_EQ(Lines(refused.err).size(), 1u) << refused.err;
        EXPECT_EQ(refused.err.rfind("plasma-demo: cannot open a window: ", 0), 0u) << refused.err;
        EXPECT_EQ(refused.err.find("headless"), std::string::npos) << refused.err;
    }
}

}  // namespace
