// scripts/setup on a machine that lacks most of what the project needs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace {

void WriteStub(const std::string& path) {
    std::ofstream(path) << "#!/bin/sh\nexit 0\n";
    ASSERT_EQ(chmod(path.c_str(), 0755), 0) << path;
}

// Each need is checked for itself: a command found on PATH counts however it
// got there, and what is missing is listed with the package that brings it.
// With no apt-get on PATH nothing is installed, and the run fails.
TEST(SetupScript, ListsWhatIsMissingAndCountsToolsFromElsewhere) {
    TempDir bin;
    ASSERT_EQ(symlink("/bin/bash", (bin / "bash").c_str()), 0);
    WriteStub(bin / "ninja");
    WriteStub(bin / "qemu-arm");

    const ChildResult run = RunChild({"/usr/bin/env", "-u", "CXX", "PATH=" + bin.Path(), "bash",
                                      PLASMA_SOURCE_DIR "/scripts/setup"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.err.rfind("Missing:\n", 0), 0u) << run.err;
    for (const char* line :
         {"  cmake 3.25 or newer (Debian: cmake)\n", "  xdotool (Debian: xdotool)\n",
          "  CLI11 (CLI/CLI.hpp) (Debian: libcli11-dev)\n",
          "  arm-linux-gnueabi-g++ (Debian: g++-arm-linux-gnueabi)\n"}) {
        EXPECT_NE(run.err.find(line), std::string::npos) << line << " in:\n" << run.err;
    }
    for (const char* found : {"  ninja ", "  qemu-arm "}) {
        EXPECT_EQ(run.err.find(found), std::string::npos) << found << " in:\n" << run.err;
    }
    EXPECT_EQ(run.err.find("Install"), std::string::npos) << run.err;
}

}  // namespace
