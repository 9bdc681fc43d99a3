// The vector intrinsics come first: GCC 12 reports false "may be used
// uninitialized" warnings inside the AVX-512 headers (its bug 105593), which
// are silenced for those header lines only.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VELMORA_TRANSFORM_AVX2 1
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#endif

#include "engine/Transform.h"

#include "engine/ParallelRows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/PixelOps.h"

void TAffineTransformation::Clear() {
    A = 1, B = 0, C = 0;
    D = 0, E = 1, F = 0;
}

void TAffineTransformation::Translate(double dx, double dy) {
    C += dx;
    F += dy;
}

void TAffineTransformation::Rotate(double degrees) {
    const double r = degrees * M_PI / 180.0;
    const double cs = std::cos(r), sn = std::sin(r);
    // new = R · old with R = [cs sn; -sn cs]
    const double a = cs * A + sn * D, b = cs * B + sn * E, c = cs * C + sn * F;
    const double d = -sn * A + cs * D, e = -sn * B + cs * E, f = -sn * C + cs * F;
    A = a, B = b, C = c, D = d, E = e, F = f;
}

void TAffineTransformation::Scale(double sx, double sy) {
    A *= sx, B *= sx, C *= sx;
    D *= sy, E *= sy, F *= sy;
}

void TAffineTransformation::Transform(double x, double y, double& ox, double& oy) const {
    ox = A * x + B * y + C;
    oy = D * x + E * y + F;
}

TFloatPoint TAffineTransformation::Transform(TFloatPoint p) const {
    double x, y;
    Transform(p.X, p.Y, x, y);
    return {float(x), float(y)};
}

bool TAffineTransformation::Inverse(TAffineTransformation& inv) const {
    const double det = A * E - B * D;
    if (det == 0 || !std::isfinite(det)) return false;
    inv.A = E / det;
    inv.B = -B / det;
    inv.D = -D / det;
    inv.E = A / det;
    inv.C = -(inv.A * C + inv.B * F);
    inv.F = -(inv.D * C + inv.E * F);
    return true;
}

bool TAffineTransformation::ReverseTransform(double x, double y, double& ox, double& oy) const {
    TAffineTransformation inv;
    ox = oy = 0;
    if (!Inverse(inv)) return false;
    inv.Transform(x, y, ox, oy);
    return true;
}

TFloatRect TAffineTransformation::TransformedBounds(const TFloatRect& r) const {
    double xs[4], ys[4];
    Transform(r.Left, r.Top, xs[0], ys[0]);
    Transform(r.Right, r.Top, xs[1], ys[1]);
    Transform(r.Right, r.Bottom, xs[2], ys[2]);
    Transform(r.Left, r.Bottom, xs[3], ys[3]);
    return {float(*std::min_element(xs, xs + 4)), float(*std::min_element(ys, ys + 4)),
            float(*std::max_element(xs, xs + 4)), float(*std::max_element(ys, ys + 4))};
}

namespace {

// The destination-to-source mapping in 16.16 fixed point, so that the fast
// incremental walk and the per-pixel reference compute identical positions:
//   U(x, y) = U0 + x·Ux + y·Uy, V(x, y) = V0 + x·Vx + y·Vy
// U, V are the sample positions of the destination pixel centre in source
// pixel units, shifted by half a pixel so that integer positions are source
// pixel centres.
struct TFixedMapping {
    int64_t U0 = 0, Ux = 0, Uy = 0, V0 = 0, Vx = 0, Vy = 0;
    bool Valid = false;
};

constexpr double kFixedLimit = 4.0e12; // keeps every product far from int64 overflow

TFixedMapping MakeMapping(const TAffineTransformation& t) {
    TFixedMapping m;
    TAffineTransformation inv;
    if (!t.Inverse(inv)) return m;
    const double u0 = (0.5 * inv.A + 0.5 * inv.B + inv.C - 0.5) * 65536.0;
    const double v0 = (0.5 * inv.D + 0.5 * inv.E + inv.F - 0.5) * 65536.0;
    const double vals[6] = {u0, inv.A * 65536.0, inv.B * 65536.0, v0, inv.D * 65536.0, inv.E * 65536.0};
    for (double v : vals)
        if (!std::isfinite(v) || std::fabs(v) > kFixedLimit) return m;
    m.U0 = Round64(u0), m.Ux = Round64(vals[1]), m.Uy = Round64(vals[2]);
    m.V0 = Round64(v0), m.Vx = Round64(vals[4]), m.Vy = Round64(vals[5]);
    m.Valid = true;
    return m;
}

inline int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b, r = a % b;
    return (r != 0 && ((r < 0) != (b < 0))) ? q - 1 : q;
}
inline int64_t CeilDiv(int64_t a, int64_t b) {
    return -FloorDiv(-a, b);
}

