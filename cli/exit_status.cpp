#include "cli/exit_status.h"

#include <cstdio>
#include <new>

#include "cli/usage_error.h"

namespace cli {

Failure FailureOf(std::string_view program, const std::exception& error) {
    std::string line(program);
    line += ": ";
    if (dynamic_cast<const UsageError*>(&error) != nullptr) {
        return {kExitBadUsage, line + error.what()};
    }
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        return {kExitFailed, line + "not enough memory to run"};
    }
    return {kExitFailed, line + error.what()};
}

int ReportFailure(std::string_view program, const std::exception& error) {
    const Failure failure = FailureOf(program, error);
    std::fprintf(stderr, "%s\n", failure.line.c_str());
    return failure.status;
}

}  // namespace cli
