// Zooming and scrolling a collage of large photos on a 1024 × 768 page
// (page 1) or a 4096 × 3072 one (page 4, a print at 300 dpi) seen through a
// 1200 × 800 view: eight layers from 3000 × 2000 photos (one covering the
// page, the others a third to two thirds of its width, some turned, masked
// and shadowed) and a border frame over the page.
//
//   BM_Zoom/<percent>/<page>       the zoom's rebuild of every layer's
//                                  screen caches (as at the track bar's
//                                  release) and one paint of the view
//   BM_ZoomWhole/<percent>/1       the same with every cache holding its
//                                  whole picture however large (the budget
//                                  lifted), as before; on page 4 that would
//                                  take gigabytes (see whole_MB)
//   BM_ScrollAt500/<pixels>  a paint after scrolling back and forth by that
//                            much at 500 %, where caches holding a part
//                            follow the view (600: past their margin, so
//                            every paint rebuilds them)
//
// Counters: cache_MB, the screen caches of all layers after the rebuild;
// missing, layers in view that show nothing; whole_MB and whole_missing,
// what whole caches would take at that zoom and how many layers would then
// exceed the picture size limit and vanish (computed, not allocated).

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "document/CanvasEditor.h"
#include "document/CollageDocument.h"

namespace {

TBitmap32 Photo(int w, int h, uint32_t seed) {
    TBitmap32 b(w, h);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(0, 15);
    for (int y = 0; y < h; ++y) {
        TColor32* row = b.ScanLine(y);
        for (int x = 0; x < w; ++x)
            row[x] = Color32(uint8_t((x * 255) / w), uint8_t((y * 255) / h),
                             uint8_t(((x + y) * 3 + noise(rng)) & 0xFF));
    }
    return b;
}

TBitmap32 RoundMask(int w, int h) {
    TBitmap32 m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5) / w * 2 - 1, dy = (y + 0.5) / h * 2 - 1;
            const int v = std::clamp(int((1.0 - std::sqrt(dx * dx + dy * dy)) * 8 * 255), 0, 255);
            m.SetPixel(x, y, Color32(uint8_t(v), uint8_t(v), uint8_t(v)));
        }
    return m;
}

struct TZoomScene {
    TCollageDocument Doc;
    TCanvasEditor Editor{Doc};
    TBitmap32 Buffer;

    explicit TZoomScene(int k) {
        Doc.CollageSettings.BKType = 1;
        Doc.CollageSettings.Width = 1024 * k;
        Doc.CollageSettings.Height = 768 * k;
        Doc.SetScrollBoxSize(1208, 808);
        Doc.ApplyCanvasSettings();
        Doc.ImageScreen.SetViewport(0, 0, 1200, 800);
        const TBitmap32 photo = Photo(3000, 2000, 7), mask = RoundMask(400, 300);
        TBitmap32 frame(2000, 1500);
        frame.Clear(0xFF886644);
        frame.FillRect(120, 120, 1880, 1380, 0);
        const struct {
            TFloatRect Where;
            float Angle;
            bool Mask, Shadow;
        } layers[] = {{{0, 0, 1024, 768}, 0, false, false},    {{40, 30, 740, 497}, 8, true, true},
                      {{500, 60, 950, 360}, -12, false, true}, {{80, 420, 480, 687}, 0, true, false},
                      {{560, 400, 980, 680}, 20, true, true},  {{300, 250, 600, 450}, -5, false, true},
                      {{650, 200, 950, 400}, 0, true, true},   {{150, 150, 450, 350}, 30, false, false}};
        for (const auto& l : layers) {
            const TFloatRect r{l.Where.Left * k, l.Where.Top * k, l.Where.Right * k, l.Where.Bottom * k};
            Add(photo, r, l.Angle, l.Mask ? &mask : nullptr, l.Shadow);
        }
        TNewRotLayer* border = Add(frame, {0, 0, 1024.0f * k, 768.0f * k}, 0, nullptr, false);
        border->ImageType = itBorderFrame;
    }

    TNewRotLayer* Add(const TBitmap32& picture, const TFloatRect& where, float angle, const TBitmap32* mask,
                      bool shadow) {
        auto* l = Doc.Layers().Add<TNewRotLayer>();
        l->AssignPicture(&picture);
        l->Picture.DrawMode = TDrawMode::Blend;
        l->Picture.Resampler = TResamplerKind::Linear;
        l->SetLocation(where);
        l->SetPictureCenter({picture.Width() / 2.0f, picture.Height() / 2.0f});
        l->SetScaled(true);
        l->SetViewedRect({0, 0, picture.Width(), picture.Height()});
        l->SetAngle(angle);
        if (mask) l->AssignMask(mask);
        if (shadow) l->SetShadowEnabled(true);
        l->RebuildScreenCache();
        return l;
    }

