#pragma once

#include <string>
#include <vector>

#include "tests/support/child_process.h"

// Runs the built plasma-demo without a window, with these arguments.
inline ChildResult Demo(std::vector<std::string> args, const ChildOptions& options = {}) {
    args.insert(args.begin(), {PLASMA_DEMO, "--headless"});
    return RunChild(args, options);
}
