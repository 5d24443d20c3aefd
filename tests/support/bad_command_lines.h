#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cli/usage_error.h"

// A command line a program must refuse, and what its complaint must name.
struct BadCommandLine {
    std::vector<std::string> args;
    const char* named;
};

// Each line is refused with a UsageError of one line that names the problem.
inline void ExpectEachRefused(const std::vector<BadCommandLine>& cases,
                              const std::function<void(const std::vector<std::string>&)>& parse) {
    for (const BadCommandLine& c : cases) {
        std::string joined;
        for (const std::string& arg : c.args) {
            joined += "[" + arg + "] ";
        }
        SCOPED_TRACE(joined);
        try {
            parse(c.args);
            ADD_FAILURE() << "accepted";
        } catch (const UsageError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(c.named), std::string::npos) << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        }
    }
}
