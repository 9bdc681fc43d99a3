// Every implementation of TransformDraw against the pixel-by-pixel reference,
// on seeded random pictures, transforms, modes and clip rectangles.

#include <gtest/gtest.h>

#include <random>

#include "common/TestSupport.h"
#include "engine/PixelOps.h"
#include "engine/Transform.h"

namespace {

TBitmap32 RandomPicture(std::mt19937& rng, int w, int h) {
    TBitmap32 b(w, h);
    std::uniform_int_distribution<uint32_t> any;
    std::uniform_int_distribution<int> kind(0, 9);
    for (size_t i = 0; i < b.PixelCount(); ++i) {
        uint32_t c = any(rng);
        switch (kind(rng)) {
        case 0:
        case 1:
            c &= 0x00FFFFFFu;
            break; // fully transparent, colour kept
        case 2:
        case 3:
            c |= 0xFF000000u;
            break; // opaque
        default:
            break;
        }
        b.Bits()[i] = c;
    }
    return b;
}

struct TCase {
    TBitmap32 Source, Dest;
    TAffineTransformation T;
};

TCase RandomCase(std::mt19937& rng) {
    std::uniform_int_distribution<int> small(1, 40), big(1, 90), pick(0, 9);
    std::uniform_real_distribution<double> unit(0, 1), frac(-3, 3);
    TCase c;
    const bool tiny = pick(rng) < 2;
    c.Source = RandomPicture(rng, tiny ? std::uniform_int_distribution<int>(1, 3)(rng) : small(rng),
                             tiny ? std::uniform_int_distribution<int>(1, 3)(rng) : small(rng));
    c.Source.DrawMode = pick(rng) < 7 ? TDrawMode::Blend : TDrawMode::Opaque;
    c.Source.Resampler = pick(rng) < 8 ? TResamplerKind::Linear : TResamplerKind::Nearest;
    const int m = pick(rng);
    c.Source.MasterAlpha = m < 4    ? 255
                           : m == 4 ? 0
                           : m == 5 ? 1
                                    : uint8_t(std::uniform_int_distribution<int>(0, 255)(rng));
    c.Source.OuterColor = pick(rng) < 5 ? 0 : std::uniform_int_distribution<uint32_t>()(rng);
    c.Dest = RandomPicture(rng, big(rng) + 10, big(rng) + 10);
    if (pick(rng) < 3) {
        const int l = std::uniform_int_distribution<int>(0, c.Dest.Width() - 1)(rng);
        const int t = std::uniform_int_distribution<int>(0, c.Dest.Height() - 1)(rng);
        c.Dest.SetClipRect({l, t, l + big(rng), t + big(rng)});
    }
    // translations (whole, half and arbitrary pixels), rotations, scales, mirrors
    const int shape = pick(rng);
    c.T.Translate(-c.Source.Width() / 2.0, -c.Source.Height() / 2.0);
    if (shape >= 3)
        c.T.Rotate(shape == 3 ? 90.0 * std::uniform_int_distribution<int>(0, 3)(rng) : unit(rng) * 360);
    if (shape >= 6) c.T.Scale(0.3 + unit(rng) * 3, 0.3 + unit(rng) * 3);
    if (shape == 9) c.T.Scale(-1, 1);
    double dx = c.Dest.Width() / 2.0, dy = c.Dest.Height() / 2.0;
    if (shape == 1) dx += 0.5, dy += 0.5;
    if (shape == 2 || shape >= 3) dx += frac(rng), dy += frac(rng);
    if (shape == 0)
        dx = std::round(dx) + 0.5 * (c.Source.Width() % 2),
        dy = std::round(dy) + 0.5 * (c.Source.Height() % 2);
    // sometimes far enough out that only a border strip is drawn
    if (pick(rng) == 0) dx += (pick(rng) - 5) * 10;
    c.T.Translate(dx, dy);
    return c;
}

} // namespace

TEST(TransformFast, AllVariantsMatchTheReference) {
    ASSERT_GE(TransformDrawVariantCount(), 1);
    std::mt19937 rng(20240611);
    for (int n = 0; n < 3000; ++n) {
        TCase c = RandomCase(rng);
        TBitmap32 expected;
        expected.Assign(c.Dest);
        expected.SetClipRect(c.Dest.ClipRect());
        TransformDrawReference(expected, c.Source, c.T);
        for (int v = 0; v < TransformDrawVariantCount(); ++v) {
            TBitmap32 got;
            got.Assign(c.Dest);
            got.SetClipRect(c.Dest.ClipRect());
            TransformDrawVariant(v, got, c.Source, c.T);
            int differing = 0;
            ASSERT_EQ(MaxChannelDiff(got, expected, &differing), 0)
                << TransformDrawVariantName(v) << " case " << n << " source " << c.Source.Width() << "x"
                << c.Source.Height() << " differing " << differing;
        }
    }
}

