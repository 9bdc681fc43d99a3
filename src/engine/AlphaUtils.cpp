#include "engine/AlphaUtils.h"

#include "engine/ParallelRows.h"
#include "engine/PixelOps.h"

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

void BlurAlpha(TBitmap32& dest, int d) {
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

void SmoothAlpha(TBitmap32& dest, int passes) {
    for (int d = passes; d >= 1; --d) BlurAlpha(dest, d);
}
