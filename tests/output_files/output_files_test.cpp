// What both programs write for the user: a screenshot or an export, through
// links, to devices, under long names; and what they print, when the writing
// fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/src/sanitizer_build.h"
#include "tests/support/child_process.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"

namespace {

struct Program {
    const char* name;
    std::vector<std::string> argv;  // up to the option that names the output
};

const Program kDemo{"plasma_demo",
                    {PLASMA_DEMO, "--headless", "--close-after", "0", "--screenshot"}};
const Program kCapture{"plasma_capture",
                       {PLASMA_CAPTURE, "--size", "8x8", "--frames", "1", "--out"}};

void PrintTo(const Program& p, std::ostream* os) {
    *os << p.name;
}

ChildResult Write(const Program& program, const std::string& output, long fileSizeLimit = 0) {
    std::vector<std::string> argv = program.argv;
    argv.push_back(output);
    ChildOptions options;
    options.fileSizeLimit = fileSizeLimit;
    return RunChild(argv, options);
}

// Runs the command with its standard output sent to `path`.
ChildResult RunWithOutputTo(const std::string& path, std::vector<std::string> argv) {
    argv.insert(argv.begin(), {"/bin/sh", "-c", "f=$1; shift; exec \"$@\" >\"$f\"", "sh", path});
    return RunChild(argv);
}

bool IsOneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

bool IsLink(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

class OutputFile : public ::testing::TestWithParam<Program> {};

struct LinkCase {
    const char* name;
    const char* linkTarget;  // what the link "out.png" holds
    const char* written;     // the file that must hold the image, in the directory
};

// The link stays a link, the file it names gets the image, and no temporary
// file is left in either directory.
TEST_P(OutputFile, WritesThroughASymbolicLink) {
    const LinkCase cases[] = {
        {"to an existing file", "real.png", "real.png"},
        {"to a file yet to be made", "new.png", "new.png"},
        {"to a file in another directory", "sub/real.png", "sub/real.png"},
        {"to a link to a file", "hop.png", "sub/real.png"},
    };
    for (const LinkCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
        std::ofstream(dir / "real.png") << "old";
        std::ofstream(dir / "sub/real.png") << "old";
        ASSERT_EQ(symlink("sub/real.png", (dir / "hop.png").c_str()), 0);
        ASSERT_EQ(symlink(c.linkTarget, (dir / "out.png").c_str()), 0);
        const ChildResult run = Write(GetParam(), dir / "out.png");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(IsLink(dir / "out.png"));
        EXPECT_NO_THROW(ReadPng(dir / c.written));
        std::vector<std::string> names = dir.Names();
        std::vector<std::string> expected = {"hop.png", "out.png", "real.png", "sub"};
        if (std::string(c.written) == "new.png") {
            expected.insert(expected.begin() + 1, "new.png");
        }
        EXPECT_EQ(names, expected);
        EXPECT_EQ(TempDir::NamesIn(dir / "sub"), std::vector<std::string>{"real.png"});
    }
}

// A device is written as it is; its errors are reported, and it stays.
TEST_P(OutputFile, WritesADeviceAsItIsAndReportsItsErrors) {
    for (const char* device : {"/dev/null", "/dev/full"}) {
        SCOPED_TRACE(device);
        TempDir dir;
        const std::string link = dir / "device.png";
        ASSERT_EQ(symlink(device, link.c_str()), 0);
        const ChildResult run = Write(GetParam(), link);
        struct stat status {};
        ASSERT_EQ(stat(device, &status), 0);
        EXPECT_TRUE(S_ISCHR(status.st_mode)) << device << " was replaced";
        if (std::string(device) == "/dev/null") {
            EXPECT_EQ(run.exitCode, 0) << run.err;
        } else {
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_TRUE(IsOneLine(run.err)) << run.err;
            EXPECT_NE(run.err.find("cannot write " + link + ": " + std::strerror(ENOSPC)),
                      std::string::npos)
                << run.err;
        }
        EXPECT_TRUE(IsLink(link));
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"device.png"});
    }
}

// Names up to the file system's limit of 255 bytes work: the temporary name
// beside them is cut short to fit, never inside a character.
TEST_P(OutputFile, TakesNamesUpToTheLongestTheFileSystemAccepts) {
    std::string accented;
    for (int i = 0; i < 125; ++i) {
        accented += "\xC3\xA9";  // é, two bytes
    }
    for (const std::string& name :
         {std::string(244, 'a') + ".png", std::string(251, 'b') + ".png", accented + "x.png"}) {
        SCOPED_TRACE(name.size());
        TempDir dir;
        const ChildResult run = Write(GetParam(), dir / name);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NO_THROW(ReadPng(dir / name));
        EXPECT_EQ(dir.Names(), std::vector<std::string>{name});
    }
}

// A write that fails part-way (past the size limit) names the file and the
// reason in one line and leaves nothing behind.
TEST_P(OutputFile, FailedWriteIsOneLineAndExitOne) {
    TempDir dir;
    const ChildResult run = Write(GetParam(), dir / "big.png", 64);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    EXPECT_NE(run.err.find(dir / "big.png: " + std::strerror(EFBIG)), std::string::npos) << run.err;
    EXPECT_TRUE(dir.Names().empty());
}

INSTANTIATE_TEST_SUITE_P(Programs, OutputFile, ::testing::Values(kDemo, kCapture),
                         [](const auto& info) { return std::string(info.param.name); });

