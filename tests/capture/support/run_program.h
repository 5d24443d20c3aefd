#pragma once

#include <string>
#include <vector>

struct ProgramResult {
    int exitCode;  // 128 + signal number if a signal ended it
    std::string out;
    std::string err;
};

// Runs the built plasma-capture with these arguments. A non-zero
// fileSizeLimit caps the size of any file it writes, in bytes; writing past it
// fails with EFBIG.
ProgramResult RunCapture(const std::vector<std::string>& args, long fileSizeLimit = 0);
