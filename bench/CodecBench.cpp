// Codec throughput: full JPEG and PNG decodes, the DCT-scaled thumbnail
// decode and the three exported formats, on a procedural photo-like picture;
// and how fast files with hostile headers are dealt with.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/Codecs.h"
#include "engine/Errors.h"

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

// Files with hostile headers: a 16 x 1 PNG whose iTXt chunk declares 1.9 GB
// is refused at once (goal: well under 0.1 s), and a 4 MB JPEG holding a
// million empty APP1 segments ahead of its picture takes time in proportion
// to its size, like any 4 MB JPEG (not to the square of the segment count).
void BM_RefusePNGClaimingHugeTextChunk(benchmark::State& state) {
    std::vector<uint8_t> data = EncodePNGMemory(PhotoLike(16, 1), 9);
    const char chunk[] = "\x71\0\0\0iTXtComment"; // length, type, the start of the text
    data.insert(data.begin() + 33, chunk, chunk + sizeof chunk);
    TBitmap32 out;
    for (auto _ : state) {
        try {
            DecodePNGToBitmapMemory(data.data(), data.size(), out);
        } catch (const EUserError& e) {
            benchmark::DoNotOptimize(e.what());
        }
    }
}
BENCHMARK(BM_RefusePNGClaimingHugeTextChunk)->Unit(benchmark::kMillisecond);

void BM_DecodeJPEGAfterMillionMarkers(benchmark::State& state) {
    const std::vector<uint8_t> jpeg = EncodeJPEGMemory(PhotoLike(32, 16), 90);
    std::vector<uint8_t> data = {0xFF, 0xD8};
    for (int i = 0; i < 1000000; ++i) data.insert(data.end(), {0xFF, 0xE1, 0x00, 0x02});
    data.insert(data.end(), jpeg.begin() + 2, jpeg.end());
    TBitmap32 out;
    for (auto _ : state) {
        DecodeJPEGMemory(data.data(), data.size(), out);
        benchmark::DoNotOptimize(out.Bits());
    }
}
BENCHMARK(BM_DecodeJPEGAfterMillionMarkers)->Unit(benchmark::kMillisecond);

} // namespace
