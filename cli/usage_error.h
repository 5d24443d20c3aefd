#pragma once

#include <stdexcept>

// A bad command line or setting: the message names what is wrong and the
// accepted form, on one line. Programs exit with status 2 for it.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
