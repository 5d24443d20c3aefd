#include "tools/capture/output_path.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "cli/usage_error.h"

namespace {
const std::string kAcceptedForms = "use %d or %0Nd (N from 1 to " +
                                   std::to_string(kMaxFrameNumberWidth) +
                                   ") once for the frame number and %% for a literal %";

bool EndsWithNoCase(const std::string& text, const std::string& ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    for (size_t i = 0; i < ending.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[text.size() - ending.size() + i]);
        if (std::tolower(c) != ending[i]) {
            return false;
        }
    }
    return true;
}
}  // namespace

OutputPath OutputPath::Parse(const std::string& text) {
    OutputPath path;
    std::string* part = &path.prefix_;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            *part += text[i];
            continue;
        }
        const std::string rest = text.substr(i + 1);
        if (rest.rfind("%", 0) == 0) {
            *part += '%';
            i += 1;
            continue;
        }
        int32_t width = 0;
        size_t length = 0;
        if (rest.rfind("d", 0) == 0) {
            length = 1;
        } else if (rest.size() >= 3 && rest[0] == '0' && rest[1] >= '1' &&
                   rest[1] <= '0' + kMaxFrameNumberWidth && rest[2] == 'd') {
            width = rest[1] - '0';
            length = 3;
        } else {
            throw UsageError("--out: unexpected '%' in '" + text + "'; " + kAcceptedForms);
        }
        if (path.hasFrameNumber_) {
            throw UsageError("--out: more than one frame number in '" + text + "'; " +
                             kAcceptedForms);
        }
        path.hasFrameNumber_ = true;
        path.width_ = width;
        part = &path.suffix_;
        i += length;
    }

    const std::string tail = path.hasFrameNumber_ ? path.suffix_ : path.prefix_;
    if (EndsWithNoCase(tail, ".png")) {
        path.format_ = OutputFormat::kPng;
    } else if (EndsWithNoCase(tail, ".rgb565")) {
        path.format_ = OutputFormat::kRgb565;
    } else if (EndsWithNoCase(tail, ".gif")) {
        path.format_ = OutputFormat::kGif;
    } else {
        throw UsageError("--out: '" + text + "' does not end in .png, .rgb565 or .gif");
    }
    return path;
}

std::string OutputPath::ForFrame(int32_t frame) const {
    if (!hasFrameNumber_) {
        return prefix_;
    }
    char number[16];
    std::snprintf(number, sizeof number, "%0*d", static_cast<int>(width_), static_cast<int>(frame));
    return prefix_ + number + suffix_;
}

void CreateMissingFolders(const std::string& file) {
    // Each folder from the top down; one that is there (or a file in its
    // place, which the write then reports) is left as it is.
    for (size_t slash = file.find('/', 1); slash != std::string::npos;
         slash = file.find('/', slash + 1)) {
        const std::string folder = file.substr(0, slash);
        struct stat status;
        if (folder.back() == '/' || stat(folder.c_str(), &status) == 0) {
            continue;
        }
        if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
            throw std::runtime_error("cannot create folder " + folder + ": " +
                                     std::strerror(errno));
        }
    }
}
