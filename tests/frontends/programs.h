#pragma once

#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

// The full path of a program found on PATH, or "" when there is none.
inline std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return "";
}
