#include "tools/capture/capture.h"

#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "imaging/png_writer.h"
#include "output_files/atomic_file.h"
#include "tools/capture/frame_renderer.h"
#include "tools/capture/gif_writer.h"
#include "tools/capture/raw_writer.h"

namespace {
std::runtime_error NoMemoryToWrite(const std::string& path) {
    return std::runtime_error("not enough memory to write " + path);
}

void CaptureGif(const Options& options, FrameRenderer& renderer, Progress& progress) {
    const std::string path = options.out.ForFrame(0);  // a .gif path holds no frame number
    CreateMissingFolders(path);
    try {
        AtomicFile file(path);
        GifWriter gif(file, options.fps);
        int32_t done = 0;
        for (int32_t frame : options.frames) {
            gif.Add(renderer.Render(frame));
            progress.Update(++done);
        }
        gif.Finish();
        file.Commit();
    } catch (const std::bad_alloc&) {
        throw NoMemoryToWrite(path);
    }
}

void CaptureFrames(const Options& options, FrameRenderer& renderer, Progress& progress) {
    int32_t done = 0;
    for (int32_t frame : options.frames) {
        const std::string path = options.out.ForFrame(frame);
        CreateMissingFolders(path);
        const Image565& image = renderer.Render(frame);
        try {
            AtomicFile file(path);
            if (options.out.Format() == OutputFormat::kPng) {
                WritePng(image, file);
            } else {
                WriteRgb565(image, file);
            }
            file.Commit();
        } catch (const std::bad_alloc&) {
            throw NoMemoryToWrite(path);
        }
        progress.Update(++done);
    }
}
}  // namespace

void Capture(const Options& options, Progress& progress) {
    // The frame is the most memory a capture takes: asked for first, before
    // any file is written.
    std::optional<FrameRenderer> renderer;
    try {
        renderer.emplace(options.width, options.height);
    } catch (const std::bad_alloc&) {
        throw std::runtime_error("not enough memory to render " + std::to_string(options.width) +
                                 "x" + std::to_string(options.height) + " frames");
    }
    if (options.out.Format() == OutputFormat::kGif) {
        CaptureGif(options, *renderer, progress);
    } else {
        CaptureFrames(options, *renderer, progress);
    }
}
