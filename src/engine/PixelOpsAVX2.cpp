// Blend spans and linear stretch rows with AVX2: eight pixels a step.
//
// The even bytes (blue, red) and the odd bytes (green, alpha) of the eight
// pixels each sit alone in a 16-bit lane, so nothing is unpacked. Every
// weighted mix of the program has the form
//   (a·(256 − f) + b·f + 128) >> 8 = a + (((b − a)·f + 128) >> 8)
// (the sum on the left is never negative, and 256·a leaves the floor of the
// shift alone), and the right-hand side is one rounding multiply:
//   _mm256_mulhrs_epi16(b − a, f·128) = ((b − a)·f·128 + 2^14) >> 15,
// exact for |b − a| ≤ 255 and f ≤ 255 (f·128 still fits a signed lane). The
// blend rule is that mix with f = W and the copy case (M = Sa = 255) taken
// from the source; the bilinear sample is that mix along x, then along y.
#include "engine/PixelKernels.h"

#ifdef VELMORA_X86
#include <immintrin.h>

#define VELMORA_AVX2 __attribute__((target("avx2")))

namespace kernels {
namespace {

struct TSplit {
    __m256i RB, AG; // even and odd bytes, one per 16-bit lane
};

VELMORA_AVX2 inline TSplit Split(__m256i p) {
    return {_mm256_and_si256(p, _mm256_set1_epi32(0x00FF00FF)), _mm256_srli_epi16(p, 8)};
}
VELMORA_AVX2 inline __m256i Join(const TSplit& s) {
    return _mm256_or_si256(s.RB, _mm256_slli_epi16(s.AG, 8));
}
// a + (((b − a)·f + 128) >> 8) per lane, f128 = f·128
VELMORA_AVX2 inline __m256i Mix(__m256i a, __m256i b, __m256i f128) {
    return _mm256_add_epi16(a, _mm256_mulhrs_epi16(_mm256_sub_epi16(b, a), f128));
}
VELMORA_AVX2 inline TSplit Mix(const TSplit& a, const TSplit& b, __m256i f128) {
    return {Mix(a.RB, b.RB, f128), Mix(a.AG, b.AG, f128)};
}

// W·128 in both lanes of each pixel from its odd-byte lanes (alpha in the
// upper one): W = Sa at full master alpha, else ((M + 1)·Sa) >> 8.
template <bool Full> VELMORA_AVX2 inline __m256i Weight128(__m256i ag, __m256i m1) {
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(ag, 0xF5), 0xF5);
    if (Full) return _mm256_slli_epi16(a, 7);
    return _mm256_slli_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(a, m1), 8), 7);
}

// The pixels whose alpha is 255.
VELMORA_AVX2 inline __m256i OpaqueLanes(__m256i p) {
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    return _mm256_cmpeq_epi32(_mm256_and_si256(p, alpha), alpha);
}

// The blend rule on eight pixels; OnClear: D is transparent black.
template <bool Full, bool OnClear> VELMORA_AVX2 inline __m256i Blend8(__m256i s, __m256i d, __m256i m1) {
    const TSplit ss = Split(s);
    const __m256i w = Weight128<Full>(ss.AG, m1);
    TSplit out;
    if (OnClear) {
        out = {_mm256_mulhrs_epi16(ss.RB, w), _mm256_mulhrs_epi16(ss.AG, w)};
    } else {
        out = Mix(Split(d), ss, w);
    }
    const __m256i r = Join(out);
    return Full ? _mm256_blendv_epi8(r, s, OpaqueLanes(s)) : r;
}

// Eight pixels of source s blended onto out: a transparent run (W = 0)
// leaves the destination (or clears it), an opaque run at full master alpha
// is copied as the rule would, the rest goes through Blend8.
template <bool Full, bool OnClear>
VELMORA_AVX2 inline void BlendStore8(__m256i s, __m256i* out, __m256i alpha, __m256i m1) {
    if (_mm256_testz_si256(s, alpha)) {
        if (OnClear) _mm256_storeu_si256(out, _mm256_setzero_si256());
        return;
    }
    if (Full && _mm256_testc_si256(s, alpha)) {
        _mm256_storeu_si256(out, s);
        return;
    }
    const __m256i d = OnClear ? _mm256_setzero_si256() : _mm256_loadu_si256(out);
    _mm256_storeu_si256(out, Blend8<Full, OnClear>(s, d, m1));
}