    void Zoom(int percent) {
        Doc.SetZoom(percent);
        Editor.TrackBarScaleMouseUp();
    }

    void Count(benchmark::State& state) const {
        size_t pixels = 0;
        int missing = 0;
        const TRect view{0, 0, Doc.ImageScreen.ViewportWidth(), Doc.ImageScreen.ViewportHeight()};
        for (int i = 0; i < Doc.LayerCount(); ++i) {
            const TNewRotLayer* l = Doc.ContentLayerAt(i);
            if (!l) continue;
            for (const TBitmap32* b :
                 {&l->ScreenSource, &l->ScreenPicture, &l->ScreenShadow, &l->RenderBuffer})
                pixels += b->PixelCount();
            for (const auto* b : {l->ScreenMask.get(), l->ScreenSubFrame.get(), l->ScreenSubFrameMask.get()})
                if (b) pixels += b->PixelCount();
            // in view when its (turned) box covers a point of the view
            const TRect box = l->ViewRectRounded(); // the border is never turned nor hit
            bool inView = l->ImageType == itBorderFrame && box.Right > view.Left && box.Left < view.Right &&
                          box.Bottom > view.Top && box.Top < view.Bottom;
            auto* hit = const_cast<TNewRotLayer*>(l);
            for (int y = view.Top + 4; y < view.Bottom && !inView; y += 8)
                for (int x = view.Left + 4; x < view.Right && !inView; x += 8) inView = hit->DoHitTest(x, y);
            if (inView && l->ScreenPicture.Empty()) ++missing;
        }
        state.counters["cache_MB"] = double(pixels) * 4 / (1 << 20);
        state.counters["missing"] = missing;
        double whole = 0;
        int wholeMissing = 0;
        for (int i = 0; i < Doc.LayerCount(); ++i) {
            const TNewRotLayer* l = Doc.ContentLayerAt(i);
            if (!l) continue;
            const TRect box = l->ViewRectRounded();
            const double w = box.Width(), h = box.Height(); // whole caches
            const double sx = l->Picture.Width() * double(l->ViewScaleX),
                         sy = l->Picture.Height() * double(l->ViewScaleY);
            const int views = 1 + (l->MaskPicture ? 1 : 0) + (l->SubFramePicture ? 1 : 0);
            whole += w * h * views + sx * sy;
            if (l->ShadowOn && l->ShadowPicture)
                whole += l->ShadowPicture->Width() * double(l->ViewSX()) * l->ShadowPicture->Height() *
                         double(l->ViewSY());
            if (!PictureSizeAllowed(int64_t(w), int64_t(h)) || !PictureSizeAllowed(int64_t(sx), int64_t(sy)))
                ++wholeMissing;
        }
        state.counters["whole_MB"] = whole * 4 / (1 << 20);
        state.counters["whole_missing"] = wholeMissing;
    }
};

TZoomScene& Scene(int k) {
    static std::unique_ptr<TZoomScene> scenes[5];
    if (!scenes[k]) scenes[k] = std::make_unique<TZoomScene>(k);
    return *scenes[k];
}

void ZoomBench(benchmark::State& state, int64_t budget) {
    TZoomScene& s = Scene(int(state.range(1)));
    SetScreenCacheBudgetOverride(budget);
    const int percent = int(state.range(0));
    for (auto _ : state) {
        s.Zoom(percent);
        s.Doc.ImageScreen.PaintTo(s.Buffer);
        benchmark::DoNotOptimize(s.Buffer.Bits());
    }
    s.Count(state);
    SetScreenCacheBudgetOverride(0);
    s.Zoom(100); // the next run starts from the same caches
}

void BM_Zoom(benchmark::State& state) {
    ZoomBench(state, 0);
}
void BM_ZoomWhole(benchmark::State& state) {
    ZoomBench(state, int64_t(1) << 40);
}

void BM_ScrollAt500(benchmark::State& state) {
    TZoomScene& s = Scene(1);
    s.Zoom(500);
    TImage32& screen = s.Doc.ImageScreen;
    const int x = screen.ScrollX(), y = screen.ScrollY();
    int step = 0;
    for (auto _ : state) {
        const int d = int((step++ % 2) ? state.range(0) / 2 : -state.range(0) / 2);
        screen.SetViewport(x + d, y + d, 1200, 800);
        screen.PaintTo(s.Buffer);
        benchmark::DoNotOptimize(s.Buffer.Bits());
    }
    s.Count(state);
    s.Zoom(100);
}

} // namespace

BENCHMARK(BM_Zoom)->ArgsProduct({{3, 25, 100, 250, 500}, {1, 4}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomWhole)->ArgsProduct({{3, 25, 100, 250, 500}, {1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollAt500)->Arg(100)->Arg(600)->Unit(benchmark::kMillisecond);