// Narrows [lo, hi] of x to where lo_v <= base + x·step <= hi_v.
void Constrain(int64_t base, int64_t step, int64_t loV, int64_t hiV, int64_t& lo, int64_t& hi) {
    if (step == 0) {
        if (base < loV || base > hiV) hi = lo - 1;
        return;
    }
    int64_t a, b;
    if (step > 0) {
        a = CeilDiv(loV - base, step);
        b = FloorDiv(hiV - base, step);
    } else {
        a = CeilDiv(hiV - base, step);
        b = FloorDiv(loV - base, step);
    }
    lo = std::max(lo, a);
    hi = std::min(hi, b);
}

// The fixed-point limits of positions drawn. Linear: the integer part of the
// position may be −1 .. size−1 (some of the four neighbours inside).
// Nearest: the pixel floor(position + 0.5) must lie inside.
struct TLimits {
    int64_t ULo, UHi, VLo, VHi;
};

TLimits LimitsFor(const TBitmap32& s) {
    if (s.Resampler == TResamplerKind::Linear)
        return {-65536, int64_t(s.Width()) * 65536 - 1, -65536, int64_t(s.Height()) * 65536 - 1};
    return {-32768, int64_t(s.Width()) * 65536 - 32769, -32768, int64_t(s.Height()) * 65536 - 32769};
}

inline TColor32 SampleLinearSafe(const TBitmap32& s, int64_t u, int64_t v) {
    const int x0 = int(u >> 16), y0 = int(v >> 16);
    const uint32_t fx = uint32_t((u >> 8) & 0xFF), fy = uint32_t((v >> 8) & 0xFF);
    return BilinearPixel(s.PixelS(x0, y0), s.PixelS(x0 + 1, y0), s.PixelS(x0, y0 + 1),
                         s.PixelS(x0 + 1, y0 + 1), fx, fy);
}

inline TColor32 SampleNearest(const TBitmap32& s, int64_t u, int64_t v) {
    return s.Pixel(int((u + 32768) >> 16), int((v + 32768) >> 16));
}

} // namespace

void TransformDrawReference(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t) {
    if (dest.Empty() || source.Empty()) return;
    if (source.DrawMode == TDrawMode::Blend && source.MasterAlpha == 0) return;
    const TFixedMapping m = MakeMapping(t);
    if (!m.Valid) return;
    const TLimits lim = LimitsFor(source);
    const TRect clip = dest.ClipRect();
    for (int y = clip.Top; y < clip.Bottom; ++y)
        for (int x = clip.Left; x < clip.Right; ++x) {
            const int64_t u = m.U0 + x * m.Ux + y * m.Uy;
            const int64_t v = m.V0 + x * m.Vx + y * m.Vy;
            if (u < lim.ULo || u > lim.UHi || v < lim.VLo || v > lim.VHi) continue;
            const TColor32 c = source.Resampler == TResamplerKind::Linear ? SampleLinearSafe(source, u, v)
                                                                          : SampleNearest(source, u, v);
            TColor32& d = *dest.PixelPtr(x, y);
            d = source.DrawMode == TDrawMode::Opaque ? c : BlendPixel(c, d, source.MasterAlpha);
        }
}

// ---- Fast drawing ----
//
// The driver finds, per destination row, the span of pixels whose sample
// position lies inside the source (exactly the pixels the reference visits)
// and hands linear spans to a row routine. Every row routine computes, per
// pixel, the same 16.16 position, the same four neighbours (OuterColor
// outside), the same 8-bit weights and the same blend as the reference.

