// The export path of a 4000 x 3000 collage: composing the page and encoding
// it as PNG (level 9) and JPEG (quality 90). bench/export_convert.sh times
// ImageMagick's convert on the same composed picture, which this benchmark
// leaves in $TMPDIR/velmora-export-source.bmp.

#include <benchmark/benchmark.h>

#include <QDir>
#include <cmath>

#include "document/CollageDocument.h"
#include "engine/Codecs.h"
#include "output/Export.h"

namespace {
TCollageDocument& Collage() {
    static TCollageDocument* doc = [] {
        auto* d = new TCollageDocument;
        d->CollageSettings.BKType = 1;
        d->CollageSettings.BKColor = 0xF0F4F8;
        d->CollageSettings.Width = 4000;
        d->CollageSettings.Height = 3000;
        d->SetScrollBoxSize(1000, 800);
        d->ApplyCanvasSettings();
        d->SetZoom(25);
        for (int i = 0; i < 8; ++i) {
            auto* l = d->Layers().Add<TNewRotLayer>();
            l->Picture.SetSize(1800, 1200);
            for (int y = 0; y < 1200; ++y)
                for (int x = 0; x < 1800; ++x)
                    l->Picture.SetPixel(x, y,
                                        Color32(uint8_t(x * 255 / 1800), uint8_t(y * 255 / 1200),
                                                uint8_t(128 + 100 * std::sin((x + y * i) * 0.01))));
            l->Picture.DrawMode = TDrawMode::Blend;
            l->Picture.Resampler = TResamplerKind::Linear;
            const float x = float(200 + (i % 4) * 900), y = float(300 + (i / 4) * 1300);
            l->SetLocation({x, y, x + 1200, y + 800});
            l->SetViewedRect({0, 0, 1800, 1200});
            l->SetAngle(float(i * 7 - 20));
            l->SetShadowEnabled(true);
            l->RebuildScreenCache();
        }
        TBitmap32 page;
        d->RenderCollage(page);
        EncodeBMPFile((QDir::tempPath() + "/velmora-export-source.bmp").toStdString(), page);
        return d;
    }();
    return *doc;
}

void Export(benchmark::State& state, TImageFormat format, const char* ext) {
    TCollageDocument& doc = Collage();
    const std::string out = (QDir::tempPath() + "/velmora-export-bench").toStdString() + ext;
    for (auto _ : state) {
        TBitmap32 page;
        ComposeCollage(doc, page);
        WritePicture(out, page, format);
    }
}

void BM_ExportJPEG(benchmark::State& s) {
    Export(s, TImageFormat::Jpeg, ".jpg");
}
void BM_ExportPNG(benchmark::State& s) {
    Export(s, TImageFormat::Png, ".png");
}
void BM_ComposeOnly(benchmark::State& state) {
    TCollageDocument& doc = Collage();
    for (auto _ : state) {
        TBitmap32 page;
        ComposeCollage(doc, page);
        benchmark::DoNotOptimize(page.Bits());
    }
}
BENCHMARK(BM_ComposeOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportJPEG)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportPNG)->Unit(benchmark::kMillisecond)->Iterations(1);
} // namespace
