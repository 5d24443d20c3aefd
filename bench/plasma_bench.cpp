#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "effect/plasma_effect.h"
#include "tests/support/plasma_oracle.h"

namespace {

struct Frame {
    Frame(int32_t width, int32_t height) : pixels(static_cast<size_t>(width) * height) {
        gDrawSurface = DrawSurface{reinterpret_cast<uint8_t*>(pixels.data()), 2, 2 * width, width,
                                   height, height};
    }
    std::vector<uint16_t> pixels;
};

void SetPixels(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(1));
}

void Reference(benchmark::State& state) {
    const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
    Frame frame(w, h);
    PlasmaEffect effect;
    effect.Init(w, h);
    int32_t counter = PlasmaEffect::frameCounter;
    for (auto _ : state) {
        OracleRenderFrame(effect, counter, gDrawSurface);
        benchmark::DoNotOptimize(frame.pixels.data());
        benchmark::ClobberMemory();
    }
    SetPixels(state);
}

void RenderFrame(benchmark::State& state) {
    const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
    Frame frame(w, h);
    PlasmaEffect effect;
    effect.Init(w, h);
    for (auto _ : state) {
        effect.RenderFrame();
        benchmark::DoNotOptimize(frame.pixels.data());
        benchmark::ClobberMemory();
    }
    SetPixels(state);
}

// The floor for anything that writes every pixel once.
void Fill(benchmark::State& state) {
    const auto w = static_cast<int32_t>(state.range(0)), h = static_cast<int32_t>(state.range(1));
    Frame frame(w, h);
    uint16_t value = 0;
    for (auto _ : state) {
        std::fill(frame.pixels.begin(), frame.pixels.end(), value++);
        benchmark::DoNotOptimize(frame.pixels.data());
        benchmark::ClobberMemory();
    }
    SetPixels(state);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"W", "H"});
    b->Args({240, 295});
    b->Args({640, 295});
}

}  // namespace

BENCHMARK(Reference)->Apply(Sizes);
BENCHMARK(RenderFrame)->Apply(Sizes);
BENCHMARK(Fill)->Apply(Sizes);
BENCHMARK_MAIN();
