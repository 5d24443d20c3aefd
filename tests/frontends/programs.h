#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

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

// A display number with no X server behind it, as ":N".
inline std::string UnservedDisplay() {
    for (int number = 90;; ++number) {
        const std::string n = std::to_string(number);
        if (access(("/tmp/.X11-unix/X" + n).c_str(), F_OK) != 0 &&
            access(("/tmp/.X" + n + "-lock").c_str(), F_OK) != 0) {
            return ":" + n;
        }
    }
}

// One image of the program's icon file as ImageMagick reads it, 0xAARRGGBB
// pixels; throws std::runtime_error when that fails.
inline std::vector<uint32_t> IconByImageMagick(int index) {
    const std::string convert = FindProgram("convert");
    if (convert.empty()) {
        throw std::runtime_error("ImageMagick's convert is missing (scripts/setup installs it)");
    }
    const std::string source = std::string(PLASMA_ICON_FILE) + "[" + std::to_string(index) + "]";
    const ChildResult run = RunChild({convert, source, "-depth", "8", "rgba:-"});
    if (run.exitCode != 0 || run.out.size() % 4 != 0) {
        throw std::runtime_error("convert " + source + " failed: " + run.err);
    }
    std::vector<uint32_t> argb;
    for (size_t i = 0; i < run.out.size(); i += 4) {
        const auto byte = [&](size_t k) { return uint32_t{static_cast<uint8_t>(run.out[i + k])}; };
        argb.push_back(byte(3) << 24 | byte(0) << 16 | byte(1) << 8 | byte(2));
    }
    return argb;
}
