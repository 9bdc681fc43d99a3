// The three drawing routines of TBitmap32 side by side with pixman's
// equivalents on the same pixels: Draw in blend mode against OVER, the linear
// StretchDraw against a bilinear scaling OVER, and the linear TransformDraw
// at 12.5° against a bilinear affine OVER. Both sides are single-threaded.
// The *_MemoryBound runs move the same bytes as Draw and StretchDraw with
// no arithmetic to speak of: the figure neither side can pass.
//
// pixman works on premultiplied pixels and we blend straight ones, so the
// results differ; the timing is what is compared. Source 0 is an opaque
// photo, source 1 the same photo with a varying alpha (a soft vignette and a
// transparent band), which defeats the opaque shortcuts on both sides.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/Bitmap32.h"
#include "engine/Transform.h"

namespace {

constexpr int SourceW = 4000, SourceH = 3000;

TBitmap32 MakeSource(bool withAlpha) {
    TBitmap32 b(SourceW, SourceH);
    uint32_t rnd = 99;
    for (int y = 0; y < SourceH; ++y) {
        TColor32* row = b.ScanLine(y);
        for (int x = 0; x < SourceW; ++x) {
            rnd = rnd * 1664525u + 1013904223u;
            const double u = double(x) / SourceW, v = double(y) / SourceH;
            const uint32_t r = uint32_t(60 + 150 * u) + (rnd >> 30);
            const uint32_t g = uint32_t(80 + 120 * v);
            const uint32_t bl = uint32_t(128 + 100 * std::sin(u * 20 + v * 13));
            uint32_t a = 255;
            if (withAlpha) {
                const double d = std::hypot(u - 0.5, v - 0.5) * 2.2;
                a = uint32_t(std::clamp(255.0 * (1.2 - d), 0.0, 255.0));
                if (x % 500 < 40) a = 0;
            }
            row[x] = a << 24 | r << 16 | g << 8 | bl;
        }
    }
    return b;
}

const TBitmap32& Source(int kind) {
    static TBitmap32 opaque = MakeSource(false), soft = MakeSource(true);
    return kind == 0 ? opaque : soft;
}

// pixman_image_t over a surface's pixels without copying; TColor32 is
// 0xAARRGGBB in a 32-bit word, which is pixman's a8r8g8b8 on this machine.
struct TPixmanView {
    pixman_image_t* Image;
    explicit TPixmanView(const TBitmap32& b)
        : Image(pixman_image_create_bits(PIXMAN_a8r8g8b8, b.Width(), b.Height(),
                                         const_cast<uint32_t*>(b.Bits()), b.Width() * 4)) {}
    ~TPixmanView() { pixman_image_unref(Image); }
    TPixmanView(const TPixmanView&) = delete;
    TPixmanView& operator=(const TPixmanView&) = delete;
};

// pixman's transform maps destination to source, ours source to destination.
void SetPixmanTransform(pixman_image_t* image, const TAffineTransformation& t) {
    TAffineTransformation inv;
    inv.Clear();
    t.Inverse(inv);
    pixman_transform_t m;
    pixman_transform_init_identity(&m);
    m.matrix[0][0] = pixman_double_to_fixed(inv.A);
    m.matrix[0][1] = pixman_double_to_fixed(inv.B);
    m.matrix[0][2] = pixman_double_to_fixed(inv.C);
    m.matrix[1][0] = pixman_double_to_fixed(inv.D);
    m.matrix[1][1] = pixman_double_to_fixed(inv.E);
    m.matrix[1][2] = pixman_double_to_fixed(inv.F);
    pixman_image_set_transform(image, &m);
    pixman_image_set_filter(image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(image, PIXMAN_REPEAT_NONE);
}

void Rate(benchmark::State& state, double pixels) {
    state.counters["MPix/s"] =
        benchmark::Counter(double(state.iterations()) * pixels / 1e6, benchmark::Counter::kIsRate);
}

const char* SourceName(int kind) {
    return kind == 0 ? "opaque" : "soft alpha";
}

// ---- Draw, blend mode / OVER ----

void BM_DrawBlend_Ours(benchmark::State& state) {
    TBitmap32 src;
    src.Assign(Source(int(state.range(0))));
    src.DrawMode = TDrawMode::Blend;
    TBitmap32 dest(SourceW, SourceH);
    dest.Clear(0xFFFFFFFF);
    for (auto _ : state) {
        dest.Draw(0, 0, src);
        benchmark::DoNotOptimize(dest.Bits());
    }
    state.SetLabel(SourceName(int(state.range(0))));
    Rate(state, double(SourceW) * SourceH);
}

void BM_DrawBlend_Pixman(benchmark::State& state) {
    const TBitmap32& src = Source(int(state.range(0)));
    TBitmap32 dest(SourceW, SourceH);
    dest.Clear(0xFFFFFFFF);
    TPixmanView s(src), d(dest);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s.Image, nullptr, d.Image, 0, 0, 0, 0, 0, 0, SourceW,
                                 SourceH);
        benchmark::DoNotOptimize(dest.Bits());
    }
    state.SetLabel(SourceName(int(state.range(0))));
    Rate(state, double(SourceW) * SourceH);
}

