#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Runs a program to its end in a fresh process, as a user would from a shell.
// A child that outlives the time limit is killed; output pipes that something
// else holds open a second after that are let go.
struct ChildResult {
    int exitCode = -1;      // -1 when it did not exit normally
    int termSignal = 0;     // the signal that ended it, if one did
    bool timedOut = false;  // killed after the time limit
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
};

struct ChildOptions {
    int timeoutMs = 20000;
    // Sent to the child this long after it started, when set (0: none).
    int signalAfterMs = 0;
    int signal = 0;
    int secondSignalAfterMs = 0;
    // When positive, caps the size of any file the child writes, in bytes:
    // a write past it fails with EFBIG instead of ending the child.
    long fileSizeLimit = 0;
    // When positive, caps the child's address space, in bytes (RLIMIT_AS):
    // an allocation past it fails. Sanitizer builds cannot run under one.
    long addressSpaceLimit = 0;
    // When positive, caps the processes and threads of the child's user
    // (RLIMIT_NPROC): a new thread past it fails. Root is not held to it, so
    // a test run as root gives `user` too.
    long processLimit = 0;
    // When set, the child runs as this user and group, with no other groups
    // (the test must be root to ask).
    bool switchUser = false;
    uid_t uid = 0;
    gid_t gid = 0;
    // When set, called with the child's process id about every millisecond
    // while the child runs, before it is reaped: the test may signal it.
    std::function<void(pid_t)> whileRunning;
};

ChildResult RunChild(const std::vector<std::string>& argv, const ChildOptions& options = {});

// Starts a program that runs beside the test (a server) with no input and its
// output discarded; it inherits the descriptors that are not close-on-exec.
// -1 when it cannot be started.
pid_t StartChild(const std::vector<std::string>& argv);
// Ends a child that StartChild started (SIGTERM) and reaps it.
void StopChild(pid_t pid);

// Lines of `text`, without their line ends.
std::vector<std::string> Lines(const std::string& text);
