// StretchDraw with both resamplers: the sample positions, the linear weights
// and edge handling on hand-computed values, every row routine against the
// scalar one, and whole stretches against a reference written out here.

#include <gtest/gtest.h>

#include <random>

#include "engine/Bitmap32.h"
#include "engine/ParallelRows.h"
#include "engine/PixelOps.h"
#include "engine/Transform.h"

namespace {
TBitmap32 Row(std::initializer_list<TColor32> pixels) {
    TBitmap32 b(int(pixels.size()), 1);
    int x = 0;
    for (TColor32 p : pixels) b.SetPixel(x++, 0, p);
    return b;
}

TBitmap32 Random(int w, int h, std::mt19937& rng, bool opaque) {
    TBitmap32 b(w, h);
    for (size_t i = 0; i < b.PixelCount(); ++i) b.Bits()[i] = rng() | (opaque ? 0xFF000000u : 0u);
    return b;
}

// Destination pixel i of a span of dw pixels samples (i + 0.5)·sw/dw − 0.5,
// clamped into the source, in 16.16; the weight is the fraction's top byte.
void Tap(int i, int dw, int sw, int& i0, int& i1, uint32_t& f) {
    int64_t pos = ((2 * int64_t(i) + 1) * sw * 65536) / (2 * int64_t(dw)) - 32768;
    pos = std::clamp<int64_t>(pos, 0, int64_t(sw - 1) << 16);
    i0 = int(pos >> 16);
    i1 = std::min(i0 + 1, sw - 1);
    f = uint32_t(pos >> 8) & 0xFF;
}

uint32_t Lerp(uint32_t a, uint32_t b, uint32_t f) {
    return (a * (256 - f) + b * f + 128) >> 8;
}

TColor32 Bilinear(const TBitmap32& s, int x0, int x1, int y0, int y1, uint32_t fx, uint32_t fy) {
    TColor32 out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        auto ch = [&](int x, int y) { return (s.Pixel(x, y) >> shift) & 0xFF; };
        const uint32_t top = Lerp(ch(x0, y0), ch(x1, y0), fx), bottom = Lerp(ch(x0, y1), ch(x1, y1), fx);
        out |= Lerp(top, bottom, fy) << shift;
    }
    return out;
}
} // namespace

