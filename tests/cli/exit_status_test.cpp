#include "cli/exit_status.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <ostream>
#include <stdexcept>
#include <string>

#include "cli/usage_error.h"

namespace {

struct Case {
    const char* name;
    std::shared_ptr<const std::exception> error;
    int status;
    const char* line;
};

// UsageError is a runtime_error and a bad_array_new_length a bad_alloc: each
// must be told by what it is, not by its base.
const Case kCases[] = {
    {"UsageError", std::make_shared<UsageError>("--scale must be from 1 to 8, not 9"),
     cli::kExitBadUsage, "plasma-demo: --scale must be from 1 to 8, not 9"},
    {"BadAlloc", std::make_shared<std::bad_alloc>(), cli::kExitFailed,
     "plasma-demo: not enough memory to run"},
    {"BadArrayNewLength", std::make_shared<std::bad_array_new_length>(), cli::kExitFailed,
     "plasma-demo: not enough memory to run"},
    {"RuntimeError", std::make_shared<std::runtime_error>("cannot have the display's memory"),
     cli::kExitFailed, "plasma-demo: cannot have the display's memory"},
    {"LogicError", std::make_shared<std::out_of_range>("frame 0 is before the first"),
     cli::kExitFailed, "plasma-demo: frame 0 is before the first"},
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class ExitStatusTest : public testing::TestWithParam<Case> {};

TEST_P(ExitStatusTest, GivesTheStatusAndOneLineNamingTheProgram) {
    const Case& c = GetParam();
    const cli::Failure failure = cli::FailureOf("plasma-demo", *c.error);
    EXPECT_EQ(failure.status, c.status);
    EXPECT_EQ(failure.line, c.line);
}

// As a main uses it: the line and a newline on standard error, nothing else,
// and the status the process ends with.
TEST_P(ExitStatusTest, ReportsOnStandardErrorAndReturnsTheStatus) {
    const Case& c = GetParam();
    // Matched whole, not as a regular expression.
    const testing::Matcher<const std::string&> output(std::string(c.line) + "\n");
    EXPECT_EXIT(std::exit(cli::ReportFailure("plasma-demo", *c.error)),
                testing::ExitedWithCode(c.status), output);
}

INSTANTIATE_TEST_SUITE_P(Exceptions, ExitStatusTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(ExitStatus, NamesTheProgramItIsGiven) {
    EXPECT_EQ(cli::FailureOf("gx.dll", UsageError("PLASMA_GX_SPEED must be 1 to 1000")).line,
              "gx.dll: PLASMA_GX_SPEED must be 1 to 1000");
}

}  // namespace
