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

void WriteStub(const std::string& path) {
    std::ofstream(path) << "#!/bin/sh\nexit 0\n";
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
    WriteStub(bin / "ninja");
    WriteStub(bin / "qemu-arm");

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
