#pragma once

#include <stdexcept>

// A bad command line: the message names what is wrong and the accepted form.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
