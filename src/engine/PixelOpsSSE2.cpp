// Blend spans with SSE2 (every x86-64 processor has it): four pixels a step.
#include "engine/PixelKernels.h"

#ifdef VELMORA_X86
#include <immintrin.h>

namespace kernels {
namespace {

// The even bytes (blue, red) and the odd bytes (green, alpha) of four pixels
// each sit alone in a 16-bit lane, so the rule needs no unpacking:
//   W' = ((M + 1)·Sa) >> 8, bumped to 256 where it is 255 (M = Sa = 255, the
//   copy case), then c' = (D·(256 − W') + S·W' + 128) >> 8.
// W' = 0 leaves D as it is. Sums stay below 65536 (D·(256 − W') + S·W' ≤
// 255·256), and each result fits its byte, so the lanes never mix.
struct TBlend4 {
    __m128i M1 = _mm_set1_epi16(1), C255 = _mm_set1_epi16(255), C256 = _mm_set1_epi16(256),
            C128 = _mm_set1_epi16(128), One = _mm_set1_epi16(1), Low = _mm_set1_epi32(0x00FF00FF),
            High = _mm_set1_epi32(int(0xFF00FF00u));
    explicit TBlend4(uint32_t master) : M1(_mm_set1_epi16(short(master + 1))) {}

    __m128i Weight(__m128i s) const {
        const __m128i a = _mm_srli_epi32(s, 24);
        const __m128i w = _mm_srli_epi16(_mm_mullo_epi16(_mm_or_si128(a, _mm_slli_epi32(a, 16)), M1), 8);
        return _mm_add_epi16(w, _mm_and_si128(_mm_cmpeq_epi16(w, C255), One));
    }
    __m128i Blend(__m128i s, __m128i d) const {
        const __m128i w = Weight(s), g = _mm_sub_epi16(C256, w);
        const __m128i rb = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(d, Low), g),
                                                       _mm_mullo_epi16(_mm_and_si128(s, Low), w)),
                                         C128);
        const __m128i ag = _mm_add_epi16(
            _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(d, 8), g), _mm_mullo_epi16(_mm_srli_epi16(s, 8), w)),
            C128);
        return _mm_or_si128(_mm_srli_epi16(rb, 8), _mm_and_si128(ag, High));
    }
    // D = 0: c' = (S·W' + 128) >> 8
    __m128i OnClear(__m128i s) const {
        const __m128i w = Weight(s);
        const __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(s, Low), w), C128);
        const __m128i ag = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(s, 8), w), C128);
        return _mm_or_si128(_mm_srli_epi16(rb, 8), _mm_and_si128(ag, High));
    }
};

// All four alphas 0, or all four 255.
inline bool AllTransparent(__m128i s) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(s, 24), _mm_setzero_si128())) == 0xFFFF;
}
inline bool AllOpaque(__m128i s) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi32(s, 24), _mm_set1_epi32(255))) == 0xFFFF;
}

} // namespace

void BlendLineSSE2(const TColor32* src, TColor32* dst, int count, uint32_t master) {
    if (master == 0) return;
    const TBlend4 b(master);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (AllTransparent(s)) continue; // W = 0 throughout: nothing to do
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        if (master == 255 && AllOpaque(s))
            _mm_storeu_si128(out, s); // the copy case throughout
        else
            _mm_storeu_si128(out, b.Blend(s, _mm_loadu_si128(out)));
    }
    for (; i < count; ++i) dst[i] = BlendPixel(src[i], dst[i], master);
}

void BlendLineOnClearSSE2(const TColor32* src, TColor32* dst, int count, uint32_t master) {
    const TBlend4 b(master);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        if (AllTransparent(s))
            _mm_storeu_si128(out, _mm_setzero_si128());
        else if (master == 255 && AllOpaque(s))
            _mm_storeu_si128(out, s);
        else
            _mm_storeu_si128(out, b.OnClear(s));
    }
    for (; i < count; ++i) dst[i] = BlendPixel(src[i], 0, master);
}

// Intensity I = (R·61 + G·174 + B·21) >> 8 with two multiply-adds of 16-bit
// pairs, then Da·I div 255 = (x + 1 + (x >> 8)) >> 8 for x = Da·I ≤ 255·255
// (exact over that range). Da = 0 gives 0, so it needs no test.
void MaskAlphaLineSSE2(TColor32* dst, const TColor32* mask, int count) {
    const __m128i low = _mm_set1_epi32(0x00FF00FF), rb = _mm_set1_epi32(61 << 16 | 21),
                  g = _mm_set1_epi32(174), one = _mm_set1_epi32(1), rgb = _mm_set1_epi32(0x00FFFFFF);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        const __m128i d = _mm_loadu_si128(out);
        const __m128i intensity =
            _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_and_si128(m, low), rb),
                                         _mm_madd_epi16(_mm_and_si128(_mm_srli_epi32(m, 8), low), g)),
                           8);
        const __m128i x = _mm_mullo_epi16(_mm_srli_epi32(d, 24), intensity);
        const __m128i a = _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(x, one), _mm_srli_epi32(x, 8)), 8);
        _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(d, rgb), _mm_slli_epi32(a, 24)));
    }
    for (; i < count; ++i) dst[i] = MaskPixelAlpha(dst[i], mask[i]);
}

} // namespace kernels
#endif
