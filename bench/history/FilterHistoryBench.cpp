// The history of 24 filter steps on one 6000 x 4000 photo-like picture, in a
// program of its own so that its peak resident memory is the whole run's:
// Mosaic 8, Sketch and Brightness and Contrast 20 / 1.2 applied in turn
// through the filter command, then all 24 undone and all 24 redone, every
// picture checked against a hash taken when it was made.
//
// Counters: peak_RSS_MB (the process's peak resident memory), apply_ms
// (mean per filter step, filter included), undo_max_ms / redo_max_ms (the
// slowest single step; *_cpu_ms the same in this thread's CPU time, which a
// busy machine does not inflate), compressed_MB and spilled_MB (what the history holds
// at the end, in memory and in its cache folder), mismatches (pictures not
// restored exactly: must be 0).
#include <QElapsedTimer>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <filesystem>

#include "../PhotoLike.h"
#include "filters/FilterCommands.h"
#include "history/HeldPicture.h"

namespace {

// Two independent 64-bit multiply-rotate hashes over the pixels.
std::pair<uint64_t, uint64_t> Hash(const TBitmap32& p) {
    uint64_t a = 0x9E3779B97F4A7C15ull, b = 0xC2B2AE3D27D4EB4Full;
    const auto* w = reinterpret_cast<const uint64_t*>(p.Bits());
    const size_t n = p.PixelCount() / 2;
    for (size_t i = 0; i < n; ++i) {
        a = (a ^ w[i]) * 0x100000001B3ull;
        a = (a << 29) | (a >> 35);
        b = (b + w[i]) * 0xFF51AFD7ED558CCDull;
        b ^= b >> 31;
    }
    if (p.PixelCount() % 2) a ^= p.Bits()[p.PixelCount() - 1];
    return {a, b ^ uint64_t(p.Width()) << 32 ^ uint64_t(p.Height())};
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double PeakRssMB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

double FolderMB(const std::string& folder) {
    if (folder.empty()) return 0;
    std::error_code ec;
    uintmax_t total = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        if (e.is_regular_file(ec)) total += e.file_size(ec);
    return double(total) / (1024.0 * 1024.0);
}

// Arguments: the filter cycle (0: Mosaic 8, Sketch, Brightness and Contrast
// 20 / 1.2; 1: brightness and contrast up and down again, which keeps the
// photo's noise and so compresses worst) and the memory budget of the
// compressed pictures in MB (0: every older picture goes to the cache
// folder). Run one case per process (--benchmark_filter) for its peak.
void BM_FilterHistory24(benchmark::State& state) {
    const int cycle = int(state.range(0));
    SetHeldPictureMemoryBudget(size_t(state.range(1)) << 20);
    for (auto _ : state) {
        TCollageDocument doc;
        TCanvasEditor ed(doc);
        doc.CollageSettings.BKType = 1;
        doc.CollageSettings.Width = 1800;
        doc.CollageSettings.Height = 1200;
        doc.SetScrollBoxSize(1000, 700);
        doc.ApplyCanvasSettings();
        doc.SetZoom(50);
        auto* l = doc.Layers().Add<TNewRotLayer>();
        l->Picture = PhotoLikePicture(6000, 4000);
        l->Picture.DrawMode = TDrawMode::Blend;
        l->Picture.Resampler = TResamplerKind::Linear;
        l->ImageType = itPhoto;
        l->SourceFile = "/photos/holiday.jpg";
        l->SetLocation({100, 100, 1600, 1100});
        l->SetPictureCenter({3000, 2000});
        l->SetScaled(true);
        l->SetViewedRect({0, 0, 6000, 4000});
        l->RebuildScreenCache();
        ed.SelectLayer(l);

        std::vector<std::pair<uint64_t, uint64_t>> hashes{Hash(l->Picture)};
        QElapsedTimer clock;
        clock.start();
        const double applyCpu0 = ThreadCpuMs();
        for (int i = 0; i < 24; ++i) {
            if (cycle == 1) {
                const FilterParams up{{-1, 20, 1.2f, 0}}, down{{-1, -24, 0.83f, 0}};
                FilterPhoto(ed, *l, [&](TBitmap32& p) { BrightnessContrastFilter(p, i % 2 ? down : up); });
            } else {
                switch (i % 3) {
                case 0:
                    FilterPhoto(ed, *l, [](TBitmap32& p) { MosaicFilter(p, {{-1, 8, 0, 0}}); });
                    break;
                case 1:
                    FilterPhoto(ed, *l, [](TBitmap32& p) { SketchFilter(p, {}); });
                    break;
                default:
                    FilterPhoto(ed, *l, [](TBitmap32& p) {
                        BrightnessContrastFilter(p, {{-1, 20, 1.2f, 0}});
                    });
                }
            }
            hashes.push_back(Hash(l->Picture));
        }
        const double applyMs = double(clock.elapsed()) / 24;
        // hashing is outside the applications' CPU time only approximately:
        // it is a small part of it
        const double applyCpuMs = (ThreadCpuMs() - applyCpu0) / 24;
        int mismatches = 0;
        double undoMax = 0, redoMax = 0, undoCpuMax = 0, redoCpuMax = 0;
        for (int i = 24; i > 0; --i) {
            clock.restart();
            const double cpu = ThreadCpuMs();
            ed.MenuUnDoClick();
            undoCpuMax = std::max(undoCpuMax, ThreadCpuMs() - cpu);
            undoMax = std::max(undoMax, double(clock.nsecsElapsed()) / 1e6);
            mismatches += Hash(l->Picture) != hashes[size_t(i - 1)];
        }
        for (int i = 1; i <= 24; ++i) {
            clock.restart();
            const double cpu = ThreadCpuMs();
            ed.MenuReDoClick();
            redoCpuMax = std::max(redoCpuMax, ThreadCpuMs() - cpu);
            redoMax = std::max(redoMax, double(clock.nsecsElapsed()) / 1e6);
            mismatches += Hash(l->Picture) != hashes[size_t(i)];
        }
        WaitForHeldPictures(0);
        state.counters["apply_ms"] = applyMs;
        state.counters["apply_cpu_ms"] = applyCpuMs;
        state.counters["undo_max_cpu_ms"] = undoCpuMax;
        state.counters["redo_max_cpu_ms"] = redoCpuMax;
        state.counters["undo_max_ms"] = undoMax;
        state.counters["redo_max_ms"] = redoMax;
        state.counters["mismatches"] = mismatches;
        state.counters["compressed_MB"] = double(CompressedPictureBytes()) / (1024.0 * 1024.0);
        state.counters["spilled_MB"] = FolderMB(HeldPictureFolder());
        state.counters["peak_RSS_MB"] = PeakRssMB();
    }
}
BENCHMARK(BM_FilterHistory24)
    ->Args({0, 256})
    ->Args({0, 0})
    ->Args({1, 256})
    ->Args({1, 0})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
