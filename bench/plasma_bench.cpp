#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/naive_render.h"
#include "effect/plasma_effect.h"
#include "effect/render_paths.h"
#include "tests/support/plasma_oracle.h"

namespace {

struct Size {
    int32_t width, height;
};
constexpr Size kSizes[] = {{240, 295}, {640, 295}, {1920, 1080}};

// A packed frame that the process-wide surface points at.
struct Frame {
    Frame(int32_t width, int32_t height) : pixels(static_cast<size_t>(width) * height) {
        gDrawSurface = DrawSurface{
            reinterpret_cast<uint8_t*>(pixels.data()), 2, 2 * width, width, height, height};
    }
    size_t Bytes() const { return pixels.size() * sizeof(uint16_t); }
    std::vector<uint16_t> pixels;
};

void Finish(benchmark::State& state, Size size) {
    state.SetItemsProcessed(state.iterations() * int64_t{size.width} * size.height);
}

void Reference(benchmark::State& state, Size size) {
    Frame frame(size.width, size.height);
    PlasmaEffect effect;
    effect.Init(size.width, size.height);
    int32_t counter = PlasmaEffect::frameCounter;
    for (auto _ : state) {
        OracleRenderFrame(effect, counter, gDrawSurface);
        benchmark::DoNotOptimize(frame.pixels.data());
        benchmark::ClobberMemory();
    }
    Finish(state, size);
}

// The per-pixel loop written plainly: what a speed-up is honestly measured against.
void Naive(benchmark::State& state, Size size) {
    Frame frame(size.width, size.height);
    PlasmaEffect effect;
    effect.Init(size.width, size.height);
    int32_t counter = PlasmaEffect::frameCounter;
    for (auto _ : state) {
        NaiveRenderFrame(effect, counter, gDrawSurface);
        benchmark::DoNotOptimize(frame.pixels.data());
        benchmark::ClobberMemory();
    }
    Finish(state, size);
}

void Render(benchmark::State& state, Size size) {
    Frame frame(size.width, size.height);
    PlasmaEffect effect;
    effect.Init(size.width, size.height);
    for (auto _ : state) {
        effect.RenderFrame();
        benchmark::DoNotOptimize(frame.pixels.data());
        benchmark::ClobberMemory();
    }
    Finish(state, size);
}

// The shipped renderer, whichever path it picked on first use.
void RenderFrame(benchmark::State& state, Size size) {
    UseRenderPath(FastestRenderPath());
    Render(state, size);
}

void Path(benchmark::State& state, RenderPath path, Size size) {
    UseRenderPath(path);
    Render(state, size);
    UseRenderPath(FastestRenderPath());
}

// The floor for anything that writes every pixel once: a 16-bit fill whose
// two bytes are equal, so that memset stores it at full speed.
void Fill(benchmark::State& state, Size size) {
    Frame frame(size.width, size.height);
    int value = 0;
    for (auto _ : state) {
        std::memset(frame.pixels.data(), value++ & 0xFF, frame.Bytes());
        benchmark::DoNotOptimize(frame.pixels.data());
        benchmark::ClobberMemory();
    }
    Finish(state, size);
}

// A whole frame copied from a cached buffer of the same size.
void Copy(benchmark::State& state, Size size) {
    Frame frame(size.width, size.height);
    std::vector<uint16_t> source(frame.pixels.size(), 0x1234);
    for (auto _ : state) {
        std::memcpy(frame.pixels.data(), source.data(), frame.Bytes());
        benchmark::DoNotOptimize(frame.pixels.data());
        benchmark::ClobberMemory();
    }
    Finish(state, size);
}

// A yardstick that drew something else would make every ratio a lie: the
// naive loop must draw what the renderer draws, frame after frame.
bool NaiveDrawsTheSame(Size size) {
    Frame naiveFrame(size.width, size.height);
    const DrawSurface naiveSurface = gDrawSurface;
    Frame renderedFrame(size.width, size.height);  // RenderFrame draws here
    PlasmaEffect effect;
    effect.Init(size.width, size.height);
    PlasmaEffect naive = effect;
    int32_t counter = PlasmaEffect::frameCounter;
    for (int i = 0; i < 8; ++i) {
        NaiveRenderFrame(naive, counter, naiveSurface);
        effect.RenderFrame();
        if (naiveFrame.pixels != renderedFrame.pixels)
            return false;
    }
    return true;
}

std::string Name(const std::string& kind, Size size) {
    return kind + "/" + std::to_string(size.width) + "/" + std::to_string(size.height);
}

}  // namespace

int main(int argc, char** argv) {
    // Cases side by side, size by size, so that neighbours in the output
    // were measured close together in time.
    for (const Size size : kSizes) {
        if (!NaiveDrawsTheSame(size)) {
            std::fprintf(stderr,
                         "plasma-bench: the naive loop draws other pixels than RenderFrame "
                         "at %dx%d\n",
                         size.width, size.height);
            return 1;
        }
        benchmark::RegisterBenchmark(Name("Reference", size).c_str(), Reference, size);
        benchmark::RegisterBenchmark(Name("Naive", size).c_str(), Naive, size);
        benchmark::RegisterBenchmark(Name("RenderFrame", size).c_str(), RenderFrame, size);
        for (const RenderPath path : kAllRenderPaths) {
            if (!RenderPathAvailable(path))
                continue;
            benchmark::RegisterBenchmark(
                Name(std::string("Path/") + RenderPathName(path), size).c_str(), Path, path, size);
        }
        benchmark::RegisterBenchmark(Name("Fill", size).c_str(), Fill, size);
        benchmark::RegisterBenchmark(Name("Copy", size).c_str(), Copy, size);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