namespace {

struct TLinearRow {
    const TColor32* Bits;
    int SW, SH;
    TColor32 Outer;
    int64_t U, V, Ux, Vx; // position of the first pixel and the step per pixel
    int Count;
    TColor32* Dst;
    bool Blend;
    uint32_t Master;
};

inline TColor32 SampleLinearRaw(const TColor32* bits, int sw, int sh, TColor32 outer, int64_t u, int64_t v) {
    const int x0 = int(u >> 16), y0 = int(v >> 16);
    const uint32_t fx = uint32_t((u >> 8) & 0xFF), fy = uint32_t((v >> 8) & 0xFF);
    if (unsigned(x0) < unsigned(sw - 1) && unsigned(y0) < unsigned(sh - 1)) {
        const TColor32* p = bits + size_t(y0) * size_t(sw) + size_t(x0);
        return LerpPacked(LerpPacked(p[0], p[1], fx), LerpPacked(p[sw], p[sw + 1], fx), fy);
    }
    auto at = [&](int x, int y) {
        return (x >= 0 && y >= 0 && x < sw && y < sh) ? bits[size_t(y) * size_t(sw) + size_t(x)] : outer;
    };
    return LerpPacked(LerpPacked(at(x0, y0), at(x0 + 1, y0), fx),
                      LerpPacked(at(x0, y0 + 1), at(x0 + 1, y0 + 1), fx), fy);
}

// Portable: samples into a line buffer, then combines it with the span
// routines of PixelOps.
void LinearRowPortable(const TLinearRow& r, std::vector<TColor32>& line) {
    line.resize(size_t(r.Count));
    int64_t u = r.U, v = r.V;
    for (int k = 0; k < r.Count; ++k, u += r.Ux, v += r.Vx)
        line[size_t(k)] = SampleLinearRaw(r.Bits, r.SW, r.SH, r.Outer, u, v);
    if (r.Blend)
        PixelOps().BlendLine(line.data(), r.Dst, r.Count, r.Master);
    else
        std::memcpy(r.Dst, line.data(), size_t(r.Count) * sizeof(TColor32));
}

#ifdef VELMORA_TRANSFORM_AVX2
// Eight pixels at a time in 16-bit lanes, blend fused in:
//   top = (p00·(256 − fx) + p10·fx + 128) >> 8, bottom likewise,
//   sample = (top·(256 − fy) + bottom·fy + 128) >> 8       (= LerpPacked)
//   W' = ((M + 1)·Sa) >> 8, 256 where it is 255,
//   D' = (D·(256 − W') + S·W' + 128) >> 8                   (= BlendPixel)
// Every product and sum stays below 65536. Pure translations read the four
// neighbours with plain loads; other mappings gather them, masked at the
// source edges so that OuterColor is read there. The tail of a row (fewer
// than eight pixels) goes through the scalar formulas.
__attribute__((target("avx2"))) inline __m256i Lerp16(__m256i a, __m256i b, __m256i f, __m256i c128,
                                                      __m256i c256) {
    const __m256i g = _mm256_sub_epi16(c256, f);
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, g), _mm256_mullo_epi16(b, f)), c128), 8);
}

// The blend rule on four pixels in 16-bit lanes; m1 = master alpha + 1.
__attribute__((target("avx2"))) inline __m256i Blend16(__m256i s16, __m256i d16, __m256i m1, __m256i c128,
                                                       __m256i c255, __m256i c256, __m256i one) {
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, 0xFF), 0xFF);
    __m256i w = _mm256_srli_epi16(_mm256_mullo_epi16(a, m1), 8);
    w = _mm256_add_epi16(w, _mm256_and_si256(_mm256_cmpeq_epi16(w, c255), one));
    return Lerp16(d16, s16, w, c128, c256);
}

