// Saving and loading a project of 20 photos of 12 megapixels (4000 × 3000
// JPEG files of about 3 MB) placed on a 1800 × 1200 page.
//
//   BM_SaveProject      SaveProject over the previous save of the same path:
//                       the photos are copied byte for byte, the description
//                       written, the old project swapped out
//   BM_LoadProject      LoadProject into a fresh document: both files read,
//                       20 photos decoded (on one and on two threads of the
//                       decode pool), layers and screen caches built
//   BM_DecodePhotos     decoding the 20 files alone through the pool (the
//                       lower bound of the load, and the two-core ceiling)
//   *_CallingThread     the same timed by the calling thread's CPU time: its
//                       share of the work, which on an idle machine is about
//                       the wall time (a busy one steals the other core)
//   BM_CopyPhotos       copying the 20 files alone (the lower bound of the
//                       save)
//   BM_SavePhotoAsPng   one photo written as PNG instead, the price the save
//                       avoids by copying
//
// The command line, the program itself started as a script starts it (wall
// time, process start included):
//   BM_CliExportJpeg/threads:0|1  velmora --export of the 20-photo project to
//                       JPEG, photos decoded on every core or, with
//                       VELMORA_THREADS=1, on one
//   BM_CliThumbnail/preview:1|0   velmora --thumbnail ... 256 of a project of
//                       ten of the photos, from the preview saved in the
//                       project or (preview removed, as an older program
//                       writes it) drawn at that scale
//   BM_CliExportTen     the same ten-photo project's --export, beside it

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThreadPool>
#include <filesystem>
#include <pugixml.hpp>
#include <random>

#include "document/CollageDocument.h"
#include "engine/DecodePool.h"
#include "engine/ParallelRows.h"
#include "engine/PictureUtils.h"
#include "persistence/ProjectFile.h"
#include "persistence/ProjectPreview.h"
#include "platform/Messages.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPhotos = 20;

struct TProjectFixture {
    QTemporaryDir Dir;
    std::vector<std::string> Photos;
    TCollageDocument Doc;
    std::string Clv;

    TProjectFixture() {
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> noise(0, 31);
        for (int i = 0; i < kPhotos; ++i) {
            QImage img(4000, 3000, QImage::Format_RGB32);
            for (int y = 0; y < img.height(); ++y) {
                QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x)
                    row[x] = qRgb((x / 16 + i * 20 + noise(rng)) & 0xFF, (y / 12 + noise(rng)) & 0xFF,
                                  ((x + y) / 30 + i * 9) & 0xFF);
            }
            const std::string path = Dir.path().toStdString() + "/photo" + std::to_string(i) + ".jpg";
            img.save(QString::fromStdString(path), "JPEG", 90);
            Photos.push_back(path);
        }
        Doc.CollageSettings.Width = 1800;
        Doc.CollageSettings.Height = 1200;
        Doc.ApplyCanvasSettings();
        for (int i = 0; i < kPhotos; ++i) {
            auto* layer = Doc.Layers().Add<TNewRotLayer>();
            LoadPicture32(Photos[size_t(i)], layer->Picture);
            layer->Picture.DrawMode = TDrawMode::Blend;
            layer->ImageType = itPhoto;
            layer->SourceFile = Photos[size_t(i)];
            const float x = float(i % 5) * 360, y = float(i / 5) * 300;
            layer->SetLocation({x, y, x + 340, y + 255});
            layer->SetPictureCenter({2000, 1500});
            layer->Picture.Resampler = TResamplerKind::Linear;
            layer->SetScaled(true);
            layer->AlphaHit = true;
            layer->SetViewedRect({0, 0, 4000, 3000});
            layer->SetAngle(float(i % 3) * 4 - 4);
            layer->RebuildScreenCache();
        }
        Clv = Dir.path().toStdString() + "/out/bench.clv";
        SaveProject(Doc, Clv, false);
    }
};

TProjectFixture& Fixture() {
    static TProjectFixture f;
    return f;
}

void BM_SaveProject(benchmark::State& state) {
    TProjectFixture& f = Fixture();
    for (auto _ : state)
        if (!SaveProject(f.Doc, f.Clv, false)) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The decode pool on at most this many threads for one benchmark.
struct TPoolThreads {
    int Before;
    explicit TPoolThreads(int threads) : Before(DecodePool()->maxThreadCount()) {
        DecodePool()->setMaxThreadCount(std::min(threads, ThreadBudget()));
    }
    ~TPoolThreads() { DecodePool()->setMaxThreadCount(Before); }
};

std::string ThreadsLabel(int threads) {
    return std::to_string(std::min(threads, ThreadBudget())) + " thread(s)";
}

void BM_LoadProject(benchmark::State& state) {
    TProjectFixture& f = Fixture();
    TPoolThreads threads(int(state.range(0)));
    for (auto _ : state) {
        TCollageDocument doc;
        if (!LoadProject(doc, f.Clv, false) || doc.LayerCount() != kPhotos)
            state.SkipWithError("load failed");
    }
    state.SetLabel(ThreadsLabel(int(state.range(0))));
}
BENCHMARK(BM_LoadProject)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);

