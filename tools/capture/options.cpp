#include "tools/capture/options.h"

#include "cli/command_line.h"
#include "cli/usage_error.h"
#include "cli/values.h"
#include "plasma_version.h"

namespace {
constexpr const char* kDefaultSize = "240x295";
constexpr const char* kDefaultFrames = "1-128";
constexpr int32_t kDefaultFps = 30;

// The command line as given, before its values are checked.
struct Given {
    std::string size = kDefaultSize, frames = kDefaultFrames, fps, out;
    bool version = false;
};

void Define(CLI::App& app, Given& g) {
    using cli::FromTo;
    cli::SetUp(app);
    app.footer(
        "Every file is written under a temporary name in its directory and renamed\n"
        "into place, so no half-written image is left behind.\n"
        "Exit status: 0 done, 1 a file could not be written, 2 bad arguments.");
    cli::AddValue(app, "--size", &g.size, "WxH",
                  "drawing area in pixels, W and H " + FromTo(1, kMaxSide) + " (default " +
                      kDefaultSize + ")");
    cli::AddValue(app, "--frames", &g.frames, "LIST",
                  "frame numbers N and ranges A-B separated by commas, " + FromTo(1, kMaxFrame) +
                      " (default " + kDefaultFrames +
                      "). Frame 1 is the first frame the program shows. Frames are written "
                      "in ascending order whatever the order of the list; a frame listed "
                      "more than once is written once.");
    cli::AddValue(app, "--fps", &g.fps, "N",
                  ".gif only: playback rate, " + FromTo(1, kMaxFps) +
                      " frames per second (default " + std::to_string(kDefaultFps) +
                      "). GIF delays are whole hundredths of a second: the k-th frame (from "
                      "0) starts at 100*k/N rounded to the nearest hundredth, so the average "
                      "rate stays exact.");
    cli::AddValue(app, "--out", &g.out, "PATH",
                  "where to write; the extension (any case) picks the format: .png (8-bit "
                  "RGB, one file per frame), .rgb565 (raw little-endian 16-bit 5-6-5 pixels, "
                  "rows top to bottom, no header, one file per frame) or .gif (one looping "
                  "animated GIF of all the frames). With more than one .png or .rgb565 "
                  "frame, PATH holds one %d or %0Nd (zero-padded to N digits, N " +
                      FromTo(1, kMaxFrameNumberWidth) +
                      ") that takes the frame number, e.g. out/frame%04d.png; %% is a "
                      "literal %.");
    cli::AddFlag(app, "--version", &g.version, "print the version and exit");
}

const char* kDescription =
    "Renders frames of the plasma animation offline and writes them as "
    "images.";
}  // namespace

std::string UsageText() {
    CLI::App app(kDescription, "plasma-capture");
    Given given;
    Define(app, given);
    return cli::Help(app);
}

const char* VersionText() {
    return "plasma-capture " PLASMA_VERSION "\n";
}

ParsedCommand ParseOptions(const std::vector<std::string>& args) {
    CLI::App app(kDescription, "plasma-capture");
    Given g;
    Define(app, g);
    const cli::Request request = cli::Parse(app, args);
    if (request == cli::Request::kHelp) {
        return {Command::kHelp, {}};
    }
    if (request == cli::Request::kVersion) {
        return {Command::kVersion, {}};
    }

    ParsedCommand parsed;
    Options& options = parsed.options;
    const cli::Size size = cli::SizeValue("--size", g.size, kMaxSide, kDefaultSize);
    options.width = size.width;
    options.height = size.height;
    options.frames = cli::NumberList("--frames", g.frames, kMaxFrame);
    if (app.count("--out") == 0) {
        throw UsageError("no output given; add --out PATH (.png, .rgb565 or .gif)");
    }
    options.out = OutputPath::Parse(g.out);
    const bool gif = options.out.Format() == OutputFormat::kGif;
    options.fps = kDefaultFps;
    if (app.count("--fps") != 0) {
        options.fps = static_cast<int32_t>(cli::WholeNumber("--fps", g.fps, 1, kMaxFps));
        if (!gif) {
            throw UsageError("--fps only applies to .gif output; drop it or write a .gif");
        }
    }
    if (gif && options.out.HasFrameNumber()) {
        throw UsageError("--out: a .gif holds every frame in one file; drop the %d from '" + g.out +
                         "'");
    }
    if (!gif && options.frames.size() > 1 && !options.out.HasFrameNumber()) {
        throw UsageError("--out: " + std::to_string(options.frames.size()) +
                         " frames need a %d (or %0Nd) in '" + g.out +
                         "' for the frame number, e.g. frame%04d.png");
    }
    return parsed;
}