template <bool Full, bool OnClear>
VELMORA_AVX2 void BlendSpan(const TColor32* src, TColor32* dst, int count, uint32_t master) {
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i m1 = _mm256_set1_epi16(short(master + 1));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        BlendStore8<Full, OnClear>(s, reinterpret_cast<__m256i*>(dst + i), alpha, m1);
    }
    for (; i < count; ++i) dst[i] = BlendPixel(src[i], OnClear ? 0 : dst[i], master);
}

// ---- Linear stretch rows ----

// The pixels at x[k] and x[k] + 1 of one row for eight columns: eight
// 64-bit loads of pixel pairs (cheaper than gathers, as the loads issue two
// or three at a time), whose first and second halves are then sorted apart.
// Columns 0, 1 | 4, 5 and 2, 3 | 6, 7 are loaded together so that the 128-bit
// shuffles leave every column in its place.
struct TPairs {
    __m256i Left, Right;
};
VELMORA_AVX2 inline __m128i LoadTwoPairs(const TColor32* row, int32_t i, int32_t j) {
    const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + i));
    return _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(a), reinterpret_cast<const double*>(row + j)));
}
VELMORA_AVX2 inline TPairs LoadPairs(const TColor32* row, const int32_t* x) {
    const __m256 a = _mm256_castsi256_ps(_mm256_inserti128_si256(
        _mm256_castsi128_si256(LoadTwoPairs(row, x[0], x[1])), LoadTwoPairs(row, x[4], x[5]), 1));
    const __m256 b = _mm256_castsi256_ps(_mm256_inserti128_si256(
        _mm256_castsi128_si256(LoadTwoPairs(row, x[2], x[3])), LoadTwoPairs(row, x[6], x[7]), 1));
    return {_mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0))),
            _mm256_castps_si256(_mm256_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)))};
}

template <TCombineKind Kind, bool Full>
VELMORA_AVX2 void StretchSpan(const TColor32* r0, const TColor32* r1, const int32_t* x, const uint32_t* fx,
                              uint32_t fy, TColor32* dst, int count, uint32_t master) {
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i m1 = _mm256_set1_epi16(short(master + 1));
    const __m256i fy128 = _mm256_set1_epi16(short(fy << 7));
    constexpr bool blend = Kind != TCombineKind::Copy;
    constexpr bool onClear = Kind == TCombineKind::BlendOnClear;
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        __m256i* out = reinterpret_cast<__m256i*>(dst + k);
        // the gathers do not wake the hardware prefetcher: fetch the source
        // rows a little ahead
        _mm_prefetch(reinterpret_cast<const char*>(r0 + x[k] + 128), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(r1 + x[k] + 128), _MM_HINT_T0);
        const TPairs top = LoadPairs(r0, x + k), bottom = LoadPairs(r1, x + k);
        if (blend) {
            const __m256i any = _mm256_or_si256(_mm256_or_si256(top.Left, top.Right),
                                                _mm256_or_si256(bottom.Left, bottom.Right));
            if (_mm256_testz_si256(any, alpha)) {
                // all four neighbours transparent: so is the sample, W = 0
                if (onClear) _mm256_storeu_si256(out, _mm256_setzero_si256());
                continue;
            }
        }
        const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(fx + k));
        const __m256i fx128 = _mm256_or_si256(_mm256_slli_epi32(f, 7), _mm256_slli_epi32(f, 23));
        const TSplit t = Mix(Split(top.Left), Split(top.Right), fx128);
        const TSplit b = Mix(Split(bottom.Left), Split(bottom.Right), fx128);
        const TSplit s = Mix(t, b, fy128);
        const __m256i sample = Join(s);
        if (!blend) {
            _mm256_storeu_si256(out, sample);
            continue;
        }
        if (Full) {
            const __m256i all = _mm256_and_si256(_mm256_and_si256(top.Left, top.Right),
                                                 _mm256_and_si256(bottom.Left, bottom.Right));
            if (_mm256_testc_si256(all, alpha)) {
                // all four neighbours opaque: so is the sample, the rule copies
                _mm256_storeu_si256(out, sample);
                continue;
            }
        }
        const __m256i w = Weight128<Full>(s.AG, m1);
        TSplit mixed;
        if (onClear)
            mixed = {_mm256_mulhrs_epi16(s.RB, w), _mm256_mulhrs_epi16(s.AG, w)};
        else
            mixed = Mix(Split(_mm256_loadu_si256(out)), s, w);
        __m256i r = Join(mixed);
        if (Full) r = _mm256_blendv_epi8(r, sample, OpaqueLanes(sample));
        _mm256_storeu_si256(out, r);
    }
    for (; k < count; ++k) {
        const int32_t i = x[k];
        const TColor32 s = BilinearPixelPacked(r0[i], r0[i + 1], r1[i], r1[i + 1], fx[k], fy);
        dst[k] = CombinePixel(s, dst[k], Kind, master);
    }
}

