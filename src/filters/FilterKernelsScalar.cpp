// The reference routines of the filters: each one follows its rule step by
// step, in the order the rule gives, reading the picture in its current
// state where the rule does. The vector routines are tested against these.

#include <cstdlib>
#include <vector>

#include "filters/FilterKernels.h"

namespace {

inline TColor32 WithRGB(TColor32 c, int r, int g, int b) {
    return (c & 0xFF000000u) | (TColor32(r) << 16) | (TColor32(g) << 8) | TColor32(b);
}

void GrayScalar(TBitmap32& p) {
    TColor32* px = p.Bits();
    for (size_t i = 0, n = p.PixelCount(); i < n; ++i) {
        const int y = GrayValue(px[i]);
        px[i] = WithRGB(px[i], y, y, y);
    }
}

void BrightnessContrastScalar(TBitmap32& p, int b, double c) {
    const int offset = Round(double(b) - 127.0 * c + 127.0);
    auto f = [&](int v) { return Clamp255(Round(double(v) * c + double(offset))); };
    TColor32* px = p.Bits();
    for (size_t i = 0, n = p.PixelCount(); i < n; ++i)
        px[i] = WithRGB(px[i], f(RedOf(px[i])), f(GreenOf(px[i])), f(BlueOf(px[i])));
}

void EmbossScalar(TBitmap32& p, TEmboss kind) {
    GrayScalar(p);
    const int w = p.Width(), h = p.Height();
    auto g = [&](int x, int y) { return int(BlueOf(p.Pixel(x, y))); }; // all three channels hold it
    auto put = [&](int x, int y, int v) { p.SetPixel(x, y, WithRGB(p.Pixel(x, y), v, v, v)); };
    if (kind == TEmboss::Carve) {
        // bottom row up to row 1, right to left: row y - 1 still holds gray
        for (int y = h - 1; y >= 1; --y)
            for (int x = w - 1; x >= 1; --x) put(x, y, Clamp255(g(x, y) - g(x - 1, y - 1) + 128));
        return;
    }
    // row 0 down to row H - 2, left to right: row y + 1 still holds gray
    for (int y = 0; y <= h - 2; ++y)
        for (int x = 1; x <= w - 1; ++x) {
            const int d = g(x, y) - g(x - 1, y + 1);
            put(x, y, kind == TEmboss::Relievo ? Clamp255(d + 128) : std::min(255, std::abs(d) + 128));
        }
}

void CanvasScalar(TBitmap32& p, int q, uint64_t seed) {
    const int w = p.Width(), h = p.Height();
    TBitmap32 source;
    source.Assign(p);
    TCanvasRandom random(seed);
    const uint32_t n = uint32_t(2 * q + 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dy = std::clamp(q - int(random.R(n)), -y, h - 1 - y);
            const int dx = std::clamp(q - int(random.R(n)), -x, w - 1 - x);
            p.SetPixel(x, y, (p.Pixel(x, y) & 0xFF000000u) | (source.Pixel(x + dx, y + dy) & 0x00FFFFFFu));
        }
}

void EqualizationScalar(TBitmap32& p) {
    uint64_t hist[3][256] = {};
    const TColor32* px = p.Bits();
    const size_t n = p.PixelCount();
    for (size_t i = 0; i < n; ++i) {
        ++hist[0][BlueOf(px[i])];
        ++hist[1][GreenOf(px[i])];
        ++hist[2][RedOf(px[i])];
    }
    uint8_t lut[3][256];
    EqualizationTables(hist, n, lut);
    TColor32* out = p.Bits();
    for (size_t i = 0; i < n; ++i)
        out[i] = WithRGB(out[i], lut[2][RedOf(out[i])], lut[1][GreenOf(out[i])], lut[0][BlueOf(out[i])]);
}

void MosaicScalar(TBitmap32& p, int n) {
    const int w = p.Width(), h = p.Height();
    for (int y = 0; y < h; y += n) {
        TColor32 sample = 0;
        for (int x = 0; x < w; ++x) {
            if (x % n == 0)
                sample = p.Pixel(x, y);
            else
                p.SetPixel(x, y, sample);
        }
    }
    for (int y = 0; y < h; ++y)
        if (y % n != 0)
            for (int x = 0; x < w; ++x) p.SetPixel(x, y, p.Pixel(x, y - y % n));
}

void BlurPassScalar(TBitmap32& p, int d) {
    const int w = p.Width(), h = p.Height();
    for (int y = 0; y < h; ++y) {
        const int yu = std::clamp(y - d, 0, h - 1), yd = std::clamp(y + d, 0, h - 1);
        for (int x = 0; x < w; ++x) {
            const int xl = std::clamp(x - d, 0, w - 1), xr = std::clamp(x + d, 0, w - 1);
            const TColor32 s[4] = {p.Pixel(xr, yd), p.Pixel(xr, yu), p.Pixel(xl, yd), p.Pixel(xl, yu)};
            int sum[3] = {0, 0, 0};
            for (TColor32 c : s) {
                sum[0] += RedOf(c);
                sum[1] += GreenOf(c);
                sum[2] += BlueOf(c);
            }
            p.SetPixel(x, y, WithRGB(p.Pixel(x, y), sum[0] / 4, sum[1] / 4, sum[2] / 4));
        }
    }
}

void DodgeScalar(TBitmap32& p, const TBitmap32& mask) {
    auto f = [](int v, int m) {
        return m == 255 ? 255 : Clamp255(Round(double(v) * 255.0 / double(255 - m)));
    };
    TColor32* px = p.Bits();
    const TColor32* mk = mask.Bits();
    for (size_t i = 0, n = p.PixelCount(); i < n; ++i)
        px[i] = WithRGB(px[i], f(RedOf(px[i]), RedOf(mk[i])), f(GreenOf(px[i]), GreenOf(mk[i])),
                        f(BlueOf(px[i]), BlueOf(mk[i])));
}

void SaturationScalar(TBitmap32& p, int s) {
    int64_t a[256];
    for (int i = 0; i < 256; ++i) a[i] = (int64_t(i) * s) >> 8;
    std::vector<int64_t> b(766);
    for (int t = 0; t <= 765; ++t) b[size_t(t)] = t / 3 - a[t / 3];
    auto clamp = [](int64_t v) { return int(v < 0 ? 0 : v > 255 ? 255 : v); };
    TColor32* px = p.Bits();
    for (size_t i = 0, n = p.PixelCount(); i < n; ++i) {
        const int r = RedOf(px[i]), g = GreenOf(px[i]), bl = BlueOf(px[i]);
        const int64_t base = b[size_t(r + g + bl)];
        px[i] = WithRGB(px[i], clamp(a[r] + base), clamp(a[g] + base), clamp(a[bl] + base));
    }
}

void ColorMatrixScalar(TBitmap32& p, int fr, int fg, int fb) {
    auto f = [](int v, int factor) { return Clamp255(Round(double(int64_t(v) * factor) / 255.0)); };
    TColor32* px = p.Bits();
    for (size_t i = 0, n = p.PixelCount(); i < n; ++i)
        px[i] = WithRGB(px[i], f(RedOf(px[i]), fr), f(GreenOf(px[i]), fg), f(BlueOf(px[i]), fb));
}

} // namespace

const TFilterKernels& ScalarFilterKernels() {
    static const TFilterKernels k{"scalar",         GrayScalar,       BrightnessContrastScalar,
                                  EmbossScalar,     CanvasScalar,     EqualizationScalar,
                                  MosaicScalar,     BlurPassScalar,   DodgeScalar,
                                  SaturationScalar, ColorMatrixScalar};
    return k;
}
