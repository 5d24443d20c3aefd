// What stands in the way of plasma-demo's window, said as it is: the
// process's own limits (address space, file descriptors) with a display that
// answers, and a display variable that names nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/src/sanitizer_build.h"
#include "tests/frontends/programs.h"
#include "tests/frontends/x_display.h"
#include "tests/support/child_process.h"

namespace {
constexpr long kMiB = 1024 * 1024;
const char kCannot[] = "plasma-demo: cannot open a window: ";
const char kHeadless[] = "; running headless";

bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

class WindowLimits : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string xvfb = FindProgram("Xvfb");
        if (xvfb.empty()) {
            GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
        }
        display_.Start(xvfb);
        display_name_ = std::getenv("DISPLAY");
    }

    // plasma-demo on the test's display as a user runs it, SDL choosing.
    ChildResult Run(std::vector<std::string> args, const ChildOptions& options = {}) {
        std::vector<std::string> argv{"/usr/bin/env",    "-u",       "SDL_VIDEODRIVER", "-u",
                                      "WAYLAND_DISPLAY", PLASMA_DEMO};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunChild(argv, options);
    }

    VirtualDisplay display_;
    std::string display_name_;
};

// Under ulimit -v the window is drawn by SDL's software renderer, where it
// fits: before, Mesa's GL driver crashed (SIGSEGV) at limits from 310 to
// 620 MB here, and below 300 MB its errors and Xlib's took eight lines. Too
// little for a window is one line, and headless, or status 1 with --window.
TEST_F(WindowLimits, AnAddressSpaceLimitGivesAWindowOrOneLineNeverASignal) {
    if (platform::kSanitizerBuild) {
        GTEST_SKIP() << "a sanitizer's runtime cannot start under an address-space limit";
    }
    const struct {
        long megabytes;
        bool window;  // else not enough for one
    } cases[] = {{30, false}, {60, true}, {150, true}, {340, true}, {480, true}, {620, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("ulimit -v " + std::to_string(c.megabytes * 1024));
        ChildOptions options;
        options.addressSpaceLimit = c.megabytes * kMiB;
        const ChildResult required = Run({"--window", "--close-after", "300"}, options);
        EXPECT_EQ(required.termSignal, 0) << required.err;
        if (c.window) {
            EXPECT_EQ(required.exitCode, 0) << required.err;
            EXPECT_EQ(required.err, "");
            continue;
        }
        EXPECT_EQ(required.exitCode, 1) << required.err;
        ASSERT_EQ(Lines(required.err).size(), 1u) << required.err;
        EXPECT_TRUE(StartsWith(required.err, kCannot)) << required.err;

        const ChildResult optional = Run({"--close-after", "300"}, options);
        EXPECT_EQ(optional.termSignal, 0) << optional.err;
        EXPECT_EQ(optional.exitCode, 0) << optional.err;
        EXPECT_EQ(optional.err, required.err.substr(0, required.err.size() - 1) + kHeadless + "\n");
    }
}

// A display that answers but cannot be reached for want of a descriptor is
// not a display where nothing answers.
TEST_F(WindowLimits, TooFewFileDescriptorsAreSaidAsSuch) {
    if (platform::kSanitizerBuild) {
        GTEST_SKIP() << "a sanitizer's runtime fails for want of descriptors of its own first";
    }
    const ChildResult run =
        RunChild({"/bin/sh", "-c", "ulimit -n 5 && exec \"$@\"", "sh", "/usr/bin/env", "-u",
                  "SDL_VIDEODRIVER", "-u", "WAYLAND_DISPLAY", PLASMA_DEMO, "--window",
                  "--close-after", "300"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err, kCannot + std::string("no file descriptor left to reach DISPLAY=") +
                           display_name_ + ": Too many open files (ulimit -n is 5)\n");
}

// With no display to try, the line names the variables as they are: which
// are unset or empty, and why a Wayland name that is set names nothing.
TEST(WindowWithoutDisplay, NamesWhatTheVariablesSay) {
    const struct {
        std::vector<std::string> environment;
        const char* why;
    } cases[] = {
        {{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"}, "DISPLAY and WAYLAND_DISPLAY are unset"},
        {{"-u", "WAYLAND_DISPLAY", "DISPLAY="}, "DISPLAY is empty and WAYLAND_DISPLAY is unset"},
        {{"-u", "DISPLAY", "-u", "XDG_RUNTIME_DIR", "WAYLAND_DISPLAY=junk"},
         "WAYLAND_DISPLAY=junk names no socket, as XDG_RUNTIME_DIR is unset; DISPLAY is unset"},
        {{"-u", "DISPLAY", "XDG_RUNTIME_DIR=", "WAYLAND_DISPLAY=junk"},
         "WAYLAND_DISPLAY=junk names no socket, as XDG_RUNTIME_DIR is empty; DISPLAY is unset"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        std::vector<std::string> argv{"/usr/bin/env", "-u", "SDL_VIDEODRIVER"};
        argv.insert(argv.end(), c.environment.begin(), c.environment.end());
        argv.insert(argv.end(), {PLASMA_DEMO, "--close-after", "100"});
        const ChildResult run = RunChild(argv);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, kCannot + std::string("no display (") + c.why + ")" + kHeadless + "\n");
    }
}

}  // namespace
