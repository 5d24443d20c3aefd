// Every script checks its command line before it starts, builds or writes
// anything: a bad one is one line naming what is wrong and what is accepted,
// and status 2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

namespace {

struct BadCommandLine {
    std::vector<std::string> argv;  // the script, then its arguments
    const char* said;               // how the one line starts
};

// Values no script should take: not numbers, nan and inf, out of range,
// missing, and options the script does not have (a prefix of one included).
const BadCommandLine kBadCommandLines[] = {
    {{"measure-cpu", "--seconds", "nan"}, "measure-cpu: argument --seconds: needs seconds above 0"},
    {{"measure-cpu", "--seconds", "inf"}, "measure-cpu: argument --seconds: needs seconds above 0"},
    {{"measure-cpu", "--seconds", "-1"}, "measure-cpu: argument --seconds: needs seconds above 0"},
    {{"measure-cpu", "--seconds", "0"}, "measure-cpu: argument --seconds: needs seconds above 0"},
    {{"measure-cpu", "--seconds", "1e400"},
     "measure-cpu: argument --seconds: needs seconds above 0"},
    {{"measure-cpu", "--seconds", "five"},
     "measure-cpu: argument --seconds: needs seconds above 0"},
    {{"measure-cpu", "--seconds"}, "measure-cpu: argument --seconds: expected one argument"},
    {{"measure-cpu", "--sec", "1"}, "measure-cpu: unrecognized arguments: --sec 1"},
    {{"record-window", "--frames", "0"},
     "record-window: argument --frames: needs a whole number of at least 1"},
    {{"record-window", "--frames", "1.5"},
     "record-window: argument --frames: needs a whole number of at least 1"},
    {{"record-window", "--out", "x.png"}, "record-window: argument --out: needs a .gif file"},
    {{"measure-latency", "--runs", "nan"},
     "measure-latency: argument --runs: needs a whole number of at least 1"},
    {{"measure-latency", "--tap-after", "-5"},
     "measure-latency: argument --tap-after: needs milliseconds from 0"},
    {{"measure-startup", "--runs", "0"},
     "measure-startup: argument --runs: needs a whole number of at least 1"},
    {{"soak", "--timeout", "nan"}, "soak: argument --timeout: needs seconds above 0"},
    {{"soak", "--runs", "-3"}, "soak: argument --runs: needs a whole number of at least 1"},
    {{"count-instructions", "--size", "0x5"},
     "count-instructions: argument --size: needs WIDTHxHEIGHT, 1 to 4096 a side"},
    {{"count-instructions", "--frames", "inf"},
     "count-instructions: argument --frames: needs a whole number of at least 1"},
    {{"draw-architecture", "--bogus"}, "draw-architecture: unrecognized arguments: --bogus"},
    {{"serve-web", "70000"}, "scripts/serve-web: needs one port, 0 to 65535"},
    {{"serve-web", "8000", "8001"}, "scripts/serve-web: needs one port, 0 to 65535"},
    {{"test", "bogus"}, "scripts/test: no preset 'bogus'"},
    {{"build-windows", "now"}, "scripts/build-windows: takes no arguments"},
};

TEST(ScriptOptions, BadCommandLineIsOneLineAndStatusTwoBeforeAnythingElse) {
    for (const BadCommandLine& bad : kBadCommandLines) {
        // Anything a script would start first (a build, a server, a folder
        // under TMPDIR) would show here.
        TempDir tmp;
        std::vector<std::string> argv = {"/usr/bin/env", "TMPDIR=" + tmp.Path(),
                                         PLASMA_SOURCE_DIR "/scripts/" + bad.argv[0]};
        argv.insert(argv.end(), bad.argv.begin() + 1, bad.argv.end());
        const ChildResult run = RunChild(argv);
        std::string command;
        for (const std::string& arg : bad.argv) {
            command += " " + arg;
        }
        SCOPED_TRACE(command);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_EQ(run.err.rfind(bad.said, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(tmp.Names().empty());
    }
}

// Help is every script's, and starts nothing either: the script's usage on
// standard output and status 0, whatever else the command line holds.
TEST(ScriptOptions, HelpSaysHowTheScriptIsCalledAndStartsNothing) {
    const std::vector<std::string> kHelp[] = {
        {"test", "--help"},          {"test", "-h"},        {"serve-web", "--help"},
        {"build-windows", "--help"}, {"setup", "--help"},   {"screenshot", "--help"},
        {"package", "--help"},       {"measure-cpu", "-h"}, {"record-window", "--help"},
    };
    for (const std::vector<std::string>& help : kHelp) {
        TempDir tmp;
        std::vector<std::string> argv = {"/usr/bin/env", "TMPDIR=" + tmp.Path(),
                                         PLASMA_SOURCE_DIR "/scripts/" + help[0]};
        argv.insert(argv.end(), help.begin() + 1, help.end());
        const ChildResult run = RunChild(argv);
        SCOPED_TRACE(help[0] + " " + help[1]);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        // The usage names the script as it is called.
        EXPECT_NE(run.out.find(help[0]), std::string::npos) << run.out;
        EXPECT_TRUE(tmp.Names().empty());
    }
}

}  // namespace
