#pragma once

#include <cstdint>
#include <string>

// The N of %0Nd: one digit.
constexpr int32_t kMaxFrameNumberWidth = 9;

enum class OutputFormat { kPng, kRgb565, kGif };

// The --out PATH: the format its extension names (any case) and, when it
// holds %d or %0Nd, where each frame's number goes. %% is a literal %.
class OutputPath {
public:
    // Throws UsageError.
    static OutputPath Parse(const std::string& text);

    OutputFormat Format() const { return format_; }
    bool HasFrameNumber() const { return hasFrameNumber_; }
    // The file name for a frame; the same for every frame without %d.
    std::string ForFrame(int32_t frame) const;

private:
    std::string prefix_;  // before the frame number, or the whole path
    std::string suffix_;
    int32_t width_ = 0;  // zero-padded width, 0 for plain %d
    bool hasFrameNumber_ = false;
    OutputFormat format_ = OutputFormat::kPng;
};

// Creates the folders on the way to `file` that are not there yet, as
// mkdir -p does, so that --out may name a folder of its own. Throws
// std::runtime_error naming a folder it cannot create.
void CreateMissingFolders(const std::string& file);
