// Dragging a group of selected layers on a page of 20: the cost of one
// pointer move while the handles are held, with the repaint the canvas does
// for it. Only the handles move during the drag (the layers follow at the
// release), so the canvas paints the layers under them once and reuses them:
// variant 1 is that cached paint, variant 0 a full paint of every layer per
// move for comparison. Also counted: repaint requests per move, and how
// often the layers were painted.

#include <benchmark/benchmark.h>

#include "document/CanvasEditor.h"

namespace {

struct TDragScene {
    TCollageDocument Doc;
    TCanvasEditor Editor{Doc};
    TBitmap32 Buffer;
    long Repaints = 0;
    TDragScene() {
        Doc.CollageSettings.BKType = 1;
        Doc.CollageSettings.Width = 1600;
        Doc.CollageSettings.Height = 1000;
        Doc.SetScrollBoxSize(1608, 1008);
        Doc.ApplyCanvasSettings();
        Doc.SetZoom(100);
        TImage32& s = Doc.ImageScreen;
        s.OnMouseDown = [this](TMouseButton b, TShiftState sh, int x, int y, TCustomLayer* l) {
            Editor.ImageScreenMouseDown(b, sh, x, y, l);
        };
        s.OnMouseMove = [this](TShiftState sh, int x, int y, TCustomLayer*) {
            Editor.ImageScreenMouseMove(sh, x, y);
        };
        s.OnMouseUp = [this](TMouseButton b, TShiftState sh, int x, int y, TCustomLayer*) {
            Editor.ImageScreenMouseUp(b, sh, x, y);
        };
        for (int i = 0; i < 20; ++i) {
            TUpdateScope<TImage32> update(Doc.ImageScreen);
            auto* l = Doc.Layers().Add<TNewRotLayer>();
            l->Picture.SetSize(600, 400);
            l->Picture.Clear(0xFF000000u | uint32_t(i * 0x0A0B0C));
            l->Picture.DrawMode = TDrawMode::Blend;
            l->Picture.Resampler = TResamplerKind::Linear;
            l->ImageType = itPhoto;
            const float x = float(40 + (i % 5) * 300), y = float(40 + (i / 5) * 220);
            l->SetLocation({x, y, x + 300, y + 200});
            l->SetPictureCenter({300, 200});
            l->SetScaled(true);
            l->AlphaHit = true;
            l->SetViewedRect({0, 0, 600, 400});
            l->SetAngle(float((i % 3) * 10));
            l->RebuildScreenCache();
        }
        for (int i = 0; i < Doc.LayerCount(); ++i)
            if (TNewRotLayer* l = Doc.ContentLayerAt(i)) Editor.SelectLayer(l);
        Doc.Layers().OnChange = [this] { ++Repaints; };
        Doc.ImageScreen.PaintTo(Buffer);
    }
};

void BM_DragMoveTwentyLayers(benchmark::State& state) {
    TDragScene scene;
    TImage32& s = scene.Doc.ImageScreen;
    const bool cached = state.range(0) == 1;
    TImage32::TContentCache cache;
    // the first layer's move area, away from its picture handle
    s.MouseDown(TMouseButton::Left, ssLeft, 60, 60);
    scene.Repaints = 0;
    int step = 0;
    for (auto _ : state) {
        ++step;
        s.MouseMove(ssLeft, 60 + step % 200, 60 + (step / 3) % 100);
        if (cached)
            s.PaintToCached(scene.Buffer, cache);
        else
            s.PaintTo(scene.Buffer);
        benchmark::DoNotOptimize(scene.Buffer.Bits());
    }
    const long repaints = scene.Repaints;
    s.MouseUp(TMouseButton::Left, 0, 60 + step % 200, 60 + (step / 3) % 100);
    state.counters["repaints_per_move"] = double(repaints) / double(state.iterations());
    state.counters["layer_paints"] = cached ? double(cache.Paints) : double(state.iterations());
    state.SetLabel(cached ? "handles over cached layers" : "every layer painted");
    state.counters["moves/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_DragMoveTwentyLayers)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
