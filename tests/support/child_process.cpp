#include "tests/support/child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sstream>

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;

constexpr int kLetGoMs = 1000;

int MsSince(Clock::time_point start) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// posix_spawn cannot set a resource limit, so a limited child is forked and
// sets its own before it runs the program.
int SpawnWithLimits(pid_t* pid, char* const* argv, int out, int err, const ChildOptions& options) {
    const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    std::fflush(nullptr);
    *pid = fork();
    if (*pid < 0) {
        const int error = errno;
        close(input);
        return error;
    }
    if (*pid == 0) {
        // Only async-signal-safe calls from here on.
        if (options.fileSizeLimit > 0) {
            const rlim_t limit = static_cast<rlim_t>(options.fileSizeLimit);
            const rlimit cap{limit, limit};
            setrlimit(RLIMIT_FSIZE, &cap);
            signal(SIGXFSZ, SIG_IGN);
        }
        if (options.addressSpaceLimit > 0) {
            const rlim_t limit = static_cast<rlim_t>(options.addressSpaceLimit);
            const rlimit cap{limit, limit};
            setrlimit(RLIMIT_AS, &cap);
        }
        if (options.processLimit > 0) {
            const rlim_t limit = static_cast<rlim_t>(options.processLimit);
            const rlimit cap{limit, limit};
            setrlimit(RLIMIT_NPROC, &cap);
        }
        // Groups first: once the user has changed, they can no longer be.
        if (options.switchUser &&
            (setgroups(0, nullptr) != 0 || setgid(options.gid) != 0 || setuid(options.uid) != 0)) {
            _exit(126);
        }
        dup2(input, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(argv[0], argv, environ);
        _exit(127);
    }
    close(input);
    return 0;
}

void Drain(int& fd, std::string& into) {
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        close(fd);
        fd = -1;
    }
}
}  // namespace

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options) {
    ChildResult result;
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
        result.err = "pipe failed";
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const bool limited = options.fileSizeLimit > 0 || options.addressSpaceLimit > 0 ||
                         options.processLimit > 0 || options.switchUser;
    const int spawned = limited
                            ? SpawnWithLimits(&pid, args.data(), outPipe[1], errPipe[1], options)
                            : posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        result.err = "cannot start " + argv[0];
        return result;
    }

    int fds[2] = {outPipe[0], errPipe[0]};
    bool signalled = false, signalledTwice = false;
    while (fds[0] >= 0 || fds[1] >= 0) {
        const int elapsed = MsSince(start);
        if (elapsed >= options.timeoutMs && !result.timedOut) {
            result.timedOut = true;
            kill(pid, SIGKILL);
        }
        // A process the child left behind may hold the pipes open for good.
        if (result.timedOut && elapsed >= options.timeoutMs + kLetGoMs) {
            for (int& fd : fds) {
                if (fd >= 0) {
                    close(fd);
                    fd = -1;
                }
            }
            break;
        }
        if (options.whileRunning) {
            options.whileRunning(pid);
        }
        if (options.signal != 0 && !signalled && elapsed >= options.signalAfterMs) {
            signalled = true;
            kill(pid, options.signal);
        }
        if (options.signal != 0 && options.secondSignalAfterMs > 0 && !signalledTwice &&
            elapsed >= options.secondSignalAfterMs) {
            signalledTwice = true;
            kill(pid, options.signal);
        }
        pollfd polled[2];
        nfds_t count = 0;
        for (int fd : fds) {
            if (fd >= 0)
                polled[count++] = pollfd{fd, POLLIN, 0};
        }
        // Poll finely while a signal is still to be sent, so that it goes out on time.
        const bool signalDue = (options.signal != 0 && !signalled) ||
                               (options.secondSignalAfterMs > 0 && !signalledTwice);
        poll(polled, count, signalDue || options.whileRunning ? 1 : 10);
        for (nfds_t i = 0; i < count; ++i) {
            if (polled[i].revents != 0) {
                int& fd = polled[i].fd == fds[0] ? fds[0] : fds[1];
                Drain(fd, &fd == &fds[0] ? result.out : result.err);
            }
        }
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.termSignal = WTERMSIG(status);
    }
    return result;
}

pid_t StartChild(const std::vector<std::string>& argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

void StopChild(pid_t pid) {
    kill(pid, SIGTERM);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
