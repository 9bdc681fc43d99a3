// The export path of a 4000 x 3000 photo collage: composing the page and
// encoding it as PNG (level 9) and JPEG (quality 90), the PNG also through
// libpng (zlib level 9, its own filter choice) as other programs write it.
// The photos are the sample photos of the resource library, drawn in-process
// by its generator and passed once through JPEG as a camera's would be.
// bench/export_convert.sh times ImageMagick's convert on the same composed
// picture, which this benchmark leaves in $TMPDIR/velmora-export-source.bmp.
//
// Time is wall-clock time; the CPU column counts every thread of the
// process. The "bytes" counter is the size of the written file.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "Library.h"
#include "document/CollageDocument.h"
#include "engine/Codecs.h"
#include "output/Export.h"

namespace {

TBitmap32 SamplePhoto(const resgen::TItem& item) {
    const QImage drawn = item.Make().front().Image;
    TBitmap32 picture;
    picture.FromImage(drawn);
    const std::vector<uint8_t> jpeg = EncodeJPEGMemory(picture, 92);
    DecodeJPEGMemory(jpeg.data(), jpeg.size(), picture);
    return picture;
}

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
        resgen::TCatalogue photos;
        resgen::AddPhotos(photos);
        for (int i = 0; i < 8; ++i) {
            auto* l = d->Layers().Add<TNewRotLayer>();
            l->Picture = SamplePhoto(photos[size_t(i) % photos.size()]);
            l->Picture.DrawMode = TDrawMode::Blend;
            l->Picture.Resampler = TResamplerKind::Linear;
            const int w = l->Picture.Width(), h = l->Picture.Height();
            const float bw = w > h ? 1200.f : 900.f, bh = w > h ? 900.f : 1200.f;
            const float x = float(200 + (i % 4) * 900), y = float(300 + (i / 4) * 1300);
            l->SetLocation({x, y, x + bw, y + bh});
            l->SetViewedRect({0, 0, w, h});
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

const TBitmap32& Page() {
    static const TBitmap32 page = [] {
        TBitmap32 p;
        ComposeCollage(Collage(), p);
        return p;
    }();
    return page;
}

void Export(benchmark::State& state, TImageFormat format, const char* ext) {
    TCollageDocument& doc = Collage();
    const std::string out = (QDir::tempPath() + "/velmora-export-bench").toStdString() + ext;
    for (auto _ : state) {
        TBitmap32 page;
        ComposeCollage(doc, page);
        WritePicture(out, page, format);
    }
    state.counters["bytes"] = double(QFileInfo(QString::fromStdString(out)).size());
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

// Encoding alone, ours and libpng's, on the composed page; ours is decoded
// again and must give the page's pixels.
void BM_EncodePNG(benchmark::State& state) {
    const TBitmap32& page = Page();
    std::vector<uint8_t> data;
    for (auto _ : state) data = EncodePNGMemory(page, 9);
    TBitmap32 back;
    DecodePNGToBitmapMemory(data.data(), data.size(), back);
    if (back.Width() != page.Width() || back.Height() != page.Height() ||
        !std::equal(page.Bits(), page.Bits() + page.PixelCount(), back.Bits()))
        state.SkipWithError("the decoded pixels differ from the page");
    state.counters["bytes"] = double(data.size());
    state.SetLabel("libdeflate");
}
void BM_EncodePNG_Libpng(benchmark::State& state) {
    const TBitmap32& page = Page();
    std::vector<uint8_t> data;
    for (auto _ : state) data = EncodePNGMemoryLibpng(page, 9);
    state.counters["bytes"] = double(data.size());
    state.SetLabel("libpng, zlib 9");
}

// The encoding timed by the calling thread's CPU time: its share of the
// work on two threads (about the wall time on an idle machine).
void BM_EncodePNG_CallingThread(benchmark::State& state) {
    BM_EncodePNG(state);
}

BENCHMARK(BM_ComposeOnly)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);
BENCHMARK(BM_ExportJPEG)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);
BENCHMARK(BM_ExportPNG)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(1);
BENCHMARK(BM_EncodePNG)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_EncodePNG_CallingThread)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_EncodePNG_Libpng)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);

} // namespace
