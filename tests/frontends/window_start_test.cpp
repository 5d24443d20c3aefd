// How plasma-demo comes to its window, or does without one: displays that
// never answer, its window module, and what a run without a window loads.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "frontends/sdl/display_probe.h"
#include "tests/frontends/programs.h"
#include "tests/frontends/x_display.h"
#include "tests/support/child_process.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"

namespace {
// A launcher that hangs is killed after this; it ends well within it.
constexpr int kDemoTimeoutMs = 20000;

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::future<ChildResult> Start(const std::vector<std::string>& argv) {
    ChildOptions options;
    options.timeoutMs = kDemoTimeoutMs;
    return std::async(std::launch::async, [argv, options] { return RunChild(argv, options); });
}

// A listening socket that nothing reads: the kernel takes connections and
// nothing ever answers them, as a server that has stopped.
class SilentSocket {
public:
    SilentSocket() = default;
    SilentSocket(const SilentSocket&) = delete;
    SilentSocket& operator=(const SilentSocket&) = delete;
    ~SilentSocket() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }

    // On 127.0.0.1 at the X port of the first free display number from 90;
    // that number, or -1.
    int ListenAsX() {
        for (int number = 90; number < 200; ++number) {
            fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(6000 + number));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
                listen(fd_, 8) == 0) {
                return number;
            }
            close(fd_);
            fd_ = -1;
        }
        return -1;
    }

    bool ListenAt(const std::string& path) {
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (fd_ < 0 || path.size() >= sizeof(address.sun_path)) {
            return false;
        }
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        return bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
               listen(fd_, 8) == 0;
    }

private:
    int fd_ = -1;
};

enum class Silence { kStoppedXServer, kXOverTcp, kWayland };

struct SilentCase {
    const char* name;
    Silence silence;
};

void PrintTo(const SilentCase& c, std::ostream* os) {
    *os << c.name;
}

class SilentDisplay : public ::testing::TestWithParam<SilentCase> {};

// A display that takes the connection and never answers is given up after
// its time, as one that is not there: headless with one line, or with
// --window one line and status 1. Before, the launcher waited for it for ever.
TEST_P(SilentDisplay, IsGivenUpInTimeAsNoDisplay) {
    TempDir dir;
    VirtualDisplay xvfb;
    SilentSocket socket;
    std::vector<std::string> environment{"/usr/bin/env", "-u", "SDL_VIDEODRIVER"};
    std::string named;  // the display as the launcher names it
    switch (GetParam().silence) {
        case Silence::kStoppedXServer: {
            const std::string server = FindProgram("Xvfb");
            if (server.empty()) {
                GTEST_SKIP() << "Xvfb is not installed (scripts/setup installs it)";
            }
            xvfb.Start(server);
            xvfb.Freeze();
            named = std::string("DISPLAY=") + std::getenv("DISPLAY");
            environment = Concat(environment, {"-u", "WAYLAND_DISPLAY", named});
            break;
        }
        case Silence::kXOverTcp: {
            const int number = socket.ListenAsX();
            ASSERT_GE(number, 0) << "no free X port on 127.0.0.1";
            named = "DISPLAY=127.0.0.1:" + std::to_string(number);
            environment = Concat(environment, {"-u", "WAYLAND_DISPLAY", named});
            break;
        }
        case Silence::kWayland:
            ASSERT_TRUE(socket.ListenAt(dir / "wayland-silent")) << std::strerror(errno);
            named = "WAYLAND_DISPLAY=wayland-silent";
            environment =
                Concat(environment, {"-u", "DISPLAY", "XDG_RUNTIME_DIR=" + dir.Path(), named});
            break;
    }
    const std::string shot = dir / "shot.png";
    // Both at once: each waits out the display's time.
    std::future<ChildResult> optional =
        Start(Concat(environment, {PLASMA_DEMO, "--close-after", "500", "--screenshot", shot}));
    std::future<ChildResult> required =
        Start(Concat(environment, {PLASMA_DEMO, "--window", "--close-after", "500"}));
    const std::string given_up = "plasma-demo: cannot open a window: no answer from " + named +
                                 " in " + std::to_string(kDisplayAnswerTime.count()) + " s";

    const ChildResult headless = optional.get();
    ASSERT_FALSE(headless.timedOut) << "the launcher waited for the display " << headless.err;
    EXPECT_EQ(headless.exitCode, 0) << headless.err;
    EXPECT_EQ(headless.err, given_up + "; running headless\n");
    EXPECT_GE(headless.elapsed, kDisplayAnswerTime);
    EXPECT_NO_THROW(ReadPng(shot));

    const ChildResult refused = required.get();
    ASSERT_FALSE(refused.timedOut) << "the launcher waited for the display " << refused.err;
    EXPECT_EQ(refused.exitCode, 1) << refused.err;
    EXPECT_EQ(refused.err, given_up + "\n");
    EXPECT_GE(refused.elapsed, kDisplayAnswerTime);
}

INSTANTIATE_TEST_SUITE_P(Displays, SilentDisplay,
                         ::testing::Values(SilentCase{"stopped_x_server", Silence::kStoppedXServer},
                                           SilentCase{"x_over_tcp", Silence::kXOverTcp},
                                           SilentCase{"wayland", Silence::kWayland}),
                         [](const auto& info) { return std::string(info.param.name); });