__attribute__((target("avx2"))) void LinearRowAVX2(const TLinearRow& r, std::vector<TColor32>&) {
    const int sw = r.SW, sh = r.SH;
    const TColor32* bits = r.Bits;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i c128 = _mm256_set1_epi16(128), c256 = _mm256_set1_epi16(256);
    const __m256i c255 = _mm256_set1_epi16(255), one = _mm256_set1_epi16(1);
    const __m256i m1 = _mm256_set1_epi16(short(r.Master + 1));
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i alphaBytes = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    // lane offsets k·step, wrapping: the positions themselves fit in 32 bits
    // inside the span, so modular arithmetic gives them exactly
    const __m256i uStep = _mm256_mullo_epi32(lane, _mm256_set1_epi32(int32_t(uint32_t(uint64_t(r.Ux)))));
    const __m256i vStep = _mm256_mullo_epi32(lane, _mm256_set1_epi32(int32_t(uint32_t(uint64_t(r.Vx)))));
    const __m256i outer = _mm256_set1_epi32(int(r.Outer));
    const __m256i minus1 = _mm256_set1_epi32(-1), swLast = _mm256_set1_epi32(sw - 1),
                  shLast = _mm256_set1_epi32(sh - 1), swv = _mm256_set1_epi32(sw),
                  onev = _mm256_set1_epi32(1);
    const bool translation = r.Ux == 65536 && r.Vx == 0;
    const int* base = reinterpret_cast<const int*>(bits);

    int k = 0;
    int64_t u = r.U, v = r.V;
    for (; k + 8 <= r.Count; k += 8, u += 8 * r.Ux, v += 8 * r.Vx) {
        __m256i p00, p10, p01, p11, fx, fy;
        const int ix0 = int(u >> 16), iy0 = int(v >> 16);
        if (translation && ix0 >= 0 && ix0 + 8 < sw && iy0 >= 0 && iy0 < sh - 1) {
            const TColor32* r0 = bits + size_t(iy0) * size_t(sw) + size_t(ix0);
            const TColor32* r1 = r0 + sw;
            p00 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r0));
            p10 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r0 + 1));
            p01 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r1));
            p11 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(r1 + 1));
            fx = _mm256_set1_epi32(int((u >> 8) & 0xFF) * 0x10001);
            fy = _mm256_set1_epi32(int((v >> 8) & 0xFF) * 0x10001);
        } else {
            const __m256i uu = _mm256_add_epi32(_mm256_set1_epi32(int32_t(uint32_t(uint64_t(u)))), uStep);
            const __m256i vv = _mm256_add_epi32(_mm256_set1_epi32(int32_t(uint32_t(uint64_t(v)))), vStep);
            const __m256i ix = _mm256_srai_epi32(uu, 16), iy = _mm256_srai_epi32(vv, 16);
            const __m256i fx32 = _mm256_and_si256(_mm256_srli_epi32(uu, 8), byte);
            const __m256i fy32 = _mm256_and_si256(_mm256_srli_epi32(vv, 8), byte);
            fx = _mm256_or_si256(fx32, _mm256_slli_epi32(fx32, 16));
            fy = _mm256_or_si256(fy32, _mm256_slli_epi32(fy32, 16));
            const __m256i i00 = _mm256_add_epi32(_mm256_mullo_epi32(iy, swv), ix);
            const __m256i i10 = _mm256_add_epi32(i00, onev), i01 = _mm256_add_epi32(i00, swv);
            const __m256i i11 = _mm256_add_epi32(i01, onev);
            const __m256i x0ok = _mm256_cmpgt_epi32(ix, minus1), x1ok = _mm256_cmpgt_epi32(swLast, ix);
            const __m256i y0ok = _mm256_cmpgt_epi32(iy, minus1), y1ok = _mm256_cmpgt_epi32(shLast, iy);
            const __m256i inside =
                _mm256_and_si256(_mm256_and_si256(x0ok, x1ok), _mm256_and_si256(y0ok, y1ok));
            if (_mm256_movemask_epi8(inside) == -1) {
                p00 = _mm256_i32gather_epi32(base, i00, 4);
                p10 = _mm256_i32gather_epi32(base, i10, 4);
                p01 = _mm256_i32gather_epi32(base, i01, 4);
                p11 = _mm256_i32gather_epi32(base, i11, 4);
            } else {
                p00 = _mm256_mask_i32gather_epi32(outer, base, i00, _mm256_and_si256(x0ok, y0ok), 4);
                p10 = _mm256_mask_i32gather_epi32(outer, base, i10, _mm256_and_si256(x1ok, y0ok), 4);
                p01 = _mm256_mask_i32gather_epi32(outer, base, i01, _mm256_and_si256(x0ok, y1ok), 4);
                p11 = _mm256_mask_i32gather_epi32(outer, base, i11, _mm256_and_si256(x1ok, y1ok), 4);
            }
        }
        // fully transparent neighbourhoods sample to 0, which blends to nothing
        if (r.Blend) {
            const __m256i any = _mm256_or_si256(_mm256_or_si256(p00, p10), _mm256_or_si256(p01, p11));
            if (_mm256_testz_si256(any, alphaBytes)) continue;
        }
        // weights per pixel, matching the byte unpacking below (pixels 0, 1,
        // 4, 5 in the low halves, 2, 3, 6, 7 in the high halves)
        const __m256i fxLo = _mm256_unpacklo_epi32(fx, fx), fxHi = _mm256_unpackhi_epi32(fx, fx);
        const __m256i fyLo = _mm256_unpacklo_epi32(fy, fy), fyHi = _mm256_unpackhi_epi32(fy, fy);
        const __m256i topLo =
            Lerp16(_mm256_unpacklo_epi8(p00, zero), _mm256_unpacklo_epi8(p10, zero), fxLo, c128, c256);
        const __m256i topHi =
            Lerp16(_mm256_unpackhi_epi8(p00, zero), _mm256_unpackhi_epi8(p10, zero), fxHi, c128, c256);
        const __m256i botLo =
            Lerp16(_mm256_unpacklo_epi8(p01, zero), _mm256_unpacklo_epi8(p11, zero), fxLo, c128, c256);
        const __m256i botHi =
            Lerp16(_mm256_unpackhi_epi8(p01, zero), _mm256_unpackhi_epi8(p11, zero), fxHi, c128, c256);
        const __m256i sLo = Lerp16(topLo, botLo, fyLo, c128, c256);
        const __m256i sHi = Lerp16(topHi, botHi, fyHi, c128, c256);
        __m256i* out = reinterpret_cast<__m256i*>(r.Dst + k);
        if (!r.Blend) {
            _mm256_storeu_si256(out, _mm256_packus_epi16(sLo, sHi));
            continue;
        }
        const __m256i sample = _mm256_packus_epi16(sLo, sHi);
        if (r.Master == 255 && _mm256_testc_si256(sample, alphaBytes)) {
            _mm256_storeu_si256(out, sample); // all opaque: the rule copies
            continue;
        }
        const __m256i d = _mm256_loadu_si256(out);
        const __m256i oLo = Blend16(sLo, _mm256_unpacklo_epi8(d, zero), m1, c128, c255, c256, one);
        const __m256i oHi = Blend16(sHi, _mm256_unpackhi_epi8(d, zero), m1, c128, c255, c256, one);
        _mm256_storeu_si256(out, _mm256_packus_epi16(oLo, oHi));
    }
    for (; k < r.Count; ++k, u += r.Ux, v += r.Vx) {
        const TColor32 c = SampleLinearRaw(bits, sw, sh, r.Outer, u, v);
        r.Dst[k] = r.Blend ? BlendPixel(c, r.Dst[k], r.Master) : c;
    }
}

