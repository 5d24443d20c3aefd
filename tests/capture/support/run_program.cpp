#include "tests/capture/support/run_program.h"

ChildResult RunCapture(const std::vector<std::string>& args, long fileSizeLimit) {
    std::vector<std::string> argv{PLASMA_CAPTURE_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildOptions options;
    options.timeoutMs = 120000;
    options.fileSizeLimit = fileSizeLimit;
    return RunChild(argv, options);
}

ChildResult RunCaptureIn(const std::string& cwd, const std::vector<std::string>& args) {
    std::vector<std::string> argv{"/usr/bin/env", "-C", cwd, PLASMA_CAPTURE_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildOptions options;
    options.timeoutMs = 120000;
    return RunChild(argv, options);
}

ChildResult RunCaptureIntoFullOutput(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"/bin/sh", "-c", "exec \"$@\" >/dev/full", "sh",
                                  PLASMA_CAPTURE_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunChild(argv);
}
