// scripts/demo without a display, run on this build as a user runs it.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/orphans.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_lines.h"

namespace {

// Runs scripts/demo with no display (unless `env` names one) on this build,
// from `cwd` when given, with `env` added to the environment.
ChildResult DemoScriptIn(const std::string& cwd, const std::vector<std::string>& env,
                         const std::vector<std::string>& args, const ChildOptions& options = {}) {
    std::vector<std::string> argv = {"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"};
    if (!cwd.empty()) {
        argv.insert(argv.end(), {"-C", cwd});
    }
    argv.insert(argv.end(), env.begin(), env.end());
    argv.insert(argv.end(), {"bash", PLASMA_SOURCE_DIR "/scripts/demo"});
    argv.insert(argv.end(), args.begin(), args.end());
    return RunChild(argv, options);
}

ChildResult DemoScript(const TempDir& dir, const std::vector<std::string>& args) {
    return DemoScriptIn(
        "", {"PLASMA_BUILD_DIR=" PLASMA_BUILD_DIR, "PLASMA_DEMO_OUT=" + dir / "out"}, args);
}

// The user's screenshot and stop are theirs; the script adds only the rest.
TEST(DemoScript, KeepsTheUsersOptionsAndAddsWhatTheyLeaveOut) {
    TempDir dir;
    const ChildResult own =
        DemoScript(dir, {"--screenshot", dir / "mine.png", "--key-after", "100"});
    EXPECT_EQ(own.exitCode, 0) << own.err;
    EXPECT_NO_THROW(ReadPng(dir / "mine.png"));
    EXPECT_EQ(TempDir::NamesIn(dir / "out"), std::vector<std::string>{"plasma.gif"});
    EXPECT_EQ(own.out.find("tap"), std::string::npos) << own.out;

    const ChildResult added = DemoScript(dir, {});
    EXPECT_EQ(added.exitCode, 0) << added.err;
    EXPECT_NO_THROW(ReadPng(dir / "out/screen.png"));
    EXPECT_NE(added.out.find("then a tap"), std::string::npos) << added.out;
}

// --window without a display fails in the program's own line, announcing
// nothing headless.
TEST(DemoScript, WindowWithoutADisplayFailsInOneLine) {
    TempDir dir;
    const ChildResult run = DemoScript(dir, {"--window"});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("plasma-demo: cannot open a window: ", 0), 0u) << run.err;
    EXPECT_EQ(run.out.find("headless"), std::string::npos) << run.out;
}

// A screenshot that cannot be saved is reported before the run: the program
// never traces a call.
TEST(DemoScript, BadScreenshotPathIsReportedAtStart) {
    TempDir dir;
    const ChildResult run =
        DemoScript(dir, {"--screenshot", dir / "none/shot.png", "--trace", "-"});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_NE(run.err.find("cannot write " + dir / "none/shot.png"), std::string::npos) << run.err;
    EXPECT_TRUE(ParseTrace(run.out).empty()) << run.out;
}

// Paths the user gives mean their own directory, wherever the script and the
// build are: here the script and the build are reached through relative
// paths from a directory with a space in its name.
TEST(DemoScript, RelativePathsAreTakenFromTheCallersDirectory) {
    TempDir dir;
    const std::string here = dir / "my dir";
    std::filesystem::create_directory(here);
    std::filesystem::create_directory_symlink(PLASMA_SOURCE_DIR, here + "/checkout");
    std::filesystem::create_directory_symlink(PLASMA_BUILD_DIR, here + "/build");

    const ChildResult run =
        RunChild({"/usr/bin/env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-C", here,
                  "PLASMA_BUILD_DIR=build", "PLASMA_DEMO_OUT=o", "bash", "checkout/scripts/demo",
                  "--headless", "--close-after", "100", "--screenshot", "mine.png"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NO_THROW(ReadPng(here + "/mine.png"));
    EXPECT_TRUE(std::filesystem::is_regular_file(here + "/o/plasma.gif"));
    EXPECT_FALSE(std::filesystem::exists(PLASMA_SOURCE_DIR "/mine.png"));
    EXPECT_NE(run.out.find("Wrote mine.png (the device's screen) and o/plasma.gif"),
              std::string::npos)
        << run.out;
}

// A listening socket on 127.0.0.1 that is never accepted from: an X server
// that takes connections and never answers (as one stopped with SIGSTOP).
class SilentXServer {
public:
    SilentXServer() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        for (int display = 20; fd_ >= 0 && display < 100; ++display) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(6000 + display));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                listen(fd_, 8) == 0) {
                display_ = "127.0.0.1:" + std::to_string(display);
                return;
            }
        }
    }
    ~SilentXServer() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    SilentXServer(const SilentXServer&) = delete;
    SilentXServer& operator=(const SilentXServer&) = delete;

    // Empty when no port was free.
    const std::string& Display() const { return display_; }

private:
    int fd_ = -1;
    std::string display_;
};

