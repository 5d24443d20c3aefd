#include "tests/support/orphans.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

namespace {
struct Child {
    pid_t pid;
    std::string name;
};

// This process's children that have not ended; ended ones are reaped.
std::vector<Child> RunningChildren() {
    std::vector<Child> running;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string pidText = entry.path().filename();
        if (pidText.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream statFile(entry.path() / "stat");
        std::string stat;
        if (!std::getline(statFile, stat)) {
            continue;  // gone meanwhile
        }
        // pid (name) state ppid ...: the name may hold spaces and parentheses.
        const size_t open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos) {
            continue;
        }
        std::istringstream rest(stat.substr(close + 1));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        if (parent != getpid()) {
            continue;
        }
        const pid_t pid = static_cast<pid_t>(std::stol(pidText));
        if (state == 'Z') {
            waitpid(pid, nullptr, WNOHANG);
        } else {
            running.push_back({pid, stat.substr(open + 1, close - open - 1)});
        }
    }
    return running;
}
}  // namespace

OrphanCatcher::OrphanCatcher() {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
}

OrphanCatcher::~OrphanCatcher() {
    Leftovers(0);
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

std::vector<std::string> OrphanCatcher::Leftovers(int graceMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    std::vector<Child> running = RunningChildren();
    while (!running.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        running = RunningChildren();
    }
    std::vector<std::string> names;
    for (const Child& child : running) {
        names.push_back(child.name);
        kill(child.pid, SIGKILL);
        waitpid(child.pid, nullptr, 0);
    }
    return names;
}