// The whole file, or its first `bytes` when that is not negative.
void Copy(const std::string& from, const std::string& to, mode_t mode, long bytes = -1) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    if (bytes < 0) {
        out << in.rdbuf();
    } else {
        std::vector<char> head(static_cast<size_t>(bytes));
        in.read(head.data(), bytes);
        out.write(head.data(), bytes);
    }
    out.close();
    ASSERT_TRUE(in && out) << from << " -> " << to;
    ASSERT_EQ(chmod(to.c_str(), mode), 0);
}

struct ModuleCase {
    const char* name;
    const char* module;  // copied beside plasma-demo under the module's name; null: none
    // The line after "cannot open a window: " starts with `says`, then the
    // module's path and `then` when `namesModule`.
    const char* says;
    bool namesModule;
    const char* then;
    long bytes = -1;  // of the module copied, when not all of it
};

void PrintTo(const ModuleCase& c, std::ostream* os) {
    *os << c.name;
}

class WindowModule : public ::testing::TestWithParam<ModuleCase> {};

// plasma-demo finds its window module beside itself; one it cannot load is
// a window it cannot open, said in one line. The build's own module loads
// and goes on to the display (here one with no server).
TEST_P(WindowModule, ThatCannotBeLoadedIsAWindowThatCannotOpen) {
    const ModuleCase& c = GetParam();
    TempDir dir;
    const std::string demo = dir / "plasma-demo";
    Copy(PLASMA_DEMO, demo, 0755);
    if (c.module != nullptr) {
        Copy(c.module, dir / PLASMA_WINDOW_MODULE_NAME, 0644, c.bytes);
    }
    const std::vector<std::string> environment{"/usr/bin/env",    "-u",
                                               "SDL_VIDEODRIVER", "-u",
                                               "WAYLAND_DISPLAY", "DISPLAY=" + UnservedDisplay()};
    const std::string said = "plasma-demo: cannot open a window: " + std::string(c.says) +
                             (c.namesModule ? dir / PLASMA_WINDOW_MODULE_NAME + c.then : "");

    const ChildResult headless = RunChild(Concat(environment, {demo, "--close-after", "100"}));
    EXPECT_EQ(headless.exitCode, 0) << headless.err;
    ASSERT_EQ(Lines(headless.err).size(), 1u) << headless.err;
    EXPECT_EQ(headless.err.rfind(said, 0), 0u) << headless.err;
    EXPECT_NE(headless.err.find("; running headless"), std::string::npos) << headless.err;

    const ChildResult refused =
        RunChild(Concat(environment, {demo, "--window", "--close-after", "100"}));
    EXPECT_EQ(refused.exitCode, 1) << refused.err;
    ASSERT_EQ(Lines(refused.err).size(), 1u) << refused.err;
    EXPECT_EQ(refused.err.rfind(said, 0), 0u) << refused.err;
    EXPECT_EQ(refused.err.find("headless"), std::string::npos) << refused.err;
}

INSTANTIATE_TEST_SUITE_P(
    Modules, WindowModule,
    ::testing::Values(ModuleCase{"missing", nullptr, "cannot load the window front-end: ", true,
                                 ": No such file or directory"},
                      ModuleCase{"not_a_library", PLASMA_ICON_FILE, "the window front-end ", true,
                                 " is damaged: not an ELF file"},
                      // Loaded as it is, it would be SIGBUS inside the loader.
                      ModuleCase{"truncated", PLASMA_WINDOW_MODULE, "the window front-end ", true,
                                 " is damaged: 20000 bytes, its headers need ", 20000},
                      ModuleCase{"without_the_entry_point", PLASMA_FOREIGN_MODULE, "", true,
                                 " is not this build's window front-end: "},
                      ModuleCase{"the_builds_own", PLASMA_WINDOW_MODULE,
                                 "nothing answers at DISPLAY=", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// SDL and the libraries behind it are loaded only when a window is tried, so
// that a run without one starts (and catches stop signals) in milliseconds:
// the dynamic loader's own account of what it loads (LD_DEBUG=files) names
// neither the window module nor SDL for a run that tries no window.
TEST(WindowLibraries, AreLoadedOnlyWhenAWindowIsTried) {
    const std::string display = "DISPLAY=" + UnservedDisplay();
    const struct {
        const char* name;
        std::vector<std::string> environment;
        std::vector<std::string> args;
        bool triesWindow;
    } cases[] = {
        {"headless", {display}, {"--headless"}, false},
        {"no display named", {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY"}, {}, false},
        {"a window tried", {"-u", "WAYLAND_DISPLAY", display}, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // env takes its -u options before its assignments.
        const std::vector<std::string> environment = Concat(
            Concat({"/usr/bin/env", "-u", "SDL_VIDEODRIVER"}, c.environment), {"LD_DEBUG=files"});
        const ChildResult run = RunChild(
            Concat(Concat(environment, {PLASMA_DEMO}), Concat(c.args, {"--close-after", "100"})));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        // The module is loaded through the descriptor its headers were checked on.
        const bool moduleLoaded = run.err.find(PLASMA_WINDOW_MODULE_NAME) != std::string::npos ||
                                  run.err.find("file=/proc/") != std::string::npos;
        EXPECT_EQ(moduleLoaded, c.triesWindow);
        EXPECT_EQ(run.err.find("libSDL2") != std::string::npos, c.triesWindow);
    }
}

}  // namespace
