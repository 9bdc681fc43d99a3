// The drop shadow: a track-bar step of the shadow dialog's smoothness
// rebuilds the shadow of every selected layer at full resolution, and the
// blur passes (SmoothAlpha) are most of that work.
//
// BM_BlurPasses: the ten passes of smoothness 10 over the shadow picture of a
// 1000 × 750 layer (1130 × 880), by variant of the pass (0 is the scalar
// reference). BM_SmoothnessStep: one step (9 <-> 10) on five such layers with
// masks, as the dialog does it; the target is 100 ms for the five.

#include <benchmark/benchmark.h>

#include <random>

#include "engine/AlphaUtils.h"
#include "engine/NewRotLayer.h"

namespace {

TBitmap32 Silhouette(int w, int h, int margin) {
    TBitmap32 b(w + margin, h + margin);
    b.Clear(0);
    b.FillRect(margin / 2, margin / 2, margin / 2 + w, margin / 2 + h, 0xFF000000);
    return b;
}

void BM_BlurPasses(benchmark::State& state) {
    const int variant = int(state.range(0));
    if (variant >= AlphaBlurVariantCount()) {
        state.SkipWithError("variant not available here");
        return;
    }
    const TAlphaBlurOps& ops = AlphaBlurVariant(variant);
    const TBitmap32 source = Silhouette(1000, 750, 130);
    TBitmap32 work;
    for (auto _ : state) {
        state.PauseTiming();
        work.Assign(source);
        state.ResumeTiming();
        for (int d = 10; d >= 1; --d) ops.Pass(work, d);
        benchmark::DoNotOptimize(work.Bits());
    }
    state.SetLabel(ops.Name);
    state.SetItemsProcessed(state.iterations() * int64_t(source.PixelCount()) * 10);
}
BENCHMARK(BM_BlurPasses)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_SmoothnessStep(benchmark::State& state) {
    TLayerCollection layers;
    std::mt19937 rng(3);
    TBitmap32 mask(500, 375);
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x) {
            const double u = (x - 250) / 250.0, v = (y - 187.5) / 187.5;
            const int grey = u * u + v * v < 1 ? 255 : 0;
            mask.SetPixel(x, y, 0xFF000000u | uint32_t(grey * 0x010101));
        }
    std::vector<TNewRotLayer*> selected;
    for (int i = 0; i < 5; ++i) {
        auto* l = layers.Add<TNewRotLayer>();
        l->Picture.SetSize(1000, 750);
        for (size_t p = 0; p < l->Picture.PixelCount(); ++p)
            l->Picture.Bits()[p] = 0xFF000000u | (rng() & 0xFFFFFF);
        l->Picture.DrawMode = TDrawMode::Blend;
        l->Picture.Resampler = TResamplerKind::Linear;
        l->SetLocation({float(i * 50), 0, float(i * 50 + 1000), 750});
        l->SetPictureCenter({500, 375});
        l->SetViewedRect({0, 0, 1000, 750});
        l->AssignMask(&mask);
        l->SetShadowSmooth(10);
        l->SetShadowEnabled(true);
        selected.push_back(l);
    }
    int smooth = 10;
    for (auto _ : state) {
        smooth = smooth == 10 ? 9 : 10;
        for (TNewRotLayer* l : selected) l->SetShadowSmooth(smooth);
        benchmark::DoNotOptimize(selected.back()->ShadowPicture->Bits());
    }
}
BENCHMARK(BM_SmoothnessStep)->Unit(benchmark::kMillisecond);

} // namespace
