#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "engine/Drawing.h"
#include "engine/PixelOps.h"

namespace {
constexpr TColor32 kBack = 0xFF102030;
constexpr TColor32 kInk = 0xFFFF0000;

TBitmap32 Canvas(int w, int h) {
    TBitmap32 b(w, h);
    b.Clear(kBack);
    return b;
}

std::vector<TPoint> Inked(const TBitmap32& b) {
    std::vector<TPoint> r;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != kBack) r.push_back({x, y});
    return r;
}
} // namespace

TEST(Lines, PixelsAndEndPoint) {
    TBitmap32 b = Canvas(12, 8);
    LineS(b, 2, 5, 8, 5, kInk);
    std::vector<TPoint> want;
    for (int x = 2; x < 8; ++x) want.push_back({x, 5});
    EXPECT_EQ(Inked(b), want); // the end point is left for the next edge

    b = Canvas(12, 8);
    LineS(b, 2, 5, 8, 5, kInk, true);
    EXPECT_EQ(Inked(b).size(), 7u);
    EXPECT_EQ(b.Pixel(8, 5), kInk);

    // 5 across, 2 down: the minor axis steps at i·2/5 rounded
    b = Canvas(8, 4);
    LineS(b, 0, 0, 5, 2, kInk);
    EXPECT_EQ(Inked(b), (std::vector<TPoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));

    // steep and drawn upwards: one pixel per row
    b = Canvas(8, 12);
    LineS(b, 6, 10, 2, 1, kInk);
    const auto px = Inked(b);
    ASSERT_EQ(px.size(), 9u);
    for (int y = 2; y <= 10; ++y) {
        int n = 0;
        for (const TPoint& p : px) n += p.Y == y;
        EXPECT_EQ(n, 1) << "row " << y;
    }
    EXPECT_EQ(b.Pixel(6, 10), kInk);
    EXPECT_EQ(b.Pixel(2, 1), kBack);

    // a zero-length line draws nothing, or its one point when asked
    b = Canvas(4, 4);
    LineS(b, 1, 1, 1, 1, kInk);
    EXPECT_TRUE(Inked(b).empty());
    LineS(b, 1, 1, 1, 1, kInk, true);
    EXPECT_EQ(Inked(b), (std::vector<TPoint>{{1, 1}}));
}

TEST(Lines, TranslucentInkBlends) {
    TBitmap32 b(4, 1);
    b.Clear(0xFF000000);
    LineS(b, 0, 0, 4, 0, 0x80FFFFFF);
    EXPECT_EQ(b.Pixel(1, 0), BlendPixel(0x80FFFFFF, 0xFF000000, 255));
    EXPECT_EQ(RedOf(b.Pixel(1, 0)), 128);
}

// Clipping must not move a single pixel nor shift the dashes: lines drawn on
// a small surface equal the same lines drawn on a large one, cropped.
TEST(Lines, ClippedEqualsCropped) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-120, 220);
    for (int round = 0; round < 300; ++round) {
        const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
        const bool last = round % 2 == 0;
        TBitmap32 small = Canvas(100, 100), big = Canvas(400, 400);
        small.SetClipRect({5, 7, 93, 91});
        big.SetClipRect({105, 107, 193, 191});
        TStipple s1, s2;
        s1.Set({0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF00FF00, 0xFF0000FF}, 1.0);
        s2 = s1;
        s1.Counter = s2.Counter = round % 5;
        if (round % 3 == 0) {
            LineS(small, x1, y1, x2, y2, kInk, last);
            LineS(big, x1 + 100, y1 + 100, x2 + 100, y2 + 100, kInk, last);
        } else {
            LineFS(small, x1, y1, x2, y2, s1, last);
            LineFS(big, x1 + 100, y1 + 100, x2 + 100, y2 + 100, s2, last);
            EXPECT_DOUBLE_EQ(s1.Counter, s2.Counter);
        }
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(small.Pixel(x, y), big.Pixel(x + 100, y + 100))
                    << "line " << x1 << "," << y1 << " - " << x2 << "," << y2 << " at " << x << "," << y;
    }
}

TEST(Lines, ExtremeCoordinatesAreFastAndExact) {
    TBitmap32 b = Canvas(50, 40);
    // the full int range diagonal passes exactly through (k, k)
    LineS(b, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kInk);
    for (int k = 0; k < 40; ++k) {
        EXPECT_EQ(b.Pixel(k, k), kInk);
        if (k + 1 < 40) {
            EXPECT_EQ(b.Pixel(k, k + 1), kBack);
        }
    }
    b = Canvas(50, 40);
    LineS(b, INT_MIN, 3, INT_MAX, 3, kInk);
    EXPECT_EQ(Inked(b).size(), 50u);
    // entirely outside
    b = Canvas(50, 40);
    LineS(b, INT_MAX, INT_MIN, INT_MAX - 5, INT_MAX, kInk);
    TStipple s;
    s.Set({kInk, 0xFF000000, 0xFFFFFFFF}, 1.0);
    LineFS(b, INT_MIN, INT_MIN, INT_MIN, INT_MAX, s, true);
    EXPECT_TRUE(Inked(b).empty());
    // 2^32 positions walked: 4294967296 mod 3 = 1
    EXPECT_DOUBLE_EQ(s.Counter, 1.0);
}

