// Canvas repaint and full-resolution output of content layers.
//
//   BM_Repaint          a 1600 × 1000 view with 20 layers whose screen pictures
//                       are about 600 × 400, some rotated, some with shadows and
//                       masks: background stage + canvas bitmap + all layers
//   BM_RenderPage       a 4000 × 3000 page with 10 rotated, masked, shadowed
//                       layers from 3000 × 2000 photos, at full resolution,
//                       on one and on two threads
//   BM_RenderPage_Qt    the same page drawn with QPainter
//   BM_RenderPage_CallingThread  the CPU time of the calling thread in the
//                       two-thread render (its share of the work)
//   BM_MemcpyPage       memcpy of the page's pixels (the lower bound of any
//                       pass over the page)
//   BM_MemcpySources    memcpy of the ten photos' pixels (the lower bound of
//                       reading every source pixel once)
//   BM_TransformDraw*   one 600 × 400 screen picture through the fast and the
//                       reference transformed drawing

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstring>
#include <random>

#include "engine/Image32.h"
#include "engine/NewRotLayer.h"
#include "engine/ParallelRows.h"

namespace {

// A photo-like picture: smooth gradients with some noise, opaque.
TBitmap32 MakePhoto(int w, int h, uint32_t seed) {
    TBitmap32 b(w, h);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(0, 15);
    for (int y = 0; y < h; ++y) {
        TColor32* row = b.ScanLine(y);
        for (int x = 0; x < w; ++x)
            row[x] = Color32(uint8_t((x * 255) / w), uint8_t((y * 255) / h),
                             uint8_t(((x + y) * 3 + noise(rng)) & 0xFF));
    }
    b.DrawMode = TDrawMode::Blend;
    b.Resampler = TResamplerKind::Linear;
    return b;
}

// A soft-edged round mask, grey.
TBitmap32 MakeMask(int w, int h) {
    TBitmap32 m(w, h);
    const double cx = w / 2.0, cy = h / 2.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5 - cx) / cx, dy = (y + 0.5 - cy) / cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            const int v = std::clamp(int((1.0 - d) * 8 * 255), 0, 255);
            m.SetPixel(x, y, Color32(uint8_t(v), uint8_t(v), uint8_t(v)));
        }
    return m;
}

TNewRotLayer* AddLayer(TLayerCollection& layers, const TBitmap32& picture, const TFloatRect& location,
                       float angle, bool shadow, const TBitmap32* mask) {
    TUpdateScope<TLayerCollection> update(layers);
    auto* layer = layers.Add<TNewRotLayer>();
    layer->AssignPicture(&picture);
    layer->ImageType = itPhoto;
    layer->SetLocation(location);
    layer->SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
    layer->SetScaled(true);
    layer->AlphaHit = true;
    layer->SetViewedRect({0, 0, picture.Width(), picture.Height()});
    layer->SetAngle(angle);
    if (mask) layer->AssignMask(mask);
    if (shadow) layer->SetShadowEnabled(true);
    layer->RebuildScreenCache();
    return layer;
}

// The view of the repaint benchmark: canvas 3200 × 2000 at 50 % fills a
// 1600 × 1000 control; layers of 1200 × 800 canvas pixels show at 600 × 400.
struct TRepaintScene {
    TImage32 Image;
    TBitmap32 Buffer;
    TRepaintScene() {
        Image.Bitmap.SetSize(3200, 2000);
        Image.Bitmap.Clear(0xFFFFFFFF);
        Image.SetSize(1600, 1000);
        Image.SetScale(0.5f);
        Image.BitmapResized();
        Image.OnPaintStage = [](TBitmap32& buffer) {
            const TRect c = buffer.ClipRect();
            buffer.FillRect(c.Left, c.Top, c.Right, c.Bottom, 0xFF808080);
        };
        const TBitmap32 photo = MakePhoto(1200, 800, 1);
        const TBitmap32 mask = MakeMask(1200, 800);
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> px(-200, 2200), py(-200, 1400);
        for (int i = 0; i < 20; ++i) {
            const float x = px(rng), y = py(rng);
            const float angle = i % 3 == 0 ? float(10 + 7 * i) : 0.0f; // 7 of 20 rotated
            AddLayer(Image.Layers, photo, {x, y, x + 1200, y + 800}, angle, i % 2 == 0,
                     i % 4 == 1 ? &mask : nullptr);
        }
    }
};

