// Codec throughput: full JPEG and PNG decodes, the DCT-scaled thumbnail
// decode and the three exported formats, on a procedural photo-like picture.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/Codecs.h"

namespace {

// Smooth gradients, soft blobs and fine grain, so the encoders see roughly
// what they see in a photograph.
TBitmap32 PhotoLike(int w, int h) {
    TBitmap32 b(w, h);
    uint32_t rnd = 12345;
    for (int y = 0; y < h; ++y) {
        TColor32* row = b.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            rnd = rnd * 1664525u + 1013904223u;
            const double u = double(x) / w, v = double(y) / h;
            const double blob = std::sin(u * 9.0 + std::cos(v * 7.0)) * std::cos(v * 11.0 - u * 3.0);
            const int grain = int(rnd >> 29) - 4;
            auto ch = [&](double base) { return uint32_t(std::clamp(int(base) + grain, 0, 255)); };
            row[x] = 0xFF000000u | ch(120 + 90 * blob + 40 * u) << 16 | ch(100 + 70 * v + 50 * blob) << 8 |
                     ch(140 - 80 * blob * v);
        }
    }
    return b;
}

const TBitmap32& Photo(int w, int) {
    static TBitmap32 large = PhotoLike(6000, 4000), medium = PhotoLike(4000, 3000);
    return w == 6000 ? large : medium;
}

void SetMPix(benchmark::State& state, int w, int h) {
    state.counters["MPix/s"] =
        benchmark::Counter(double(w) * h * 1e-6 * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DecodeJPEG_6000x4000(benchmark::State& state) {
    static const std::vector<uint8_t> data = EncodeJPEGMemory(Photo(6000, 4000), 90);
    TBitmap32 out;
    for (auto _ : state) {
        DecodeJPEGMemory(data.data(), data.size(), out);
        benchmark::DoNotOptimize(out.Bits());
    }
    SetMPix(state, 6000, 4000);
}
BENCHMARK(BM_DecodeJPEG_6000x4000)->Unit(benchmark::kMillisecond);

void BM_DecodeJPEGThumbnail_6000x4000(benchmark::State& state) {
    static const std::vector<uint8_t> data = EncodeJPEGMemory(Photo(6000, 4000), 90);
    TBitmap32 out;
    TJpegOptions options;
    options.MinWidth = options.MinHeight = 74; // scale 1/8
    for (auto _ : state) {
        DecodeJPEGMemory(data.data(), data.size(), out, options);
        benchmark::DoNotOptimize(out.Bits());
    }
    SetMPix(state, 6000, 4000);
}
BENCHMARK(BM_DecodeJPEGThumbnail_6000x4000)->Unit(benchmark::kMillisecond);

void BM_DecodePNG_4000x3000(benchmark::State& state) {
    static const std::vector<uint8_t> data = EncodePNGMemory(Photo(4000, 3000), 6);
    TBitmap32 out;
    for (auto _ : state) {
        DecodePNGToBitmapMemory(data.data(), data.size(), out);
        benchmark::DoNotOptimize(out.Bits());
    }
    SetMPix(state, 4000, 3000);
}
BENCHMARK(BM_DecodePNG_4000x3000)->Unit(benchmark::kMillisecond);

void BM_EncodeJPEG_q90_4000x3000(benchmark::State& state) {
    const TBitmap32& photo = Photo(4000, 3000);
    for (auto _ : state) benchmark::DoNotOptimize(EncodeJPEGMemory(photo, 90).size());
    SetMPix(state, 4000, 3000);
}
BENCHMARK(BM_EncodeJPEG_q90_4000x3000)->Unit(benchmark::kMillisecond);

void BM_EncodePNG_level9_4000x3000(benchmark::State& state) {
    const TBitmap32& photo = Photo(4000, 3000);
    for (auto _ : state) benchmark::DoNotOptimize(EncodePNGMemory(photo, 9).size());
    SetMPix(state, 4000, 3000);
}
BENCHMARK(BM_EncodePNG_level9_4000x3000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_EncodeGIF_4000x3000(benchmark::State& state) {
    const TBitmap32& photo = Photo(4000, 3000);
    for (auto _ : state) benchmark::DoNotOptimize(EncodeGIFMemory(photo).size());
    SetMPix(state, 4000, 3000);
}
BENCHMARK(BM_EncodeGIF_4000x3000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