// The decoding alone, through the pool: its time on two threads against one
// is the most the load can gain.
void BM_DecodePhotos(benchmark::State& state) {
    TProjectFixture& f = Fixture();
    TPoolThreads threads(int(state.range(0)));
    for (auto _ : state) {
        std::vector<TDecodedPicture> pictures = DecodePictures(f.Photos);
        benchmark::DoNotOptimize(pictures.data());
    }
    state.SetLabel(ThreadsLabel(int(state.range(0))));
}
BENCHMARK(BM_DecodePhotos)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);

void BM_LoadProject_CallingThread(benchmark::State& state) {
    BM_LoadProject(state);
}
BENCHMARK(BM_LoadProject_CallingThread)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
void BM_DecodePhotos_CallingThread(benchmark::State& state) {
    BM_DecodePhotos(state);
}
BENCHMARK(BM_DecodePhotos_CallingThread)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_CopyPhotos(benchmark::State& state) {
    TProjectFixture& f = Fixture();
    const std::string dir = f.Dir.path().toStdString() + "/copies/";
    fs::create_directories(dir);
    for (auto _ : state)
        for (size_t i = 0; i < f.Photos.size(); ++i)
            fs::copy_file(f.Photos[i], dir + std::to_string(i) + ".jpg",
                          fs::copy_options::overwrite_existing);
}
BENCHMARK(BM_CopyPhotos)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_SavePhotoAsPng(benchmark::State& state) {
    TProjectFixture& f = Fixture();
    const std::string path = f.Dir.path().toStdString() + "/one.png";
    for (auto _ : state) SavePNG32(path, f.Doc.ContentLayerAt(0)->Picture, false, 9, 0xFFFFFF, true);
}
BENCHMARK(BM_SavePhotoAsPng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// ---- The command line ----

// A project of the first ten photos, with and without its saved preview.
struct TTenPhotos {
    std::string WithPreview, WithoutPreview;
    TTenPhotos() {
        TProjectFixture& f = Fixture();
        TCollageDocument doc;
        doc.CollageSettings.Width = 1800;
        doc.CollageSettings.Height = 1200;
        doc.ApplyCanvasSettings();
        for (int i = 0; i < 10; ++i) {
            auto* layer = doc.Layers().Add<TNewRotLayer>();
            layer->Picture.Assign(f.Doc.ContentLayerAt(i)->Picture);
            layer->Picture.DrawMode = TDrawMode::Blend;
            layer->Picture.Resampler = TResamplerKind::Linear;
            layer->ImageType = itPhoto;
            layer->SourceFile = f.Photos[size_t(i)];
            const float x = float(i % 5) * 360, y = float(i / 5) * 600;
            layer->SetLocation({x, y, x + 340, y + 560});
            layer->SetPictureCenter({2000, 1500});
            layer->SetScaled(true);
            layer->SetViewedRect({1000, 0, 2800, 3000});
            layer->RebuildScreenCache();
        }
        const std::string dir = f.Dir.path().toStdString();
        WithPreview = dir + "/ten/ten.clv";
        WithoutPreview = dir + "/ten-old/ten.clv";
        SaveProject(doc, WithPreview, false);
        SaveProject(doc, WithoutPreview, false);
        pugi::xml_document xml;
        xml.load_file(WithoutPreview.c_str());
        xml.document_element().remove_child(kPreviewElement);
        xml.save_file(WithoutPreview.c_str());
    }
};

TTenPhotos& TenPhotos() {
    static TTenPhotos t;
    return t;
}

void RunProgram(benchmark::State& state, const QStringList& args, const QString& threads = {}) {
    const QString exe = QCoreApplication::applicationDirPath() + "/velmora";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (threads.isEmpty())
        env.remove("VELMORA_THREADS");
    else
        env.insert("VELMORA_THREADS", threads);
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(exe, args);
        if (!p.waitForFinished(600000) || p.exitCode() != 0)
            state.SkipWithError(("velmora failed: " + p.readAllStandardError().toStdString()).c_str());
    }
}

void BM_CliExportJpeg(benchmark::State& state) {
    TProjectFixture& f = Fixture();
    const QString out = f.Dir.path() + "/cli.jpg";
    RunProgram(state, {"--export", QString::fromStdString(f.Clv), out}, state.range(0) ? "1" : "");
}
BENCHMARK(BM_CliExportJpeg)
    ->ArgName("threads")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_CliThumbnail(benchmark::State& state) {
    TTenPhotos& t = TenPhotos();
    const std::string& clv = state.range(0) ? t.WithPreview : t.WithoutPreview;
    RunProgram(state, {"--thumbnail", QString::fromStdString(clv),
                       QDir::tempPath() + "/velmora-cli-thumb.png", "256"});
}
BENCHMARK(BM_CliThumbnail)
    ->ArgName("preview")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

void BM_CliExportTen(benchmark::State& state) {
    RunProgram(state, {"--export", QString::fromStdString(TenPhotos().WithPreview),
                       QDir::tempPath() + "/velmora-cli-ten.jpg"});
}
BENCHMARK(BM_CliExportTen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