// The same in 512-bit registers: sixteen pixels at a time, the row's tail
// handled by lane masks instead of the scalar formulas.
#define VELMORA_AVX512 __attribute__((target("avx512f,avx512bw")))
VELMORA_AVX512 inline __m512i Lerp16x32(__m512i a, __m512i b, __m512i f, __m512i c128, __m512i c256) {
    const __m512i g = _mm512_sub_epi16(c256, f);
    return _mm512_srli_epi16(
        _mm512_add_epi16(_mm512_add_epi16(_mm512_mullo_epi16(a, g), _mm512_mullo_epi16(b, f)), c128), 8);
}

VELMORA_AVX512 inline __m512i Blend16x32(__m512i s16, __m512i d16, __m512i m1, __m512i c128, __m512i c255,
                                         __m512i c256, __m512i one) {
    const __m512i a = _mm512_shufflehi_epi16(_mm512_shufflelo_epi16(s16, 0xFF), 0xFF);
    __m512i w = _mm512_srli_epi16(_mm512_mullo_epi16(a, m1), 8);
    w = _mm512_mask_add_epi16(w, _mm512_cmpeq_epi16_mask(w, c255), w, one);
    return Lerp16x32(d16, s16, w, c128, c256);
}

VELMORA_AVX512 void LinearRowAVX512(const TLinearRow& r, std::vector<TColor32>&) {
    const int sw = r.SW, sh = r.SH;
    const TColor32* bits = r.Bits;
    const __m512i zero = _mm512_setzero_si512();
    const __m512i c128 = _mm512_set1_epi16(128), c256 = _mm512_set1_epi16(256);
    const __m512i c255 = _mm512_set1_epi16(255), one = _mm512_set1_epi16(1);
    const __m512i m1 = _mm512_set1_epi16(short(r.Master + 1));
    const __m512i byte = _mm512_set1_epi32(0xFF);
    const __m512i alphaBytes = _mm512_set1_epi32(int(0xFF000000u));
    const __m512i lane = _mm512_set_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const __m512i uStep = _mm512_mullo_epi32(lane, _mm512_set1_epi32(int32_t(uint32_t(uint64_t(r.Ux)))));
    const __m512i vStep = _mm512_mullo_epi32(lane, _mm512_set1_epi32(int32_t(uint32_t(uint64_t(r.Vx)))));
    const __m512i outer = _mm512_set1_epi32(int(r.Outer));
    const __m512i minus1 = _mm512_set1_epi32(-1), swLast = _mm512_set1_epi32(sw - 1),
                  shLast = _mm512_set1_epi32(sh - 1), swv = _mm512_set1_epi32(sw),
                  onev = _mm512_set1_epi32(1);
    const bool translation = r.Ux == 65536 && r.Vx == 0;

    int64_t u = r.U, v = r.V;
    for (int k = 0; k < r.Count; k += 16, u += 16 * r.Ux, v += 16 * r.Vx) {
        const int left = r.Count - k;
        const __mmask16 lanes = left >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << left) - 1);
        __m512i p00, p10, p01, p11, fx, fy;
        const int ix0 = int(u >> 16), iy0 = int(v >> 16);
        if (translation && left >= 16 && ix0 >= 0 && ix0 + 16 < sw && iy0 >= 0 && iy0 < sh - 1) {
            const TColor32* r0 = bits + size_t(iy0) * size_t(sw) + size_t(ix0);
            const TColor32* r1 = r0 + sw;
            p00 = _mm512_loadu_si512(r0);
            p10 = _mm512_loadu_si512(r0 + 1);
            p01 = _mm512_loadu_si512(r1);
            p11 = _mm512_loadu_si512(r1 + 1);
            fx = _mm512_set1_epi32(int((u >> 8) & 0xFF) * 0x10001);
            fy = _mm512_set1_epi32(int((v >> 8) & 0xFF) * 0x10001);
        } else {
            const __m512i uu = _mm512_add_epi32(_mm512_set1_epi32(int32_t(uint32_t(uint64_t(u)))), uStep);
            const __m512i vv = _mm512_add_epi32(_mm512_set1_epi32(int32_t(uint32_t(uint64_t(v)))), vStep);
            const __m512i ix = _mm512_srai_epi32(uu, 16), iy = _mm512_srai_epi32(vv, 16);
            const __m512i fx32 = _mm512_and_si512(_mm512_srli_epi32(uu, 8), byte);
            const __m512i fy32 = _mm512_and_si512(_mm512_srli_epi32(vv, 8), byte);
            fx = _mm512_or_si512(fx32, _mm512_slli_epi32(fx32, 16));
            fy = _mm512_or_si512(fy32, _mm512_slli_epi32(fy32, 16));
            const __m512i i00 = _mm512_add_epi32(_mm512_mullo_epi32(iy, swv), ix);
            const __m512i i10 = _mm512_add_epi32(i00, onev), i01 = _mm512_add_epi32(i00, swv);
            const __m512i i11 = _mm512_add_epi32(i01, onev);
            const __mmask16 x0ok = _mm512_cmpgt_epi32_mask(ix, minus1) & lanes;
            const __mmask16 x1ok = _mm512_cmpgt_epi32_mask(swLast, ix) & lanes;
            const __mmask16 y0ok = _mm512_cmpgt_epi32_mask(iy, minus1);
            const __mmask16 y1ok = _mm512_cmpgt_epi32_mask(shLast, iy);
            p00 = _mm512_mask_i32gather_epi32(outer, x0ok & y0ok, i00, bits, 4);
            p10 = _mm512_mask_i32gather_epi32(outer, x1ok & y0ok, i10, bits, 4);
            p01 = _mm512_mask_i32gather_epi32(outer, x0ok & y1ok, i01, bits, 4);
            p11 = _mm512_mask_i32gather_epi32(outer, x1ok & y1ok, i11, bits, 4);
        }
        if (r.Blend) {
            const __m512i any = _mm512_or_si512(_mm512_or_si512(p00, p10), _mm512_or_si512(p01, p11));
            if ((_mm512_test_epi32_mask(any, alphaBytes) & lanes) == 0) continue;
        }
        const __m512i fxLo = _mm512_unpacklo_epi32(fx, fx), fxHi = _mm512_unpackhi_epi32(fx, fx);
        const __m512i fyLo = _mm512_unpacklo_epi32(fy, fy), fyHi = _mm512_unpackhi_epi32(fy, fy);
        const __m512i topLo =
            Lerp16x32(_mm512_unpacklo_epi8(p00, zero), _mm512_unpacklo_epi8(p10, zero), fxLo, c128, c256);
        const __m512i topHi =
            Lerp16x32(_mm512_unpackhi_epi8(p00, zero), _mm512_unpackhi_epi8(p10, zero), fxHi, c128, c256);
        const __m512i botLo =
            Lerp16x32(_mm512_unpacklo_epi8(p01, zero), _mm512_unpacklo_epi8(p11, zero), fxLo, c128, c256);
        const __m512i botHi =
            Lerp16x32(_mm512_unpackhi_epi8(p01, zero), _mm512_unpackhi_epi8(p11, zero), fxHi, c128, c256);
        const __m512i sLo = Lerp16x32(topLo, botLo, fyLo, c128, c256);
        const __m512i sHi = Lerp16x32(topHi, botHi, fyHi, c128, c256);
        const __m512i sample = _mm512_packus_epi16(sLo, sHi);
        TColor32* out = r.Dst + k;
        if (!r.Blend ||
            (r.Master == 255 && (_mm512_cmpeq_epi32_mask(_mm512_and_si512(sample, alphaBytes), alphaBytes) |
                                 ~lanes) == 0xFFFF)) {
            _mm512_mask_storeu_epi32(out, lanes, sample); // opaque mode, or all opaque: the rule copies
            continue;
        }
        const __m512i d = _mm512_maskz_loadu_epi32(lanes, out);
        const __m512i oLo = Blend16x32(sLo, _mm512_unpacklo_epi8(d, zero), m1, c128, c255, c256, one);
        const __m512i oHi = Blend16x32(sHi, _mm512_unpackhi_epi8(d, zero), m1, c128, c255, c256, one);
        _mm512_mask_storeu_epi32(out, lanes, _mm512_packus_epi16(oLo, oHi));
    }
}
#endif