template <TCombineKind Kind, bool Full>
VELMORA_AVX2 void NearestSpan(const TColor32* row, const int32_t* x, TColor32* dst, int count,
                              uint32_t master) {
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i m1 = _mm256_set1_epi16(short(master + 1));
    constexpr bool onClear = Kind == TCombineKind::BlendOnClear;
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256i s =
            _mm256_setr_epi32(int(row[x[k]]), int(row[x[k + 1]]), int(row[x[k + 2]]), int(row[x[k + 3]]),
                              int(row[x[k + 4]]), int(row[x[k + 5]]), int(row[x[k + 6]]), int(row[x[k + 7]]));
        __m256i* out = reinterpret_cast<__m256i*>(dst + k);
        if (Kind == TCombineKind::Copy) {
            _mm256_storeu_si256(out, s);
            continue;
        }
        BlendStore8<Full, onClear>(s, out, alpha, m1);
    }
    for (; k < count; ++k) dst[k] = CombinePixel(row[x[k]], dst[k], Kind, master);
}

// ---- Transformed spans ----

// Where the eight pixels of a step read their neighbours.
enum class TWalk {
    Turned,     // anywhere: x and y vary along the row
    Level,      // one pair of source rows for the whole span (no vertical step)
    Translated, // Level, and one source pixel a step: plain loads
};

