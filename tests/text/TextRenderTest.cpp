#include <gtest/gtest.h>

#include <QFontDatabase>
#include <random>
#include <set>

#include "common/TestSupport.h"
#include "engine/PictureUtils.h"
#include "text/TextRender.h"

namespace {

TTextLook Look(const std::string& text, int size = 60) {
    TTextLook l;
    l.Text = text;
    l.FontName = "Liberation Sans";
    l.Size = size;
    l.Color = 0x0000FF; // red
    return l;
}

// Columns [first, last] holding any ink in rows [y0, y1); -1, -1 when none.
std::pair<int, int> InkColumns(const TBitmap32& b, int y0, int y1) {
    int first = -1, last = -1;
    for (int y = std::max(0, y0); y < std::min(b.Height(), y1); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (AlphaOf(b.Pixel(x, y)) > 0) {
                if (first < 0 || x < first) first = x;
                last = std::max(last, x);
            }
    return {first, last};
}

int InkPixels(const TBitmap32& b) {
    int n = 0;
    for (size_t i = 0; i < b.PixelCount(); ++i) n += AlphaOf(b.Bits()[i]) > 0;
    return n;
}

// The glow by its definition: a disk around every pixel of at least half
// coverage.
std::vector<uint8_t> GlowReference(const std::vector<uint8_t>& cov, int w, int h, double radius) {
    std::vector<uint8_t> out(cov.size());
    const int reach = int(std::ceil(radius + 0.5));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int best = 1 << 30;
            for (int yy = std::max(0, y - reach); yy <= std::min(h - 1, y + reach); ++yy)
                for (int xx = std::max(0, x - reach - 1); xx <= std::min(w - 1, x + reach + 1); ++xx)
                    if (cov[size_t(yy) * w + xx] >= 128)
                        best = std::min(best, (xx - x) * (xx - x) + (yy - y) * (yy - y));
            const double a =
                best == 1 << 30 ? 0 : std::clamp(radius + 0.5 - std::sqrt(double(best)), 0.0, 1.0);
            out[size_t(y) * w + x] = std::max<uint8_t>(uint8_t(Round(a * 255)), cov[size_t(y) * w + x]);
        }
    return out;
}

} // namespace

TEST(TextRender, PictureSizeRuleLinesAndAlignment) {
    // round(w + 0.5) with halves to even; an empty measure gives 200
    EXPECT_EQ(TextBoxSize({10.2}, {5}), (TTextBoxSize{11, 6}));
    EXPECT_EQ(TextBoxSize({10.0}, {5.2}), (TTextBoxSize{10, 6}));
    EXPECT_EQ(TextBoxSize({11.0, 3.0}, {2.0, 2.0}), (TTextBoxSize{12, 4}));
    EXPECT_EQ(TextBoxSize({0}, {0}), (TTextBoxSize{200, 200}));
    EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd").size(), 4u);
    EXPECT_EQ(SplitTextLines("").size(), 1u);

    // two lines of different widths: as wide as the wider one; centred, the
    // shorter one sits in the middle, left it starts where the longer does
    TTextLook look = Look("WWWWWW\r\nii");
    TBitmap32 left, centred;
    TTextBoxSize box;
    ASSERT_EQ(DrawTextPicture(look, left, &box), TTextDraw::Drawn);
    EXPECT_EQ(left.Width(), box.Width);
    EXPECT_EQ(left.Height(), box.Height);
    const int half = left.Height() / 2;
    const auto wide = InkColumns(left, 0, half), shortLeft = InkColumns(left, half, left.Height());
    EXPECT_LE(wide.first, 3);
    EXPECT_GE(wide.second, left.Width() - 4);
    EXPECT_LE(shortLeft.first, 8);
    look.LineAlign = 1;
    ASSERT_EQ(DrawTextPicture(look, centred), TTextDraw::Drawn);
    EXPECT_EQ(centred.Width(), left.Width());
    const auto shortMid = InkColumns(centred, half, centred.Height());
    EXPECT_NEAR((shortMid.first + shortMid.second) / 2.0, centred.Width() / 2.0, 4.0);
    // the letters are in the text colour at straight alpha, edges included
    std::set<TColor32> colours;
    for (size_t i = 0; i < centred.PixelCount(); ++i)
        if (AlphaOf(centred.Bits()[i]) > 0) colours.insert(centred.Bits()[i] & 0xFFFFFF);
    EXPECT_EQ(colours, (std::set<TColor32>{0xFF0000u}));

    // italic lines carry a trailing space: wider than upright
    TTextLook upright = Look("Italic");
    TBitmap32 a, b;
    DrawTextPicture(upright, a);
    upright.Italic = true;
    DrawTextPicture(upright, b);
    EXPECT_GT(b.Width(), a.Width());
}

