#pragma once
// How a host program ends when its work throws: one line,
// "<program>: <message>", and status 2 for a bad command line or setting, 1
// for anything else. Every main and gx.dll end this way.

#include <exception>
#include <string>
#include <string_view>

namespace cli {

constexpr int kExitFailed = 1;
constexpr int kExitBadUsage = 2;

struct Failure {
    int status;
    std::string line;  // without its newline
};

// A UsageError is kExitBadUsage with its message; std::bad_alloc (whose own
// message names nothing a user knows) is "not enough memory to run"; any other
// exception is its message. All but a UsageError are kExitFailed.
Failure FailureOf(std::string_view program, const std::exception& error);

// Writes FailureOf's line to standard error and returns its status, for main
// to return.
int ReportFailure(std::string_view program, const std::exception& error);

}  // namespace cli
