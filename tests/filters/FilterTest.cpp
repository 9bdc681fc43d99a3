// The thirteen filters against references written here from their rules
// (out of place where the in-place order provably does not matter, literally
// where it does), every vector table against the scalar one bit for bit, and
// the edge cases of the rules.
#include <gtest/gtest.h>

#include <random>

#include "common/TestSupport.h"
#include "filters/BmpFilter.h"
#include "filters/FilterKernels.h"

namespace {

TBitmap32 RandomPicture(int w, int h, uint32_t seed, int levels = 256) {
    TBitmap32 b(w, h);
    std::mt19937 rng(seed);
    for (size_t i = 0; i < b.PixelCount(); ++i) {
        TColor32 c = rng();
        if (levels < 256) // few distinct values: ties and equal neighbours
            c = Color32(uint8_t(rng() % levels * 40), uint8_t(rng() % levels * 40),
                        uint8_t(rng() % levels * 40), uint8_t(rng()));
        b.Bits()[i] = c;
    }
    return b;
}

FilterParams Params(float a, float b = 0, float c = 0) {
    return FilterParams{{-1.0f, a, b, c}};
}
const FilterParams kDefaults{};

int Ch(TColor32 c, int k) {
    return int((c >> (8 * k)) & 0xFF);
} // 0 blue, 1 green, 2 red, 3 alpha
TColor32 Make(int r, int g, int b, int a) {
    return Color32(uint8_t(r), uint8_t(g), uint8_t(b), uint8_t(a));
}
int Clip(long long v) {
    return int(std::clamp<long long>(v, 0, 255));
}
int RoundHalfEven(double v) {
    return int(std::nearbyint(v));
}

// ---- References from the rules ----

int GrayOf(TColor32 c) {
    return RoundHalfEven(0.3 * Ch(c, 2) + 0.59 * Ch(c, 1) + 0.11 * Ch(c, 0));
}

TBitmap32 RefGray(TBitmap32 p) {
    for (size_t i = 0; i < p.PixelCount(); ++i) {
        const int y = GrayOf(p.Bits()[i]);
        p.Bits()[i] = Make(y, y, y, Ch(p.Bits()[i], 3));
    }
    return p;
}

template <class F> TBitmap32 MapChannels(TBitmap32 p, F f) {
    for (size_t i = 0; i < p.PixelCount(); ++i) {
        const TColor32 c = p.Bits()[i];
        p.Bits()[i] = Make(f(Ch(c, 2), 2), f(Ch(c, 1), 1), f(Ch(c, 0), 0), Ch(c, 3));
    }
    return p;
}

TBitmap32 RefBrightnessContrast(const TBitmap32& p, int b, double c) {
    const int offset = RoundHalfEven(b - 127 * c + 127);
    return MapChannels(p, [&](int v, int) { return Clip(RoundHalfEven(v * c + offset)); });
}

// Each rewritten pixel reads its own gray value and a neighbour the order
// leaves gray: the result is the out-of-place formula on the gray picture.
TBitmap32 RefEmboss(const TBitmap32& p, int dy, bool absolute) {
    const TBitmap32 g = RefGray(p);
    TBitmap32 out = g;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 1; x < p.Width(); ++x) {
            const int ny = y + dy;
            if (ny < 0 || ny >= p.Height()) continue;
            const int d = Ch(g.Pixel(x, y), 0) - Ch(g.Pixel(x - 1, ny), 0);
            const int v = absolute ? std::min(255, std::abs(d) + 128) : Clip(d + 128);
            out.SetPixel(x, y, Make(v, v, v, Ch(p.Pixel(x, y), 3)));
        }
    return out;
}

TBitmap32 RefEqualization(const TBitmap32& p) {
    long long count[3][256] = {};
    for (size_t i = 0; i < p.PixelCount(); ++i)
        for (int k = 0; k < 3; ++k) ++count[k][Ch(p.Bits()[i], k)];
    return MapChannels(p, [&](int v, int k) {
        long long c = 0;
        for (int i = 0; i <= v; ++i) c += count[k][i];
        return RoundHalfEven(double(c) * 255 / double(p.PixelCount()));
    });
}

