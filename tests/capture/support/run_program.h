#pragma once

#include <string>
#include <vector>

#include "tests/support/child_process.h"

// Runs the built plasma-capture with these arguments. A non-zero
// fileSizeLimit caps the size of any file it writes, in bytes; writing past it
// fails with EFBIG.
ChildResult RunCapture(const std::vector<std::string>& args, long fileSizeLimit = 0);
// The same from the directory `cwd`, where relative paths start.
ChildResult RunCaptureIn(const std::string& cwd, const std::vector<std::string>& args);
// The same with standard output on /dev/full, where every write fails.
ChildResult RunCaptureIntoFullOutput(const std::vector<std::string>& args);