TEST(TextRender, GlowTextureScriptsAndLimits) {
    // glow: the picture grows by the margin on every side, and a pixel
    // beside the letters (outside their ink) has the glow colour
    TTextLook look = Look("O", 100);
    TBitmap32 plain, glowing;
    DrawTextPicture(look, plain);
    look.Halation = true;
    look.HalationColor = 0x00FF00; // green
    look.HalationSize = 20;
    ASSERT_EQ(DrawTextPicture(look, glowing), TTextDraw::Drawn);
    const int m = GlowMargin(look);
    EXPECT_EQ(m, 11);
    EXPECT_EQ(glowing.Width(), plain.Width() + 2 * m);
    const auto ink = InkColumns(plain, plain.Height() / 2, plain.Height() / 2 + 1);
    ASSERT_GE(ink.first, 0);
    const int y = m + plain.Height() / 2;
    EXPECT_EQ(glowing.Pixel(m + ink.first - 5, y), 0xFF00FF00u);          // glow left of the O
    EXPECT_EQ(glowing.Pixel(m + ink.first + 3, y) & 0xFFFFFF, 0xFF0000u); // the letter itself
    EXPECT_EQ(AlphaOf(glowing.Pixel(0, 0)), 0);                           // the corner stays clear

    // the glow routine is the disk around every half-covered pixel, on
    // random masks of awkward sizes
    std::mt19937 rnd(7);
    for (auto [w, h, r] : {std::tuple{1, 1, 0.5}, {17, 9, 2.5}, {33, 21, 5.0}, {7, 40, 11.5}}) {
        std::vector<uint8_t> cov(size_t(w) * h), glow(cov.size());
        for (uint8_t& c : cov) c = rnd() % 23 == 0 ? uint8_t(rnd() % 256) : 0;
        GrowCoverage(cov.data(), glow.data(), w, h, r);
        EXPECT_EQ(glow, GlowReference(cov, w, h, r)) << w << "x" << h << " r " << r;
    }

    // a texture fills the letters with its own colours, tiled mirrored; a
    // missing one gives the solid colour
    const std::string dir = MakeTempDir();
    TBitmap32 tex(8, 8);
    for (int yy = 0; yy < 8; ++yy)
        for (int x = 0; x < 8; ++x) tex.SetPixel(x, yy, x < 4 ? 0xFF2040E0u : 0xFFE0C020u);
    SavePNG32(dir + "/two.png", tex, false, 9, 0xFFFFFF, true);
    TTextLook textured = Look("H", 120);
    textured.TextureFile = dir + "/two.png";
    TBitmap32 t;
    DrawTextPicture(textured, t);
    std::set<TColor32> colours;
    for (size_t i = 0; i < t.PixelCount(); ++i)
        if (AlphaOf(t.Bits()[i]) == 255) colours.insert(t.Bits()[i]);
    EXPECT_TRUE(colours.count(0xFF2040E0u));
    EXPECT_TRUE(colours.count(0xFFE0C020u));
    textured.TextureFile = dir + "/gone.png";
    DrawTextPicture(textured, t);
    colours.clear();
    for (size_t i = 0; i < t.PixelCount(); ++i)
        if (AlphaOf(t.Bits()[i]) == 255) colours.insert(t.Bits()[i]);
    EXPECT_EQ(colours, (std::set<TColor32>{0xFFFF0000u}));

    // any script the fonts cover draws ink, right-to-left included; an
    // unknown face falls back to the sans-serif one
    for (const char* text : {"Привет", "שלום עולם"}) {
        TBitmap32 s;
        TTextLook l = Look(text);
        l.FontName = "DejaVu Sans";
        ASSERT_EQ(DrawTextPicture(l, s), TTextDraw::Drawn);
        EXPECT_GT(InkPixels(s), 300) << text;
    }
    EXPECT_TRUE(FontFamilyInstalled("Arial")); // the metric-compatible replacement counts
    EXPECT_FALSE(FontFamilyInstalled("No Such Face 123"));
    TTextLook unknown = Look("Hello");
    unknown.FontName = "No Such Face 123";
    TBitmap32 u;
    DrawTextPicture(unknown, u);
    EXPECT_GT(InkPixels(u), 300);

    // a picture beyond 8000 pixels on a side is refused and left alone
    TBitmap32 kept(5, 5);
    EXPECT_EQ(DrawTextPicture(Look("Much too large", 2000), kept), TTextDraw::TooLarge);
    EXPECT_EQ(kept.Width(), 5);
    EXPECT_EQ(DrawTextPicture(Look("x\r\nx\r\nx\r\nx", 2000), kept), TTextDraw::TooLarge);
}