TBitmap32 RefMosaic(const TBitmap32& p, int n) {
    TBitmap32 out = p;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) out.SetPixel(x, y, p.Pixel(x - x % n, y - y % n));
    return out;
}

// The blur's result depends on its order: written literally.
TBitmap32 RefBlur(TBitmap32 p, int k) {
    const int w = p.Width(), h = p.Height();
    for (int d = k; d >= 1; --d)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int yu = std::max(y - d, 0), yd = std::min(y + d, h - 1);
                const int xl = std::max(x - d, 0), xr = std::min(x + d, w - 1);
                int s[3] = {};
                for (TColor32 c : {p.Pixel(xr, yd), p.Pixel(xr, yu), p.Pixel(xl, yd), p.Pixel(xl, yu)})
                    for (int ch = 0; ch < 3; ++ch) s[ch] += Ch(c, ch);
                p.SetPixel(x, y, Make(s[2] / 4, s[1] / 4, s[0] / 4, Ch(p.Pixel(x, y), 3)));
            }
    return p;
}

TBitmap32 RefSketch(const TBitmap32& p, bool gray) {
    const TBitmap32 base = gray ? RefGray(p) : p;
    const TBitmap32 mask = RefBlur(MapChannels(base, [](int v, int) { return Clip(254 - v); }), 3);
    TBitmap32 out = base;
    for (size_t i = 0; i < p.PixelCount(); ++i) {
        const TColor32 c = base.Bits()[i], m = mask.Bits()[i];
        auto f = [&](int k) {
            return Ch(m, k) == 255 ? 255 : Clip(RoundHalfEven(Ch(c, k) * 255.0 / (255 - Ch(m, k))));
        };
        out.Bits()[i] = Make(f(2), f(1), f(0), Ch(c, 3));
    }
    return out;
}

// In words: v' = (v s >> 8) + m - (m s >> 8), m the channels' mean.
TBitmap32 RefSaturation(TBitmap32 p, int s) {
    for (size_t i = 0; i < p.PixelCount(); ++i) {
        const TColor32 c = p.Bits()[i];
        const long long m = (Ch(c, 0) + Ch(c, 1) + Ch(c, 2)) / 3;
        auto f = [&](int k) { return Clip((Ch(c, k) * (long long)s >> 8) + m - (m * s >> 8)); };
        p.Bits()[i] = Make(f(2), f(1), f(0), Ch(c, 3));
    }
    return p;
}

TBitmap32 RefColorMatrix(const TBitmap32& p, int fr, int fg, int fb) {
    const int f[3] = {fb, fg, fr};
    return MapChannels(p, [&](int v, int k) { return Clip(RoundHalfEven(double(v * f[k]) / 255)); });
}

// The canvas filter's order with the generator it is given.
TBitmap32 RefCanvas(TBitmap32 p, int q, uint64_t seed) {
    const TBitmap32 src = p;
    TCanvasRandom random(seed);
    const int w = p.Width(), h = p.Height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dy = std::clamp(q - int(random.R(uint32_t(2 * q + 1))), -y, h - 1 - y);
            const int dx = std::clamp(q - int(random.R(uint32_t(2 * q + 1))), -x, w - 1 - x);
            p.SetPixel(x, y, (p.Pixel(x, y) & 0xFF000000u) | (src.Pixel(x + dx, y + dy) & 0xFFFFFFu));
        }
    return p;
}

void ExpectSame(const TBitmap32& got, const TBitmap32& want, const std::string& what) {
    int differing = 0;
    const int diff = MaxChannelDiff(got, want, &differing);
    EXPECT_EQ(diff, 0) << what << ": " << differing << " pixels differ";
}

const int kSizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {7, 5}, {17, 9}, {33, 4}, {1, 13}, {70, 19}};

} // namespace

