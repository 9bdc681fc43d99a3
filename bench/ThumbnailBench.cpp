// Thumbnails of a folder of 100 photos (4000 x 3000 JPEG, quality 90) for
// 80 x 80 grid cells (74 x 74 picture area):
//  - BM_GridThumbnailsBackground: the grids' path -- every request handed to
//    the background loader at once, each result painted into its cell as it
//    arrives on this thread; timed until the last cell shows its picture;
//  - BM_GridThumbnailsOneByOne: the same decode, shrink and paint, one file
//    after another on this thread (how a folder was filled before);
//  - BM_VipsThumbnail: vipsthumbnail on the same files, for comparison.
// The photos are generated once into a temporary folder and reused.
// Per-file figures: the time divided by "files".
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "browser/Thumbnail.h"
#include "browser/ThumbnailLoader.h"
#include "engine/Codecs.h"
#include "engine/PictureUtils.h"

namespace {

constexpr int kFiles = 100;
constexpr int kWidth = 4000, kHeight = 3000;

// Photo-like content: smooth colour fields with fine-grained noise, so the
// entropy decoder has work to do as with a real photo (about 3 MB a file).
QImage PhotoLike(int variant) {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    uint32_t seed = 0x9E3779B9u * uint32_t(variant + 1);
    for (int y = 0; y < kHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const double fy = y / double(kHeight);
        for (int x = 0; x < kWidth; ++x) {
            const double fx = x / double(kWidth);
            seed = seed * 1664525u + 1013904223u;
            const int n = int((seed >> 24) & 31) - 16;
            const int r = int(128 + 90 * std::sin(6.0 * fx + variant) + 30 * std::cos(11.0 * fy)) + n;
            const int g = int(128 + 80 * std::sin(4.0 * fy + 2.0 * fx)) + n;
            const int b = int(128 + 100 * std::cos(5.0 * fx * fy + variant)) + n;
            line[x] = qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
        }
    }
    return img;
}

const std::vector<std::string>& Photos() {
    static std::vector<std::string> files;
    if (!files.empty()) return files;
    const QString dir = QDir::tempPath() + "/velmora-thumbnail-bench-4000x3000-q90";
    QDir().mkpath(dir);
    std::vector<QImage> variants;
    for (int i = 0; i < kFiles; ++i) {
        const QString path = dir + QString("/photo%1.jpg").arg(i, 3, 10, QChar('0'));
        if (!QFile::exists(path)) {
            if (variants.empty())
                for (int v = 0; v < 4; ++v) variants.push_back(PhotoLike(v));
            variants[size_t(i % 4)].save(path, "JPEG", 90);
        }
        files.push_back(path.toStdString());
    }
    return files;
}

// What a cell does with its thumbnail.
void PaintIntoCell(TBitmap32& canvas, const TBitmap32& thumb) {
    TPicCellLook look;
    look.Color = look.BKColor = 0xFF000000;
    look.BorderColor = 0xFFC0C0C0;
    const int left = (80 - thumb.Width()) / 2, top = (80 - thumb.Height()) / 2;
    PaintPicCell(canvas, look, &thumb, {left, top, left + thumb.Width(), top + thumb.Height()});
}

void BM_GridThumbnailsBackground(benchmark::State& state) {
    const auto& files = Photos();
    const std::clock_t cpu0 = std::clock(); // the whole process: every worker
    for (auto _ : state) {
        std::vector<TBitmap32> cells(files.size());
        int shown = 0;
        TThumbnailLoader loader;
        std::vector<size_t> cellOf;
        QEventLoop loop;
        loader.OnLoaded = [&](uint64_t ticket, bool ok, TBitmap32& picture) {
            if (ok) PaintIntoCell(cells[cellOf[size_t(ticket - 1)]], picture);
            ++shown;
        };
        QObject::connect(&loader, &TThumbnailLoader::Finished, &loop, &QEventLoop::quit);
        for (size_t i = 0; i < files.size(); ++i) {
            loader.Request(files[i], 74, 74); // tickets count from 1
            cellOf.push_back(i);
        }
        loop.exec();
        if (shown != int(files.size())) state.SkipWithError("not every thumbnail arrived");
    }
    state.counters["files"] = double(files.size());
    state.counters["process_cpu_ms_per_file"] = double(std::clock() - cpu0) * 1000.0 / CLOCKS_PER_SEC /
                                                (double(files.size()) * double(state.iterations()));
    state.counters["threads"] = double(TThumbnailLoader::Pool()->maxThreadCount());
}

void BM_GridThumbnailsOneByOne(benchmark::State& state) {
    const auto& files = Photos();
    for (auto _ : state) {
        TBitmap32 cell, thumb;
        for (const std::string& f : files) {
            if (!LoadThumbnail(f, 74, 74, thumb)) state.SkipWithError("unreadable photo");
            PaintIntoCell(cell, thumb);
        }
        benchmark::DoNotOptimize(cell.Bits());
    }
    state.counters["files"] = double(files.size());
}

// What the grid would cost without scaled decoding: our full decode of every
// photo, then the same shrink and paint, one file after another. Compare with
// BM_GridThumbnailsOneByOne for the gain of the scaled decode alone, and with
// BM_GridThumbnailsBackground for what the user waits.
void BM_FullDecodeAndShrinkOneByOne(benchmark::State& state) {
    const auto& files = Photos();
    for (auto _ : state) {
        TBitmap32 cell, photo, thumb;
        for (const std::string& f : files) {
            DecodeJPEGFile(f, photo);
            int w = 74, h = 74;
            FitInside(photo.Width(), photo.Height(), w, h);
            ShrinkPicture(photo, w, h, thumb);
            PaintIntoCell(cell, thumb);
        }
        benchmark::DoNotOptimize(cell.Bits());
    }
    state.counters["files"] = double(files.size());
}

// Qt's full decode alone, to tell decoding from shrinking.
void BM_FullJpegDecodeOnly(benchmark::State& state) {
    const auto& files = Photos();
    for (auto _ : state) {
        for (const std::string& f : files) {
            QImageReader reader(QString::fromStdString(f), "jpeg");
            QImage img = reader.read();
            if (img.isNull()) state.SkipWithError("unreadable photo");
            benchmark::DoNotOptimize(img.constBits());
        }
    }
}

// The shrink alone: a decoded 4000 x 3000 photo to 74 x 55.
void BM_ShrinkOnly(benchmark::State& state) {
    TBitmap32 photo;
    photo.FromImage(PhotoLike(0));
    TBitmap32 out;
    for (auto _ : state) {
        ShrinkPicture(photo, 74, 55, out);
        benchmark::DoNotOptimize(out.Bits());
    }
}

// For reference: Qt's JPEG reader asked for the thumbnail size, which lets
// libjpeg scale in the DCT domain -- roughly what the scaled decoding of the
// codec module will gain.
void BM_QtJpegDctScaledDecode(benchmark::State& state) {
    const auto& files = Photos();
    for (auto _ : state) {
        for (const std::string& f : files) {
            QImageReader reader(QString::fromStdString(f), "jpeg");
            reader.setScaledSize(QSize(74, 55));
            QImage img = reader.read();
            if (img.isNull()) state.SkipWithError("unreadable photo");
            benchmark::DoNotOptimize(img.constBits());
        }
    }
}

void BM_VipsThumbnail(benchmark::State& state) {
    const auto& files = Photos();
    const QString vips = QStandardPaths::findExecutable("vipsthumbnail");
    if (vips.isEmpty()) {
        state.SkipWithError("vipsthumbnail is not installed");
        return;
    }
    QTemporaryDir out;
    QStringList args{"--size", "74x74", "-o", out.path() + "/%s.jpg"};
    for (const std::string& f : files) args << QString::fromStdString(f);
    for (auto _ : state) {
        QProcess p;
        p.start(vips, args);
        if (!p.waitForFinished(600000) || p.exitCode() != 0) state.SkipWithError("vipsthumbnail failed");
    }
    state.counters["files"] = double(files.size());
}

} // namespace

BENCHMARK(BM_GridThumbnailsBackground)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_GridThumbnailsOneByOne)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_FullDecodeAndShrinkOneByOne)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_FullJpegDecodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_ShrinkOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtJpegDctScaledDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_VipsThumbnail)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
