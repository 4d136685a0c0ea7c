// The banner's cost on the frame's first paint: decode + tint + scale of the
// build's banner (bin/banner.bmp) to the frame's outer width, about 500
// pixels (333 dialog units at 8-point MS Sans Serif), and the parts alone.
// Besides time it reports the peak of the heap blocks live during one run
// (counted by wrapping malloc).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <vector>

#include "banner/area_scale.h"
#include "banner/dib_decode.h"
#include "tests/host/banner/built_banner.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void __libc_free(void*);

namespace {

size_t g_live, g_peak;
bool g_counting;

const BgrColor kFace = {216, 233, 236};

void BeginCounting()
{
    g_live = g_peak = 0;
    g_counting = true;
}

void EndCounting(benchmark::State& state)
{
    g_counting = false;
    state.counters["peak_heap_bytes"] = static_cast<double>(g_peak);
}

void DecodeTintScale(benchmark::State& state)
{
    const std::vector<uint8_t> dib = BuiltBannerResource();
    if (dib.empty()) {
        state.SkipWithError("bin/banner.bmp missing");
        return;
    }
    const uint16_t width = static_cast<uint16_t>(state.range(0));
    for (auto _ : state) {
        BeginCounting();
        ScaleJob job = {};
        DecodeDib(&job, dib.data(), dib.size(), kFace);
        const PixelBuffer* shown = ScaleToWidth(&job, width);
        benchmark::DoNotOptimize(shown);
        FreeScaleJob(&job);
        g_counting = false;
    }
    BeginCounting();
    ScaleJob job = {};
    DecodeDib(&job, dib.data(), dib.size(), kFace);
    const PixelBuffer* shown = ScaleToWidth(&job, width);
    state.counters["result_height"] = shown ? shown->height : 0;
    FreeScaleJob(&job);
    EndCounting(state);
    state.SetItemsProcessed(state.iterations() * 1450 * 200);
}
BENCHMARK(DecodeTintScale)->Arg(500)->Arg(507)->Arg(1000)->Arg(1450)->Unit(benchmark::kMillisecond);

// As on the installer's first paint: the heap has no free blocks of these
// sizes yet, so every block comes fresh from the system and each of its
// pages faults in on first touch (malloc_trim gives them back before each
// run).
void DecodeTintScaleColdHeap(benchmark::State& state)
{
    const std::vector<uint8_t> dib = BuiltBannerResource();
    const uint16_t width = static_cast<uint16_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        malloc_trim(0);
        state.ResumeTiming();
        ScaleJob job = {};
        DecodeDib(&job, dib.data(), dib.size(), kFace);
        benchmark::DoNotOptimize(ScaleToWidth(&job, width));
        FreeScaleJob(&job);
    }
}
BENCHMARK(DecodeTintScaleColdHeap)->Arg(500)->Unit(benchmark::kMillisecond);

void DecodeTintOnly(benchmark::State& state)
{
    const std::vector<uint8_t> dib = BuiltBannerResource();
    for (auto _ : state) {
        ScaleJob job = {};
        benchmark::DoNotOptimize(DecodeDib(&job, dib.data(), dib.size(), kFace));
        FreeScaleJob(&job);
    }
    BeginCounting();
    ScaleJob job = {};
    DecodeDib(&job, dib.data(), dib.size(), kFace);
    FreeScaleJob(&job);
    EndCounting(state);
}
BENCHMARK(DecodeTintOnly)->Unit(benchmark::kMillisecond);

void ScaleOnly(benchmark::State& state)
{
    const std::vector<uint8_t> dib = BuiltBannerResource();
    ScaleJob job = {};
    DecodeDib(&job, dib.data(), dib.size(), kFace);
    const uint16_t width = static_cast<uint16_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScaleToWidth(&job, width));
        free(job.result.pixels);
        job.result.pixels = nullptr;
    }
    FreeScaleJob(&job);
}
BENCHMARK(ScaleOnly)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

// Heap accounting for the runs above: every block's usable size is added
// while it lives.
extern "C" void* malloc(size_t bytes)
{
    void* block = __libc_malloc(bytes);
    if (block && g_counting) {
        g_live += malloc_usable_size(block);
        if (g_live > g_peak)
            g_peak = g_live;
    }
    return block;
}

extern "C" void free(void* block)
{
    if (block && g_counting)
        g_live -= malloc_usable_size(block);
    __libc_free(block);
}

BENCHMARK_MAIN();