TEST(Filters, EachFilterFollowsItsRule) {
    const std::array<TFilterInfo, kFilterCount>& table = FilterTable();
    const char* names[] = {"Gray",        "Brightness and Contrast",
                           "Carve",       "Relievo",
                           "Canvas",      "Equalization",
                           "Mosaic",      "Line",
                           "Sketch",      "Inverse",
                           "Blur",        "Saturation",
                           "Color Matrix"};
    for (int i = 0; i < kFilterCount; ++i) EXPECT_EQ(table[size_t(i)].Name, names[i]);
    uint32_t seed = 1;
    for (auto [w, h] : kSizes)
        for (int levels : {256, 4}) {
            const TBitmap32 src = RandomPicture(w, h, seed++, levels);
            auto run = [&](FilterProc f, const FilterParams& params) {
                TBitmap32 p = src;
                f(p, params);
                return p;
            };
            const std::string at = std::to_string(w) + "x" + std::to_string(h) + "/" + std::to_string(levels);
            ExpectSame(run(GrayFilter, kDefaults), RefGray(src), "gray " + at);
            ExpectSame(run(BrightnessContrastFilter, kDefaults), RefBrightnessContrast(src, 50, 1.0),
                       "bc " + at);
            ExpectSame(run(BrightnessContrastFilter, Params(-40.4f, 1.5f)),
                       RefBrightnessContrast(src, -40, 1.5), "bc -40/1.5 " + at);
            ExpectSame(run(BrightnessContrastFilter, Params(20, 37)), RefBrightnessContrast(src, 20, 37.0),
                       "bc " + at);
            ExpectSame(run(CarveFilter, kDefaults), RefEmboss(src, -1, false), "carve " + at);
            ExpectSame(run(RelievoFilter, kDefaults), RefEmboss(src, +1, false), "relievo " + at);
            ExpectSame(run(LineFilter, kDefaults), RefEmboss(src, +1, true), "line " + at);
            ExpectSame(run(EqualizationFilter, kDefaults), RefEqualization(src), "equalization " + at);
            ExpectSame(run(MosaicFilter, kDefaults), RefMosaic(src, 4), "mosaic 4 " + at);
            ExpectSame(run(MosaicFilter, Params(3)), RefMosaic(src, 3), "mosaic 3 " + at);
            ExpectSame(run(SketchFilter, kDefaults), RefSketch(src, true), "sketch " + at);
            ExpectSame(run(SketchFilter, Params(0)), RefSketch(src, false), "sketch colour " + at);
            ExpectSame(run(InverseFilter, Params(77, 3)),
                       MapChannels(src, [](int v, int) { return Clip(254 - v); }), "inverse " + at);
            ExpectSame(run(BlurFilter, kDefaults), RefBlur(src, 2), "blur " + at);
            ExpectSame(run(BlurFilter, Params(5)), RefBlur(src, 5), "blur 5 " + at);
            ExpectSame(run(SaturationFilter, kDefaults), RefSaturation(src, 80), "saturation " + at);
            ExpectSame(run(SaturationFilter, Params(1555)), RefSaturation(src, 1555),
                       "saturation 1555 " + at);
            ExpectSame(run(ColorMatrixFilter, kDefaults), src, "matrix " + at);
            ExpectSame(run(ColorMatrixFilter, Params(255, 128, 63.5f)), RefColorMatrix(src, 255, 128, 64),
                       "matrix " + at);
            for (int q : {1, 2, 7}) {
                TBitmap32 p = src;
                RunFilter(FilterKernels(), fiCanvas, p, Params(float(q)), 99);
                ExpectSame(p, RefCanvas(src, q, 99), "canvas " + at);
            }
        }
}

