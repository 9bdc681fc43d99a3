#include "engine/AlphaUtils.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/ParallelRows.h"
#include "engine/PixelOps.h"

#if defined(__x86_64__) || defined(__i386__)
#define VELMORA_X86 1
#include <immintrin.h>
#endif

namespace {
// Every pixel on its own, so bands of rows may go to helper threads.
template <class F> void ForCommon(TBitmap32& dest, const TBitmap32& other, F f) {
    const int w = std::min(dest.Width(), other.Width()), h = std::min(dest.Height(), other.Height());
    if (w <= 0 || h <= 0) return;
    ForRowBands(0, h, int64_t(w) * h, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            TColor32* d = dest.ScanLine(y);
            const TColor32* o = other.ScanLine(y);
            for (int x = 0; x < w; ++x) d[x] = f(d[x], o[x]);
        }
    });
}
} // namespace

void ApplyMaskAlpha(TBitmap32& dest, const TBitmap32& mask) {
    const int w = std::min(dest.Width(), mask.Width()), h = std::min(dest.Height(), mask.Height());
    if (w <= 0 || h <= 0) return;
    ForRowBands(0, h, int64_t(w) * h, [&](int first, int end) {
        for (int y = first; y < end; ++y) ApplyMaskAlphaSpan(dest.ScanLine(y), mask.ScanLine(y), w);
    });
}

void ApplyMaskAlphaSpan(TColor32* dest, const TColor32* mask, int count) {
    PixelOps().MaskAlphaLine(dest, mask, count);
}

void AddAlpha(TBitmap32& dest, const TBitmap32& other) {
    ForCommon(dest, other, [](TColor32 d, TColor32 o) {
        return SetAlpha(d, uint8_t(std::min<uint32_t>(255, (d >> 24) + (o >> 24))));
    });
}

void Colorize(TBitmap32& dest, TColor32 color) {
    const TColor32 rgb = color & 0x00FFFFFFu;
    TColor32* p = dest.Bits();
    for (size_t i = 0, n = dest.PixelCount(); i < n; ++i) p[i] = (p[i] & 0xFF000000u) | rgb;
}

void BlurAlphaScalar(TBitmap32& dest, int d) {
    const int w = dest.Width(), h = dest.Height();
    if (w == 0 || h == 0) return;
    auto alpha = [&](int x, int y) -> uint32_t {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        return dest.Pixel(x, y) >> 24;
    };
    for (int y = 0; y < h; ++y) {
        TColor32* row = dest.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const uint32_t a =
                (alpha(x + d, y + d) + alpha(x + d, y - d) + alpha(x - d, y + d) + alpha(x - d, y - d)) >> 2;
            row[x] = SetAlpha(row[x], uint8_t(a));
        }
    }
}

// ---- The pass by rows ----
//
// Row y reads rows y − d and y + d (clamped). Between the first and the last
// row those are other rows: the one above is final already, the one below not
// yet touched, so the row's new alphas do not depend on each other and can be
// computed side by side. The first and last rows read themselves (partly
// updated, left to right) and keep the strict order of the reference.

namespace {

inline uint32_t A(TColor32 c) {
    return c >> 24;
}

// One pixel of a middle row; x - d or x + d may lie outside the row.
inline TColor32 RowPixel(const TColor32* up, const TColor32* down, TColor32 self, int x, int d, int w) {
    const int l = std::max(x - d, 0), r = std::min(x + d, w - 1);
    return SetAlpha(self, uint8_t((A(up[r]) + A(up[l]) + A(down[r]) + A(down[l])) >> 2));
}

// The edge row y in the reference's order.
void EdgeRow(TBitmap32& dest, int y, int d) {
    const int w = dest.Width(), h = dest.Height();
    const TColor32* up = dest.ScanLine(std::max(y - d, 0));
    const TColor32* down = dest.ScanLine(std::min(y + d, h - 1));
    TColor32* row = dest.ScanLine(y);
    for (int x = 0; x < w; ++x) row[x] = RowPixel(up, down, row[x], x, d, w);
}

using TMiddleSpan = void (*)(const TColor32* up, const TColor32* down, TColor32* row, int from, int to,
                             int d);

// Pixels from..to - 1 of a middle row, all with both neighbours inside it.
void MiddleSpanPlain(const TColor32* up, const TColor32* down, TColor32* row, int from, int to, int d) {
    for (int x = from; x < to; ++x)
        row[x] =
            SetAlpha(row[x], uint8_t((A(up[x + d]) + A(up[x - d]) + A(down[x + d]) + A(down[x - d])) >> 2));
}

template <TMiddleSpan Span> void BlurAlphaRows(TBitmap32& dest, int d) {
    const int w = dest.Width(), h = dest.Height();
    if (w == 0 || h == 0) return;
    if (d < 0) d = -d; // the four reads are the same set
    EdgeRow(dest, 0, d);
    for (int y = 1; y < h - 1; ++y) {
        const TColor32* up = dest.ScanLine(std::max(y - d, 0));
        const TColor32* down = dest.ScanLine(std::min(y + d, h - 1));
        TColor32* row = dest.ScanLine(y);
        const int from = std::min(d, w), to = std::max(w - d, from);
        for (int x = 0; x < from; ++x) row[x] = RowPixel(up, down, row[x], x, d, w);
        Span(up, down, row, from, to, d);
        for (int x = to; x < w; ++x) row[x] = RowPixel(up, down, row[x], x, d, w);
    }
    if (h > 1) EdgeRow(dest, h - 1, d);
}

#ifdef VELMORA_X86
// Four pixels at a time: the four alphas added in 32-bit lanes (at most
// 1020), shifted down by 2 and back into the alpha byte.
inline __m128i Alpha4(const TColor32* p) {
    return _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), 24);
}

