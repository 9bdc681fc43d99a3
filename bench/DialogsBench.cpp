// The live dialogs: opening the crop view on a 24-megapixel photo and moving
// its rubber band (veil update and repaint), one step of the transparency
// track bar on ten selected layers, one step of the shadow's smoothness and
// opacity on five, and a page-size change with thirty layers (settings
// applied, layers re-placed, canvas repainted).

#include <benchmark/benchmark.h>

#include "document/CanvasEditor.h"
#include "document/PageSettings.h"
#include "editing/AppearanceCommands.h"
#include "editing/CropView.h"

namespace {

TBitmap32 Photo(int w, int h, uint32_t seed) {
    TBitmap32 p{w, h};
    for (int y = 0; y < h; ++y) {
        TColor32* row = p.ScanLine(y);
        for (int x = 0; x < w; ++x)
            row[x] = 0xFF000000u | ((uint32_t(x) * 7 + seed) & 0xFF) << 16 |
                     ((uint32_t(y) * 5 + seed) & 0xFF) << 8 | ((x ^ y) & 0xFF);
    }
    p.DrawMode = TDrawMode::Blend;
    p.Resampler = TResamplerKind::Linear;
    return p;
}

// A page of 1600 x 1000 shown at 100 %, with layers in a grid.
struct TScene {
    TCollageDocument Doc;
    TCanvasEditor Editor{Doc};
    TBitmap32 Buffer;
    TScene(int count, int pictureW, int pictureH, float boxW, float boxH, bool select) {
        Doc.CollageSettings.BKType = 1;
        Doc.CollageSettings.Width = 1600;
        Doc.CollageSettings.Height = 1000;
        Doc.SetScrollBoxSize(1608, 1008);
        Doc.ApplyCanvasSettings();
        Doc.SetZoom(100);
        const TBitmap32 picture = Photo(pictureW, pictureH, 11);
        TUpdateScope<TImage32> update(Doc.ImageScreen);
        for (int i = 0; i < count; ++i) {
            auto* l = Doc.Layers().Add<TNewRotLayer>();
            l->Picture.Assign(picture);
            l->Picture.DrawMode = TDrawMode::Blend;
            l->Picture.Resampler = TResamplerKind::Linear;
            const float x = float(20 + (i % 6) * 250), y = float(20 + (i / 6) * 180);
            l->SetLocation({x, y, x + boxW, y + boxH});
            l->SetPictureCenter({pictureW / 2.0f, pictureH / 2.0f});
            l->SetScaled(true);
            l->AlphaHit = true;
            l->SetViewedRect({0, 0, pictureW, pictureH});
            l->RebuildScreenCache();
            if (select) Editor.SelectLayer(l);
        }
    }
};

void BM_CropOpen6000x4000(benchmark::State& state) {
    const TBitmap32 photo = Photo(6000, 4000, 3);
    TBitmap32 buffer;
    for (auto _ : state) {
        TCropView view;
        view.Open(photo, {500, 400, 5500, 3600}, 723, 450);
        view.Screen.PaintTo(buffer);
        benchmark::DoNotOptimize(buffer.Bits());
    }
}

void BM_CropBandMove(benchmark::State& state) {
    const TBitmap32 photo = Photo(6000, 4000, 3);
    TCropView view;
    view.Open(photo, {500, 400, 5500, 3600}, 723, 450);
    TBitmap32 buffer;
    view.Screen.PaintTo(buffer);
    int step = 0;
    for (auto _ : state) {
        ++step;
        const float d = float((step % 40) * 9);
        view.Band->SetLocation({500 + d, 400 + d / 2, 5500 - d / 3, 3600 - d});
        view.UpdateVeil();
        view.Screen.PaintTo(buffer);
        benchmark::DoNotOptimize(buffer.Bits());
    }
}

void BM_TransparencyStep10Layers(benchmark::State& state) {
    // screen pictures of 600 x 400 from 1800 x 1200 photos
    const bool paint = state.range(0) == 1;
    TScene scene(10, 1800, 1200, 600, 400, true);
    int step = 0;
    for (auto _ : state) {
        ApplyTransparency(scene.Editor, 10 + (++step % 2));
        if (paint) scene.Doc.ImageScreen.PaintTo(scene.Buffer);
        benchmark::DoNotOptimize(scene.Buffer.Bits());
    }
    state.SetLabel(paint ? "layers and canvas repaint" : "layers");
}

void BM_ShadowStep5Layers(benchmark::State& state) {
    const bool smoothness = state.range(0) == 0;
    TScene scene(5, 1000, 750, 1000, 750, true);
    TShadowSession session(scene.Editor);
    session.Begin();
    session.SetShadowShown(true);
    session.SetSmoothness(10);
    int step = 0;
    for (auto _ : state) {
        ++step;
        if (smoothness)
            session.SetSmoothness(step % 2 ? 9 : 10);
        else
            session.SetOpacity(60 + step % 2);
        scene.Doc.ImageScreen.PaintTo(scene.Buffer);
        benchmark::DoNotOptimize(scene.Buffer.Bits());
    }
    state.SetLabel(smoothness ? "smoothness 10 <-> 9" : "opacity");
}

void BM_PageSizeChange30Layers(benchmark::State& state) {
    TScene scene(30, 1200, 900, 240, 160, false);
    int step = 0;
    for (auto _ : state) {
        TCollageSettings s = scene.Doc.CollageSettings;
        s.Width = ++step % 2 ? 1050 : 1600;
        s.Height = step % 2 ? 750 : 1000;
        ChangeCollageSettings(scene.Editor, s);
        scene.Doc.ImageScreen.PaintTo(scene.Buffer);
        benchmark::DoNotOptimize(scene.Buffer.Bits());
    }
}

} // namespace

BENCHMARK(BM_CropOpen6000x4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CropBandMove)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransparencyStep10Layers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShadowStep5Layers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageSizeChange30Layers)->Unit(benchmark::kMillisecond);
