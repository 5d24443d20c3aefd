// plasma-demo short of memory or of threads: one line naming what could not
// be had, and status 1, or a normal run; never an abort or another signal.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/src/sanitizer_build.h"
#include "tests/emulator/headless_demo.h"
#include "tests/support/child_process.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_lines.h"

namespace {

constexpr long kKiB = 1024;
constexpr long kMiB = 1024 * kKiB;
constexpr int kLoaderFailed = 127;

// What plasma-demo names when it cannot have something, before main and
// after.
const char* const kShortages[] = {
    "not enough memory to start",
    "not enough memory to run",
    "cannot map ",
    "not enough memory for the screen's buffer",
    "cannot start the program's thread: ",
    "not enough memory on the device for the program's ",
};

// The shortage the one line of `err` names, or null when it names none.
const char* NamedShortage(const std::string& err) {
    const std::vector<std::string> lines = Lines(err);
    if (lines.size() != 1 || lines[0].rfind("plasma-demo: ", 0) != 0) {
        return nullptr;
    }
    for (const char* shortage : kShortages) {
        if (lines[0].compare(13, std::strlen(shortage), shortage) == 0) {
            return shortage;
        }
    }
    return nullptr;
}

int ExitUnder(long limit, const std::vector<std::string>& args) {
    ChildOptions options;
    options.addressSpaceLimit = limit;
    std::vector<std::string> argv = {PLASMA_DEMO};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunChild(argv, options).exitCode;
}

// The smallest address space (to 4 KiB) in which the dynamic loader gets
// plasma-demo as far as its own code: below it the loader fails with its
// own line and status 127, before anything of ours runs.
long LoaderFloor() {
    long low = 1 * kMiB, high = 256 * kMiB;
    EXPECT_EQ(ExitUnder(low, {"--version"}), kLoaderFailed);
    EXPECT_EQ(ExitUnder(high, {"--version"}), 0);
    while (high - low > 4 * kKiB) {
        const long middle = (low + high) / 2;
        (ExitUnder(middle, {"--version"}) == kLoaderFailed ? low : high) = middle;
    }
    return high;
}

// From where plasma-demo's own code first runs up to where it runs in full,
// every limit ends in one line naming the shortage and status 1, or in a
// normal run. The limits are measured from the loader's floor, as a build's
// libraries decide where everything else falls; the steps are finer than
// each stage's own need (display memory, the program's thread's stack).
TEST(AddressSpaceLimit, EachEndsInOneLineAndStatusOneOrANormalRun) {
    if (platform::kSanitizerBuild) {
        GTEST_SKIP() << "a sanitizer's runtime cannot start under an address-space limit";
    }
    const long floor = LoaderFloor();
    ASSERT_GT(floor, 1 * kMiB);
    struct Sweep {
        std::vector<std::string> args;
        long step;
    };
    const Sweep sweeps[] = {
        {{"--headless", "--close-after", "0"}, 32 * kKiB},
        // A DRAM-buffer device also needs its screen's buffer.
        {{"--headless", "--dram", "--close-after", "0"}, 64 * kKiB},
    };
    // Up to where it runs: a few normal runs in a row.
    constexpr int kNormalRunsAtTheTop = 4;
    std::set<std::string> named;
    for (const Sweep& sweep : sweeps) {
        int normalRuns = 0;
        for (long limit = floor; normalRuns < kNormalRunsAtTheTop; limit += sweep.step) {
            SCOPED_TRACE(sweep.args[1] + " under " + std::to_string(limit / kKiB) + " KiB");
            ASSERT_LE(limit, floor + 64 * kMiB) << "never ran in full";
            ChildOptions options;
            options.addressSpaceLimit = limit;
            options.timeoutMs = 10000;
            std::vector<std::string> argv = {PLASMA_DEMO};
            argv.insert(argv.end(), sweep.args.begin(), sweep.args.end());
            const ChildResult run = RunChild(argv, options);
            ASSERT_FALSE(run.timedOut) << run.err;
            ASSERT_EQ(run.termSignal, 0) << run.err;
            normalRuns = run.exitCode == 0 ? normalRuns + 1 : 0;
            if (run.exitCode == 0) {
                EXPECT_EQ(run.err, "");
                continue;
            }
            ASSERT_EQ(run.exitCode, 1) << run.err;
            const char* shortage = NamedShortage(run.err);
            ASSERT_NE(shortage, nullptr) << run.err;
            named.insert(shortage);
        }
    }
    // The stages every build meets on the way up; the others fall in gaps
    // narrower than a step in some builds.
    for (const char* stage : {"cannot map ", "not enough memory for the screen's buffer",
                              "cannot start the program's thread: "}) {
        EXPECT_EQ(named.count(stage), 1u) << stage;
    }
}

// The program's main thread is the device's to start: without it nothing
// can run. The render thread is the program's own CreateThread, which the
// platform answers with NULL; the program does not check it, by design, and
// its message loop still takes the stop.
TEST(ThreadLimit, NoMainThreadIsOneLineNoRenderThreadANormalStop) {
    if (platform::kSanitizerBuild) {
        GTEST_SKIP() << "a sanitizer's runtime starts threads of its own";
    }
    ChildOptions options;
    options.processLimit = 1;
    if (geteuid() == 0) {
        // Root is not held to RLIMIT_NPROC.
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr) {
            GTEST_SKIP() << "run as root, with no user nobody to hold to a thread limit";
        }
        options.switchUser = true;
        options.uid = nobody->pw_uid;
        options.gid = nobody->pw_gid;
    }
    const std::string unavailable = std::strerror(EAGAIN);

    const ChildResult noMain = Demo({"--close-after", "100"}, options);
    if (noMain.exitCode == kLoaderFailed && noMain.err.empty()) {
        GTEST_SKIP() << "nobody cannot run " << PLASMA_DEMO << " (a private folder?)";
    }
    EXPECT_EQ(noMain.exitCode, 1);
    EXPECT_EQ(noMain.err, "plasma-demo: cannot start the program's thread: " + unavailable + "\n");

    // The process and the program's main thread, and no more.
    options.processLimit = 2;
    TempDir dir;
    ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);  // for nobody's screenshot
    const std::string shot = dir / "shot.png";
    const ChildResult noRender =
        Demo({"--close-after", "100", "--trace", "-", "--screenshot", shot}, options);
    EXPECT_EQ(noRender.exitCode, 0) << noRender.err;
    EXPECT_EQ(noRender.err, "");
    const std::vector<TraceLine> trace = ParseTrace(noRender.out);
    int refused = 0, closed = 0;
    for (const TraceLine& line : trace) {
        refused += line.call.rfind("CreateThread(", 0) == 0 &&
                   line.call.find(") = 0, " + unavailable) != std::string::npos;
        closed += line.call.rfind("DispatchMessageW(WM_CLOSE", 0) == 0;
    }
    EXPECT_EQ(refused, 1) << noRender.out;
    EXPECT_EQ(closed, 1) << noRender.out;
    ASSERT_FALSE(trace.empty());
    EXPECT_NE(noRender.out.find("WinMain returned 0"), std::string::npos) << noRender.out;
    // Nothing drew: the screen is as black as fresh display memory.
    const RgbImage screen = ReadPng(shot);
    int lit = 0;
    for (int32_t y = 0; y < screen.height; ++y) {
        for (int32_t x = 0; x < screen.width; ++x) {
            lit += screen.At(x, y) != 0;
        }
    }
    EXPECT_GT(screen.width * screen.height, 0);
    EXPECT_EQ(lit, 0);
}

}  // namespace
