// The thirteen filters on a 6000 x 4000 photo-like picture, one thread:
//  - BM_Filter/<name>/fast and /scalar: the routines in use and their scalar
//    references, in the same binary;
//  - BM_FilterCopy: a plain copy of the same picture (the memory bound);
//  - BM_BlurPass: one pass of the blur at distance 2;
//  - BM_Vips/<op>: libvips's invert, linear and hist_equal in memory (one
//    thread), when the benchmark was built with libvips;
//  - BM_FilterThumbnails: what a selection change computes for the filter
//    list (the 80 x 60 source from the photo, thirteen filtered copies);
//  - BM_FilterPreview/<mode>: one preview update at 273 x 178 with the
//    bars at their most expensive positions (blur at 30).
// Throughput: items_per_second = pixels per second of CPU time (on a busy
// machine the wall time includes waiting for a core). Each iteration starts
// from a fresh copy of the picture (not timed).
// glib's headers name members "signals": libvips comes before Qt's macros
#ifdef VELMORA_HAVE_VIPS
#include <vips/vips.h>
#endif

#include <benchmark/benchmark.h>

#include <cstring>

#include "PhotoLike.h"
#include "filters/FilterCommands.h"
#include "filters/FilterKernels.h"

namespace {

constexpr int kW = 6000, kH = 4000;

const TBitmap32& Photo() {
    static const TBitmap32 p = PhotoLikePicture(kW, kH);
    return p;
}

FilterParams Params(float a, float b = 0, float c = 0) { return FilterParams{{-1.0f, a, b, c}}; }

struct TCase {
    const char* Name;
    int Index;
    FilterParams Params;
};

// The fixed parameters.
const TCase kCases[] = {
    {"Gray", fiGray, {}},
    {"Inverse", fiInverse, {}},
    {"BrightnessContrast", fiBrightnessContrast, Params(50, 1.5f)},
    {"Saturation", fiSaturation, Params(80)},
    {"ColorMatrix", fiColorMatrix, Params(255, 128, 64)},
    {"Mosaic", fiMosaic, Params(8)},
    {"Equalization", fiEqualization, {}},
    {"Carve", fiCarve, {}},
    {"Relievo", fiRelievo, {}},
    {"Line", fiLine, {}},
    {"Canvas", fiCanvas, Params(2)},
    {"Blur", fiBlur, Params(2)},
    {"Sketch", fiSketch, {}},
};

void Fresh(TBitmap32& work) {
    if (work.Width() != kW || work.Height() != kH) work.SetSize(kW, kH);
    std::memcpy(work.Bits(), Photo().Bits(), Photo().PixelCount() * 4);
}

void RunCase(benchmark::State& state, const TFilterKernels& k, const TCase& c) {
    TBitmap32 work;
    for (auto _ : state) {
        state.PauseTiming();
        Fresh(work);
        state.ResumeTiming();
        RunFilter(k, c.Index, work, c.Params, 12345);
        benchmark::DoNotOptimize(work.Bits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kW) * kH);
    state.SetLabel(k.Name);
}

void BM_FilterCopy(benchmark::State& state) {
    TBitmap32 work(kW, kH);
    for (auto _ : state) {
        std::memcpy(work.Bits(), Photo().Bits(), Photo().PixelCount() * 4);
        benchmark::DoNotOptimize(work.Bits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kW) * kH);
}
BENCHMARK(BM_FilterCopy)->Unit(benchmark::kMillisecond);

void BM_BlurPass(benchmark::State& state, const TFilterKernels* k) {
    TBitmap32 work;
    for (auto _ : state) {
        state.PauseTiming();
        Fresh(work);
        state.ResumeTiming();
        k->BlurPass(work, 2);
        benchmark::DoNotOptimize(work.Bits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kW) * kH);
    state.SetLabel(k->Name);
}

const int kRegistered = [] {
    for (const TCase& c : kCases) {
        benchmark::RegisterBenchmark((std::string("BM_Filter/") + c.Name + "/fast").c_str(),
                                     [c](benchmark::State& s) { RunCase(s, FilterKernels(), c); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("BM_Filter/") + c.Name + "/scalar").c_str(),
                                     [c](benchmark::State& s) { RunCase(s, ScalarFilterKernels(), c); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_BlurPass/fast", BM_BlurPass, &FilterKernels())->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_BlurPass/scalar", BM_BlurPass, &ScalarFilterKernels())
        ->Unit(benchmark::kMillisecond);
    return 0;
}();

#ifdef VELMORA_HAVE_VIPS
// libvips on the same pixels as a 4-band 8-bit image in memory, evaluated
// into a memory image on one thread.
void BM_Vips(benchmark::State& state, int op) {
    static const bool started = [] {
        VIPS_INIT("velmora_bench");
        vips_concurrency_set(1);
        vips_cache_set_max(0);
        return true;
    }();
    (void)started;
    for (auto _ : state) {
        VipsImage* in = vips_image_new_from_memory(Photo().Bits(), Photo().PixelCount() * 4, kW, kH, 4,
                                                   VIPS_FORMAT_UCHAR);
        VipsImage* out = nullptr;
        int failed = 0;
        switch (op) {
        case 0: failed = vips_invert(in, &out, nullptr); break;
        case 1: failed = vips_linear1(in, &out, 1.5, -13.5, "uchar", TRUE, nullptr); break;
        default: failed = vips_hist_equal(in, &out, nullptr); break;
        }
        VipsImage* mem = vips_image_new_memory();
        if (failed || vips_image_write(out, mem)) state.SkipWithError(vips_error_buffer());
        benchmark::DoNotOptimize(VIPS_IMAGE_ADDR(mem, 0, 0));
        g_object_unref(mem);
        if (out) g_object_unref(out);
        g_object_unref(in);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kW) * kH);
}
// libvips computes on a worker thread of its own even with one thread: its
// CPU time is the process's.
BENCHMARK_CAPTURE(BM_Vips, invert, 0)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Vips, linear, 1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Vips, hist_equal, 2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
#endif

// ---- What the filter browser computes ----

void BM_FilterThumbnails(benchmark::State& state) {
    for (auto _ : state) {
        const TBitmap32 source = ThumbnailSource(Photo());
        for (const TFilterInfo& f : FilterTable()) benchmark::DoNotOptimize(FilterThumbnail(source, f.Proc).Bits());
    }
}
BENCHMARK(BM_FilterThumbnails)->Unit(benchmark::kMillisecond);

void BM_FilterPreview(benchmark::State& state, int mode, TParamValues values) {
    static TFilterPreview preview = [] {
        TFilterPreview p;
        p.Load(Photo(), 273, 178);
        return p;
    }();
    preview.Mode = mode;
    for (auto _ : state) {
        if (mode == fmSketch)
            preview.CheckBoxClick(values);
        else
            preview.TrackBarChange(values);
        benchmark::DoNotOptimize(preview.Picture.Bits());
    }
    state.SetLabel(std::to_string(preview.Picture.Width()) + "x" + std::to_string(preview.Picture.Height()));
}
BENCHMARK_CAPTURE(BM_FilterPreview, BrightnessContrast, int(fmBrightnessContrast), TParamValues{{255, 100, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FilterPreview, Canvas50, int(fmCanvas), TParamValues{{50, 0, 0}})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FilterPreview, Mosaic100, int(fmMosaic), TParamValues{{100, 0, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FilterPreview, Sketch, int(fmSketch), TParamValues{{0, 0, 0}, false})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FilterPreview, Blur30, int(fmBlur), TParamValues{{30, 0, 0}})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FilterPreview, Saturation1555, int(fmSaturation), TParamValues{{1555, 0, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FilterPreview, ColorMatrix, int(fmColorMatrix), TParamValues{{0, 128, 255}})
    ->Unit(benchmark::kMicrosecond);

} // namespace