using TLinearRowFn = void (*)(const TLinearRow&, std::vector<TColor32>&);

struct TTransformVariant {
    TLinearRowFn Row;
    const char* Name;
};

const TTransformVariant kPortable{LinearRowPortable, "portable"};
#ifdef VELMORA_TRANSFORM_AVX2
const TTransformVariant kAVX2{LinearRowAVX2, "avx2"};
const TTransformVariant kAVX512{LinearRowAVX512, "avx512"};
#endif

std::vector<const TTransformVariant*> AvailableVariants() {
    std::vector<const TTransformVariant*> v{&kPortable};
#ifdef VELMORA_TRANSFORM_AVX2
    if (__builtin_cpu_supports("avx2")) v.push_back(&kAVX2);
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) v.push_back(&kAVX512);
#endif
    return v;
}

const std::vector<const TTransformVariant*>& Variants() {
    static const std::vector<const TTransformVariant*> v = AvailableVariants();
    return v;
}

const TTransformVariant& ChosenVariant() {
    static const TTransformVariant& chosen = []() -> const TTransformVariant& {
        const char* forced = std::getenv("VELMORA_SCALAR");
        if (forced && *forced && std::strcmp(forced, "0") != 0) return kPortable;
        return *Variants().back();
    }();
    return chosen;
}