TEST(Stipple, ContinuesAcrossLines) {
    const TColor32 w = 0xFFFFFFFF, k = 0xFF000000;
    TStipple s;
    EXPECT_EQ(s.NextColor(), 0xFF000000u); // solid black by default
    s.Set({w, w, k, k}, 1.0);
    TBitmap32 b = Canvas(20, 2);
    LineFS(b, 0, 0, 10, 0, s);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(b.Pixel(x, 0), (x % 4) < 2 ? w : k) << x;
    EXPECT_DOUBLE_EQ(s.Counter, 2.0);
    // the next line picks up the pattern where the first one stopped
    LineFS(b, 10, 1, 14, 1, s);
    EXPECT_EQ(b.Pixel(10, 1), k);
    EXPECT_EQ(b.Pixel(11, 1), k);
    EXPECT_EQ(b.Pixel(12, 1), w);
    EXPECT_EQ(b.Pixel(13, 1), w);
    // half steps show every entry twice
    s.Set({w, k}, 0.5);
    b = Canvas(8, 1);
    LineFS(b, 0, 0, 8, 0, s);
    EXPECT_EQ(b.Pixel(0, 0), w);
    EXPECT_EQ(b.Pixel(1, 0), w);
    EXPECT_EQ(b.Pixel(2, 0), k);
    EXPECT_EQ(b.Pixel(3, 0), k);
    EXPECT_EQ(b.Pixel(4, 0), w);
}

TEST(Circle, DiscWithClosedRim) {
    const TColor32 fill = 0xFF00FF00, rim = 0xFF000000;
    TBitmap32 b = Canvas(21, 21);
    FillCircle(b, 10, 10, 5, fill, rim);
    EXPECT_EQ(b.Pixel(10, 10), fill);
    EXPECT_EQ(b.Pixel(14, 10), fill);
    EXPECT_EQ(b.Pixel(15, 10), rim);
    EXPECT_EQ(b.Pixel(16, 10), kBack);
    EXPECT_EQ(b.Pixel(10, 5), rim);
    EXPECT_EQ(b.Pixel(10, 4), kBack);
    EXPECT_EQ(b.Pixel(13, 13), fill);
    EXPECT_EQ(b.Pixel(14, 13), rim);
    EXPECT_EQ(b.Pixel(14, 14), kBack);
    int fills = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x) {
            const TColor32 c = b.Pixel(x, y);
            // symmetric under mirroring and quarter turns about the centre
            EXPECT_EQ(c, b.Pixel(20 - x, y));
            EXPECT_EQ(c, b.Pixel(y, x));
            if (c != fill) continue;
            ++fills;
            // the rim encloses the fill: no fill pixel has a background pixel
            // beside it (a one-pixel rim may let them meet at a corner)
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                EXPECT_NE(b.Pixel(x + dx, y + dy), kBack) << x << "," << y;
        }
    EXPECT_GT(fills, 50);

    b = Canvas(5, 5);
    FillCircle(b, 2, 2, 0, fill, rim);
    EXPECT_EQ(Inked(b), (std::vector<TPoint>{{2, 2}}));
    FillCircle(b, 2, 2, -1, rim, rim);
    EXPECT_EQ(b.Pixel(2, 2), fill);
}

TEST(Circle, ClippedAndHuge) {
    const TColor32 fill = 0xFF00FF00, rim = 0xFF000000;
    TBitmap32 b = Canvas(30, 30);
    b.SetClipRect({0, 0, 12, 30});
    FillCircle(b, 10, 10, 5, fill, rim);
    EXPECT_EQ(b.Pixel(11, 10), fill);
    EXPECT_EQ(b.Pixel(12, 10), kBack);
    b.ResetClipRect();
    b.Clear(kBack);
    FillCircle(b, INT_MAX, INT_MIN, INT_MAX, fill, rim); // far corner: touches nothing here
    FillCircle(b, INT_MIN, 0, 3, fill, rim);
    EXPECT_TRUE(Inked(b).empty());
    FillCircle(b, 0, 0, INT_MAX, fill, rim); // covers the surface
    EXPECT_EQ(b.Pixel(29, 29), fill);
}
