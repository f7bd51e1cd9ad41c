#include "RGBProtocol/animation/AnimationRenderer.hpp"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

namespace {

std::atomic<long> allocations {0};

} // namespace

// Counts every allocation of this program, so that the "allocations" counter of each case shows
// whether rendering allocates (it must stay 0).
// The replacements pair malloc with free; once GCC inlines them it no longer sees the replacement.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

using kavrin::AnimationSettings;
using kavrin::AnimationStyle;

AnimationSettings studioSettings(AnimationStyle style)
{
    return AnimationSettings {style, {0xFF, 0x64, 0x00}, {0xA8, 0x55, 0xF7}, {0x22, 0xD3, 0xEE}, 80, 5};
}

// Advances by one 60 Hz display frame per call, so every phase of the style is visited.
constexpr double frameTime = 1.0 / 60;

void renderOneColor(benchmark::State& state, AnimationStyle style)
{
    const AnimationSettings settings = studioSettings(style);
    double elapsed = 0;
    const long before = allocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(kavrin::AnimationRenderer::color(settings, elapsed, 0.5));
        elapsed += frameTime;
    }
    state.counters["allocations"] = static_cast<double>(allocations.load() - before);
}

// One frame of the on-screen preview: the glow at the lamp's middle and its 20 segments.
void renderPreviewFrame(benchmark::State& state, AnimationStyle style)
{
    const AnimationSettings settings = studioSettings(style);
    double elapsed = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kavrin::AnimationRenderer::color(settings, elapsed, 0.5));
        for (int segment = 0; segment < 20; ++segment) {
            benchmark::DoNotOptimize(kavrin::AnimationRenderer::color(settings, elapsed, segment / 19.0));
        }
        elapsed += frameTime;
    }
}

} // namespace

int main(int argc, char** argv)
{
    for (const AnimationStyle style : kavrin::allAnimationStyles) {
        const std::string name(rawValue(style));
        benchmark::RegisterBenchmark(("BM_Render/" + name).c_str(), renderOneColor, style);
        benchmark::RegisterBenchmark(("BM_RenderPreviewFrame/" + name).c_str(), renderPreviewFrame, style);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
