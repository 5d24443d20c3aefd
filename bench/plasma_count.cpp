// Draws a fixed number of frames with one renderer, so that an instruction
// counter (scripts/count-instructions runs this under callgrind) can divide
// what DrawFrames executed by the number of frames.
//
// usage: plasma-count CASE WIDTH HEIGHT FRAMES
//   CASE: Naive, Reference, RenderFrame or Path/NAME (a render path)

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/naive_render.h"
#include "effect/plasma_effect.h"
#include "effect/render_paths.h"
#include "tests/support/plasma_oracle.h"

namespace {
enum class Case { kNaive, kReference, kRenderFrame };

__attribute__((noinline)) void DrawFrames(Case which, PlasmaEffect& effect, int32_t frames) {
    int32_t counter = PlasmaEffect::frameCounter;
    for (int32_t i = 0; i < frames; ++i) {
        switch (which) {
            case Case::kNaive:
                NaiveRenderFrame(effect, counter, gDrawSurface);
                break;
            case Case::kReference:
                OracleRenderFrame(effect, counter, gDrawSurface);
                break;
            case Case::kRenderFrame:
                effect.RenderFrame();
                break;
        }
    }
}

int Usage() {
    std::fprintf(stderr,
                 "usage: plasma-count CASE WIDTH HEIGHT FRAMES\n"
                 "  CASE: Naive, Reference, RenderFrame");
    for (const RenderPath path : kAllRenderPaths) {
        std::fprintf(stderr, ", Path/%s", RenderPathName(path));
    }
    std::fprintf(stderr, "\n");
    return 2;
}

bool Positive(const char* text, int32_t* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed <= 0 || parsed > 100000)
        return false;
    *value = static_cast<int32_t>(parsed);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    int32_t width, height, frames;
    if (argc != 5 || !Positive(argv[2], &width) || !Positive(argv[3], &height) ||
        !Positive(argv[4], &frames))
        return Usage();
    const std::string name = argv[1];
    Case which = Case::kRenderFrame;
    if (name == "Naive") {
        which = Case::kNaive;
    } else if (name == "Reference") {
        which = Case::kReference;
    } else if (name != "RenderFrame") {
        bool known = false;
        for (const RenderPath path : kAllRenderPaths) {
            if (name == std::string("Path/") + RenderPathName(path)) {
                known = true;
                if (!UseRenderPath(path)) {
                    std::fprintf(stderr, "plasma-count: %s is not available on this CPU\n",
                                 name.c_str());
                    return 1;
                }
            }
        }
        if (!known)
            return Usage();
    }

    // A packed frame, as plasma-bench draws.
    std::vector<uint16_t> pixels(static_cast<size_t>(width) * height);
    gDrawSurface =
        DrawSurface{reinterpret_cast<uint8_t*>(pixels.data()), 2, 2 * width, width, height, height};
    PlasmaEffect effect;
    effect.Init(width, height);
    DrawFrames(which, effect, frames);
    std::printf("%s/%d/%d: %d frames drawn\n", name.c_str(), width, height, frames);
    return 0;
}
