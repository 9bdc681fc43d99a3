#include <gtest/gtest.h>

#include <random>

#include "engine/Bitmap32.h"
#include "engine/PixelOps.h"

namespace {
// The rule written out independently of BlendPixel.
TColor32 Expected(TColor32 s, TColor32 d, uint32_t m) {
    const uint32_t sa = s >> 24;
    const uint32_t w = m == 255 ? sa : ((m + 1) * sa) >> 8;
    if (w == 0) return d;
    if (m == 255 && sa == 255) return s;
    TColor32 out = 0;
    for (int k = 0; k < 4; ++k) {
        const int sc = (s >> (8 * k)) & 0xFF, dc = (d >> (8 * k)) & 0xFF;
        out |= TColor32((256 * dc + 128 + (sc - dc) * int(w)) >> 8) << (8 * k);
    }
    return out;
}

// The mask rule written out: Da := Intensity(M)·Da div 255 where Da > 0.
TColor32 MaskExpected(TColor32 d, TColor32 m) {
    const uint32_t a = d >> 24;
    if (a == 0) return d;
    const uint32_t grey = (((m >> 16) & 0xFF) * 61 + ((m >> 8) & 0xFF) * 174 + (m & 0xFF) * 21) >> 8;
    return (d & 0x00FFFFFFu) | ((grey * a / 255) << 24);
}
} // namespace

TEST(BlendRule, HandComputedValues) {
    // opaque source at master alpha 255 replaces the destination exactly
    EXPECT_EQ(BlendPixel(0xFF123456, 0x80ABCDEF, 255), 0xFF123456u);
    // at master alpha 254 the weight is 254, so the destination shows through
    const TColor32 r = BlendPixel(0xFF000000, 0xFFFFFFFF, 254);
    EXPECT_EQ(r, 0xFF020202u); // (256·255 + 128 − 255·254) >> 8 = 638 >> 8 = 2
    // alpha 128 onto transparent black: alpha (128·128 + 128) >> 8 = 64
    const TColor32 q = BlendPixel(0x80FF8040, 0x00000000, 255);
    EXPECT_EQ(AlphaOf(q), 64);
    EXPECT_EQ(RedOf(q), (255 * 128 + 128) >> 8);
    EXPECT_EQ(GreenOf(q), (128 * 128 + 128) >> 8);
    EXPECT_EQ(BlueOf(q), (64 * 128 + 128) >> 8);
    // weight 0 leaves everything, also with master alpha 0
    EXPECT_EQ(BlendPixel(0x00FFFFFF, 0x12345678, 255), 0x12345678u);
    EXPECT_EQ(BlendPixel(0xFFFFFFFF, 0x12345678, 0), 0x12345678u);
}

// Every (S, D, W) byte triple of one channel, through the span routine of
// every variant, against the literal rule. The colour channels and the alpha
// channel are tested by placing the swept bytes in all four positions. The
// routine for a transparent black destination gets every (S, W) pair, and
// the mask routine every (Da, intensity) pair (grey masks give every
// intensity).
TEST(BlendRule, ExhaustiveOverAllVariants) {
    std::vector<TColor32> src(256), dst(256), out(256);
    for (int v = 0; v < PixelOpsVariantCount(); ++v) {
        const TPixelOps& ops = PixelOpsVariant(v);
        for (uint32_t m : {255u, 254u, 128u, 1u, 0u, 77u}) {
            for (uint32_t sa = 0; sa < 256; ++sa) {
                for (uint32_t dc = 0; dc < 256; ++dc) {
                    for (uint32_t sc = 0; sc < 256; ++sc) {
                        src[sc] = (sa << 24) | (sc << 16) | ((255 - sc) << 8) | (sc ^ 0x5A);
                        dst[sc] = ((dc ^ 0x33) << 24) | (dc << 16) | (dc << 8) | (255 - dc);
                    }
                    out = dst;
                    ops.BlendLine(src.data(), out.data(), 256, m);
                    for (uint32_t sc = 0; sc < 256; ++sc)
                        ASSERT_EQ(out[sc], Expected(src[sc], dst[sc], m))
                            << ops.Name << " m=" << m << " sa=" << sa << " dc=" << dc << " sc=" << sc;
                }
                std::fill(out.begin(), out.end(), 0xA5A5A5A5u); // not read
                ops.BlendLineOnClear(src.data(), out.data(), 256, m);
                for (uint32_t sc = 0; sc < 256; ++sc)
                    ASSERT_EQ(out[sc], Expected(src[sc], 0, m))
                        << ops.Name << " on clear m=" << m << " sa=" << sa;
            }
        }
        for (uint32_t da = 0; da < 256; ++da) {
            for (uint32_t v = 0; v < 256; ++v) {
                src[v] = 0xFF000000u | v << 16 | v << 8 | v; // intensity v
                dst[v] = da << 24 | (v * 0x9E3779u & 0x00FFFFFFu);
            }
            out = dst;
            ops.MaskAlphaLine(out.data(), src.data(), 256);
            for (uint32_t v = 0; v < 256; ++v)
                ASSERT_EQ(out[v], MaskExpected(dst[v], src[v]))
                    << ops.Name << " mask da=" << da << " v=" << v;
        }
    }
}

