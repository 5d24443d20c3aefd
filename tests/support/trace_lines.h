#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

// A line of plasma-demo's trace: "<ms> <thread> <call>".
struct TraceLine {
    double ms = -1;
    std::string thread;
    std::string call;
};

inline std::vector<TraceLine> ParseTrace(const std::string& text) {
    std::vector<TraceLine> lines;
    for (const std::string& line : Lines(text)) {
        TraceLine parsed;
        char thread[32] = {};
        int consumed = 0;
        if (std::sscanf(line.c_str(), "%lf %31s %n", &parsed.ms, thread, &consumed) >= 2) {
            parsed.thread = thread;
            parsed.call = line.substr(static_cast<size_t>(consumed));
            lines.push_back(parsed);
        }
    }
    return lines;
}