TEST(Filters, EveryVectorTableGivesTheReferencePixels) {
    ASSERT_STREQ(ScalarFilterKernels().Name, "scalar");
    const TFilterKernels& ref = FilterKernelVariant(0);
    // every colour once: the gray rounding's ties (s mod 100 = 50) included
    TBitmap32 colours(4096, 4096);
    for (uint32_t i = 0; i < colours.PixelCount(); ++i) colours.Bits()[i] = i | ((i * 7) << 24);
    // every (value, mask) pair of the dodge, and masks of 255
    TBitmap32 dodgeP(256, 256), dodgeM(256, 256);
    for (int m = 0; m < 256; ++m)
        for (int v = 0; v < 256; ++v) {
            dodgeP.SetPixel(v, m, Make(v, 255 - v, v / 2, m));
            dodgeM.SetPixel(v, m, Make(m, m, 255 - m, v));
        }
    const std::vector<std::pair<int, FilterParams>> cases = {{fiGray, kDefaults},
                                                             {fiBrightnessContrast, Params(50, 1.5f)},
                                                             {fiBrightnessContrast, Params(-255, 100)},
                                                             {fiCarve, kDefaults},
                                                             {fiRelievo, kDefaults},
                                                             {fiCanvas, Params(3)},
                                                             {fiCanvas, Params(50)},
                                                             {fiEqualization, kDefaults},
                                                             {fiMosaic, Params(8)},
                                                             {fiMosaic, Params(1)},
                                                             {fiLine, kDefaults},
                                                             {fiSketch, kDefaults},
                                                             {fiSketch, Params(0)},
                                                             {fiInverse, kDefaults},
                                                             {fiBlur, Params(30)},
                                                             {fiSaturation, Params(0)},
                                                             {fiSaturation, Params(256)},
                                                             {fiSaturation, Params(40000)},
                                                             {fiColorMatrix, Params(255, 128, 64)}};
    for (int v = 1; v < FilterKernelVariantCount(); ++v) {
        const TFilterKernels& k = FilterKernelVariant(v);
        SCOPED_TRACE(k.Name);
        TBitmap32 a = colours, b = colours;
        ref.Gray(a);
        k.Gray(b);
        ExpectSame(b, a, "all colours gray");
        a = dodgeP, b = dodgeP;
        ref.DodgeCombine(a, dodgeM);
        k.DodgeCombine(b, dodgeM);
        ExpectSame(b, a, "all dodge pairs");
        uint32_t seed = 100;
        for (auto [w, h] :
             {std::pair{1, 1}, {2, 3}, {9, 1}, {15, 7}, {16, 16}, {31, 33}, {67, 21}, {130, 5}}) {
            const TBitmap32 src = RandomPicture(w, h, seed++);
            for (auto [index, params] : cases) {
                TBitmap32 x = src, y = src;
                RunFilter(ref, index, x, params, seed);
                RunFilter(k, index, y, params, seed);
                ExpectSame(y, x,
                           std::string(FilterTable()[size_t(index)].Name) + " " + std::to_string(w) + "x" +
                               std::to_string(h));
            }
        }
    }
}

