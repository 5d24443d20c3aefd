// Every signal that ends a process, sent to both programs while they write a
// large image: none leaves the image's temporary file, or a part of the
// image, behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/src/sanitizer_build.h"
#include "tests/support/child_process.h"
#include "tests/support/inherited_disposition.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_dir.h"

namespace {

// Asks the system rather than a list: each signal a handler can be set for
// (not SIGKILL, SIGSTOP or the C library's own) is raised, at its default
// action, in a child of its own, which is seen to die by it or not.
std::vector<int> SignalsThatEndAProcess() {
    std::vector<int> ending;
    for (int signal = 1; signal <= SIGRTMAX; ++signal) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0 ||
            sigaction(signal, &current, nullptr) != 0) {
            continue;
        }
        const pid_t child = fork();
        if (child == 0) {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            ::signal(signal, SIG_DFL);
            sigset_t only;
            sigemptyset(&only);
            sigaddset(&only, signal);
            sigprocmask(SIG_UNBLOCK, &only, nullptr);
            raise(signal);
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, WUNTRACED);
        if (WIFSTOPPED(status)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        } else if (WIFSIGNALED(status) && WTERMSIG(status) == signal) {
            ending.push_back(signal);
        }
    }
    return ending;
}

std::string NameOf(int signal) {
    if (signal >= SIGRTMIN) {
        return "SIGRTMIN_plus_" + std::to_string(signal - SIGRTMIN);
    }
    const char* abbreviation = sigabbrev_np(signal);
    return std::string("SIG") + (abbreviation != nullptr ? abbreviation : std::to_string(signal));
}

struct Program {
    const char* name;
    std::vector<std::string> argv;  // up to the output, which is "big.png" in a directory
    bool stopsOnInterrupt;          // SIGINT and SIGTERM are its close requests
};

const Program kDemo{
    "plasma_demo",
    {PLASMA_DEMO, "--headless", "--display", "4096x4096", "--close-after", "0", "--screenshot"},
    true};
const Program kCapture{
    "plasma_capture", {PLASMA_CAPTURE, "--size", "4096x4096", "--frames", "1", "--out"}, false};

struct SignalCase {
    Program program;
    int signal;
};

void PrintTo(const SignalCase& c, std::ostream* os) {
    *os << c.program.name << " " << NameOf(c.signal);
}

std::vector<SignalCase> AllCases() {
    const std::vector<int> ending = SignalsThatEndAProcess();
    std::vector<SignalCase> cases;
    for (const Program& program : {kDemo, kCapture}) {
        for (const int signal : ending) {
            cases.push_back({program, signal});
        }
    }
    return cases;
}

// No core files from the children in the test's directory.
void NoCoreFiles() {
    rlimit core{};
    getrlimit(RLIMIT_CORE, &core);
    core.rlim_cur = 0;
    setrlimit(RLIMIT_CORE, &core);
}

// Runs `program` writing dir/big.png and sends `signal` once (or `times` in
// a row) as soon as the temporary file is there, from a parent that leaves
// the signal at its default action.
ChildResult WriteAndSignal(const Program& program, const TempDir& dir, int signal, int times) {
    NoCoreFiles();
    // Signals of one kind do not queue: the next goes out once the last
    // has had time to arrive.
    int sent = 0;
    std::chrono::steady_clock::time_point last;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        const auto now = std::chrono::steady_clock::now();
        if (sent == times || (sent > 0 && now - last < std::chrono::milliseconds(20))) {
            return;
        }
        for (const std::string& name : dir.Names()) {
            if (sent > 0 || name.rfind(".big.png.tmp", 0) == 0) {
                ++sent;
                last = now;
                kill(pid, signal);
                return;
            }
        }
    };
    std::vector<std::string> argv = program.argv;
    argv.push_back(dir / "big.png");
    const InheritedDisposition atDefault(signal, SIG_DFL);
    ChildResult run = RunChild(argv, options);
    EXPECT_EQ(sent, times) << run.err;
    return run;
}

class EndingSignal : public ::testing::TestWithParam<SignalCase> {};

// A signal that ends the process ends it, by that signal, and takes the
// temporary file with it. Two kinds do not end it: SIGPIPE and SIGXFSZ are
// ignored, so that a failed write is reported, and the image is written.
// plasma-demo takes a first SIGINT or SIGTERM as a close request; a second
// one ends it at once with status 128 plus its number.
TEST_P(EndingSignal, LeavesNoTemporaryFile) {
    const SignalCase& c = GetParam();
    const bool ignored = c.signal == SIGPIPE || c.signal == SIGXFSZ;
    const bool stop = c.program.stopsOnInterrupt && (c.signal == SIGINT || c.signal == SIGTERM);
    const bool endsByItself = !ignored && !stop;
    if (platform::kThreadSanitizer && endsByItself) {
        GTEST_SKIP() << "ThreadSanitizer now and then loses a handler's re-raised signal";
    }
    if (platform::kSanitizerBuild &&
        (c.signal == SIGSEGV || c.signal == SIGBUS || c.signal == SIGFPE)) {
        GTEST_SKIP() << "the sanitizer's runtime takes this signal for itself";
    }
    TempDir dir;
    const ChildResult run = WriteAndSignal(c.program, dir, c.signal, stop ? 2 : 1);
    EXPECT_FALSE(run.timedOut);
    if (ignored) {
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"big.png"});
        EXPECT_NO_THROW(ReadPng(dir / "big.png"));
        return;
    }
    if (stop) {
        EXPECT_EQ(run.exitCode, 128 + c.signal) << run.err;
    } else {
        EXPECT_EQ(run.termSignal, c.signal) << run.err << " exit " << run.exitCode;
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{}) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Programs, EndingSignal, ::testing::ValuesIn(AllCases()),
                         [](const auto& info) {
                             return std::string(info.param.program.name) + "_" +
                                    NameOf(info.param.signal);
                         });

class IgnoredSignal : public ::testing::TestWithParam<SignalCase> {};

// A signal the process inherited as ignored (nohup's SIGHUP, a background
// job's SIGQUIT) stays ignored, the stand-in's own too: the image is written.
TEST_P(IgnoredSignal, StaysIgnoredAndTheImageIsWritten) {
    const SignalCase& c = GetParam();
    TempDir dir;
    bool sent = false;
    ChildOptions options;
    options.whileRunning = [&](pid_t pid) {
        for (const std::string& name : dir.Names()) {
            if (!sent && name.rfind(".big.png.tmp", 0) == 0) {
                sent = true;
                kill(pid, c.signal);
            }
        }
    };
    std::vector<std::string> argv = c.program.argv;
    argv.push_back(dir / "big.png");
    ChildResult run;
    {
        const InheritedDisposition ignored(c.signal, SIG_IGN);
        run = RunChild(argv, options);
    }
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.exitCode, 0) << run.err << " signal " << run.termSignal;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"big.png"});
    EXPECT_NO_THROW(ReadPng(dir / "big.png"));
}

std::vector<SignalCase> IgnoredCases() {
    std::vector<SignalCase> cases;
    for (const Program& program : {kDemo, kCapture}) {
        for (const int signal : {SIGHUP, SIGQUIT, SIGRTMIN + 5}) {
            cases.push_back({program, signal});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Programs, IgnoredSignal, ::testing::ValuesIn(IgnoredCases()),
                         [](const auto& info) {
                             return std::string(info.param.program.name) + "_" +
                                    NameOf(info.param.signal);
                         });

}  // namespace