// What the user asked to see on standard output (help, version, a trace) is
// as much an output as a file: a full disk is reported, never passed over.
TEST(PrintedOutput, FullStandardOutputIsOneLineAndExitOne) {
    const std::vector<std::vector<std::string>> commands = {
        {PLASMA_DEMO, "--help"},
        {PLASMA_DEMO, "--version"},
        {PLASMA_DEMO, "--headless", "--close-after", "100", "--trace", "-"},
        {PLASMA_CAPTURE, "--help"},
        {PLASMA_CAPTURE, "--version"},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command[0] + " " + command.back());
        const ChildResult run = RunWithOutputTo("/dev/full", command);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
        EXPECT_NE(run.err.find(std::strerror(ENOSPC)), std::string::npos) << run.err;
    }
}

TEST(PrintedOutput, TraceThatCannotBeWrittenIsOneLineAndExitOne) {
    TempDir dir;
    const struct {
        std::string path;
        long fileSizeLimit;
        int error;
    } cases[] = {{"/dev/full", 0, ENOSPC},
                 {dir / "trace.txt", 2000, EFBIG},
                 {dir / "none/trace.txt", 0, ENOENT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ChildOptions options;
        options.fileSizeLimit = c.fileSizeLimit;
        const ChildResult run = RunChild(
            {PLASMA_DEMO, "--headless", "--close-after", "100", "--trace", c.path}, options);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
        EXPECT_NE(
            run.err.find("cannot write the trace to " + c.path + ": " + std::strerror(c.error)),
            std::string::npos)
            << run.err;
    }
}

// The address space `argv` takes once it waits, for good, to open the pipe
// that "PIPE" in it names: its libraries and what it has taken by then.
long AddressSpaceWhenBlocked(std::vector<std::string> argv) {
    TempDir dir;
    const std::string pipe = dir / "pipe.png";
    EXPECT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::replace(argv.begin(), argv.end(), std::string("PIPE"), pipe);
    long size = 0;
    int steady = 0;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        if (steady == 100) {
            return;  // measured, and ended
        }
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        bool sleeping = false;
        long now = 0;
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("State:", 0) == 0) {
                sleeping = line.find('S') != std::string::npos;
            } else if (line.rfind("VmSize:", 0) == 0) {
                now = std::stol(line.substr(7)) * 1024;
            }
        }
        // Asleep and the same for some 100 ms: it waits at the pipe.
        steady = sleeping && now == size ? steady + 1 : 0;
        size = now;
        if (steady == 100) {
            kill(pid, SIGKILL);
        }
    };
    const ChildResult run = RunChild(argv, options);
    EXPECT_EQ(run.termSignal, SIGKILL) << run.err;
    return size;
}

// Out of memory, what could not be done is named in one line, with status
// 1, and nothing is left behind. Each limit is measured from what the
// program takes without the image (its libraries, plasma-demo's 4096x4096
// display of 32 MiB, plasma-capture's frame of as much), with room to spare
// for the rest but not for the image: a screenshot takes 32 MiB, a frame as
// much, a GIF's colour indices 16 more.
TEST(OutOfMemory, WhatCouldNotBeDoneIsNamedAndNothingIsLeft) {
    if (platform::kSanitizerBuild) {
        GTEST_SKIP() << "a sanitizer's runtime cannot start under an address-space limit";
    }
    constexpr long kMiB = 1024 * 1024;
    // plasma-demo opens the trace before it makes the device and its display.
    const long demo = AddressSpaceWhenBlocked({PLASMA_DEMO, "--headless", "--display", "4096x4096",
                                               "--close-after", "0", "--trace", "PIPE"}) +
                      32 * kMiB;
    // plasma-capture has its frame before it opens the output.
    const long capture = AddressSpaceWhenBlocked(
        {PLASMA_CAPTURE, "--size", "4096x4096", "--frames", "1", "--out", "PIPE"});
    ASSERT_GT(demo, 32 * kMiB);
    ASSERT_GT(capture, 32 * kMiB);
    TempDir dir;
    const struct {
        std::vector<std::string> argv;
        long limit;
        std::string message;
    } cases[] = {
        {{PLASMA_DEMO, "--headless", "--display", "4096x4096", "--close-after", "0", "--screenshot",
          dir / "shot.png"},
         demo + 16 * kMiB,
         "plasma-demo: not enough memory to save the screenshot " + dir / "shot.png"},
        {{PLASMA_CAPTURE, "--size", "4096x4096", "--frames", "1", "--out", dir / "frame.png"},
         capture - 16 * kMiB,
         "plasma-capture: not enough memory to render 4096x4096 frames"},
        {{PLASMA_CAPTURE, "--size", "4096x4096", "--frames", "1", "--out", dir / "frame.gif"},
         capture + 8 * kMiB,
         "plasma-capture: not enough memory to write " + dir / "frame.gif"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argv.back() + ", limit " + std::to_string(c.limit / kMiB) + " MiB");
        ChildOptions options;
        options.addressSpaceLimit = c.limit;
        const ChildResult run = RunChild(c.argv, options);
        EXPECT_EQ(run.exitCode, 1) << run.err << " signal " << run.termSignal;
        EXPECT_EQ(run.err, c.message + "\n");
        EXPECT_EQ(dir.Names(), std::vector<std::string>{});
    }
}

// A screenshot that could not be saved is refused before the run, not after.
TEST(PrintedOutput, ScreenshotThatCannotBeSavedIsRefusedAtStart) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "shot.png").c_str(), 0755), 0);
    for (const std::string& shot : {dir / "none/shot.png", dir / "shot.png"}) {
        SCOPED_TRACE(shot);
        const ChildResult run = RunChild({PLASMA_DEMO, "--headless", "--close-after", "100",
                                          "--trace", "-", "--screenshot", shot});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
        EXPECT_NE(run.err.find("cannot write " + shot + ": "), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << "the program ran";
    }
}

}  // namespace