// Random spans of awkward lengths (1 pixel, the vector widths and one either
// side of them, odd lengths), at unaligned addresses, with transparent and
// opaque runs among soft pixels, at the master alphas where the rule changes
// its shape; every fast variant against the scalar reference.
TEST(BlendRule, RandomSpansMatchScalarReference) {
    std::mt19937 rng(1234);
    const int lengths[] = {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 23, 24, 25, 31, 32, 33, 67, 130};
    const uint32_t masters[] = {0, 1, 254, 255};
    for (int v = 1; v < PixelOpsVariantCount(); ++v) {
        const TPixelOps& ops = PixelOpsVariant(v);
        for (int trial = 0; trial < 400; ++trial) {
            const int n = lengths[size_t(trial) % std::size(lengths)];
            const int offset = int(rng() % 8);
            std::vector<TColor32> s(size_t(n + offset)), d(size_t(n + offset + 1));
            // runs of one kind of alpha: 0, 255, or anything
            for (size_t i = 0; i < s.size();) {
                const uint32_t kind = rng() % 3;
                for (size_t run = 1 + rng() % 20; run > 0 && i < s.size(); --run, ++i) {
                    const TColor32 rgb = rng() & 0x00FFFFFFu;
                    s[i] = kind == 0 ? rgb : kind == 1 ? rgb | 0xFF000000u : rng();
                }
            }
            for (auto& p : d) p = rng();
            const uint32_t m = trial % 5 < 4 ? masters[size_t(trial) % 4] : rng() % 256;
            auto a = d, b = d;
            ScalarPixelOps().BlendLine(s.data() + offset, a.data() + offset, n, m);
            ops.BlendLine(s.data() + offset, b.data() + offset, n, m);
            ASSERT_EQ(a, b) << ops.Name << " n=" << n << " m=" << m;
            ScalarPixelOps().BlendLineOnClear(s.data() + offset, a.data() + offset, n, m);
            ops.BlendLineOnClear(s.data() + offset, b.data() + offset, n, m);
            ASSERT_EQ(a, b) << ops.Name << " on clear n=" << n << " m=" << m;
            // s as a coloured mask over the soft alphas of d
            ScalarPixelOps().MaskAlphaLine(a.data() + offset, s.data() + offset, n);
            ops.MaskAlphaLine(b.data() + offset, s.data() + offset, n);
            ASSERT_EQ(a, b) << ops.Name << " mask n=" << n;
        }
    }
}

TEST(BlendRule, DrawUsesSourceModeAndMasterAlpha) {
    TBitmap32 dst(4, 1), src(2, 1);
    dst.Clear(0xFFFFFFFF);
    src.Clear(0x80000000);
    src.DrawMode = TDrawMode::Opaque;
    dst.Draw(1, 0, src);
    EXPECT_EQ(dst.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(dst.Pixel(1, 0), 0x80000000u); // copied as it is
    dst.Clear(0xFFFFFFFF);
    src.DrawMode = TDrawMode::Blend;
    src.MasterAlpha = 128;
    dst.Draw(1, 0, src);
    EXPECT_EQ(dst.Pixel(1, 0), BlendPixel(0x80000000, 0xFFFFFFFF, 128));
    EXPECT_EQ(dst.Pixel(3, 0), 0xFFFFFFFFu);
}
