#include "engine/PixelOps.h"

#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define VELMORA_X86 1
#include <emmintrin.h>
#endif

void BlendLineScalar(const TColor32* src, TColor32* dst, int count, uint32_t master) {
    if (master == 0) return;
    for (int i = 0; i < count; ++i) dst[i] = BlendPixel(src[i], dst[i], master);
}

#ifdef VELMORA_X86
// Two pixels at a time in 16-bit lanes:
//   W' = ((M + 1)·Sa) >> 8, bumped to 256 where it is 255 (M = Sa = 255, the
//   copy case), then c' = (D·(256 − W') + S·W' + 128) >> 8.
// W' = 0 leaves D as it is, so the rule needs no branches. Products stay
// below 65536: D·(256 − W') + S·W' ≤ 255·256.
static void BlendLineSSE2(const TColor32* src, TColor32* dst, int count, uint32_t master) {
    if (master == 0) return;
    const __m128i zero = _mm_setzero_si128();
    const __m128i m1 = _mm_set1_epi16(short(master + 1));
    const __m128i c255 = _mm_set1_epi16(255);
    const __m128i c256 = _mm_set1_epi16(256);
    const __m128i c128 = _mm_set1_epi16(128);
    const __m128i one = _mm_set1_epi16(1);
    const __m128i opaque = _mm_set1_epi32(255);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        // Skip groups that are fully transparent (common around shapes).
        __m128i alpha = _mm_srli_epi32(s, 24);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero)) == 0xFFFF) continue;
        // Opaque groups at full master alpha are copied (photos, the canvas).
        if (master == 255 && _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, opaque)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i out[2];
        for (int half = 0; half < 2; ++half) {
            __m128i s16 = half == 0 ? _mm_unpacklo_epi8(s, zero) : _mm_unpackhi_epi8(s, zero);
            __m128i d16 = half == 0 ? _mm_unpacklo_epi8(d, zero) : _mm_unpackhi_epi8(d, zero);
            // broadcast each pixel's alpha (lane 3 of 4) to its four lanes
            __m128i a = _mm_shufflelo_epi16(s16, _MM_SHUFFLE(3, 3, 3, 3));
            a = _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
            __m128i w = _mm_srli_epi16(_mm_mullo_epi16(a, m1), 8);
            w = _mm_add_epi16(w, _mm_and_si128(_mm_cmpeq_epi16(w, c255), one));
            __m128i r = _mm_add_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(c256, w)), _mm_mullo_epi16(s16, w));
            r = _mm_srli_epi16(_mm_add_epi16(r, c128), 8);
            out[half] = r;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(out[0], out[1]));
    }
    for (; i < count; ++i) dst[i] = BlendPixel(src[i], dst[i], master);
}
#endif

namespace {
const TPixelOps kScalar{BlendLineScalar, "scalar"};
#ifdef VELMORA_X86
const TPixelOps kSSE2{BlendLineSSE2, "sse2"};
const TPixelOps* const kVariants[] = {&kScalar, &kSSE2};
#else
const TPixelOps* const kVariants[] = {&kScalar};
#endif

const TPixelOps& ChooseOps() {
    const char* forced = std::getenv("VELMORA_SCALAR");
    if (forced && *forced && std::strcmp(forced, "0") != 0) return kScalar;
    return *kVariants[sizeof(kVariants) / sizeof(kVariants[0]) - 1];
}
} // namespace

const TPixelOps& PixelOps() {
    static const TPixelOps& ops = ChooseOps();
    return ops;
}
const TPixelOps& ScalarPixelOps() { return kScalar; }
int PixelOpsVariantCount() { return int(sizeof(kVariants) / sizeof(kVariants[0])); }
const TPixelOps& PixelOpsVariant(int index) { return *kVariants[index]; }
