#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

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

std::string Name(const std::string& kind, Size size) {
    return kind + "/" + std::to_string(size.width) + "/" + std::to_string(size.height);
}

}  // namespace

int main(int argc, char** argv) {
    // Cases side by side, size by size, so that neighbours in the output
    // were measured close together in time.
    for (const Size size : kSizes) {
        benchmark::RegisterBenchmark(Name("Reference", size).c_str(), Reference, size);
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
