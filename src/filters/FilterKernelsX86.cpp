// The vector routines of the filters (x86: AVX2, and AVX-512 with byte
// permutes for the table look-ups). Each gives exactly the pixels of its
// reference in FilterKernelsScalar.cpp; where a rule rounds a real number,
// the routine either evaluates the same expression or a table built from it
// once per call, or an integer form proven equal (noted at the routine).
//
// No routine here is compiled for FMA: a fused multiply-add would round
// differently from the reference's double expressions.

#include <cstring>
#include <vector>

#include "filters/FilterKernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace {

// ---- Routines without vector instructions (shared by both tables) ----

inline TColor32 WithGray(TColor32 c, int v) {
    return (c & 0xFF000000u) | (TColor32(v) * 0x010101u);
}

// Three 256-entry tables (blue, green, red) applied to every pixel.
void ApplyTablesPlain(TBitmap32& p, const uint8_t (&lut)[3][256]) {
    uint32_t tb[256], tg[256], tr[256];
    for (int i = 0; i < 256; ++i) {
        tb[i] = lut[0][i];
        tg[i] = uint32_t(lut[1][i]) << 8;
        tr[i] = uint32_t(lut[2][i]) << 16;
    }
    TColor32* px = p.Bits();
    for (size_t i = 0, n = p.PixelCount(); i < n; ++i) {
        const TColor32 c = px[i];
        px[i] = (c & 0xFF000000u) | tr[(c >> 16) & 0xFF] | tg[(c >> 8) & 0xFF] | tb[c & 0xFF];
    }
}

// The same value table for all three channels, from the reference's own
// expression: the result of a channel depends on its value only.
void BrightnessContrastTable(int b, double c, uint8_t (&lut)[3][256]) {
    const int offset = Round(double(b) - 127.0 * c + 127.0);
    for (int v = 0; v < 256; ++v)
        lut[0][v] = lut[1][v] = lut[2][v] = Clamp255(Round(double(v) * c + double(offset)));
}

void ColorMatrixTable(int fr, int fg, int fb, uint8_t (&lut)[3][256]) {
    for (int v = 0; v < 256; ++v) {
        lut[0][v] = Clamp255(Round(double(int64_t(v) * fb) / 255.0));
        lut[1][v] = Clamp255(Round(double(int64_t(v) * fg) / 255.0));
        lut[2][v] = Clamp255(Round(double(int64_t(v) * fr) / 255.0));
    }
}

// Four interleaved histograms per channel keep successive pixels of equal
// colour from waiting on each other's counter.
void Histogram(const TBitmap32& p, uint64_t (&hist)[3][256]) {
    std::vector<uint32_t> h(4 * 3 * 256, 0);
    const TColor32* px = p.Bits();
    const size_t n = p.PixelCount();
    // counts stay below 2^32: a picture holds at most 250 million pixels
    size_t i = 0;
    for (; i + 4 <= n; i += 4)
        for (size_t k = 0; k < 4; ++k) {
            const TColor32 c = px[i + k];
            uint32_t* t = h.data() + k * 768;
            ++t[c & 0xFF];
            ++t[256 + ((c >> 8) & 0xFF)];
            ++t[512 + ((c >> 16) & 0xFF)];
        }
    for (; i < n; ++i) {
        const TColor32 c = px[i];
        ++h[c & 0xFF];
        ++h[256 + ((c >> 8) & 0xFF)];
        ++h[512 + ((c >> 16) & 0xFF)];
    }
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v) {
            uint64_t sum = 0;
            for (size_t k = 0; k < 4; ++k) sum += h[k * 768 + size_t(c) * 256 + size_t(v)];
            hist[c][v] = sum;
        }
}

