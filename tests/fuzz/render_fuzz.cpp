// Fuzzes the shipped RenderFrame on every render path against the oracle:
// random layouts (sizes, pitches of either sign and odd, rotated, overlapping
// or collapsed rows, odd origins), random steps (beyond a byte and negative),
// bases, phases, frame counters, palettes and frame counts. Each frame is drawn
// into a region between inaccessible pages and compared, byte for byte and
// with the animation state, with what the oracle draws in the same layout.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "display/draw_surface.h"
#include "effect/plasma_effect.h"
#include "effect/render_paths.h"
#include "tests/fuzz/guarded_region.h"
#include "tests/support/plasma_oracle.h"

namespace {
// Large enough for lines longer than the scratch line and more than 256
// lines; small enough to keep thousands of runs a second.
constexpr int64_t kMaxPixels = int64_t{1} << 18;
constexpr int64_t kMaxBytes = int64_t{2} << 20;
constexpr int kMaxFrames = 4;

struct Layout {
    int32_t width, height, xPitch, yPitch;
    bool flushLow;                    // the area touches the lower guard page, else the upper
    int32_t slackBefore, slackAfter;  // 0 or 1 byte: odd origins
};

struct Animation {
    uint8_t phases[4], bases[4];
    int32_t pixelStep2, pixelStep3, rowStep0, rowStep1;
    int32_t frameSteps[4];
    int32_t frameCounter;
    int frames;
    bool randomPalette;
    uint32_t paletteSeed;
};

// Mostly small, so that the search stays quick; now and then past the
// 256-pixel period, the scratch line and the widest exported frame.
int32_t PickSize(FuzzedDataProvider& in) {
    const int bucket = in.ConsumeIntegralInRange<int>(0, 15);
    if (bucket == 0)
        return in.ConsumeIntegralInRange<int32_t>(-2, 0);
    if (bucket < 10)
        return in.ConsumeIntegralInRange<int32_t>(1, 40);
    if (bucket < 14)
        return in.ConsumeIntegralInRange<int32_t>(1, 300);
    if (bucket == 14)
        return in.ConsumeIntegralInRange<int32_t>(1, 1100);
    return in.ConsumeIntegralInRange<int32_t>(1, 4200);
}

// Bytes between neighbours: one pixel (or an odd 3), a whole line of `other`
// pixels plus padding, less than a line (overlapping), or anything; either
// sign.
int32_t PickPitch(FuzzedDataProvider& in, int32_t other) {
    const int32_t line = 2 * (other > 0 ? other : 1);
    int32_t magnitude;
    switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            magnitude = in.ConsumeIntegralInRange<int32_t>(2, 3);
            break;
        case 1:
            magnitude = line + in.ConsumeIntegralInRange<int32_t>(0, 9);
            break;
        case 2:
            magnitude = in.ConsumeIntegralInRange<int32_t>(0, line);
            break;
        default:
            magnitude = in.ConsumeIntegralInRange<int32_t>(0, 1 << 16);
            break;
    }
    return in.ConsumeBool() ? -magnitude : magnitude;
}

int32_t PickStep(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
            return in.ConsumeIntegralInRange<int32_t>(-4, 4);
        case 1:
            return in.ConsumeIntegralInRange<int32_t>(0, 255);
        case 2:
            return in.ConsumeIntegralInRange<int32_t>(-600, 600);
        case 3:
            return INT32_MAX - in.ConsumeIntegralInRange<int32_t>(0, 300);
        case 4:
            return INT32_MIN + in.ConsumeIntegralInRange<int32_t>(0, 300);
        default:
            return in.ConsumeIntegral<int32_t>();
    }
}

// Bytes from the lowest pixel address to the highest, and where the origin
// lies in them.
int64_t Extent(const Layout& layout, int64_t* originOffset) {
    int64_t lo = 0, hi = 0;
    if (layout.width > 0 && layout.height > 0) {
        const int64_t xStep = layout.xPitch / 2, yStep = layout.yPitch / 2;
        for (int64_t x : {int64_t{0}, int64_t{layout.width} - 1}) {
            for (int64_t y : {int64_t{0}, int64_t{layout.height} - 1}) {
                const int64_t offset = 2 * (x * xStep + y * yStep);
                lo = offset < lo ? offset : lo;
                hi = offset > hi ? offset : hi;
            }
        }
    }
    *originOffset = layout.slackBefore - lo;
    return layout.slackBefore + (hi - lo + 2) + layout.slackAfter;
}

void FillPalette(uint32_t seed, uint32_t* palette) {
    uint32_t state = seed | 1;
    for (int i = 0; i < 256; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        palette[i] = state;  // the high half is not a pixel: never drawn
    }
}

void Prepare(const Layout& layout, const Animation& animation, PlasmaEffect* effect) {
    effect->BuildWaveTable();
    effect->BuildPalette();
    if (animation.randomPalette)
        FillPalette(animation.paletteSeed, effect->palette);
    effect->width = layout.width;
    effect->height = layout.height;
    effect->phase0 = animation.phases[0];
    effect->phase1 = animation.phases[1];
    effect->phase2 = animation.phases[2];
    effect->phase3 = animation.phases[3];
    effect->base0 = animation.bases[0];
    effect->base1 = animation.bases[1];
    effect->base2 = animation.bases[2];
    effect->base3 = animation.bases[3];
    effect->pixelStep2 = animation.pixelStep2;
    effect->pixelStep3 = animation.pixelStep3;
    effect->rowStep0 = animation.rowStep0;
    effect->rowStep1 = animation.rowStep1;
    effect->frameStep0 = animation.frameSteps[0];
    effect->frameStep1 = animation.frameSteps[1];
    effect->frameStep2 = animation.frameSteps[2];
    effect->frameStep3 = animation.frameSteps[3];
}