// A display that does not answer is no display: the script does not wait
// for it for ever, and runs headless.
TEST(DemoScript, DisplayThatDoesNotAnswerIsNoDisplay) {
    SilentXServer server;
    ASSERT_FALSE(server.Display().empty()) << "no free port for a display on 127.0.0.1";
    TempDir dir;
    ChildOptions options;
    options.timeoutMs = 60000;
    const ChildResult run =
        DemoScriptIn("",
                     {"DISPLAY=" + server.Display(), "PLASMA_BUILD_DIR=" PLASMA_BUILD_DIR,
                      "PLASMA_DEMO_OUT=" + dir / "out"},
                     {"--close-after", "100"}, options);
    ASSERT_FALSE(run.timedOut) << "still waiting for " << server.Display();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("No display here: running headless.\n", 0), 0u) << run.out;
    EXPECT_NO_THROW(ReadPng(dir / "out/screen.png"));
}

// A bad option is refused by the program before the script writes or
// announces anything: no out folder, nothing left in TMPDIR, no line but the
// program's own.
TEST(DemoScript, BadOptionIsRefusedBeforeAnythingIsWrittenOrAnnounced) {
    for (const char* speed : {"0", "nan"}) {
        SCOPED_TRACE(speed);
        TempDir dir;
        std::filesystem::create_directory(dir / "tmp");
        const ChildResult run =
            DemoScriptIn("",
                         {"PLASMA_BUILD_DIR=" PLASMA_BUILD_DIR, "PLASMA_DEMO_OUT=" + dir / "out3",
                          "TMPDIR=" + dir / "tmp"},
                         {"--speed", speed});
        EXPECT_EQ(run.exitCode, 2);
        ASSERT_EQ(Lines(run.err).size(), 1u) << run.err;
        EXPECT_EQ(run.err.rfind("plasma-demo: --speed: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(TempDir::NamesIn(dir.Path()), std::vector<std::string>{"tmp"});
        EXPECT_TRUE(TempDir::NamesIn(dir / "tmp").empty());
    }
}

// Ctrl-C or SIGTERM in the middle of the headless run ends the script by
// that signal, and plasma-demo and the temporary folder with it; out/ is
// never made.
TEST(DemoScript, StopSignalEndsTheRunAndLeavesNothing) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        OrphanCatcher orphans;
        TempDir dir;
        std::filesystem::create_directory(dir / "tmp");
        ChildOptions options;
        options.signal = signal;
        options.signalAfterMs = 1000;
        const ChildResult run =
            DemoScriptIn("",
                         {"PLASMA_BUILD_DIR=" PLASMA_BUILD_DIR, "PLASMA_DEMO_OUT=" + dir / "out",
                          "TMPDIR=" + dir / "tmp"},
                         {}, options);
        EXPECT_EQ(run.exitCode, 128 + signal) << run.err;
        EXPECT_EQ(run.out, "No display here: running headless for 3 seconds, then a tap.\n");
        EXPECT_EQ(orphans.Leftovers(), std::vector<std::string>{});
        EXPECT_EQ(TempDir::NamesIn(dir.Path()), std::vector<std::string>{"tmp"});
        EXPECT_TRUE(TempDir::NamesIn(dir / "tmp").empty());
    }
}

// A Wayland display counts only when something answers on its socket: a
// name with nothing behind it, or a socket no server listens on, is no
// display, and the demo runs headless to its stop instead of for ever.
TEST(DemoScript, WaylandDisplayThatDoesNotAnswerIsNoDisplay) {
    TempDir dir;
    const std::string stale = dir / "wayland-stale";
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(stale.size(), sizeof address.sun_path);
        stale.copy(address.sun_path, stale.size());
        ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        close(fd);  // the socket file stays, with no one listening
    }
    const struct {
        const char* what;
        std::vector<std::string> env;
    } cases[] = {
        {"a name with nothing behind it",
         {"WAYLAND_DISPLAY=junk", "XDG_RUNTIME_DIR=" + dir.Path()}},
        {"a name without XDG_RUNTIME_DIR", {"-u", "XDG_RUNTIME_DIR", "WAYLAND_DISPLAY=junk"}},
        {"a socket no one listens on", {"WAYLAND_DISPLAY=" + stale}},
    };
    for (const auto& wayland : cases) {
        SCOPED_TRACE(wayland.what);
        std::vector<std::string> env = wayland.env;
        env.insert(env.end(),
                   {"PLASMA_BUILD_DIR=" PLASMA_BUILD_DIR, "PLASMA_DEMO_OUT=" + dir / "out"});
        ChildOptions options;
        options.timeoutMs = 30000;
        const ChildResult run = DemoScriptIn("", env, {"--close-after", "100"}, options);
        ASSERT_FALSE(run.timedOut) << "ran for ever";
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out.rfind("No display here: running headless.\n", 0), 0u) << run.out;
        EXPECT_NO_THROW(ReadPng(dir / "out/screen.png"));
    }
}

}  // namespace