// The reference's order, through a window of the 2q + 1 source rows around
// the current row instead of a whole copy: the rows above the window are
// never read again, the rows below it are still unchanged in the picture.
void CanvasWindowed(TBitmap32& p, int q, uint64_t seed) {
    const int w = p.Width(), h = p.Height();
    const int rows = 2 * q + 1;
    std::vector<TColor32> ring(size_t(rows) * size_t(w));
    auto slot = [&](int row) { return ring.data() + size_t(row % rows) * size_t(w); };
    auto keep = [&](int row) {
        if (row < h) std::memcpy(slot(row), p.ScanLine(row), size_t(w) * 4);
    };
    for (int r = 0; r < q; ++r) keep(r);
    TCanvasRandom random(seed);
    const uint32_t n = uint32_t(rows);
    std::vector<const TColor32*> source(static_cast<size_t>(rows));
    for (int y = 0; y < h; ++y) {
        keep(y + q);
        // the row a draw r reads: y + (q - r), limited to the picture
        for (int r = 0; r < rows; ++r) source[size_t(r)] = slot(std::clamp(y + q - r, 0, h - 1));
        TColor32* out = p.ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const TColor32* row = source[random.R(n)];
            const int sx = std::clamp(x + q - int(random.R(n)), 0, w - 1);
            out[x] = (out[x] & 0xFF000000u) | (row[sx] & 0x00FFFFFFu);
        }
    }
}

void MosaicFast(TBitmap32& p, int n) {
    const int w = p.Width(), h = p.Height();
    if (n <= 1) return;
    for (int y = 0; y < h; y += n) {
        TColor32* row = p.ScanLine(y);
        for (int x0 = 0; x0 < w; x0 += n) {
            const TColor32 sample = row[x0];
            const int end = std::min(x0 + n, w);
            for (int x = x0 + 1; x < end; ++x) row[x] = sample;
        }
        const int last = std::min(y + n, h);
        for (int y2 = y + 1; y2 < last; ++y2) std::memcpy(p.ScanLine(y2), row, size_t(w) * 4);
    }
}

// One pixel of a blur pass with its four samples limited to the picture.
inline void BlurPixel(TBitmap32& p, int x, int y, int yu, int yd, int d) {
    const int w = p.Width();
    const int xl = std::max(x - d, 0), xr = std::min(x + d, w - 1);
    const TColor32 a = p.Pixel(xr, yd), b = p.Pixel(xr, yu), c = p.Pixel(xl, yd), e = p.Pixel(xl, yu);
    const uint32_t r = (RedOf(a) + RedOf(b) + RedOf(c) + RedOf(e)) / 4;
    const uint32_t g = (GreenOf(a) + GreenOf(b) + GreenOf(c) + GreenOf(e)) / 4;
    const uint32_t bl = (BlueOf(a) + BlueOf(b) + BlueOf(c) + BlueOf(e)) / 4;
    p.SetPixel(x, y, (p.Pixel(x, y) & 0xFF000000u) | (r << 16) | (g << 8) | bl);
}

// ---- AVX2 ----

// Gray of eight pixels. s = 30 R + 59 G + 11 B is 100 times the exact value
// of 0.3 R + 0.59 G + 0.11 B, so where s mod 100 is not 50 the nearest
// integer is (s + 50) div 100. When it is 50 the double expression lies
// within rounding error of the half and the reference's result depends on
// that error: those pixels (about one in a hundred) take the reference's
// own expression. (s + 50) div 100 = ((s + 50) * 41944) >> 22 for s + 50
// <= 25550.
__attribute__((target("avx2"))) inline __m256i Gray8(__m256i px, int& ties) {
    const __m256i pairs = _mm256_maddubs_epi16(px, _mm256_set1_epi32(0x001E3B0B)); // B·11 + G·59, R·30
    const __m256i s = _mm256_madd_epi16(pairs, _mm256_set1_epi16(1));
    const __m256i t = _mm256_add_epi32(s, _mm256_set1_epi32(50));
    const __m256i y = _mm256_srli_epi32(_mm256_mulhi_epu16(t, _mm256_set1_epi32(41944)), 6);
    const __m256i exact = _mm256_cmpeq_epi32(_mm256_mullo_epi16(y, _mm256_set1_epi32(100)), t);
    ties = _mm256_movemask_ps(_mm256_castsi256_ps(exact));
    return y;
}

__attribute__((target("avx2"))) inline __m256i Spread8(__m256i y, __m256i px) {
    // y in byte 0 of each pixel -> bytes 0..2; alpha from px
    const __m256i rep = _mm256_setr_epi8(0, 0, 0, -1, 4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1, 0, 0, 0, -1,
                                         4, 4, 4, -1, 8, 8, 8, -1, 12, 12, 12, -1);
    return _mm256_or_si256(_mm256_shuffle_epi8(y, rep),
                           _mm256_and_si256(px, _mm256_set1_epi32(int(0xFF000000))));
}