template <TWalk Walk, bool Blend, bool Full> VELMORA_AVX2 void TransformSpanImpl(const TTransformSpan& sp) {
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000u));
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i m1 = _mm256_set1_epi16(short(sp.Master + 1));
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    // positions of the eight pixels of a step in 32-bit lanes: inside the
    // source they fit, so wrapping arithmetic gives them exactly
    const __m256i uStep = _mm256_mullo_epi32(lane, _mm256_set1_epi32(int32_t(uint32_t(uint64_t(sp.Ux)))));
    const __m256i vStep = _mm256_mullo_epi32(lane, _mm256_set1_epi32(int32_t(uint32_t(uint64_t(sp.Vx)))));
    const __m256i stride = _mm256_set1_epi32(sp.Stride);
    // a level span reads two fixed rows with one vertical weight
    const TColor32* row0 = sp.Bits + size_t(sp.V >> 16) * size_t(sp.Stride);
    const uint32_t fyLevel = uint32_t(sp.V >> 8) & 0xFF;
    const __m256i fyLevel128 = _mm256_set1_epi16(short(fyLevel << 7));
    const __m256i fxTranslated128 = _mm256_set1_epi16(short((uint32_t(sp.U >> 8) & 0xFF) << 7));
    int64_t u = sp.U, v = sp.V;
    int k = 0;
    for (; k + 8 <= sp.Count; k += 8, u += 8 * sp.Ux, v += 8 * sp.Vx) {
        __m256i* out = reinterpret_cast<__m256i*>(sp.Dst + k);
        TPairs top, bottom;
        __m256i fx128, fy128;
        if (Walk == TWalk::Translated) {
            const TColor32* p = row0 + (u >> 16);
            top = {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)),
                   _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 1))};
            bottom = {_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + sp.Stride)),
                      _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + sp.Stride + 1))};
            fx128 = fxTranslated128;
            fy128 = fyLevel128;
        } else {
            const __m256i uu = _mm256_add_epi32(_mm256_set1_epi32(int32_t(uint32_t(uint64_t(u)))), uStep);
            const __m256i fx = _mm256_and_si256(_mm256_srli_epi32(uu, 8), byte);
            fx128 = _mm256_or_si256(_mm256_slli_epi32(fx, 7), _mm256_slli_epi32(fx, 23));
            __m256i index = _mm256_srli_epi32(uu, 16);
            const TColor32* base = row0;
            if (Walk == TWalk::Turned) {
                const __m256i vv = _mm256_add_epi32(_mm256_set1_epi32(int32_t(uint32_t(uint64_t(v)))), vStep);
                const __m256i fy = _mm256_and_si256(_mm256_srli_epi32(vv, 8), byte);
                fy128 = _mm256_or_si256(_mm256_slli_epi32(fy, 7), _mm256_slli_epi32(fy, 23));
                index = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srli_epi32(vv, 16), stride), index);
                base = sp.Bits;
            } else {
                fy128 = fyLevel128;
            }
            alignas(32) int32_t at[8];
            _mm256_store_si256(reinterpret_cast<__m256i*>(at), index);
            if (Walk == TWalk::Turned) {
                // the rows below will read further along: fetch that early,
                // as the walk crosses too many source rows for the hardware
                // to follow
                const int64_t au = (u + sp.AheadU) >> 16, av = (v + sp.AheadV) >> 16;
                const uintptr_t ahead =
                    reinterpret_cast<uintptr_t>(sp.Bits) + uintptr_t(av * sp.Stride + au) * sizeof(TColor32);
                _mm_prefetch(reinterpret_cast<const char*>(ahead), _MM_HINT_T0);
                _mm_prefetch(reinterpret_cast<const char*>(ahead + uintptr_t(sp.Stride) * sizeof(TColor32)),
                             _MM_HINT_T0);
            }
            top = LoadPairs(base, at);
            bottom = LoadPairs(base + sp.Stride, at);
        }
        if (Blend) {
            const __m256i any = _mm256_or_si256(_mm256_or_si256(top.Left, top.Right),
                                                _mm256_or_si256(bottom.Left, bottom.Right));
            if (_mm256_testz_si256(any, alpha)) continue; // a transparent neighbourhood samples to 0
        }
        const TSplit t = Mix(Split(top.Left), Split(top.Right), fx128);
        const TSplit bt = Mix(Split(bottom.Left), Split(bottom.Right), fx128);
        const TSplit s = Mix(t, bt, fy128);
        const __m256i sample = Join(s);
        if (!Blend) {
            _mm256_storeu_si256(out, sample);
            continue;
        }
        if (Full) {
            const __m256i all = _mm256_and_si256(_mm256_and_si256(top.Left, top.Right),
                                                 _mm256_and_si256(bottom.Left, bottom.Right));
            if (_mm256_testc_si256(all, alpha)) {
                _mm256_storeu_si256(out, sample); // an opaque neighbourhood: the rule copies
                continue;
            }
        }
        __m256i r = Join(Mix(Split(_mm256_loadu_si256(out)), s, Weight128<Full>(s.AG, m1)));
        if (Full) r = _mm256_blendv_epi8(r, sample, OpaqueLanes(sample));
        _mm256_storeu_si256(out, r);
    }
    if (k < sp.Count) {
        TTransformSpan rest = sp;
        rest.U = u, rest.V = v, rest.Dst = sp.Dst + k, rest.Count = sp.Count - k;
        TransformSpanScalar(rest);
    }
}

template <TWalk Walk> VELMORA_AVX2 void TransformSpanWalk(const TTransformSpan& sp) {
    if (sp.Kind == TCombineKind::Copy)
        TransformSpanImpl<Walk, false, true>(sp);
    else if (sp.Master == 255)
        TransformSpanImpl<Walk, true, true>(sp);
    else if (sp.Master != 0)
        TransformSpanImpl<Walk, true, false>(sp);
}

