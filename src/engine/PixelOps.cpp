#include "engine/PixelOps.h"

#include <cstdlib>
#include <cstring>

#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#define VELMORA_X86 1
#include <immintrin.h>
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
const TPixelOps& ScalarPixelOps() {
    return kScalar;
}
int PixelOpsVariantCount() {
    return int(sizeof(kVariants) / sizeof(kVariants[0]));
}
const TPixelOps& PixelOpsVariant(int index) {
    return *kVariants[index];
}

// ---- Linear stretch rows ----

namespace {
void StretchRowScalar(const TColor32* r0, const TColor32* r1, const int32_t* x0, const int32_t* x1,
                      const uint32_t* fx, uint32_t fy, TColor32* out, int count) {
    for (int k = 0; k < count; ++k)
        out[k] = BilinearPixelPacked(r0[x0[k]], r0[x1[k]], r1[x0[k]], r1[x1[k]], fx[k], fy);
}

#ifdef VELMORA_X86
// Eight pixels at a time: the four neighbours gathered, widened to 16-bit
// lanes (two pixels per 128-bit half, as unpack lays them out), each step
//   (a·(256 − f) + b·f + 128) >> 8
// as in Lerp8, first along x with each pixel's own weight, then along y.
// Sums stay below 65536, and the results fit a byte, so packing is exact.
__attribute__((target("avx2"))) inline __m256i Lerp16x(__m256i a, __m256i b, __m256i f) {
    const __m256i g = _mm256_sub_epi16(_mm256_set1_epi16(256), f);
    return _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(a, g), _mm256_mullo_epi16(b, f)),
                         _mm256_set1_epi16(128)),
        8);
}

__attribute__((target("avx2"))) void StretchRowAVX2(const TColor32* r0, const TColor32* r1, const int32_t* x0,
                                                    const int32_t* x1, const uint32_t* fx, uint32_t fy,
                                                    TColor32* out, int count) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i fy16 = _mm256_set1_epi16(short(fy));
    const int* b0 = reinterpret_cast<const int*>(r0);
    const int* b1 = reinterpret_cast<const int*>(r1);
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256i i0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x0 + k));
        const __m256i i1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x1 + k));
        const __m256i f32 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(fx + k));
        const __m256i p00 = _mm256_i32gather_epi32(b0, i0, 4), p10 = _mm256_i32gather_epi32(b0, i1, 4);
        const __m256i p01 = _mm256_i32gather_epi32(b1, i0, 4), p11 = _mm256_i32gather_epi32(b1, i1, 4);
        const __m256i f2 = _mm256_or_si256(f32, _mm256_slli_epi32(f32, 16)); // f in both 16-bit halves
        const __m256i flo = _mm256_unpacklo_epi32(f2, f2), fhi = _mm256_unpackhi_epi32(f2, f2);
        const __m256i tlo = Lerp16x(_mm256_unpacklo_epi8(p00, zero), _mm256_unpacklo_epi8(p10, zero), flo);
        const __m256i thi = Lerp16x(_mm256_unpackhi_epi8(p00, zero), _mm256_unpackhi_epi8(p10, zero), fhi);
        const __m256i blo = Lerp16x(_mm256_unpacklo_epi8(p01, zero), _mm256_unpacklo_epi8(p11, zero), flo);
        const __m256i bhi = Lerp16x(_mm256_unpackhi_epi8(p01, zero), _mm256_unpackhi_epi8(p11, zero), fhi);
        const __m256i rlo = Lerp16x(tlo, blo, fy16), rhi = Lerp16x(thi, bhi, fy16);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), _mm256_packus_epi16(rlo, rhi));
    }
    StretchRowScalar(r0, r1, x0 + k, x1 + k, fx + k, fy, out + k, count - k);
}
#endif

const TStretchRowOps kStretchScalar{StretchRowScalar, "scalar"};
#ifdef VELMORA_X86
const TStretchRowOps kStretchAVX2{StretchRowAVX2, "avx2"};
#endif

const std::vector<const TStretchRowOps*>& StretchVariants() {
    static const std::vector<const TStretchRowOps*> v = [] {
        std::vector<const TStretchRowOps*> list{&kStretchScalar};
#ifdef VELMORA_X86
        if (__builtin_cpu_supports("avx2")) list.push_back(&kStretchAVX2);
#endif
        return list;
    }();
    return v;
}
} // namespace

const TStretchRowOps& StretchRowOps() {
    static const TStretchRowOps& ops = []() -> const TStretchRowOps& {
        const char* forced = std::getenv("VELMORA_SCALAR");
        if (forced && *forced && std::strcmp(forced, "0") != 0) return kStretchScalar;
        return *StretchVariants().back();
    }();
    return ops;
}
int StretchRowVariantCount() {
    return int(StretchVariants().size());
}
const TStretchRowOps& StretchRowVariant(int index) {
    return *StretchVariants()[size_t(index)];
}
