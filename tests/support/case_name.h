#pragma once

#include <cctype>
#include <string>

// A case's readable name ("portrait 240x320") in the characters a test name
// may hold ("portrait_240x320").
inline std::string TestName(const std::string& readable) {
    std::string name;
    for (const char c : readable) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

// Names each case of a parameterised suite after the `name` field of its
// parameter.
struct NameOfCase {
    template <class Info>
    std::string operator()(const Info& info) const {
        return TestName(info.param.name);
    }
};
