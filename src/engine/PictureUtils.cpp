#include "engine/PictureUtils.h"

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