__attribute__((target("avx2"))) void GrayAVX2(TBitmap32& p) {
    TColor32* px = p.Bits();
    const size_t n = p.PixelCount();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(px + i));
        int ties;
        const __m256i y = Gray8(v, ties);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(px + i), Spread8(y, v));
        while (ties) {
            const int k = __builtin_ctz(unsigned(ties));
            ties &= ties - 1;
            // px[i + k] now holds the integer form's gray; the reference reads
            // the colour, which is still in v
            alignas(32) TColor32 colours[8];
            _mm256_store_si256(reinterpret_cast<__m256i*>(colours), v);
            px[i + k] = WithGray(colours[k], GrayValue(colours[k]));
        }
    }
    for (; i < n; ++i) px[i] = WithGray(px[i], GrayValue(px[i]));
}

// Gray values of one row into bytes.
__attribute__((target("avx2"))) void GrayRowAVX2(const TColor32* src, uint8_t* out, int w) {
    int x = 0;
    for (; x + 8 <= w; x += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x));
        int ties;
        const __m256i y = Gray8(v, ties);
        const __m256i packed = _mm256_packus_epi16(_mm256_packus_epi32(y, y), _mm256_setzero_si256());
        const uint32_t lo = uint32_t(_mm256_extract_epi32(packed, 0)),
                       hi = uint32_t(_mm256_extract_epi32(packed, 4));
        std::memcpy(out + x, &lo, 4);
        std::memcpy(out + x + 4, &hi, 4);
        while (ties) {
            const int k = __builtin_ctz(unsigned(ties));
            ties &= ties - 1;
            out[x + k] = uint8_t(GrayValue(src[x + k]));
        }
    }
    for (; x < w; ++x) out[x] = uint8_t(GrayValue(src[x]));
}

// Row of an emboss: out[x] for x >= 1 from g[x] and n[x - 1] (n: the
// neighbouring row's gray), column 0 keeps g[0]; alpha from the row itself.
__attribute__((target("avx2"))) void EmbossRowAVX2(TColor32* row, const uint8_t* g, const uint8_t* nb, int w,
                                                   TEmboss kind) {
    row[0] = WithGray(row[0], g[0]);
    int x = 1;
    const __m256i c128 = _mm256_set1_epi16(128);
    for (; x + 16 <= w; x += 16) {
        const __m256i a = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(g + x)));
        const __m256i b = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(nb + x - 1)));
        __m256i d = _mm256_sub_epi16(a, b);
        if (kind == TEmboss::Line) d = _mm256_abs_epi16(d);
        d = _mm256_add_epi16(d, c128);
        // packus limits to 0 .. 255: Clamp for carve and relievo, min(255, ...) for line
        const __m256i v8 = _mm256_permute4x64_epi64(_mm256_packus_epi16(d, d), 0xD8);
        const __m128i bytes = _mm256_castsi256_si128(v8);
        for (int half = 0; half < 2; ++half) {
            const __m256i v32 = _mm256_cvtepu8_epi32(half == 0 ? bytes : _mm_srli_si128(bytes, 8));
            TColor32* o = row + x + half * 8;
            const __m256i old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(o));
            const __m256i rgb =
                _mm256_or_si256(_mm256_or_si256(v32, _mm256_slli_epi32(v32, 8)), _mm256_slli_epi32(v32, 16));
            _mm256_storeu_si256(
                reinterpret_cast<__m256i*>(o),
                _mm256_or_si256(rgb, _mm256_and_si256(old, _mm256_set1_epi32(int(0xFF000000)))));
        }
    }
    for (; x < w; ++x) {
        const int d = int(g[x]) - int(nb[x - 1]);
        const int v = kind == TEmboss::Carve || kind == TEmboss::Relievo ? Clamp255(d + 128)
                                                                         : std::min(255, std::abs(d) + 128);
        row[x] = WithGray(row[x], v);
    }
}

__attribute__((target("avx2"))) void GrayRowOut(TColor32* row, const uint8_t* g, int w) {
    for (int x = 0; x < w; ++x) row[x] = WithGray(row[x], g[x]);
}

