// Stop signals sent to plasma-demo from outside, at awkward moments. What
// every other signal does to the files both programs write is in
// tests/imaging/ending_signals_test.cpp.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/src/sanitizer_build.h"
#include "tests/emulator/headless_demo.h"
#include "tests/support/child_process.h"
#include "tests/support/inherited_disposition.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_lines.h"

namespace {

bool TraceHas(const std::string& trace, const std::string& call, const std::string& message) {
    for (const TraceLine& line : ParseTrace(trace)) {
        if (line.call.rfind(call, 0) == 0 && line.call.find(message) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Whether process `pid` has a handler of its own for `signal` now.
bool Catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0) {
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0;
        }
    }
    return false;
}

// A server that takes connections and never answers, as an X server does
// when it is stopped (kill -STOP): the client waits for its first reply.
class SilentServer {
public:
    SilentServer() {
        fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        // X display N listens on TCP port 6000 + N.
        for (int display = 90; display < 190 && display_ < 0; ++display) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(static_cast<uint16_t>(6000 + display));
            if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                listen(fd_, 4) == 0) {
                display_ = display;
            }
        }
    }
    ~SilentServer() {
        CloseClients();
        close(fd_);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    // The DISPLAY that names it; empty when no port was free.
    std::string Display() const {
        return display_ < 0 ? "" : "127.0.0.1:" + std::to_string(display_);
    }
    // True once a client has connected (its connection is kept, unanswered).
    bool Connected() {
        const int client = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client >= 0) {
            clients_.push_back(client);
        }
        return !clients_.empty();
    }
    void CloseClients() {
        for (int client : clients_) {
            close(client);
        }
        clients_.clear();
    }

private:
    int fd_ = -1;
    int display_ = -1;
    std::vector<int> clients_;
};

const char* SignalName(int signal) {
    return signal == SIGINT ? "SIGINT" : "SIGTERM";
}

class StopSignal : public ::testing::TestWithParam<int> {};

// The trace is opened before the device and its window are made, and a pipe
// with no reader holds its opening for good: a stop signal that comes there
// (once the program catches it) ends the process at once, with nothing
// written.
TEST_P(StopSignal, BeforeTheWindowExistsEndsTheProcessAtOnce) {
    const int signal = GetParam();
    TempDir dir;
    const std::string trace = dir / "trace", shot = dir / "shot.png";
    ASSERT_EQ(mkfifo(trace.c_str(), 0600), 0);
    bool sent = false;
    ChildOptions options;
    options.timeoutMs = 5000;
    options.whileRunning = [&](pid_t pid) {
        if (!sent && Catches(pid, signal)) {
            sent = true;
            kill(pid, signal);
        }
    };
    ChildResult run;
    {
        const InheritedDisposition fromTheShell(signal, SIG_DFL);
        run = Demo({"--trace", trace, "--screenshot", shot}, options);
    }
    ASSERT_TRUE(sent) << run.err;
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 128 + signal) << run.err << " signal " << run.termSignal;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"trace"});
}

// SDL waits in XOpenDisplay for an X server that takes the connection and
// never answers: a stop signal ends the process all the same.
TEST_P(StopSignal, DisplayThatNeverAnswersDoesNotHoldTheProcess) {
    const int signal = GetParam();
    SilentServer server;
    if (server.Display().empty()) {
        GTEST_SKIP() << "no free port for a display on the loopback";
    }
    TempDir dir;
    bool sent = false;
    ChildOptions options;
    options.timeoutMs = 5000;
    options.whileRunning = [&](pid_t pid) {
        if (!sent && server.Connected()) {
            sent = true;
            kill(pid, signal);
        }
    };
    ChildResult run;
    {
        const InheritedDisposition fromTheShell(signal, SIG_DFL);
        run = RunChild({"/usr/bin/env", "-u", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER=x11",
                        "DISPLAY=" + server.Display(), PLASMA_DEMO, "--window", "--screenshot",
                        dir / "shot.png"},
                       options);
    }
    server.CloseClients();
    if (!sent && run.err.find("no window front-end") != std::string::npos) {
        GTEST_SKIP() << "this build has no window front-end";
    }
    ASSERT_TRUE(sent) << run.err;
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 128 + signal) << run.err;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{});
}

// Once the program has its window, from the moment CreateWindowExW returns,
// a stop signal is the device's close request.
TEST_P(StopSignal, AfterTheWindowExistsIsACloseRequest) {
    const int signal = GetParam();
    TempDir dir;
    const std::string trace = dir / "trace.txt", shot = dir / "shot.png";
    bool sent = false;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        if (!sent && TraceHas(ReadFile(trace), "CreateWindowExW", ") = 0x")) {
            sent = true;
            kill(pid, signal);
        }
    };
    ChildResult run;
    {
        const InheritedDisposition fromTheShell(signal, SIG_DFL);
        run = Demo({"--trace", trace, "--screenshot", shot}, options);
    }
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.exitCode, 0) << run.err << " signal " << run.termSignal;
    EXPECT_TRUE(TraceHas(ReadFile(trace), "DispatchMessageW", "WM_CLOSE"));
    EXPECT_NO_THROW(ReadPng(shot));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGINT, SIGTERM),
                         [](const auto& info) { return std::string(SignalName(info.param)); });

// A shell starts a background job with SIGINT ignored, so that Ctrl-C at the
// terminal reaches only the foreground; the job keeps it that way. SIGTERM
// counts however it was inherited.
// Both are sent once the program has its window.
TEST(Signals, InterruptInheritedAsIgnoredStaysIgnoredTerminationAlwaysCounts) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(SignalName(signal));
        TempDir dir;
        const std::string trace = dir / "trace.txt";
        bool sent = false;
        ChildOptions options;
        options.whileRunning = [&](pid_t pid) {
            if (!sent && TraceHas(ReadFile(trace), "CreateThread", "(render)")) {
                sent = true;
                kill(pid, signal);
            }
        };
        ChildResult run;
        {
            const InheritedDisposition ignored(signal, SIG_IGN);
            run = Demo({"--tap-after", "1500", "--trace", trace}, options);
        }
        ASSERT_TRUE(sent);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::string text = ReadFile(trace);
        EXPECT_EQ(TraceHas(text, "DispatchMessageW", "WM_CLOSE"), signal == SIGTERM) << text;
        if (signal == SIGINT) {
            EXPECT_TRUE(TraceHas(text, "DispatchMessageW", "WM_LBUTTONDOWN")) << text;
        }
    }
}

// The stand-in ends threads with a real-time signal of its own. The same
// signal sent from outside ends no thread of the program: it does what it
// does to any process, here end it, while the program runs.
TEST(Signals, StandInsOwnSignalFromOutsideEndsTheProcessAsAnyOther) {
    if (platform::kThreadSanitizer) {
        GTEST_SKIP() << "ThreadSanitizer now and then loses a handler's re-raised signal";
    }
    const int signal = SIGRTMIN + 5;
    TempDir dir;
    const std::string trace = dir / "trace.txt";
    bool sent = false;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        if (!sent && TraceHas(ReadFile(trace), "CreateThread", "(render)")) {
            sent = true;
            kill(pid, signal);
        }
    };
    const ChildResult run = Demo(
        {"--close-after", "3000", "--trace", trace, "--screenshot", dir / "shot.png"}, options);
    ASSERT_TRUE(sent);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.termSignal, signal) << run.err;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"trace.txt"});
}

}  // namespace
