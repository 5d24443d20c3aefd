#include <cstddef>

#include "display/draw_surface.h"
#include "effect/plasma_effect.h"
#include "effect/render_paths.h"

namespace {
using DrawFrameFunction = void (*)(const PlasmaFrame&);

template <void (*DrawLines)(const PlasmaLines&)>
void DrawFrameByLines(const PlasmaFrame& frame) {
    PlasmaLines lines;
    if (FrameAsLines(frame, &lines)) {
        DrawLines(lines);
    } else {
        DrawFrameGeneral(frame);
    }
}

DrawFrameFunction DrawFrameFor(RenderPath path) {
    switch (path) {
        case RenderPath::kGeneral:
            return &DrawFrameGeneral;
        case RenderPath::kPortable:
            return &DrawFrameByLines<&DrawLinesPortable>;
        case RenderPath::kAvx512Vbmi:
#if PLASMA_HAVE_AVX512_PATH
            return &DrawFrameByLines<&DrawLinesAvx512Vbmi>;
#else
            break;
#endif
    }
    return nullptr;
}

void DrawFrameFirstUse(const PlasmaFrame& frame);

// Chosen once, while the program is initialised: that runs on one thread
// before any other exists, so every later frame goes straight to the chosen
// path with no atomic access (and no runtime support for one). Anything drawn
// even earlier chooses on its first use, on that same thread.
DrawFrameFunction gDrawFrame = &DrawFrameFirstUse;
RenderPath gRenderPath = RenderPath::kGeneral;

void ChooseOnce() {
    if (gDrawFrame == &DrawFrameFirstUse) {
        gRenderPath = FastestRenderPath();
        gDrawFrame = DrawFrameFor(gRenderPath);
    }
}

void DrawFrameFirstUse(const PlasmaFrame& frame) {
    ChooseOnce();
    gDrawFrame(frame);
}

struct ChooseAtStart {
    ChooseAtStart() { ChooseOnce(); }
} gChooseAtStart;
}  // namespace

const char* RenderPathName(RenderPath path) {
    switch (path) {
        case RenderPath::kGeneral:
            return "General";
        case RenderPath::kPortable:
            return "Portable";
        case RenderPath::kAvx512Vbmi:
            return "Avx512Vbmi";
    }
    return "?";
}

bool RenderPathAvailable(RenderPath path) {
#if PLASMA_HAVE_AVX512_PATH
    if (path == RenderPath::kAvx512Vbmi)
        return CpuHasAvx512Vbmi();
#endif
    return DrawFrameFor(path) != nullptr;
}

RenderPath FastestRenderPath() {
    return RenderPathAvailable(RenderPath::kAvx512Vbmi) ? RenderPath::kAvx512Vbmi
                                                        : RenderPath::kPortable;
}

RenderPath CurrentRenderPath() {
    ChooseOnce();
    return gRenderPath;
}

bool UseRenderPath(RenderPath path) {
    if (!RenderPathAvailable(path))
        return false;
    gRenderPath = path;
    gDrawFrame = DrawFrameFor(path);
    return true;
}

void DrawFrame(const PlasmaFrame& frame) {
    gDrawFrame(frame);
}

// Phases 0 and 1 are constant along a row and phases 2 and 3 restart from the
// same bases on every row, so a pixel is one value per column plus one per
// row, each repeating every 256. The paths draw exactly what summing four
// table values per pixel would; display memory is only ever written.
void PlasmaEffect::RenderFrame() {
    const DrawSurface& surface = gDrawSurface;
    if (height > 0 && width > 0) {
        PlasmaFrame frame;
        frame.origin = surface.origin;
        frame.xStep = surface.xPitch / 2;
        frame.yStep = surface.yPitch / 2;
        frame.width = width;
        frame.height = height;
        frame.alongX = {base2, static_cast<uint8_t>(pixelStep2), base3,
                        static_cast<uint8_t>(pixelStep3)};
        frame.alongY = {base0, static_cast<uint8_t>(rowStep0), base1,
                        static_cast<uint8_t>(rowStep1)};
        frame.wave = wave;
        frame.palette = palette;
        DrawFrame(frame);
    }
    // Leave the working phases where a pixel-by-pixel walk would.
    phase0 = base0;
    phase1 = base1;
    if (height > 0) {
        const uint32_t rows = static_cast<uint32_t>(height);
        const uint32_t columns = width > 0 ? static_cast<uint32_t>(width) : 0;
        phase0 = static_cast<uint8_t>(base0 + rows * static_cast<uint32_t>(rowStep0));
        phase1 = static_cast<uint8_t>(base1 + rows * static_cast<uint32_t>(rowStep1));
        phase2 = static_cast<uint8_t>(base2 + columns * static_cast<uint32_t>(pixelStep2));
        phase3 = static_cast<uint8_t>(base3 + columns * static_cast<uint32_t>(pixelStep3));
    }
    AdvanceFrame();
}