// Gray and emboss in one sweep. Every rewritten pixel of the reference reads
// its own gray value and one of the neighbouring row's, which its order
// keeps unchanged; so each row is computed from the gray values of two
// original rows, the one below (carve: above) computed once and kept for
// the next row.
__attribute__((target("avx2"))) void EmbossAVX2(TBitmap32& p, TEmboss kind) {
    const int w = p.Width(), h = p.Height();
    std::vector<uint8_t> bufA(size_t(w) + 32), bufB(size_t(w) + 32);
    uint8_t* cur = bufA.data();
    uint8_t* next = bufB.data();
    if (kind == TEmboss::Carve) {
        GrayRowAVX2(p.ScanLine(h - 1), cur, w);
        for (int y = h - 1; y >= 1; --y) {
            GrayRowAVX2(p.ScanLine(y - 1), next, w);
            EmbossRowAVX2(p.ScanLine(y), cur, next, w, kind);
            std::swap(cur, next);
        }
        GrayRowOut(p.ScanLine(0), cur, w);
        return;
    }
    GrayRowAVX2(p.ScanLine(0), cur, w);
    for (int y = 0; y <= h - 2; ++y) {
        GrayRowAVX2(p.ScanLine(y + 1), next, w);
        EmbossRowAVX2(p.ScanLine(y), cur, next, w, kind);
        std::swap(cur, next);
    }
    GrayRowOut(p.ScanLine(h - 1), cur, w);
}

// A row whose up and down samples lie in other rows (all but the first and
// the last): the row above is final, the row below untouched, and the row
// itself is not read, so its pixels are independent of each other.
__attribute__((target("avx2"))) void BlurRowAVX2(TColor32* out, const TColor32* up, const TColor32* down,
                                                 int w, int d) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000));
    int x = d;
    for (; x + d < w && x + 8 + d <= w; x += 8) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(up + x + d));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(up + x - d));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(down + x + d));
        const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(down + x - d));
        const __m256i lo = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_add_epi16(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero)),
                             _mm256_add_epi16(_mm256_unpacklo_epi8(c, zero), _mm256_unpacklo_epi8(e, zero))),
            2);
        const __m256i hi = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_add_epi16(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero)),
                             _mm256_add_epi16(_mm256_unpackhi_epi8(c, zero), _mm256_unpackhi_epi8(e, zero))),
            2);
        const __m256i sum = _mm256_packus_epi16(lo, hi);
        const __m256i old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_blendv_epi8(sum, old, alpha));
    }
    // the rest of the interior, and the pixels whose sideways samples are
    // limited by the edges
    auto one = [&](int i) {
        const int xl = std::max(i - d, 0), xr = std::min(i + d, w - 1);
        const TColor32 s[4] = {down[xr], up[xr], down[xl], up[xl]};
        uint32_t r = 0, g = 0, b = 0;
        for (TColor32 v : s) r += RedOf(v), g += GreenOf(v), b += BlueOf(v);
        out[i] = (out[i] & 0xFF000000u) | ((r / 4) << 16) | ((g / 4) << 8) | (b / 4);
    };
    for (int i = std::max(x, 0); i < w; ++i) one(i);
    for (int i = 0; i < std::min(d, w); ++i) one(i);
}

__attribute__((target("avx2"))) void BlurPassAVX2(TBitmap32& p, int d) {
    const int w = p.Width(), h = p.Height();
    for (int y = 0; y < h; ++y) {
        const int yu = std::max(y - d, 0), yd = std::min(y + d, h - 1);
        if (yu == y || yd == y) {
            // the row reads itself: left to right, as the rule orders
            for (int x = 0; x < w; ++x) BlurPixel(p, x, y, yu, yd, d);
            continue;
        }
        BlurRowAVX2(p.ScanLine(y), p.ScanLine(yu), p.ScanLine(yd), w, d);
    }
}