// Large pictures so that the eight-pixel blocks, the plain-load path of pure
// translations and the masked edges all run on long rows.
TEST(TransformFast, LongRowsMatchTheReference) {
    std::mt19937 rng(99);
    for (double angle : {0.0, 0.0, 12.5, 90.0, 200.0}) {
        for (double shift : {0.0, 0.25, 0.5, 0.75}) {
            TBitmap32 source = RandomPicture(rng, 203, 77);
            source.DrawMode = TDrawMode::Blend;
            source.Resampler = TResamplerKind::Linear;
            source.MasterAlpha = shift == 0.25 ? 200 : 255;
            TBitmap32 dest = RandomPicture(rng, 260, 240);
            TAffineTransformation t;
            t.Translate(-101.5, -38.5);
            t.Rotate(angle);
            t.Translate(130 + shift, 120 + shift / 2);
            TBitmap32 expected;
            expected.Assign(dest);
            TransformDrawReference(expected, source, t);
            for (int v = 0; v < TransformDrawVariantCount(); ++v) {
                TBitmap32 got;
                got.Assign(dest);
                TransformDrawVariant(v, got, source, t);
                ASSERT_EQ(MaxChannelDiff(got, expected), 0)
                    << TransformDrawVariantName(v) << " angle " << angle << " shift " << shift;
            }
            // the dispatching entry point gives the same
            TBitmap32 got;
            got.Assign(dest);
            TransformDraw(got, source, t);
            ASSERT_EQ(MaxChannelDiff(got, expected), 0);
        }
    }
}

// Drawing under a cover leaves out only pixels the cover then replaces.
TEST(TransformFast, DrawingUnderACoverGivesTheSameResult) {
    std::mt19937 rng(4242);
    std::uniform_int_distribution<int> pick(0, 9);
    for (int n = 0; n < 1500; ++n) {
        TCase under = RandomCase(rng);
        TCase over = RandomCase(rng);
        TBitmap32& cover = over.Source;
        cover.DrawMode = pick(rng) < 8 ? TDrawMode::Blend : TDrawMode::Opaque;
        cover.Resampler = TResamplerKind::Linear;
        cover.MasterAlpha = 255;
        // an opaque rectangle somewhere inside the cover
        std::uniform_int_distribution<int> cx(0, cover.Width() - 1), cy(0, cover.Height() - 1);
        int l = cx(rng), r = cx(rng), t = cy(rng), b = cy(rng);
        if (l > r) std::swap(l, r);
        if (t > b) std::swap(t, b);
        const TRect opaque{l, t, r + 1, b + 1};
        for (int y = opaque.Top; y < opaque.Bottom; ++y)
            for (int x = opaque.Left; x < opaque.Right; ++x)
                cover.SetPixel(x, y, cover.Pixel(x, y) | 0xFF000000u);

        TBitmap32 expected;
        expected.Assign(under.Dest);
        expected.SetClipRect(under.Dest.ClipRect());
        TBitmap32 got;
        got.Assign(expected);
        got.SetClipRect(expected.ClipRect());
        TransformDrawReference(expected, under.Source, under.T);
        TransformDrawReference(expected, cover, over.T);
        TransformDrawUnder(got, under.Source, under.T, {over.T, opaque});
        TransformDraw(got, cover, over.T);
        ASSERT_EQ(MaxChannelDiff(got, expected), 0) << "case " << n;
    }
}

// Several covers drawn one after the other, overlapping each other and the
// drawing under them in any way.
TEST(TransformFast, DrawingUnderSeveralCovers) {
    std::mt19937 rng(777);
    for (int n = 0; n < 600; ++n) {
        TCase under = RandomCase(rng);
        const int count = std::uniform_int_distribution<int>(1, 4)(rng);
        std::vector<TBitmap32> sources(static_cast<size_t>(count));
        std::vector<TTransformCover> covers;
        for (int i = 0; i < count; ++i) {
            TCase over = RandomCase(rng);
            TBitmap32& cover = sources[size_t(i)];
            cover.Assign(over.Source);
            cover.DrawMode = TDrawMode::Blend;
            cover.Resampler = TResamplerKind::Linear;
            cover.MasterAlpha = 255;
            const TRect opaque{0, 0, cover.Width(), std::max(1, cover.Height() / 2)};
            for (int y = opaque.Top; y < opaque.Bottom; ++y)
                for (int x = opaque.Left; x < opaque.Right; ++x)
                    cover.SetPixel(x, y, cover.Pixel(x, y) | 0xFF000000u);
            covers.push_back({over.T, opaque});
        }
        TBitmap32 expected, got;
        expected.Assign(under.Dest);
        expected.SetClipRect(under.Dest.ClipRect());
        got.Assign(expected);
        got.SetClipRect(expected.ClipRect());
        TransformDrawReference(expected, under.Source, under.T);
        TransformDrawUnder(got, under.Source, under.T, covers.data(), count);
        for (int i = 0; i < count; ++i) {
            TransformDrawReference(expected, sources[size_t(i)], covers[size_t(i)].Transform);
            TransformDraw(got, sources[size_t(i)], covers[size_t(i)].Transform);
        }
        ASSERT_EQ(MaxChannelDiff(got, expected), 0) << "case " << n;
    }
}

// The packed bilinear sample against the byte-by-byte one: every weight pair
// on random pixels, plus the extreme bytes.
TEST(TransformFast, PackedBilinearMatchesTheLiteralOne) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<uint32_t> any;
    const TColor32 edge[] = {0x00000000u, 0xFFFFFFFFu, 0xFF00FF00u, 0x00FF00FFu};
    for (uint32_t fx = 0; fx < 256; ++fx)
        for (uint32_t fy = 0; fy < 256; ++fy) {
            for (int n = 0; n < 8; ++n) {
                const TColor32 a = any(rng), b = any(rng), c = any(rng), d = any(rng);
                ASSERT_EQ(BilinearPixelPacked(a, b, c, d, fx, fy), BilinearPixel(a, b, c, d, fx, fy));
            }
            for (TColor32 a : edge)
                for (TColor32 b : edge)
                    ASSERT_EQ(BilinearPixelPacked(a, b, b, a, fx, fy), BilinearPixel(a, b, b, a, fx, fy));
        }
}