TEST(Filters, EdgeCasesOfTheRules) {
    const TBitmap32 src = RandomPicture(9, 7, 5);
    auto same = [&](FilterProc f, const FilterParams& params) {
        TBitmap32 p = src;
        f(p, params);
        return MaxChannelDiff(p, src) == 0;
    };
    // settings that change nothing
    EXPECT_TRUE(same(BrightnessContrastFilter, Params(0, 1)));
    EXPECT_TRUE(same(SaturationFilter, Params(256)));
    EXPECT_TRUE(same(ColorMatrixFilter, Params(255, 255, 255)));
    EXPECT_TRUE(same(MosaicFilter, Params(1)));
    EXPECT_FALSE(same(BrightnessContrastFilter, kDefaults));
    auto one = [](FilterProc f, TColor32 c, const FilterParams& params = kDefaults) {
        TBitmap32 p(1, 1);
        p.SetPixel(0, 0, c);
        f(p, params);
        return p.Pixel(0, 0);
    };
    // the inverse maps v to 254 - v
    EXPECT_EQ(one(InverseFilter, Make(0, 100, 254, 9)), Make(254, 154, 0, 9));
    EXPECT_EQ(one(InverseFilter, Make(255, 255, 255, 255)), Make(0, 0, 0, 255));
    // brightness 50 by default
    EXPECT_EQ(one(BrightnessContrastFilter, Make(10, 220, 0, 3)), Make(60, 255, 50, 3));
    EXPECT_EQ(one(GrayFilter, Make(0, 255, 0, 17)), Make(150, 150, 150, 17));
    EXPECT_EQ(one(GrayFilter, Make(0, 0, 255, 0)), Make(28, 28, 28, 0));
    EXPECT_EQ(one(GrayFilter, Make(100, 100, 100, 200)), Make(100, 100, 100, 200));
    // one pixel: blur reads it four times, canvas can only take it itself
    for (FilterProc f : {BlurFilter, CanvasFilter, MosaicFilter, CarveFilter}) {
        const TColor32 c = Make(90, 91, 92, 93);
        EXPECT_EQ(one(f, c, Params(30)), f == CarveFilter ? one(GrayFilter, c) : c);
    }
    // carve clamps instead of wrapping: 200 levels darker than the upper left
    TBitmap32 carve(2, 2);
    carve.Clear(Make(250, 250, 250, 255));
    carve.SetPixel(1, 1, Make(50, 50, 50, 255));
    CarveFilter(carve, kDefaults);
    EXPECT_EQ(carve.Pixel(1, 1), Make(0, 0, 0, 255));
    // one colour equalizes to white, alpha kept
    TBitmap32 flat(5, 4);
    flat.Clear(Make(12, 200, 77, 40));
    EqualizationFilter(flat, kDefaults);
    EXPECT_EQ(flat.Pixel(3, 2), Make(255, 255, 255, 40));
    // mosaic 4 on 6 x 6
    const TBitmap32 six = RandomPicture(6, 6, 8);
    TBitmap32 m = six;
    MosaicFilter(m, kDefaults);
    EXPECT_EQ(m.Pixel(5, 5), six.Pixel(4, 4));
    EXPECT_EQ(m.Pixel(5, 0), six.Pixel(4, 0));
    EXPECT_EQ(m.Pixel(3, 3), six.Pixel(0, 0));
    // blur keeps one colour; sketch keeps white, and colours without the gray step
    TBitmap32 blue(11, 6);
    blue.Clear(Make(10, 20, 200, 128));
    TBitmap32 b = blue;
    BlurFilter(b, Params(7));
    EXPECT_EQ(MaxChannelDiff(b, blue), 0);
    TBitmap32 white(8, 8);
    white.Clear(0xFFFFFFFF);
    SketchFilter(white, kDefaults);
    EXPECT_EQ(white.Pixel(4, 4), 0xFFFFFFFFu);
    TBitmap32 colour = RandomPicture(12, 12, 3), gray = colour;
    SketchFilter(colour, Params(0));
    SketchFilter(gray, kDefaults);
    int colourful = 0;
    for (size_t i = 0; i < colour.PixelCount(); ++i) {
        const TColor32 c = colour.Bits()[i], g = gray.Bits()[i];
        colourful += Ch(c, 0) != Ch(c, 1) || Ch(c, 1) != Ch(c, 2);
        EXPECT_TRUE(Ch(g, 0) == Ch(g, 1) && Ch(g, 1) == Ch(g, 2));
    }
    EXPECT_GT(colourful, 100);
    // an empty picture stays empty
    TBitmap32 empty;
    for (const TFilterInfo& f : FilterTable()) f.Proc(empty, kDefaults);
    EXPECT_TRUE(empty.Empty());
}

TEST(Filters, CanvasMovesColoursOnlyWithinItsRange) {
    // every pixel a colour of its own position: where a colour came from is
    // readable from it
    const int w = 40, h = 30, q = 3;
    TBitmap32 p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.SetPixel(x, y, Make(x, y, 7, (x * 5 + y) & 0xFF));
    const TBitmap32 before = p;
    CanvasFilter(p, Params(q));
    int moved = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const TColor32 c = p.Pixel(x, y);
            EXPECT_EQ(Ch(c, 3), Ch(before.Pixel(x, y), 3));
            EXPECT_LE(std::abs(Ch(c, 2) - x), q);
            EXPECT_LE(std::abs(Ch(c, 1) - y), q);
            moved += c != before.Pixel(x, y);
        }
    EXPECT_GT(moved, w * h / 2);
    // seeded from the clock: two runs differ
    TBitmap32 again = before;
    CanvasFilter(again, Params(q));
    EXPECT_GT(MaxChannelDiff(again, p), 0);
}