// Round(p·255 / (255 − m)) in single precision: both operands are exact,
// the quotient is correctly rounded, a true half (k + 0.5 < 2^17) is exact,
// and any other quotient lies at least 1/(2(255 − m)) from a half while its
// rounding error stays below 0.004/(255 − m). So rounding the float to the
// nearest even integer gives the reference's value.
__attribute__((target("avx2"))) inline __m256i Dodge8(__m256i p32, __m256i m32) {
    const __m256 num = _mm256_mul_ps(_mm256_cvtepi32_ps(p32), _mm256_set1_ps(255.0f));
    const __m256 den = _mm256_cvtepi32_ps(_mm256_sub_epi32(_mm256_set1_epi32(255), m32));
    const __m256 q = _mm256_round_ps(_mm256_div_ps(num, den), _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    // quotients above 255 (and the division by zero of m = 255) become 255
    const __m256 limited = _mm256_min_ps(q, _mm256_set1_ps(255.0f));
    const __m256i v = _mm256_cvttps_epi32(limited);
    const __m256i full = _mm256_cmpeq_epi32(m32, _mm256_set1_epi32(255));
    return _mm256_blendv_epi8(v, _mm256_set1_epi32(255), full);
}

__attribute__((target("avx2"))) void DodgeAVX2(TBitmap32& p, const TBitmap32& mask) {
    TColor32* px = p.Bits();
    const TColor32* mk = mask.Bits();
    const size_t n = p.PixelCount();
    size_t i = 0;
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000));
    for (; i + 8 <= n; i += 8) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(px + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mk + i));
        __m256i out = _mm256_and_si256(a, alpha);
        for (int shift = 0; shift < 24; shift += 8) {
            const __m256i pc = _mm256_and_si256(_mm256_srli_epi32(a, shift), _mm256_set1_epi32(0xFF));
            const __m256i mc = _mm256_and_si256(_mm256_srli_epi32(b, shift), _mm256_set1_epi32(0xFF));
            out = _mm256_or_si256(out, _mm256_slli_epi32(Dodge8(pc, mc), shift));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(px + i), out);
    }
    for (; i < n; ++i) {
        TColor32 r = px[i] & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const int v = int((px[i] >> shift) & 0xFF), m = int((mk[i] >> shift) & 0xFF);
            const int o = m == 255 ? 255 : Clamp255(Round(double(v) * 255.0 / double(255 - m)));
            r |= TColor32(o) << shift;
        }
        px[i] = r;
    }
}

// v' = (v·s >> 8) + m − (m·s >> 8), m = (R + G + B) div 3, in 16-bit lanes.
// (v·s) >> 8 comes from the low and high halves of the 16-bit product; for
// s <= 32767 every term fits a signed 16-bit lane and saturating adds keep
// the values that Clamp sends to 0 or 255 on the right side. m = (t·43691)
// >> 17 equals t div 3 for t <= 765.
__attribute__((target("avx2"))) inline __m256i Scale8(__m256i v, __m256i s) {
    return _mm256_or_si256(_mm256_srli_epi16(_mm256_mullo_epi16(v, s), 8),
                           _mm256_slli_epi16(_mm256_mulhi_epu16(v, s), 8));
}

__attribute__((target("avx2"))) void SaturationAVX2(TBitmap32& p, int s) {
    if (s > 32767) {
        ScalarFilterKernels().Saturation(p, s);
        return;
    }
    TColor32* px = p.Bits();
    const size_t n = p.PixelCount();
    const __m256i zero = _mm256_setzero_si256();
    const __m256i s16 = _mm256_set1_epi16(short(uint16_t(s)));
    const __m256i alpha = _mm256_set1_epi32(int(0xFF000000));
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(px + i));
        const __m256i t =
            _mm256_madd_epi16(_mm256_maddubs_epi16(v, _mm256_set1_epi32(0x00010101)), _mm256_set1_epi16(1));
        const __m256i m = _mm256_srli_epi32(_mm256_mulhi_epu16(t, _mm256_set1_epi32(43691)), 1);
        const __m256i m2 = _mm256_or_si256(m, _mm256_slli_epi32(m, 16));
        __m256i half[2];
        for (int k = 0; k < 2; ++k) {
            const __m256i c = k == 0 ? _mm256_unpacklo_epi8(v, zero) : _mm256_unpackhi_epi8(v, zero);
            const __m256i mm = k == 0 ? _mm256_unpacklo_epi32(m2, m2) : _mm256_unpackhi_epi32(m2, m2);
            const __m256i base = _mm256_sub_epi16(mm, Scale8(mm, s16));
            half[k] = _mm256_adds_epi16(Scale8(c, s16), base);
        }
        const __m256i out = _mm256_packus_epi16(half[0], half[1]);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(px + i), _mm256_blendv_epi8(out, v, alpha));
    }
    if (i < n) {
        TBitmap32 tail(int(n - i), 1);
        std::memcpy(tail.Bits(), px + i, (n - i) * 4);
        ScalarFilterKernels().Saturation(tail, s);
        std::memcpy(px + i, tail.Bits(), (n - i) * 4);
    }
}

