#pragma once
// Compares the probe's output on the stand-in with its output on a real
// implementation of the platform's calls, line by line, allowing only the
// differences listed in a table.

#include <string>
#include <vector>

struct ExpectedDifference {
    std::vector<std::string> standIn;  // what the stand-in prints here (may be none)
    std::vector<std::string> windows;  // what desktop Windows prints instead (may be none)
    const char* why;                   // the documentation that justifies it
};

// One line for each problem: a difference no row allows, or a row that no
// longer matches anything. Empty when the outputs agree up to the table.
std::vector<std::string> CompareProbeOutputs(const std::vector<std::string>& standIn,
                                             const std::vector<std::string>& windows,
                                             const std::vector<ExpectedDifference>& table);