// Reads source and destination, writes the destination: 12 bytes a pixel.
void BM_DrawBlend_MemoryBound(benchmark::State& state) {
    const TBitmap32& src = Source(1);
    TBitmap32 dest(SourceW, SourceH);
    dest.Clear(0xFFFFFFFF);
    const size_t n = dest.PixelCount();
    for (auto _ : state) {
        const TColor32* s = src.Bits();
        TColor32* d = dest.Bits();
        for (size_t i = 0; i < n; ++i) d[i] ^= s[i];
        benchmark::DoNotOptimize(dest.Bits());
    }
    Rate(state, double(SourceW) * SourceH);
}

// ---- StretchDraw linear / bilinear scale OVER ----
// Down to a 1600 × 1200 screen picture, the size a page is shown at.

constexpr int StretchW = 1600, StretchH = 1200;

void BM_StretchDrawLinear_Ours(benchmark::State& state) {
    TBitmap32 src;
    src.Assign(Source(int(state.range(0))));
    src.DrawMode = TDrawMode::Blend;
    src.Resampler = TResamplerKind::Linear;
    TBitmap32 dest(StretchW, StretchH);
    dest.Clear(0xFFFFFFFF);
    for (auto _ : state) {
        dest.StretchDraw(TRect{0, 0, StretchW, StretchH}, src);
        benchmark::DoNotOptimize(dest.Bits());
    }
    state.SetLabel(SourceName(int(state.range(0))));
    Rate(state, double(StretchW) * StretchH);
}

void BM_StretchDrawLinear_Pixman(benchmark::State& state) {
    const TBitmap32& src = Source(int(state.range(0)));
    TBitmap32 dest(StretchW, StretchH);
    dest.Clear(0xFFFFFFFF);
    TPixmanView s(src), d(dest);
    TAffineTransformation t;
    t.Scale(double(StretchW) / SourceW, double(StretchH) / SourceH);
    SetPixmanTransform(s.Image, t);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s.Image, nullptr, d.Image, 0, 0, 0, 0, 0, 0, StretchW,
                                 StretchH);
        benchmark::DoNotOptimize(dest.Bits());
    }
    state.SetLabel(SourceName(int(state.range(0))));
    Rate(state, double(StretchW) * StretchH);
}

// The two source rows of every destination row read once and the
// destination row written: what a bilinear downscale has to move.
void BM_StretchDrawLinear_MemoryBound(benchmark::State& state) {
    const TBitmap32& src = Source(1);
    TBitmap32 dest(StretchW, StretchH);
    std::vector<int> rows(StretchH);
    for (int j = 0; j < StretchH; ++j)
        rows[size_t(j)] =
            std::clamp(int(((2 * j + 1) * int64_t(SourceH) - StretchH) / (2 * StretchH)), 0, SourceH - 2);
    for (auto _ : state) {
        for (int j = 0; j < StretchH; ++j) {
            const TColor32* r0 = src.ScanLine(rows[size_t(j)]);
            const TColor32* r1 = r0 + SourceW;
            TColor32 acc = 0;
            for (int x = 0; x < SourceW; ++x) acc |= r0[x] ^ r1[x];
            std::fill(dest.ScanLine(j), dest.ScanLine(j) + StretchW, acc);
        }
        benchmark::DoNotOptimize(dest.Bits());
    }
    Rate(state, double(StretchW) * StretchH);
}

// ---- TransformDraw linear at 12.5° / bilinear affine OVER ----
// The whole source turned at full size: the destination is its bounding box.

struct TRotation {
    TAffineTransformation T;
    int W = 0, H = 0;
    TRotation() {
        TAffineTransformation turn;
        turn.Rotate(12.5);
        const TFloatRect box = turn.TransformedBounds(TFloatRect{0, 0, float(SourceW), float(SourceH)});
        W = int(std::ceil(box.Right - box.Left)) + 2;
        H = int(std::ceil(box.Bottom - box.Top)) + 2;
        T.Translate(-SourceW / 2.0, -SourceH / 2.0);
        T.Rotate(12.5);
        T.Translate(W / 2.0, H / 2.0);
    }
};

void BM_TransformDrawLinear_Ours(benchmark::State& state) {
    TBitmap32 src;
    src.Assign(Source(int(state.range(0))));
    src.DrawMode = TDrawMode::Blend;
    src.Resampler = TResamplerKind::Linear;
    const TRotation r;
    TBitmap32 dest(r.W, r.H);
    dest.Clear(0xFFFFFFFF);
    for (auto _ : state) {
        TransformDraw(dest, src, r.T);
        benchmark::DoNotOptimize(dest.Bits());
    }
    state.SetLabel(SourceName(int(state.range(0))));
    Rate(state, double(SourceW) * SourceH);
}

void BM_TransformDrawLinear_Pixman(benchmark::State& state) {
    const TBitmap32& src = Source(int(state.range(0)));
    const TRotation r;
    TBitmap32 dest(r.W, r.H);
    dest.Clear(0xFFFFFFFF);
    TPixmanView s(src), d(dest);
    SetPixmanTransform(s.Image, r.T);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s.Image, nullptr, d.Image, 0, 0, 0, 0, 0, 0, r.W, r.H);
        benchmark::DoNotOptimize(dest.Bits());
    }
    state.SetLabel(SourceName(int(state.range(0))));
    Rate(state, double(SourceW) * SourceH);
}

} // namespace

BENCHMARK(BM_DrawBlend_Ours)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawBlend_Pixman)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawBlend_MemoryBound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchDrawLinear_Ours)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchDrawLinear_Pixman)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchDrawLinear_MemoryBound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransformDrawLinear_Ours)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransformDrawLinear_Pixman)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
