// Printing a 4000 x 3000 collage to a PDF file at 600 dpi, fitted on A4:
// from "Print" (after the print dialog) to the closed file, with the
// busy pointer counted; the PDF's size against the same picture saved as
// JPEG at quality 90, and the pictures the PDF embeds. And the full-screen
// preview of the same collage on a 1280 x 1024 screen, from the command to
// the painted window.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QPrinter>

#include "PhotoLike.h"
#include "document/CollageDocument.h"
#include "engine/Codecs.h"
#include "output/Export.h"
#include "output/Printing.h"
#include "output/ui/PreviewForm.h"
#include "platform/Messages.h"

namespace {
// Photos on a pale page, turned a little, as a collage holds them.
TCollageDocument& PrintCollage() {
    static TCollageDocument* doc = [] {
        auto* d = new TCollageDocument;
        d->CollageSettings.BKType = 1;
        d->CollageSettings.BKColor = 0xF0F4F8;
        d->CollageSettings.Width = 4000;
        d->CollageSettings.Height = 3000;
        d->SetScrollBoxSize(1000, 800);
        d->ApplyCanvasSettings();
        d->SetZoom(25);
        const TBitmap32 photo = PhotoLikePicture(1800, 1200);
        for (int i = 0; i < 6; ++i) {
            auto* l = d->Layers().Add<TNewRotLayer>();
            l->Picture.Assign(photo);
            l->Picture.DrawMode = TDrawMode::Blend;
            l->Picture.Resampler = TResamplerKind::Linear;
            const float x = float(150 + (i % 3) * 1280), y = float(250 + (i / 3) * 1400);
            l->SetLocation({x, y, x + 1200, y + 800});
            l->SetViewedRect({0, 0, 1800, 1200});
            l->SetAngle(float(i * 5 - 12));
            l->RebuildScreenCache();
        }
        return d;
    }();
    return *doc;
}

// Counts the busy pointer's uses.
struct TBusyCount : TMessageService {
    TMessageService* Previous = &MessageService();
    int Starts = 0, Depth = 0, MaxDepth = 0;
    TBusyCount() { SetMessageService(this); }
    ~TBusyCount() override { SetMessageService(Previous); }
    void Error(const std::string&) override {}
    void Info(const std::string&) override {}
    TAnswer Ask(const std::string&, const std::string&, TButtons) override { return TAnswer::No; }
    void Busy(bool on) override {
        Starts += on;
        Depth += on ? 1 : -1;
        MaxDepth = std::max(MaxDepth, Depth);
    }
};

void BM_PrintPdfA4At600(benchmark::State& state) {
    TCollageDocument& doc = PrintCollage();
    const QString pdf = QDir::tempPath() + "/velmora-print-bench.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    TPrintSettings fitted; // fitted and centred
    TBusyCount busy;
    for (auto _ : state)
        PrintCollageDirect(
            doc, printer, fitted,
            [&](QPrinter& p) {
                p.setOutputFileName(pdf);
                return true;
            },
            96);
    // the same picture as a JPEG at quality 90, and what the PDF embeds
    TBitmap32 page;
    ComposeCollage(doc, page);
    const std::string jpeg = (QDir::tempPath() + "/velmora-print-bench.jpg").toStdString();
    WritePicture(jpeg, page, TImageFormat::Jpeg);
    QFile f(pdf);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    const double jpegSize = double(QFile(QString::fromStdString(jpeg)).size());
    state.counters["pdf_kB"] = double(bytes.size()) / 1024;
    state.counters["jpeg_q90_kB"] = jpegSize / 1024;
    state.counters["pdf_to_jpeg"] = double(bytes.size()) / jpegSize;
    state.counters["images"] = double(bytes.count("/Subtype /Image"));
    state.counters["jpeg_streams"] = double(bytes.count("/DCTDecode"));
    state.counters["busy_per_job"] = double(busy.Starts) / double(state.iterations());
}
BENCHMARK(BM_PrintPdfA4At600)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FullScreenPreview(benchmark::State& state) {
    TCollageDocument& doc = PrintCollage();
    for (auto _ : state) {
        TBitmap32 composed;
        ComposeCollage(doc, composed);
        TPreviewForm form(PictureOnPaper(composed), QRect(0, 0, 1280, 1024), 1.0);
        form.show();
        form.repaint();
        benchmark::DoNotOptimize(form.Shown);
        form.close();
    }
}
BENCHMARK(BM_FullScreenPreview)->Unit(benchmark::kMillisecond)->Iterations(5);

// The preview's copy for the screen alone: white under transparent parts,
// shrunk to 1280 x 960.
void BM_PreviewScreenCopy(benchmark::State& state) {
    TCollageDocument& doc = PrintCollage();
    TBitmap32 composed;
    ComposeCollage(doc, composed);
    for (auto _ : state) {
        const QImage paper = PictureOnPaper(composed);
        benchmark::DoNotOptimize(paper.scaled(1280, 960, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
}
BENCHMARK(BM_PreviewScreenCopy)->Unit(benchmark::kMillisecond)->Iterations(5);
} // namespace