void MiddleSpanSSE2(const TColor32* up, const TColor32* down, TColor32* row, int from, int to, int d) {
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    int x = from;
    for (; x + 4 <= to; x += 4) {
        __m128i sum = _mm_add_epi32(Alpha4(up + x + d), Alpha4(up + x - d));
        sum = _mm_add_epi32(sum, _mm_add_epi32(Alpha4(down + x + d), Alpha4(down + x - d)));
        const __m128i alpha = _mm_slli_epi32(_mm_srli_epi32(sum, 2), 24);
        __m128i* out = reinterpret_cast<__m128i*>(row + x);
        const __m128i self = _mm_and_si128(_mm_loadu_si128(out), rgb);
        _mm_storeu_si128(out, _mm_or_si128(self, alpha));
    }
    MiddleSpanPlain(up, down, row, x, to, d);
}

// The same eight pixels at a time.
__attribute__((target("avx2"))) inline __m256i Alpha8(const TColor32* p) {
    return _mm256_srli_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), 24);
}

__attribute__((target("avx2"))) void MiddleSpanAVX2(const TColor32* up, const TColor32* down, TColor32* row,
                                                    int from, int to, int d) {
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    int x = from;
    for (; x + 8 <= to; x += 8) {
        __m256i sum = _mm256_add_epi32(Alpha8(up + x + d), Alpha8(up + x - d));
        sum = _mm256_add_epi32(sum, _mm256_add_epi32(Alpha8(down + x + d), Alpha8(down + x - d)));
        const __m256i alpha = _mm256_slli_epi32(_mm256_srli_epi32(sum, 2), 24);
        __m256i* out = reinterpret_cast<__m256i*>(row + x);
        const __m256i self = _mm256_and_si256(_mm256_loadu_si256(out), rgb);
        _mm256_storeu_si256(out, _mm256_or_si256(self, alpha));
    }
    MiddleSpanPlain(up, down, row, x, to, d);
}
#endif

const TAlphaBlurOps kBlurScalar{BlurAlphaScalar, "scalar"};
const TAlphaBlurOps kBlurRows{BlurAlphaRows<MiddleSpanPlain>, "rows"};
#ifdef VELMORA_X86
const TAlphaBlurOps kBlurSSE2{BlurAlphaRows<MiddleSpanSSE2>, "sse2"};
const TAlphaBlurOps kBlurAVX2{BlurAlphaRows<MiddleSpanAVX2>, "avx2"};
#endif

const std::vector<const TAlphaBlurOps*>& BlurVariants() {
    static const std::vector<const TAlphaBlurOps*> v = [] {
        std::vector<const TAlphaBlurOps*> list{&kBlurScalar, &kBlurRows};
#ifdef VELMORA_X86
        list.push_back(&kBlurSSE2);
        if (__builtin_cpu_supports("avx2")) list.push_back(&kBlurAVX2);
#endif
        return list;
    }();
    return v;
}

const TAlphaBlurOps& BlurOps() {
    static const TAlphaBlurOps& ops = []() -> const TAlphaBlurOps& {
        const char* forced = std::getenv("VELMORA_SCALAR");
        if (forced && *forced && std::strcmp(forced, "0") != 0) return kBlurScalar;
        return *BlurVariants().back();
    }();
    return ops;
}

} // namespace

int AlphaBlurVariantCount() {
    return int(BlurVariants().size());
}

const TAlphaBlurOps& AlphaBlurVariant(int index) {
    return *BlurVariants()[size_t(index)];
}

void BlurAlpha(TBitmap32& dest, int d) {
    BlurOps().Pass(dest, d);
}

void SmoothAlpha(TBitmap32& dest, int passes) {
    for (int d = passes; d >= 1; --d) BlurAlpha(dest, d);
}
