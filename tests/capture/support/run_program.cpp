#include "tests/capture/support/run_program.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <stdexcept>

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string ReadAll(std::FILE* file) {
    std::rewind(file);
    std::string text;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, count);
    }
    return text;
}
}  // namespace

ProgramResult RunCapture(const std::vector<std::string>& args, long fileSizeLimit) {
    std::vector<std::string> strings{PLASMA_CAPTURE_EXE};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    File out(std::tmpfile());
    File err(std::tmpfile());
    if (!out || !err) {
        throw std::runtime_error("cannot make files for the program's output");
    }
    std::fflush(nullptr);

    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("cannot start " + strings[0]);
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        if (fileSizeLimit > 0) {
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit),
                               static_cast<rlim_t>(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN);  // so that a write fails instead
        }
        dup2(fileno(out.get()), STDOUT_FILENO);
        dup2(fileno(err.get()), STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::runtime_error("cannot wait for " + strings[0]);
        }
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return {code, ReadAll(out.get()), ReadAll(err.get())};
}
