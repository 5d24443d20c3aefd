#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/capture/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

// Arguments may hold {dir}, replaced by the test's own empty directory.
std::vector<std::string> InDir(std::vector<std::string> args, const TempDir& dir) {
    for (std::string& arg : args) {
        const size_t at = arg.find("{dir}");
        if (at != std::string::npos)
            arg.replace(at, 5, dir.Path());
    }
    return args;
}

bool IsOneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

TEST(CaptureErrors, BadArgumentsExitWithStatus2AndWriteNothing) {
    const struct {
        std::vector<std::string> args;
        const char* named;
    } cases[] = {
        {{"--out", "{dir}/a.png", "--bogus"}, "--bogus"},
        {{"--size", "0x1", "--frames", "1", "--out", "{dir}/a.png"}, "--size"},
        {{"--frames", "1,0", "--out", "{dir}/f%d.png"}, "--frames"},
        {{"--fps", "60", "--out", "{dir}/a.gif"}, "--fps"},
        {{"--fps", "10", "--frames", "1", "--out", "{dir}/a.png"}, "--fps"},
        {{"--out", "{dir}/a.png"}, "%d"},
        {{"--out", "{dir}/a.bmp"}, ".gif"},
        {{"--frames", "1"}, "--out"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const ChildResult result = RunCapture(InDir(c.args, dir));
        SCOPED_TRACE(result.err);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(IsOneLine(result.err));
        EXPECT_NE(result.err.find(c.named), std::string::npos);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(dir.Names().empty());
    }
}

TEST(CaptureErrors, HelpPrintsUsageAndWritesNothing) {
    TempDir dir;
    const ChildResult result = RunCapture(InDir({"--out", "{dir}/a.gif", "--help"}, dir));
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("Usage: plasma-capture", 0), 0u) << result.out;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(dir.Names().empty());
}

TEST(CaptureErrors, HelpAndVersionOnAFullOutputSayItAndExitOne) {
    for (const char* option : {"--help", "--version"}) {
        const ChildResult result = RunCaptureIntoFullOutput({option});
        EXPECT_EQ(result.exitCode, 1) << option;
        EXPECT_EQ(result.err, "plasma-capture: cannot write to standard output: " +
                                  std::string(std::strerror(ENOSPC)) + "\n")
            << option;
    }
}

struct WriteFailure {
    const char* name;
    std::function<void(const TempDir&)> setUp;
    std::vector<std::string> args;
    std::string failedFile;  // the file or folder named, relative to the directory
    int error;
    std::vector<std::string> left;  // the directory afterwards
    long fileSizeLimit;
};

void MakeDirectory(const TempDir& dir, const char* name) {
    ASSERT_EQ(mkdir((dir / name).c_str(), 0755), 0) << std::strerror(errno);
}

std::vector<WriteFailure> WriteFailures() {
    const auto nothing = [](const TempDir&) {};
    std::vector<WriteFailure> cases = {
        {"parent is a file",
         [](const TempDir& dir) { std::ofstream(dir / "plain") << "x"; },
         {"--frames", "1", "--out", "{dir}/plain/a.png"},
         "plain/a.png",
         ENOTDIR,
         {"plain"},
         0},
        // A missing folder is created, but not under a file.
        {"folder under a file",
         [](const TempDir& dir) { std::ofstream(dir / "plain") << "x"; },
         {"--frames", "1", "--out", "{dir}/plain/sub/a.rgb565"},
         "plain/sub",
         ENOTDIR,
         {"plain"},
         0},
        // The rename fails after the whole image was written.
        {"png onto a directory",
         [](const TempDir& dir) { MakeDirectory(dir, "a.png"); },
         {"--frames", "1", "--out", "{dir}/a.png"},
         "a.png",
         EISDIR,
         {"a.png"},
         0},
        {"gif onto a directory",
         [](const TempDir& dir) { MakeDirectory(dir, "a.gif"); },
         {"--frames", "1-2", "--out", "{dir}/a.gif"},
         "a.gif",
         EISDIR,
         {"a.gif"},
         0},
        // Earlier frames stay, later ones are not attempted.
        {"second of three frames blocked",
         [](const TempDir& dir) { MakeDirectory(dir, "f2.rgb565"); },
         {"--frames", "1-3", "--size", "4x4", "--out", "{dir}/f%d.rgb565"},
         "f2.rgb565",
         EISDIR,
         {"f1.rgb565", "f2.rgb565"},
         0},
        // Writes fail part-way through each encoder's output.
        {"png past the size limit",
         nothing,
         {"--frames", "1", "--out", "{dir}/a.png"},
         "a.png",
         EFBIG,
         {},
         4096},
        {"gif past the size limit",
         nothing,
         {"--frames", "1-3", "--out", "{dir}/a.gif"},
         "a.gif",
         EFBIG,
         {},
         4096},
        {"rgb565 past the size limit",
         nothing,
         {"--frames", "1", "--out", "{dir}/a.rgb565"},
         "a.rgb565",
         EFBIG,
         {},
         4096},
    };
    if (geteuid() != 0) {  // permissions do not bind root
        cases.push_back({"read-only directory",
                         [](const TempDir& dir) {
                             MakeDirectory(dir, "ro");
                             chmod((dir / "ro").c_str(), 0555);
                         },
                         {"--frames", "1", "--out", "{dir}/ro/a.png"},
                         "ro/a.png",
                         EACCES,
                         {"ro"},
                         0});
        cases.push_back({"folder in a read-only directory",
                         [](const TempDir& dir) {
                             MakeDirectory(dir, "ro");
                             chmod((dir / "ro").c_str(), 0555);
                         },
                         {"--frames", "1", "--out", "{dir}/ro/sub/a.gif"},
                         "ro/sub",
                         EACCES,
                         {"ro"},
                         0});
    }
    return cases;
}

TEST(CaptureErrors, FailedWritesExitWithStatus1NamingTheFileAndLeaveNoTemporaryFile) {
    for (const WriteFailure& c : WriteFailures()) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        c.setUp(dir);
        const ChildResult result = RunCapture(InDir(c.args, dir), c.fileSizeLimit);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(IsOneLine(result.err)) << result.err;
        const std::string named = dir / c.failedFile + ": " + std::strerror(c.error);
        EXPECT_NE(result.err.find(named), std::string::npos) << result.err;
        EXPECT_EQ(dir.Names(), c.left);
    }
}

}  // namespace