void BM_Repaint(benchmark::State& state) {
    static TRepaintScene scene;
    for (auto _ : state) {
        scene.Image.PaintTo(scene.Buffer);
        benchmark::DoNotOptimize(scene.Buffer.Bits());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Repaint)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same view without layers: background stage and canvas bitmap only.
void BM_RepaintBackground(benchmark::State& state) {
    static TRepaintScene scene;
    static TImage32 empty;
    if (empty.Bitmap.Empty()) {
        empty.Bitmap.Assign(scene.Image.Bitmap);
        empty.SetSize(1600, 1000);
        empty.SetScale(0.5f);
        empty.BitmapResized();
        empty.OnPaintStage = scene.Image.OnPaintStage;
    }
    for (auto _ : state) {
        empty.PaintTo(scene.Buffer);
        benchmark::DoNotOptimize(scene.Buffer.Bits());
    }
}
BENCHMARK(BM_RepaintBackground)->Unit(benchmark::kMillisecond)->UseRealTime();

// One 600 × 400 screen picture (an opaque photo) through each implementation
// of the transformed drawing: variant -1 is the per-pixel reference.
void BM_TransformDraw(benchmark::State& state) {
    static TRepaintScene scene;
    const int variant = int(state.range(0));
    if (variant >= TransformDrawVariantCount()) {
        state.SkipWithError("variant not available on this machine");
        return;
    }
    const float angle = float(state.range(1));
    const TBitmap32& sp = static_cast<TNewRotLayer*>(scene.Image.Layers.Items(2))->ScreenPicture;
    TBitmap32 dest(1600, 1000);
    TAffineTransformation t;
    t.Translate(-300, -200);
    t.Rotate(angle);
    t.Translate(800.3, 500.7);
    for (auto _ : state) {
        if (variant < 0)
            TransformDrawReference(dest, sp, t);
        else
            TransformDrawVariant(variant, dest, sp, t);
        benchmark::DoNotOptimize(dest.Bits());
    }
    state.SetLabel(variant < 0 ? "reference" : TransformDrawVariantName(variant));
    state.counters["Mpix/s"] = benchmark::Counter(double(state.iterations()) * sp.Width() * sp.Height() / 1e6,
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TransformDraw)
    ->ArgsProduct({{-1, 0, 1}, {0, 25, 90}})
    ->ArgNames({"variant", "angle"})
    ->Unit(benchmark::kMillisecond);

// ---- Full resolution ----

struct TPageScene {
    TLayerCollection Layers;
    TBitmap32 Background, Page;
    std::vector<TBitmap32> Photos;
    std::vector<TNewRotLayer*> List;
    TPageScene() {
        Background.SetSize(4000, 3000);
        Background.Clear(0xFFFFFFFF);
        const TBitmap32 mask = MakeMask(600, 400);
        for (int i = 0; i < 10; ++i) {
            Photos.push_back(MakePhoto(3000, 2000, uint32_t(i + 1)));
            const float x = float(100 + (i % 4) * 900), y = float(100 + (i / 4) * 900);
            List.push_back(
                AddLayer(Layers, Photos.back(), {x, y, x + 1500, y + 1000}, float(5 + 11 * i), true, &mask));
        }
    }
    // As the document's full-resolution render, on at most this many threads.
    void Render(int threads) {
        TParallelDrawScope parallel(threads);
        Page.Assign(Background);
        RenderLayersFullResolution(List.data(), int(List.size()), Page);
    }
};

TPageScene& PageScene() {
    static TPageScene scene;
    return scene;
}

void BM_RenderPage(benchmark::State& state) {
    TPageScene& scene = PageScene();
    const int threads = int(state.range(0));
    for (auto _ : state) {
        scene.Render(threads);
        benchmark::DoNotOptimize(scene.Page.Bits());
    }
    state.SetLabel(std::to_string(std::min(threads, ThreadBudget())) + " thread(s)");
}
BENCHMARK(BM_RenderPage)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The two-thread render timed by the calling thread's CPU time alone: its
// share of the work, which on an idle machine is about the wall time.
void BM_RenderPage_CallingThread(benchmark::State& state) {
    TPageScene& scene = PageScene();
    for (auto _ : state) {
        scene.Render(2);
        benchmark::DoNotOptimize(scene.Page.Bits());
    }
    state.SetLabel(std::to_string(std::min(2, ThreadBudget())) + " thread(s), this one's share");
}
BENCHMARK(BM_RenderPage_CallingThread)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same page drawn by Qt's QPainter in its premultiplied format: each
// photo scaled smoothly into a reused layer picture, its mask applied with
// DestinationIn, the shadow (our blurred picture) and the layer drawn
// through the same transforms with smooth pixmap transformation.
struct TQtPageScene {
    QImage Background, Page, Composed;
    struct TLayer {
        QImage Photo, Mask, Shadow;
        QTransform Place, ShadowPlace;
        double ShadowOpacity;
        QSize Size;
    };
    std::vector<TLayer> Layers;

    static QTransform ToQt(const TAffineTransformation& t) {
        return QTransform(t.A, t.D, t.B, t.E, t.C, t.F);
    }
    static QImage Premultiplied(const TBitmap32& b) {
        return b.ToImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    TQtPageScene() {
        TPageScene& scene = PageScene();
        Background = Premultiplied(scene.Background);
        Page = Background.copy();
        const TBitmap32 grey = MakeMask(600, 400);
        QImage mask(600, 400, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 600; ++x) mask.setPixel(x, y, qRgba(0, 0, 0, Intensity(grey.Pixel(x, y))));
        for (TNewRotLayer* l : scene.List) {
            TLayer q;
            q.Photo = Premultiplied(l->Picture);
            q.Mask = mask;
            q.Shadow = Premultiplied(*l->ShadowPicture);
            l->Scaled = false;
            q.Place = ToQt(l->AdjustTransformation());
            q.ShadowPlace = ToQt(l->AdjustShadowTransformation());
            l->Scaled = true;
            q.ShadowOpacity = l->ShadowTransparent / 100.0;
            q.Size = QSize(Round(l->Location.Width()), Round(l->Location.Height()));
            Layers.push_back(q);
        }
    }
    void Render() {
        std::memcpy(Page.bits(), Background.constBits(), size_t(Page.sizeInBytes()));
        QPainter p(&Page);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const TLayer& l : Layers) {
            p.setTransform(l.ShadowPlace);
            p.setOpacity(l.ShadowOpacity);
            p.drawImage(0, 0, l.Shadow);
            if (Composed.size() != l.Size) Composed = QImage(l.Size, QImage::Format_ARGB32_Premultiplied);
            Composed.fill(Qt::transparent);
            {
                QPainter c(&Composed);
                c.setRenderHint(QPainter::SmoothPixmapTransform);
                const QRect whole(QPoint(0, 0), l.Size);
                c.drawImage(whole, l.Photo);
                c.setCompositionMode(QPainter::CompositionMode_DestinationIn);
                c.drawImage(whole, l.Mask);
            }
            p.setOpacity(1.0);
            p.setTransform(l.Place);
            p.drawImage(0, 0, Composed);
        }
    }
};

void BM_RenderPage_Qt(benchmark::State& state) {
    static TQtPageScene scene;
    for (auto _ : state) {
        scene.Render();
        benchmark::DoNotOptimize(scene.Page.bits());
    }
    state.SetLabel("QPainter");
}
BENCHMARK(BM_RenderPage_Qt)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_MemcpyPixels(benchmark::State& state) {
    const size_t count = size_t(state.range(0));
    std::vector<TColor32> a(count, 0xFF123456), b(count);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), count * sizeof(TColor32));
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
}
// the page (4000 × 3000) and the ten photos (10 × 3000 × 2000)
BENCHMARK(BM_MemcpyPixels)
    ->Arg(4000 * 3000)
    ->Arg(10 * 3000 * 2000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