VELMORA_AVX2 void MaskAlphaSpan(TColor32* dst, const TColor32* mask, int count) {
    const __m256i low = _mm256_set1_epi32(0x00FF00FF), rb = _mm256_set1_epi32(61 << 16 | 21),
                  g = _mm256_set1_epi32(174), one = _mm256_set1_epi32(1), rgb = _mm256_set1_epi32(0x00FFFFFF);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i));
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        const __m256i d = _mm256_loadu_si256(out);
        const __m256i intensity = _mm256_srli_epi32(
            _mm256_add_epi32(_mm256_madd_epi16(_mm256_and_si256(m, low), rb),
                             _mm256_madd_epi16(_mm256_and_si256(_mm256_srli_epi32(m, 8), low), g)),
            8);
        const __m256i x = _mm256_mullo_epi16(_mm256_srli_epi32(d, 24), intensity);
        const __m256i a =
            _mm256_srli_epi32(_mm256_add_epi32(_mm256_add_epi32(x, one), _mm256_srli_epi32(x, 8)), 8);
        _mm256_storeu_si256(out, _mm256_or_si256(_mm256_and_si256(d, rgb), _mm256_slli_epi32(a, 24)));
    }
    for (; i < count; ++i) dst[i] = MaskPixelAlpha(dst[i], mask[i]);
}

} // namespace

void BlendLineAVX2(const TColor32* src, TColor32* dst, int count, uint32_t master) {
    if (master == 255)
        BlendSpan<true, false>(src, dst, count, master);
    else if (master != 0)
        BlendSpan<false, false>(src, dst, count, master);
}

void BlendLineOnClearAVX2(const TColor32* src, TColor32* dst, int count, uint32_t master) {
    if (master == 255)
        BlendSpan<true, true>(src, dst, count, master);
    else
        BlendSpan<false, true>(src, dst, count, master);
}

// As MaskAlphaLineSSE2, eight pixels a step.
void MaskAlphaLineAVX2(TColor32* dst, const TColor32* mask, int count) {
    MaskAlphaSpan(dst, mask, count);
}

void StretchRowAVX2(const TColor32* r0, const TColor32* r1, const int32_t* x, const uint32_t* fx, uint32_t fy,
                    TColor32* dst, int count, TCombineKind kind, uint32_t master) {
    const bool full = master == 255;
    switch (kind) {
    case TCombineKind::Copy:
        StretchSpan<TCombineKind::Copy, true>(r0, r1, x, fx, fy, dst, count, master);
        break;
    case TCombineKind::Blend:
        if (master == 0) return;
        if (full)
            StretchSpan<TCombineKind::Blend, true>(r0, r1, x, fx, fy, dst, count, master);
        else
            StretchSpan<TCombineKind::Blend, false>(r0, r1, x, fx, fy, dst, count, master);
        break;
    case TCombineKind::BlendOnClear:
        if (full)
            StretchSpan<TCombineKind::BlendOnClear, true>(r0, r1, x, fx, fy, dst, count, master);
        else
            StretchSpan<TCombineKind::BlendOnClear, false>(r0, r1, x, fx, fy, dst, count, master);
        break;
    }
}

void NearestRowAVX2(const TColor32* row, const int32_t* x, TColor32* dst, int count, TCombineKind kind,
                    uint32_t master) {
    switch (kind) {
    case TCombineKind::Copy:
        NearestSpan<TCombineKind::Copy, true>(row, x, dst, count, master);
        break;
    case TCombineKind::Blend:
        if (master == 255)
            NearestSpan<TCombineKind::Blend, true>(row, x, dst, count, master);
        else if (master != 0)
            NearestSpan<TCombineKind::Blend, false>(row, x, dst, count, master);
        break;
    case TCombineKind::BlendOnClear:
        if (master == 255)
            NearestSpan<TCombineKind::BlendOnClear, true>(row, x, dst, count, master);
        else
            NearestSpan<TCombineKind::BlendOnClear, false>(row, x, dst, count, master);
        break;
    }
}

void TransformSpanAVX2(const TTransformSpan& sp) {
    // BlendOnClear is not used through transforms: the scalar routine has it
    if (sp.Kind == TCombineKind::BlendOnClear) return TransformSpanScalar(sp);
    if (sp.Vx != 0)
        TransformSpanWalk<TWalk::Turned>(sp);
    else if (sp.Ux == 65536)
        TransformSpanWalk<TWalk::Translated>(sp);
    else
        TransformSpanWalk<TWalk::Level>(sp);
}

} // namespace kernels
#endif
