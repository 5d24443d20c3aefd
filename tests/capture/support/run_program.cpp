#include "tests/capture/support/run_program.h"

#include "tests/support/child_process.h"

ProgramResult RunCapture(const std::vector<std::string>& args, long fileSizeLimit) {
    std::vector<std::string> argv{PLASMA_CAPTURE_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildOptions options;
    options.timeoutMs = 120000;
    options.fileSizeLimit = fileSizeLimit;
    const ChildResult run = RunChild(argv, options);
    const int code = run.exitCode >= 0 ? run.exitCode : 128 + run.termSignal;
    return {code, run.out, run.err};
}
