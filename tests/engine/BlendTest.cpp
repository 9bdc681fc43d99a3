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
// channel are tested by placing the swept bytes in all four positions.
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
            }
        }
    }
}

TEST(BlendRule, RandomSpansMatchScalarReference) {
    std::mt19937 rng(1234);
    for (int v = 1; v < PixelOpsVariantCount(); ++v) {
        for (int trial = 0; trial < 200; ++trial) {
            const int n = int(rng() % 67);
            std::vector<TColor32> s(size_t(n) + 1), d(size_t(n) + 1);
            for (auto& p : s) p = rng() | ((rng() % 4 == 0) ? 0 : 0xFF000000u) * (rng() % 2);
            for (auto& p : d) p = rng();
            auto a = d, b = d;
            const uint32_t m = rng() % 256;
            ScalarPixelOps().BlendLine(s.data(), a.data(), n, m);
            PixelOpsVariant(v).BlendLine(s.data(), b.data(), n, m);
            ASSERT_EQ(a, b) << PixelOpsVariant(v).Name;
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
