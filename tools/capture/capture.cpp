#include "tools/capture/capture.h"

#include "imaging/atomic_file.h"
#include "imaging/png_writer.h"
#include "tools/capture/frame_renderer.h"
#include "tools/capture/gif_writer.h"
#include "tools/capture/raw_writer.h"

void Capture(const Options& options, Progress& progress) {
    FrameRenderer renderer(options.width, options.height);
    int32_t done = 0;
    if (options.out.Format() == OutputFormat::kGif) {
        const std::string path = options.out.ForFrame(0);  // a .gif path holds no frame number
        CreateMissingFolders(path);
        AtomicFile file(path);
        GifWriter gif(file, options.fps);
        for (int32_t frame : options.frames) {
            gif.Add(renderer.Render(frame));
            progress.Update(++done);
        }
        gif.Finish();
        file.Commit();
        return;
    }
    for (int32_t frame : options.frames) {
        const std::string path = options.out.ForFrame(frame);
        CreateMissingFolders(path);
        const Image565& image = renderer.Render(frame);
        AtomicFile file(path);
        if (options.out.Format() == OutputFormat::kPng) {
            WritePng(image, file);
        } else {
            WriteRgb565(image, file);
        }
        file.Commit();
        progress.Update(++done);
    }
}
