// scripts/setup on a machine that lacks most of what the project needs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace {

// A command that prints `says` (one line, no single quotes) whatever it is asked.
void WriteStub(const std::string& path, const std::string& says = "") {
    std::ofstream(path) << "#!/bin/sh\necho '" << says << "'\n";
    ASSERT_EQ(chmod(path.c_str(), 0755), 0) << path;
}

ChildResult SetupWithOnly(const TempDir& bin, const std::string& scope) {
    return RunChild({"/usr/bin/env", "-u", "CXX", "PATH=" + bin.Path(), "bash",
                     PLASMA_SOURCE_DIR "/scripts/setup", scope});
}

bool Lists(const ChildResult& run, const std::string& line) {
    return run.err.find("\n  " + line + "\n") != std::string::npos;
}

// Each need is checked for itself: a command found on PATH counts however it
// got there, and what is missing is listed with the package that brings it.
// With no apt-get on PATH nothing is installed, and the run fails. The demo
// asks only for what building and running it needs.
TEST(SetupScript, ListsWhatIsMissingAndCountsToolsFromElsewhere) {
    TempDir bin;
    ASSERT_EQ(symlink("/bin/bash", (bin / "bash").c_str()), 0);
    WriteStub(bin / "ninja", "1.11.1");
    WriteStub(bin / "qemu-arm", "qemu-arm version 7.2.22 (Debian 1:7.2+dfsg-7+deb12u18+b3)");

    const ChildResult all = SetupWithOnly(bin, "all");
    EXPECT_EQ(all.exitCode, 1) << all.err;
    EXPECT_EQ(all.err.rfind("Missing:\n", 0), 0u) << all.err;
    for (const char* line : {"cmake 3.25 or newer (Debian: cmake)", "xdotool (Debian: xdotool)",
                             "CLI11 (CLI/CLI.hpp) (Debian: libcli11-dev)",
                             "arm-linux-gnueabi-g++ (Debian: g++-arm-linux-gnueabi)"}) {
        EXPECT_TRUE(Lists(all, line)) << line << " in:\n" << all.err;
    }
    EXPECT_EQ(all.err.find("  ninja "), std::string::npos) << all.err;
    EXPECT_EQ(all.err.find("  qemu-arm "), std::string::npos) << all.err;
    EXPECT_EQ(all.err.find("Install"), std::string::npos) << all.err;

    const ChildResult demo = SetupWithOnly(bin, "demo");
    EXPECT_EQ(demo.exitCode, 1) << demo.err;
    EXPECT_TRUE(Lists(demo, "SDL2 (SDL2/SDL.h) (Debian: libsdl2-dev)")) << demo.err;
    EXPECT_EQ(demo.err.find("xdotool"), std::string::npos) << demo.err;
    EXPECT_EQ(demo.err.find("arm-linux-gnueabi"), std::string::npos) << demo.err;
}

