#include "engine/PictureUtils.h"

#include <algorithm>
#include <cstdint>
#include <vector>

void FitInside(int w, int h, int& bw, int& bh) {
    if (bw <= 0 || bh <= 0 || w <= 0 || h <= 0) {
        bw = std::max(0, std::min(w, bw));
        bh = std::max(0, std::min(h, bh));
        return;
    }
    if (double(h) / bh >= double(w) / bw) {
        if (bh < h) {
            w = int(int64_t(w) * bh / h);
            h = bh;
        }
    } else if (bw < w) {
        h = int(int64_t(h) * bw / w);
        w = bw;
    }
    bw = w;
    bh = h;
}

void AspectCut(int w, int h, int& bw, int& bh) {
    if (bw <= 0 || bh <= 0) {
        bw = bh = 0;
        return;
    }
    if (double(h) / bh > double(w) / bw)
        h = int(int64_t(w) * bh / bw);
    else
        w = int(int64_t(h) * bw / bh);
    bw = w;
    bh = h;
}

void ApplyPaperMask(TBitmap32& picture, const TBitmap32& mask, TColor32 paper) {
    const size_t n = std::min(picture.PixelCount(), mask.PixelCount());
    TColor32* p = picture.Bits();
    const TColor32* k = mask.Bits();
    const uint32_t pr = RedOf(paper), pg = GreenOf(paper), pb = BlueOf(paper);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t b = 255 - RedOf(k[i]);
        const TColor32 c = p[i];
        if ((c >> 24) < b) {
            const uint32_t r = (b * pr + (255 - b) * RedOf(c)) / 255;
            const uint32_t g = (b * pg + (255 - b) * GreenOf(c)) / 255;
            const uint32_t bl = (b * pb + (255 - b) * BlueOf(c)) / 255;
            p[i] = Color32(uint8_t(r), uint8_t(g), uint8_t(bl), uint8_t(b));
        }
    }
}

// ---- Shrinking ----

namespace {
bool FullyOpaque(const TPixelView& p) {
    for (int y = 0; y < p.Height; ++y) {
        const TColor32* row = p.Bits + size_t(y) * p.Stride;
        for (int x = 0; x < p.Width; ++x)
            if ((row[x] >> 24) != 0xFF) return false;
    }
    return true;
}

} // namespace

// One pass over the source: each block row is summed in registers (32 bits
// hold a row of 32767 pixels even weighted by alpha), then added to 64-bit
// column sums.
void ShrinkPixels(const TPixelView& src, int w, int h, TBitmap32& out) {
    out.SetSize(w, h);
    const bool opaque = !src.MayHaveAlpha || FullyOpaque(src);
    const size_t n = static_cast<size_t>(w);
    std::vector<int> x0(n + 1);
    for (int i = 0; i <= w; ++i) x0[size_t(i)] = int(int64_t(i) * src.Width / w);
    std::vector<uint64_t> sa(n), sr(n), sg(n), sb(n);
    for (int j = 0; j < h; ++j) {
        const int y0 = int(int64_t(j) * src.Height / h), y1 = int(int64_t(j + 1) * src.Height / h);
        std::fill(sa.begin(), sa.end(), 0);
        std::fill(sr.begin(), sr.end(), 0);
        std::fill(sg.begin(), sg.end(), 0);
        std::fill(sb.begin(), sb.end(), 0);
        for (int y = y0; y < y1; ++y) {
            const TColor32* row = src.Bits + size_t(y) * src.Stride;
            for (size_t i = 0; i < n; ++i) {
                uint32_t a = 0, r = 0, g = 0, b = 0;
                if (opaque) {
                    for (int x = x0[i]; x < x0[i + 1]; ++x) {
                        const TColor32 c = row[x];
                        r += (c >> 16) & 0xFF;
                        g += (c >> 8) & 0xFF;
                        b += c & 0xFF;
                    }
                } else {
                    for (int x = x0[i]; x < x0[i + 1]; ++x) {
                        const TColor32 c = row[x];
                        const uint32_t ca = c >> 24;
                        a += ca;
                        r += ca * ((c >> 16) & 0xFF);
                        g += ca * ((c >> 8) & 0xFF);
                        b += ca * (c & 0xFF);
                    }
                }
                sa[i] += a;
                sr[i] += r;
                sg[i] += g;
                sb[i] += b;
            }
        }
        TColor32* dst = out.ScanLine(j);
        for (size_t i = 0; i < n; ++i) {
            const uint64_t k = uint64_t(x0[i + 1] - x0[i]) * uint64_t(y1 - y0);
            if (k == 0) {
                dst[i] = 0;
            } else if (opaque) {
                dst[i] = Color32(uint8_t((sr[i] + k / 2) / k), uint8_t((sg[i] + k / 2) / k),
                                 uint8_t((sb[i] + k / 2) / k));
            } else if (const uint64_t a = sa[i]; a == 0) {
                dst[i] = 0;
            } else {
                dst[i] = Color32(uint8_t((sr[i] + a / 2) / a), uint8_t((sg[i] + a / 2) / a),
                                 uint8_t((sb[i] + a / 2) / a), uint8_t((a + k / 2) / k));
            }
        }
    }
}

void ShrinkPicture(const TBitmap32& source, int w, int h, TBitmap32& out) {
    if (source.Empty() || w <= 0 || h <= 0 || w > source.Width() || h > source.Height()) {
        out.SetSize(0, 0); // nothing to average, or not a shrink
        return;
    }
    if (w == source.Width() && h == source.Height()) {
        out.Assign(source);
        return;
    }
    ShrinkPixels({source.Bits(), source.Width(), source.Height(), size_t(source.Width()), true}, w, h, out);
}