void BrightnessContrastPlain(TBitmap32& p, int b, double c) {
    uint8_t lut[3][256];
    BrightnessContrastTable(b, c, lut);
    ApplyTablesPlain(p, lut);
}

void ColorMatrixPlain(TBitmap32& p, int fr, int fg, int fb) {
    uint8_t lut[3][256];
    ColorMatrixTable(fr, fg, fb, lut);
    ApplyTablesPlain(p, lut);
}

void EqualizationPlain(TBitmap32& p) {
    uint64_t hist[3][256];
    Histogram(p, hist);
    uint8_t lut[3][256];
    EqualizationTables(hist, p.PixelCount(), lut);
    ApplyTablesPlain(p, lut);
}

// ---- AVX-512: table look-ups with byte permutes ----

#define VELMORA_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi")))

VELMORA_AVX512 inline __m512i Lookup(__m512i idx, const __m512i (&t)[4]) {
    const __m512i lo = _mm512_permutex2var_epi8(t[0], idx, t[1]);
    const __m512i hi = _mm512_permutex2var_epi8(t[2], idx, t[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(idx), lo, hi);
}

VELMORA_AVX512 void ApplyTablesAVX512(TBitmap32& p, const uint8_t (&lut)[3][256]) {
    __m512i t[3][4];
    for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 4; ++k) t[c][k] = _mm512_loadu_si512(lut[c] + 64 * k);
    const __mmask64 mb = 0x1111111111111111ull, mg = mb << 1, mr = mb << 2;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(p.Bits());
    const size_t total = p.PixelCount() * 4;
    for (size_t i = 0; i < total; i += 64) {
        const size_t left = total - i;
        const __mmask64 live = left >= 64 ? ~0ull : (1ull << left) - 1;
        const __m512i v = _mm512_maskz_loadu_epi8(live, bytes + i);
        __m512i r = _mm512_mask_blend_epi8(mb, v, Lookup(v, t[0]));
        r = _mm512_mask_blend_epi8(mg, r, Lookup(v, t[1]));
        r = _mm512_mask_blend_epi8(mr, r, Lookup(v, t[2]));
        _mm512_mask_storeu_epi8(bytes + i, live, r);
    }
}

VELMORA_AVX512 void BrightnessContrastAVX512(TBitmap32& p, int b, double c) {
    uint8_t lut[3][256];
    BrightnessContrastTable(b, c, lut);
    ApplyTablesAVX512(p, lut);
}

VELMORA_AVX512 void ColorMatrixAVX512(TBitmap32& p, int fr, int fg, int fb) {
    uint8_t lut[3][256];
    ColorMatrixTable(fr, fg, fb, lut);
    ApplyTablesAVX512(p, lut);
}

VELMORA_AVX512 void EqualizationAVX512(TBitmap32& p) {
    uint64_t hist[3][256];
    Histogram(p, hist);
    uint8_t lut[3][256];
    EqualizationTables(hist, p.PixelCount(), lut);
    ApplyTablesAVX512(p, lut);
}

const TFilterKernels kAVX2{"avx2",         GrayAVX2,        BrightnessContrastPlain,
                           EmbossAVX2,     CanvasWindowed,  EqualizationPlain,
                           MosaicFast,     BlurPassAVX2,    DodgeAVX2,
                           SaturationAVX2, ColorMatrixPlain};
const TFilterKernels kAVX512{"avx512",       GrayAVX2,         BrightnessContrastAVX512,
                             EmbossAVX2,     CanvasWindowed,   EqualizationAVX512,
                             MosaicFast,     BlurPassAVX2,     DodgeAVX2,
                             SaturationAVX2, ColorMatrixAVX512};

} // namespace

std::vector<const TFilterKernels*> VectorFilterKernels() {
    std::vector<const TFilterKernels*> list;
    if (!__builtin_cpu_supports("avx2")) return list;
    list.push_back(&kAVX2);
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi"))
        list.push_back(&kAVX512);
    return list;
}

#else

std::vector<const TFilterKernels*> VectorFilterKernels() {
    return {};
}

#endif