// Tools that have namesakes are known by what they say they are (asked for
// their version, or for help), not by their names: each tool here is on
// PATH once as itself, once as a namesake that says something else.
TEST(SetupScript, CountsAToolByWhatItIsNotByItsName) {
    const struct {
        const char* command;
        const char* genuine;  // what the real one prints, in part
        const char* namesake;
        const char* listed;  // the line that names it when missing
    } tools[] = {
        // clang-format off
        {"convert", "Version: ImageMagick 6.9.11-60 Q16 x86_64 2021-01-25 https://imagemagick.org",
         "Invalid Parameter - -version", "ImageMagick (convert, import) (Debian: imagemagick)"},
        {"import", "Version: ImageMagick 6.9.11-60 Q16 x86_64 2021-01-25 https://imagemagick.org",
         "usage: import [module]", "ImageMagick (convert, import) (Debian: imagemagick)"},
        {"ninja", "1.11.1", "ninja: a different one", "ninja (Debian: ninja-build)"},
        {"xdpyinfo", "xdpyinfo 1.3.2", "xdpyinfo: no such option", "xdpyinfo (Debian: x11-utils)"},
        {"python3", "Python 3.11.2", "Python 2.7.18", "python3 (Debian: python3)"},
        {"clang-format", "Debian clang-format version 14.0.6", "format: done",
         "clang-format (Debian: clang-format)"},
        {"Xvfb", "-fbdir directory       put framebuffers in mmap'ed files in directory",
         "use: X [:<display>] [option]", "Xvfb (Debian: xvfb)"},
        {"xdotool", "xdotool version 3.20160805.1", "xdotool: unknown command",
         "xdotool (Debian: xdotool)"},
        {"valgrind", "valgrind-3.19.0", "valgrind: checked", "valgrind (Debian: valgrind)"},
        {"wine", "wine-8.0 (Debian 8.0~repack-4)", "wine: no bottle", "wine (Debian: wine)"},
        {"qemu-arm", "qemu-arm version 7.2.22", "qemu-arm: no such file",
         "qemu-arm (Debian: qemu-user)"},
        {"em++", "emcc (Emscripten gcc/clang-like replacement + linker emulating GNU ld) 3.1.6 ()",
         "g++ (Debian 12.2.0-14) 12.2.0", "emscripten (em++) (Debian: emscripten)"},
        {"chromium", "Chromium 156.0.8078.129 built on Debian GNU/Linux 12 (bookworm)",
         "chromium: element 24", "chromium (Debian: chromium)"},
        {"node", "v18.19.0", "node: cluster ready", "node (Debian: nodejs)"},
        // clang-format on
    };
    for (const bool genuine : {true, false}) {
        SCOPED_TRACE(genuine ? "genuine" : "namesakes");
        TempDir bin;
        ASSERT_EQ(symlink("/bin/bash", (bin / "bash").c_str()), 0);
        for (const auto& tool : tools) {
            std::string says = genuine ? tool.genuine : tool.namesake;
            // Single quotes cannot go in a stub's echo; the check does not need them.
            for (char& c : says) {
                if (c == '\'') {
                    c = ' ';
                }
            }
            WriteStub(bin / tool.command, says);
        }
        const ChildResult run = SetupWithOnly(bin, "all");
        EXPECT_EQ(run.exitCode, 1) << run.err;
        ASSERT_EQ(run.err.rfind("Missing:\n", 0), 0u) << run.err;
        for (const auto& tool : tools) {
            EXPECT_EQ(Lists(run, tool.listed), !genuine) << tool.command << " in:\n" << run.err;
        }
    }
}

// Where apt-get is there, root gets the missing packages installed (and is
// told what is still missing after that); anyone else gets the command.
TEST(SetupScript, InstallsWhatIsMissingOnlyAsRoot) {
    TempDir bin;
    ASSERT_EQ(symlink("/bin/bash", (bin / "bash").c_str()), 0);
    const std::string log = bin / "apt-get.log";
    std::ofstream(bin / "apt-get") << "#!/bin/sh\necho \"$@\" >> " << log << "\n";
    ASSERT_EQ(chmod((bin / "apt-get").c_str(), 0755), 0);

    const ChildResult run = SetupWithOnly(bin, "demo");
    EXPECT_EQ(run.exitCode, 1) << run.err;
    std::stringstream calls;
    calls << std::ifstream(log).rdbuf();
    if (geteuid() == 0) {
        EXPECT_NE(calls.str().find("update"), std::string::npos) << calls.str();
        EXPECT_NE(calls.str().find("install -y -qq cmake ninja-build g++"), std::string::npos)
            << calls.str();
        EXPECT_NE(calls.str().find("libsdl2-dev"), std::string::npos) << calls.str();
        EXPECT_NE(run.err.find("Still missing after installing:\n"), std::string::npos) << run.err;
    } else {
        EXPECT_EQ(calls.str(), "");
        EXPECT_NE(
            run.err.find("Install with: sudo apt-get update && sudo apt-get install -y cmake"),
            std::string::npos)
            << run.err;
    }
}

}  // namespace
