#pragma once

// Internal to the effect: the ways of drawing one frame, and which one
// PlasmaEffect::RenderFrame uses. Tests and benchmarks may pick one.

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PLASMA_HAVE_AVX512_PATH 1
#else
#define PLASMA_HAVE_AVX512_PATH 0
#endif

// Values along one axis: wave[phaseA + i * stepA] + wave[phaseB + i * stepB]
// for i = 0, 1, ... (phases wrap at 256, so the values repeat every 256).
struct WaveWalk {
    uint8_t phaseA, stepA;
    uint8_t phaseB, stepB;
};

// One frame as the pixel-by-pixel walk sees it: pixel (x, y) lives at
// origin + 2 * (x * xStep + y * yStep) and is palette[(alongX(x) + alongY(y)) & 0xFF].
struct PlasmaFrame {
    uint8_t* origin;
    ptrdiff_t xStep, yStep;   // in pixels
    int32_t width, height;    // both > 0
    WaveWalk alongX;          // phases 2 and 3
    WaveWalk alongY;          // phases 0 and 1
    const int32_t* wave;      // 256 entries
    const uint32_t* palette;  // 256 entries, Pixel565 in the low half
};

// The same frame as lines of contiguous pixels that never overlap one another:
// pixel i (in address order) of line k is
// palette[(along(i) + across(k)) & 0xFF] at first + k * lineStride + 2 * i.
struct PlasmaLines {
    uint8_t* first;
    ptrdiff_t lineStride;  // in bytes
    int32_t length, count;
    WaveWalk along, across;
    const int32_t* wave;
    const uint32_t* palette;
};

// False when neither rows nor columns are contiguous and apart; then only the
// pixel-by-pixel order is known to give the same result.
bool FrameAsLines(const PlasmaFrame& frame, PlasmaLines* lines);

// 256 values of a walk, reduced to a byte.
void WalkValues(const int32_t* wave, WaveWalk walk, uint8_t* values);

void DrawFrameGeneral(const PlasmaFrame& frame);
void DrawLinesPortable(const PlasmaLines& lines);
#if PLASMA_HAVE_AVX512_PATH
void DrawLinesAvx512Vbmi(const PlasmaLines& lines);
bool CpuHasAvx512Vbmi();
#endif

enum class RenderPath {
    kGeneral,     // pixel by pixel, any layout
    kPortable,    // each distinct line built once on the stack, then copied
    kAvx512Vbmi,  // as portable, lines built with 128-entry byte lookups
};
constexpr RenderPath kAllRenderPaths[] = {RenderPath::kGeneral, RenderPath::kPortable,
                                          RenderPath::kAvx512Vbmi};

const char* RenderPathName(RenderPath path);
// Built in and supported by this CPU.
bool RenderPathAvailable(RenderPath path);
// The path RenderFrame picks on first use.
RenderPath FastestRenderPath();
// The path RenderFrame uses now (picking it if nothing has yet).
RenderPath CurrentRenderPath();
// Makes RenderFrame draw with `path` from now on; false, and nothing changes,
// when the path is not available. Only while no other thread draws.
bool UseRenderPath(RenderPath path);
// Draws with the current path (no animation state is touched).
void DrawFrame(const PlasmaFrame& frame);