[[noreturn]] void Mismatch(RenderPath path, const Layout& layout, int frame, const char* what) {
    std::fprintf(stderr,
                 "render path %s, %dx%d, pitches %d and %d, frame %d: %s differs from the "
                 "oracle\n",
                 RenderPathName(path), layout.width, layout.height, layout.xPitch, layout.yPitch,
                 frame, what);
    std::abort();
}

void CheckState(RenderPath path, const Layout& layout, int frame, const PlasmaEffect& drawn,
                const PlasmaEffect& expected, int32_t counter) {
    const int32_t pairs[][2] = {
        {drawn.base0, expected.base0},           {drawn.base1, expected.base1},
        {drawn.base2, expected.base2},           {drawn.base3, expected.base3},
        {drawn.phase0, expected.phase0},         {drawn.phase1, expected.phase1},
        {drawn.phase2, expected.phase2},         {drawn.phase3, expected.phase3},
        {drawn.pixelStep2, expected.pixelStep2}, {drawn.rowStep0, expected.rowStep0},
        {PlasmaEffect::frameCounter, counter},
    };
    for (const auto& pair : pairs) {
        if (pair[0] != pair[1])
            Mismatch(path, layout, frame, "the animation state");
    }
}

DrawSurface SurfaceIn(GuardedRegion& region, int64_t originOffset, const Layout& layout) {
    return DrawSurface{region.Bytes() + originOffset,
                       layout.xPitch,
                       layout.yPitch,
                       layout.width,
                       layout.height,
                       layout.height};
}

// The oracle draws each frame once; every path draws the same frame into a
// region of its own, from the same state and frame counter, and is compared.
void RunPaths(const Layout& layout, const Animation& animation) {
    int64_t originOffset = 0;
    const size_t size = static_cast<size_t>(Extent(layout, &originOffset));
    GuardedRegion expectedBytes(size, layout.flushLow);
    PlasmaEffect expected;
    Prepare(layout, animation, &expected);
    const DrawSurface expectedSurface = SurfaceIn(expectedBytes, originOffset, layout);

    constexpr int kPaths = sizeof kAllRenderPaths / sizeof kAllRenderPaths[0];
    RenderPath paths[kPaths];
    int pathCount = 0;
    for (RenderPath path : kAllRenderPaths) {
        if (RenderPathAvailable(path))
            paths[pathCount++] = path;
    }
    std::unique_ptr<GuardedRegion> drawnBytes[kPaths];
    PlasmaEffect drawn[kPaths];
    for (int p = 0; p < pathCount; ++p) {
        drawnBytes[p] = std::make_unique<GuardedRegion>(size, layout.flushLow);
        Prepare(layout, animation, &drawn[p]);
    }

    int32_t counter = animation.frameCounter;
    for (int frame = 1; frame <= animation.frames; ++frame) {
        const int32_t counterBefore = counter;
        OracleRenderFrame(expected, counter, expectedSurface);
        for (int p = 0; p < pathCount; ++p) {
            UseRenderPath(paths[p]);
            gDrawSurface = SurfaceIn(*drawnBytes[p], originOffset, layout);
            PlasmaEffect::frameCounter = counterBefore;
            drawn[p].RenderFrame();
            if (std::memcmp(drawnBytes[p]->Pages(), expectedBytes.Pages(),
                            expectedBytes.PagesSize()) != 0)
                Mismatch(paths[p], layout, frame, "the drawing");
            CheckState(paths[p], layout, frame, drawn[p], expected, counter);
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    Layout layout{};
    layout.width = PickSize(in);
    layout.height = PickSize(in);
    if (int64_t{layout.width} * layout.height > kMaxPixels)
        layout.height = static_cast<int32_t>(kMaxPixels / layout.width);
    layout.xPitch = PickPitch(in, layout.height);
    layout.yPitch = PickPitch(in, layout.width);
    layout.flushLow = in.ConsumeBool();
    layout.slackBefore = in.ConsumeBool() ? 1 : 0;
    layout.slackAfter = in.ConsumeBool() ? 1 : 0;
    int64_t originOffset = 0;
    const int64_t extent = Extent(layout, &originOffset);
    if (extent > kMaxBytes)
        return 0;

    Animation animation{};
    for (int i = 0; i < 4; ++i) {
        animation.phases[i] = in.ConsumeIntegral<uint8_t>();
        animation.bases[i] = in.ConsumeIntegral<uint8_t>();
        animation.frameSteps[i] = PickStep(in);
    }
    animation.pixelStep2 = PickStep(in);
    animation.pixelStep3 = PickStep(in);
    animation.rowStep0 = PickStep(in);
    animation.rowStep1 = PickStep(in);
    animation.frameCounter = in.ConsumeIntegralInRange<int32_t>(0, 1023);
    animation.frames = in.ConsumeIntegralInRange<int>(1, kMaxFrames);
    animation.randomPalette = in.ConsumeBool();
    animation.paletteSeed = in.ConsumeIntegral<uint32_t>();

    RunPaths(layout, animation);
    return 0;
}