// A cover prepared for the row walk: its fixed-point mapping, the positions
// whose four neighbours lie in its opaque rectangle, and the destination
// rows and columns it can reach at all.
struct TPreparedCover {
    TFixedMapping M;
    TLimits Interior;
    int Top, Bottom, Left, Right; // inclusive, conservative
};

bool PrepareCover(const TTransformCover& c, const TRect& clip, TPreparedCover& out) {
    const TRect& o = c.Opaque;
    if (o.Width() < 2 || o.Height() < 2) return false;
    out.M = MakeMapping(c.Transform);
    if (!out.M.Valid) return false;
    out.Interior = {int64_t(o.Left) * 65536, int64_t(o.Right - 1) * 65536 - 1, int64_t(o.Top) * 65536,
                    int64_t(o.Bottom - 1) * 65536 - 1};
    const TFloatRect b = c.Transform.TransformedBounds(FloatRect(o));
    if (!(std::isfinite(b.Left) && std::isfinite(b.Top) && std::isfinite(b.Right) && std::isfinite(b.Bottom)))
        return false;
    out.Left = std::max(clip.Left, int(std::max(-1e9, std::floor(double(b.Left)) - 2)));
    out.Top = std::max(clip.Top, int(std::max(-1e9, std::floor(double(b.Top)) - 2)));
    out.Right = std::min(clip.Right - 1, int(std::min(1e9, std::ceil(double(b.Right)) + 2)));
    out.Bottom = std::min(clip.Bottom - 1, int(std::min(1e9, std::ceil(double(b.Bottom)) + 2)));
    return out.Left <= out.Right && out.Top <= out.Bottom;
}