TEST(Stretch, NearestPicksTheSourcePixelUnderEachCentre) {
    TBitmap32 src = Row({0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
    TBitmap32 half(2, 1), twice(8, 1);
    half.StretchDraw(half.BoundsRect(), src);
    EXPECT_EQ(half.Pixel(0, 0), 0xFF000002u); // floor(0.5 · 4 / 2) = 1
    EXPECT_EQ(half.Pixel(1, 0), 0xFF000004u); // floor(1.5 · 2) = 3
    twice.StretchDraw(twice.BoundsRect(), src);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(twice.Pixel(x, 0), src.Pixel(x / 2, 0)) << x;
}

TEST(Stretch, LinearWeightsAndRepeatedEdges) {
    TBitmap32 src = Row({0xFF000000, 0xFFFFFFFF});
    src.Resampler = TResamplerKind::Linear;
    TBitmap32 out(4, 1);
    out.StretchDraw(out.BoundsRect(), src);
    // positions −0.25 → 0 (clamped), 0.25, 0.75, 1.25 → 1 (clamped)
    EXPECT_EQ(out.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(out.Pixel(1, 0), 0xFF404040u); // (255·64 + 128) >> 8 = 64
    EXPECT_EQ(out.Pixel(2, 0), 0xFFBFBFBFu); // (255·192 + 128) >> 8 = 191
    EXPECT_EQ(out.Pixel(3, 0), 0xFFFFFFFFu);
    // alpha is a channel like the others: half-transparent in the middle
    TBitmap32 fade = Row({0x00000000, 0xFFFFFFFF});
    fade.Resampler = TResamplerKind::Linear;
    TBitmap32 wide(4, 1);
    wide.StretchDraw(wide.BoundsRect(), fade);
    EXPECT_EQ(AlphaOf(wide.Pixel(1, 0)), 64);
    EXPECT_EQ(wide.Pixel(3, 0), 0xFFFFFFFFu);
}

// Rows of awkward lengths over sources with transparent and opaque runs, in
// every combine kind at the master alphas where the rule changes its shape.
TEST(Stretch, EveryRowRoutineMatchesTheScalarOne) {
    std::mt19937 rng(42);
    const TStretchRowOps& scalar = StretchRowVariant(0);
    ASSERT_STREQ(scalar.Name, "scalar");
    const int lengths[] = {0, 1, 7, 8, 9, 15, 16, 17, 44};
    const uint32_t masters[] = {0, 1, 254, 255};
    const TCombineKind kinds[] = {TCombineKind::Copy, TCombineKind::Blend, TCombineKind::BlendOnClear};
    for (int v = 1; v < StretchRowVariantCount(); ++v) {
        const TStretchRowOps& ops = StretchRowVariant(v);
        for (int trial = 0; trial < 600; ++trial) {
            const int sw = 2 + int(rng() % 50), count = lengths[size_t(trial) % std::size(lengths)];
            const size_t n = static_cast<size_t>(sw), m = static_cast<size_t>(count);
            std::vector<TColor32> r0(n), r1(n);
            const uint32_t alphaKind = rng() % 4; // 0, 255, runs of both, anything
            for (size_t i = 0; i < n; ++i) {
                const uint32_t kind = alphaKind == 2 ? uint32_t(i / 5) % 2 : alphaKind;
                for (TColor32* p : {&r0[i], &r1[i]}) {
                    const TColor32 rgb = rng() & 0x00FFFFFFu;
                    *p = kind == 0 ? rgb : kind == 1 ? rgb | 0xFF000000u : rng();
                }
            }
            std::vector<int32_t> x(m);
            std::vector<uint32_t> fx(m);
            for (size_t k = 0; k < m; ++k) {
                x[k] = int32_t(rng() % uint32_t(sw - 1));
                fx[k] = trial % 7 == 0 ? (k % 2 ? 255 : 0) : rng() % 256;
            }
            const uint32_t fy = trial % 5 == 0 ? 255 : trial % 5 == 1 ? 0 : rng() % 256;
            const TCombineKind kind = kinds[size_t(trial / 3) % 3];
            const uint32_t master = trial % 11 == 0 ? rng() % 256 : masters[size_t(trial) % 4];
            std::vector<TColor32> a(m + 1);
            for (auto& p : a) p = rng();
            a[m] = 0xDEADBEEF;
            auto b = a;
            scalar.Row(r0.data(), r1.data(), x.data(), fx.data(), fy, a.data(), count, kind, master);
            ops.Row(r0.data(), r1.data(), x.data(), fx.data(), fy, b.data(), count, kind, master);
            ASSERT_EQ(a, b) << ops.Name << " trial " << trial << " kind " << int(kind) << " master "
                            << master;
            EXPECT_EQ(b[m], 0xDEADBEEFu) << "wrote past the row";
            // nearest: any column, the last one included
            for (size_t k = 0; k < m; ++k) x[k] = int32_t(rng() % uint32_t(sw));
            scalar.Nearest(r0.data(), x.data(), a.data(), count, kind, master);
            ops.Nearest(r0.data(), x.data(), b.data(), count, kind, master);
            ASSERT_EQ(a, b) << ops.Name << " nearest trial " << trial << " kind " << int(kind);
            EXPECT_EQ(b[m], 0xDEADBEEFu) << "wrote past the row";
        }
    }
}

// Up, down, odd factors and a clip rectangle, blended onto a busy
// destination, against the mapping and weights written out above.
TEST(Stretch, LinearStretchMatchesTheReference) {
    std::mt19937 rng(7);
    struct TCase {
        int sw, sh, dw, dh;
    };
    for (const TCase c : {TCase{30, 20, 15, 10}, TCase{7, 5, 23, 17}, TCase{64, 48, 37, 29},
                          TCase{3, 40, 41, 6}, TCase{100, 1, 33, 3}, TCase{1, 6, 9, 13}}) {
        SCOPED_TRACE(std::to_string(c.sw) + "x" + std::to_string(c.sh) + " -> " + std::to_string(c.dw) + "x" +
                     std::to_string(c.dh));
        TBitmap32 src = Random(c.sw, c.sh, rng, false);
        src.Resampler = TResamplerKind::Linear;
        src.DrawMode = TDrawMode::Blend;
        src.MasterAlpha = 200;
        const TBitmap32 base = Random(c.dw + 10, c.dh + 10, rng, true);
        TBitmap32 out;
        out.Assign(base);
        out.SetClipRect({6, 4, c.dw + 3, c.dh + 2}); // cuts the left, top, right and bottom
        const TRect dest{5, 3, 5 + c.dw, 3 + c.dh};
        out.StretchDraw(dest, src);
        for (int y = 0; y < out.Height(); ++y)
            for (int x = 0; x < out.Width(); ++x) {
                TColor32 expected = base.Pixel(x, y);
                if (x >= 6 && x < c.dw + 3 && y >= 4 && y < c.dh + 2) {
                    int x0, x1, y0, y1;
                    uint32_t fx, fy;
                    Tap(x - dest.Left, c.dw, c.sw, x0, x1, fx);
                    Tap(y - dest.Top, c.dh, c.sh, y0, y1, fy);
                    expected = BlendPixel(Bilinear(src, x0, x1, y0, y1, fx, fy), expected, 200);
                }
                ASSERT_EQ(out.Pixel(x, y), expected) << "at " << x << ", " << y;
            }
    }
}

// Full-resolution renders split large drawings into bands of rows on several
// threads; the pixels must not depend on it.
TEST(Stretch, BandsOnHelperThreadsGiveTheSamePixels) {
    std::mt19937 rng(99);
    TBitmap32 src = Random(700, 520, rng, false);
    src.DrawMode = TDrawMode::Blend;
    src.Resampler = TResamplerKind::Linear;
    src.MasterAlpha = 230;
    const TBitmap32 base = Random(900, 760, rng, true);
    TAffineTransformation t;
    t.Translate(-350, -260);
    t.Rotate(17);
    t.Scale(1.1, 1.05);
    t.Translate(450, 380);
    TTransformCover cover{t, {100, 100, 600, 400}};
    auto draw = [&](TBitmap32& out) {
        out.Assign(base);
        out.StretchDraw({3, 5, 880, 751}, src);
        TransformDraw(out, src, t);
        TransformDrawUnder(out, src, t, cover);
    };
    TBitmap32 single, banded;
    draw(single);
    {
        TParallelDrawScope parallel;
        ASSERT_GT(DrawBandCount(760, 900 * 760), std::thread::hardware_concurrency() > 1 ? 1 : 0);
        draw(banded);
    }
    EXPECT_EQ(DrawBandCount(760, 900 * 760), 1) << "the scope is closed";
    ASSERT_EQ(single.PixelCount(), banded.PixelCount());
    EXPECT_TRUE(std::equal(single.Bits(), single.Bits() + single.PixelCount(), banded.Bits()));
}
