#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/capture/output_path.h"

constexpr int32_t kMaxSide = 4096;
constexpr int32_t kMaxFps = 50;  // 2/100 s a frame; viewers slow down faster GIFs
// Far beyond the animation's 1024-frame period, yet quick to reach.
constexpr int32_t kMaxFrame = 1000000;

struct Options {
    int32_t width = 240;
    int32_t height = 295;
    std::vector<int32_t> frames;  // ascending, each once
    int32_t fps = 30;
    OutputPath out;
};

enum class Command { kCapture, kHelp, kVersion };

struct ParsedCommand {
    Command command = Command::kCapture;
    Options options;
};

// Parses the arguments after the program name. Throws UsageError.
ParsedCommand ParseOptions(const std::vector<std::string>& args);

// What --help and --version print; the help comes from the same definitions
// as the parse.
std::string UsageText();
const char* VersionText();