void TransformDrawWith(const TTransformVariant& variant, TBitmap32& dest, const TBitmap32& source,
                       const TAffineTransformation& t, const TTransformCover* covers = nullptr,
                       int coverCount = 0) {
    if (dest.Empty() || source.Empty()) return;
    if (source.DrawMode == TDrawMode::Blend && source.MasterAlpha == 0) return;
    if (&dest == &source) {
        TBitmap32 copy;
        copy.Assign(source);
        TransformDrawWith(variant, dest, copy, t, covers, coverCount);
        return;
    }
    const TFixedMapping m = MakeMapping(t);
    if (!m.Valid) return;
    const TLimits lim = LimitsFor(source);
    const TRect clip = dest.ClipRect();
    // Where a cover's sample has all four neighbours in its opaque
    // rectangle, the cover will replace the pixel outright.
    std::vector<TPreparedCover> prepared;
    for (int i = 0; i < coverCount; ++i) {
        TPreparedCover pc;
        if (PrepareCover(covers[i], clip, pc)) prepared.push_back(pc);
    }
    const bool linear = source.Resampler == TResamplerKind::Linear;
    TLinearRow row{source.Bits(),
                   source.Width(),
                   source.Height(),
                   source.OuterColor,
                   0,
                   0,
                   m.Ux,
                   m.Vx,
                   0,
                   nullptr,
                   source.DrawMode == TDrawMode::Blend,
                   source.MasterAlpha};
    struct TGap {
        int64_t From, To;
    };

    // The span of every row, found once.
    const int rows = clip.Height();
    std::vector<int64_t> spanLo(size_t(std::max(rows, 0))), spanHi(size_t(std::max(rows, 0)));
    int64_t minLo = clip.Right, maxHi = clip.Left - 1;
    for (int y = clip.Top; y < clip.Bottom; ++y) {
        int64_t lo = clip.Left, hi = clip.Right - 1;
        Constrain(m.U0 + y * m.Uy, m.Ux, lim.ULo, lim.UHi, lo, hi);
        Constrain(m.V0 + y * m.Vy, m.Vx, lim.VLo, lim.VHi, lo, hi);
        spanLo[size_t(y - clip.Top)] = lo, spanHi[size_t(y - clip.Top)] = hi;
        if (lo <= hi) minLo = std::min(minLo, lo), maxHi = std::max(maxHi, hi);
    }
    // A turned picture is walked in vertical strips of the destination, so
    // that the source rows a strip reads stay in cache from row to row.
    const bool turned = m.Vx != 0 || m.Uy != 0;
    const int64_t strip =
        turned && linear && int64_t(source.Width()) * source.Height() > 65536 ? 256 : maxHi - minLo + 1;
    // Bands of rows may go to helper threads (full-resolution renders); each
    // has its own row state and scratch lines.
    auto walk = [&](int yTop, int yBottom) {
        TLinearRow band = row;
        std::vector<TColor32> line;
        std::vector<TGap> covered;
        for (int64_t sx = minLo; sx <= maxHi; sx += strip)
            for (int y = yTop; y < yBottom; ++y) {
                const int64_t ub = m.U0 + y * m.Uy, vb = m.V0 + y * m.Vy;
                const int64_t lo = std::max(spanLo[size_t(y - clip.Top)], sx);
                const int64_t hi = std::min(spanHi[size_t(y - clip.Top)], sx + strip - 1);
                if (hi < lo) continue;
                auto span = [&](int64_t a, int64_t b) {
                    if (b < a) return;
                    const int x0 = int(a), count = int(b - a + 1);
                    int64_t u = ub + a * m.Ux, v = vb + a * m.Vx;
                    if (linear) {
                        band.U = u, band.V = v, band.Count = count, band.Dst = dest.PixelPtr(x0, y);
                        variant.Row(band, line);
                    } else {
                        line.resize(size_t(count));
                        for (int k = 0; k < count; ++k, u += m.Ux, v += m.Vx)
                            line[size_t(k)] = SampleNearest(source, u, v);
                        CombineLine(line.data(), dest.PixelPtr(x0, y), count, source);
                    }
                };
                covered.clear();
                for (const TPreparedCover& c : prepared) {
                    if (y < c.Top || y > c.Bottom || c.Right < lo || c.Left > hi) continue;
                    int64_t clo = std::max<int64_t>(lo, c.Left), chi = std::min<int64_t>(hi, c.Right);
                    Constrain(c.M.U0 + y * c.M.Uy, c.M.Ux, c.Interior.ULo, c.Interior.UHi, clo, chi);
                    Constrain(c.M.V0 + y * c.M.Vy, c.M.Vx, c.Interior.VLo, c.Interior.VHi, clo, chi);
                    if (clo <= chi) covered.push_back({clo, chi});
                }
                if (covered.empty()) {
                    span(lo, hi);
                    continue;
                }
                std::sort(covered.begin(), covered.end(),
                          [](const TGap& a, const TGap& b) { return a.From < b.From; });
                int64_t next = lo; // first pixel not yet drawn or covered
                for (const TGap& g : covered) {
                    if (g.From > next) span(next, g.From - 1);
                    next = std::max(next, g.To + 1);
                }
                span(next, hi);
            }
    };
    ForRowBands(clip.Top, clip.Bottom, (maxHi - minLo + 1) * int64_t(rows), walk);
}

} // namespace

void TransformDraw(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t) {
    TransformDrawWith(ChosenVariant(), dest, source, t);
}

void TransformDrawUnder(TBitmap32& dest, const TBitmap32& source, const TAffineTransformation& t,
                        const TTransformCover* covers, int count) {
    TransformDrawWith(ChosenVariant(), dest, source, t, covers, count);
}

int TransformDrawVariantCount() {
    return int(Variants().size());
}

const char* TransformDrawVariantName(int index) {
    return Variants()[size_t(index)]->Name;
}

void TransformDrawVariant(int index, TBitmap32& dest, const TBitmap32& source,
                          const TAffineTransformation& t) {
    TransformDrawWith(*Variants()[size_t(index)], dest, source, t);
}
