// Memory held by the undo history on a collage of ten 12-megapixel photos
// over 24 steps of moves, flips, deletes and pastes.
//
// Reported as counters (MB of heap in use, from mallinfo2, mapped blocks included) after each group
// of steps, against the photos' own size. Steps that move or flip layers
// must hold no picture; deletes and pastes hold one snapshot each.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include "document/CanvasEditor.h"
#include "editing/LayerCommands.h"

namespace {
// Pictures are large enough to be mmapped by malloc, so the mapped blocks
// count as well as the ordinary heap.
double HeapMB() {
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

void BM_HistoryMemory24Steps(benchmark::State& state) {
    for (auto _ : state) {
        TCollageDocument doc;
        TCanvasEditor ed(doc);
        doc.CollageSettings.BKType = 1;
        doc.CollageSettings.Width = 4000;
        doc.CollageSettings.Height = 3000;
        doc.SetScrollBoxSize(1000, 800);
        doc.ApplyCanvasSettings();
        doc.SetZoom(25);
        const double base = HeapMB();
        std::vector<TNewRotLayer*> layers;
        for (int i = 0; i < 10; ++i) {
            auto* l = doc.Layers().Add<TNewRotLayer>();
            l->Picture.SetSize(4000, 3000);
            l->Picture.Clear(0xFF000000u | uint32_t(i * 0x111111));
            l->Picture.DrawMode = TDrawMode::Blend;
            l->Picture.Resampler = TResamplerKind::Linear;
            l->SourceFile = "/photos/p" + std::to_string(i) + ".jpg";
            l->SetLocation({float(i * 100), 0, float(i * 100 + 800), 600});
            l->SetViewedRect({0, 0, 4000, 3000});
            l->RebuildScreenCache();
            layers.push_back(l);
        }
        const double photos = HeapMB() - base;
        TLayerClipboard clip;
        auto select = [&](TNewRotLayer* l) {
            ed.DeselectAll();
            ed.SelectLayer(l);
        };
        // 6 moves (quarter turns record placements only)
        for (int i = 0; i < 6; ++i) {
            select(layers[size_t(i)]);
            PMenuRotate90Click(ed);
        }
        const double afterMoves = HeapMB() - base;
        // 6 flips: the picture is mirrored in place; the step keeps an axis
        for (int i = 0; i < 6; ++i) {
            select(layers[size_t(i)]);
            SpeedButtonFlipHClick(ed);
        }
        const double afterFlips = HeapMB() - base;
        // 6 deletes of one layer each: one snapshot per step
        for (int i = 0; i < 6; ++i) {
            select(doc.ContentLayerAt(0));
            MenuDeleteClick(ed);
        }
        const double afterDeletes = HeapMB() - base;
        // 6 pastes of one layer: the clipboard's copy plus one snapshot per step
        select(doc.ContentLayerAt(0));
        MenuCopyClick(ed, clip);
        for (int i = 0; i < 6; ++i) MenuPasteClick(ed, clip);
        const double afterPastes = HeapMB() - base;
        state.counters["photos_MB"] = photos;
        state.counters["moves_MB"] = afterMoves - photos;
        state.counters["flips_MB"] = afterFlips - afterMoves;
        state.counters["deletes_MB"] = afterDeletes - afterFlips;
        state.counters["pastes_MB"] = afterPastes - afterDeletes;
        state.counters["total_MB"] = afterPastes;
    }
}
BENCHMARK(BM_HistoryMemory24Steps)->Iterations(1)->Unit(benchmark::kSecond);
} // namespace
