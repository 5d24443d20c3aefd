#include "tools/capture/options.h"

#include <optional>
#include <string_view>

#include "tools/capture/frame_list.h"
#include "tools/capture/number.h"
#include "tools/capture/usage_error.h"

namespace {
struct Given {
    std::optional<std::string> size, frames, fps, out;
};

std::optional<std::string>* Slot(Given& given, std::string_view name) {
    if (name == "--size")
        return &given.size;
    if (name == "--frames")
        return &given.frames;
    if (name == "--fps")
        return &given.fps;
    if (name == "--out")
        return &given.out;
    return nullptr;
}

const char* Form(std::string_view name) {
    if (name == "--size")
        return "--size WxH";
    if (name == "--frames")
        return "--frames LIST";
    if (name == "--fps")
        return "--fps N";
    return "--out PATH";
}

void ParseSize(const std::string& text, Options& options) {
    const size_t x = text.find_first_of("xX");
    const std::optional<int64_t> width =
        x == std::string::npos ? std::nullopt : ParseDecimal(text.substr(0, x), kMaxSide);
    const std::optional<int64_t> height =
        x == std::string::npos ? std::nullopt : ParseDecimal(text.substr(x + 1), kMaxSide);
    if (!width || !height || *width < 1 || *height < 1) {
        throw UsageError("--size: '" + text + "' is not WxH with W and H from 1 to " +
                         std::to_string(kMaxSide) + " (e.g. 240x295)");
    }
    options.width = static_cast<int32_t>(*width);
    options.height = static_cast<int32_t>(*height);
}

void ParseFps(const std::string& text, Options& options) {
    const std::optional<int64_t> fps = ParseDecimal(text, kMaxFps);
    if (!fps || *fps < 1) {
        throw UsageError("--fps: '" + text + "' is not a whole number from 1 to " +
                         std::to_string(kMaxFps));
    }
    options.fps = static_cast<int32_t>(*fps);
}
}  // namespace

ParsedCommand ParseOptions(const std::vector<std::string>& args) {
    Given given;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            return {Command::kHelp, {}};
        }
        if (arg == "--version") {
            return {Command::kVersion, {}};
        }
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        std::optional<std::string>* slot = Slot(given, name);
        if (slot == nullptr) {
            throw UsageError("unknown argument '" + arg +
                             "'; usage: [--size WxH] [--frames LIST] [--fps N] --out PATH");
        }
        if (slot->has_value()) {
            throw UsageError(name + " given twice; give it once as " + Form(name));
        }
        if (equals != std::string::npos) {
            *slot = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            *slot = args[++i];
        } else {
            throw UsageError(name + " needs a value: " + Form(name));
        }
    }

    ParsedCommand parsed;
    Options& options = parsed.options;
    if (given.size) {
        ParseSize(*given.size, options);
    }
    options.frames = ParseFrameList(given.frames.value_or("1-128"));
    if (!given.out) {
        throw UsageError("no output given; add --out PATH (.png, .rgb565 or .gif)");
    }
    options.out = OutputPath::Parse(*given.out);
    const bool gif = options.out.Format() == OutputFormat::kGif;
    if (given.fps) {
        ParseFps(*given.fps, options);
        if (!gif) {
            throw UsageError("--fps only applies to .gif output; drop it or write a .gif");
        }
    }
    if (gif && options.out.HasFrameNumber()) {
        throw UsageError("--out: a .gif holds every frame in one file; drop the %d from '" +
                         *given.out + "'");
    }
    if (!gif && options.frames.size() > 1 && !options.out.HasFrameNumber()) {
        throw UsageError("--out: " + std::to_string(options.frames.size()) +
                         " frames need a %d (or %0Nd) in '" + *given.out +
                         "' for the frame number, e.g. frame%04d.png");
    }
    return parsed;
}
