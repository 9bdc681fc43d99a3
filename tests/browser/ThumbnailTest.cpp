// Thumbnail geometry, decoding by content, cell painting and the background
// loader.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>

#include "browser/BrowserFixtures.h"
#include "browser/Thumbnail.h"
#include "browser/ThumbnailLoader.h"
#include "common/TestSupport.h"

TEST(ThumbnailGeometry, FittedAndCentredNeverEnlarged) {
    // 80 x 80 cell without caption: area 74 x 74
    EXPECT_EQ(ThumbnailRect(160, 40, 80, 80), (TRect{3, 31, 77, 49})); // 74 x 18
    EXPECT_EQ(ThumbnailRect(50, 30, 80, 80), (TRect{15, 25, 65, 55})); // its own size
    EXPECT_EQ(ThumbnailRect(40, 160, 80, 80), (TRect{31, 3, 49, 77}));
    EXPECT_EQ(ThumbnailRect(4000, 3000, 80, 80), (TRect{3, 12, 77, 67})); // 74 x 55
    // with a caption of 13 pixels: H' = 67, area 74 x 61
    EXPECT_EQ(ThumbnailRect(4000, 3000, 80, 67), (TRect{3, 6, 77, 61}));
    // a hair-thin picture keeps one pixel
    EXPECT_EQ(ThumbnailRect(10000, 1, 80, 80), (TRect{3, 39, 77, 40}));
    int w = 0, h = 0;
    ThumbnailSize(100, 100, 0, 0, w, h);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
}

TEST(ThumbnailDecoding, ReadsByContentWhateverTheExtension) {
    const std::string dir = MakeTempDir();
    WritePicture(dir + "/wide.jpg", SolidPicture(160, 40, qRgb(200, 30, 30)), "JPEG");
    WritePicture(dir + "/mask.msk", SolidPicture(100, 100, qRgb(128, 128, 128)), "JPEG");
    WriteTinyGif(dir + "/companion.msk");
    WritePicture(dir + "/png-named.jpg", SolidPicture(20, 10, qRgb(0, 0, 255)), "PNG");
    WritePicture(dir + "/small.bmp", SolidPicture(30, 20, qRgb(0, 255, 0)), "BMP");
    WriteTinyGif(dir + "/dot.gif");

    TBitmap32 t;
    ASSERT_TRUE(LoadThumbnail(dir + "/wide.jpg", 74, 74, t));
    EXPECT_EQ(t.Width(), 74);
    EXPECT_EQ(t.Height(), 18);
    EXPECT_EQ(t.DrawMode, TDrawMode::Blend);
    const TColor32 c = t.Pixel(37, 9);
    EXPECT_NEAR(RedOf(c), 200, 6);
    EXPECT_NEAR(GreenOf(c), 30, 6);
    EXPECT_EQ(AlphaOf(c), 255);

    ASSERT_TRUE(LoadThumbnail(dir + "/mask.msk", 74, 74, t));
    EXPECT_EQ(t.Width(), 74);
    EXPECT_NEAR(Intensity(t.Pixel(10, 10)), 128, 4);
    ASSERT_TRUE(LoadThumbnail(dir + "/companion.msk", 74, 74, t));
    EXPECT_EQ(t.Width(), 1);
    ASSERT_TRUE(LoadThumbnail(dir + "/png-named.jpg", 74, 74, t));
    EXPECT_EQ(t.Pixel(5, 5), 0xFF0000FFu);
    ASSERT_TRUE(LoadThumbnail(dir + "/small.bmp", 74, 74, t));
    EXPECT_EQ(t.Width(), 30);
    EXPECT_EQ(t.Pixel(3, 3), 0xFF00FF00u);
    ASSERT_TRUE(LoadThumbnail(dir + "/dot.gif", 74, 74, t));
    EXPECT_EQ(t.Width(), 1);
}

TEST(ThumbnailDecoding, FrameTransparencySurvivesTheShrink) {
    const std::string dir = MakeTempDir();
    WritePicture(dir + "/ring.frm", SolidPicture(200, 200, qRgb(255, 200, 0), true), "PNG");
    TBitmap32 t;
    ASSERT_TRUE(LoadThumbnail(dir + "/ring.frm", 74, 74, t));
    ASSERT_EQ(t.Width(), 74);
    EXPECT_EQ(AlphaOf(t.Pixel(37, 37)), 0);
    EXPECT_EQ(t.Pixel(2, 2), 0xFFFFC800u);
    // the edge of the hole averages coverage, not the colour of the
    // transparent pixels: what stays visible keeps the frame's colour
    const TColor32 edge = t.Pixel(18, 37);
    if (AlphaOf(edge) > 0) {
        EXPECT_NEAR(RedOf(edge), 255, 2);
        EXPECT_NEAR(GreenOf(edge), 200, 2);
    }
}

TEST(ThumbnailDecoding, UnreadableFilesGiveNoPicture) {
    const std::string dir = MakeTempDir();
    WriteBytes(dir + "/garbage.png", "this is not a picture at all");
    WriteBytes(dir + "/empty.jpg", "");
    WriteBytes(dir + "/truncated.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    WriteBytes(dir + "/truncated.jpg", std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10));
    WritePicture(dir + "/picture.txt", SolidPicture(8, 8, qRgb(1, 2, 3)), "PNG");
    MakeFolder(dir + "/folder.png");
    TBitmap32 t;
    t.SetSize(5, 5);
    for (const char* f : {"garbage.png", "empty.jpg", "truncated.png", "truncated.jpg", "picture.txt",
                          "folder.png", "missing.png"}) {
        EXPECT_FALSE(LoadThumbnail(dir + "/" + f, 74, 74, t)) << f;
        EXPECT_TRUE(t.Empty()) << f;
    }
}

TEST(ThumbnailDecoding, SameResultsOnManyThreadsAtOnce) {
    const std::string dir = MakeTempDir();
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
        const std::string p = dir + "/p" + std::to_string(i) + (i % 2 ? ".png" : ".jpg");
        WritePicture(p, SolidPicture(300 + i * 17, 200, qRgb(i * 20, 100, 255 - i * 20), i % 2 == 1),
                     i % 2 ? "PNG" : "JPEG");
        paths.push_back(p);
    }
    std::vector<TBitmap32> serial(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) ASSERT_TRUE(LoadThumbnail(paths[i], 74, 61, serial[i]));
    const QList<TBitmap32> parallel = QtConcurrent::blockingMapped(
        QList<std::string>(paths.begin(), paths.end()), [](const std::string& p) {
            TBitmap32 b;
            LoadThumbnail(p, 74, 61, b);
            return b;
        });
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(MaxChannelDiff(serial[i], parallel[qsizetype(i)]), 0) << i;
}

TEST(ThumbnailDecoding, ShrinkAveragesBlocksWeightedByAlpha) {
    TBitmap32 src(4, 2), out;
    // left block: two greys and two of 10/30 -> mean; right block: opaque red
    // beside transparent blue -> red at half coverage
    src.SetPixel(0, 0, Color32(100, 100, 100));
    src.SetPixel(1, 0, Color32(200, 200, 200));
    src.SetPixel(0, 1, Color32(10, 10, 10));
    src.SetPixel(1, 1, Color32(30, 30, 30));
    for (int y = 0; y < 2; ++y) {
        src.SetPixel(2, y, Color32(255, 0, 0));
        src.SetPixel(3, y, Color32(0, 0, 255, 0));
    }
    ShrinkPicture(src, 2, 1, out);
    ASSERT_EQ(out.Width(), 2);
    ASSERT_EQ(out.Height(), 1);
    EXPECT_EQ(out.Pixel(0, 0), Color32(85, 85, 85)); // (100+200+10+30)/4
    EXPECT_EQ(out.Pixel(1, 0), Color32(255, 0, 0, 128));
    ShrinkPicture(src, 5, 1, out); // not a shrink
    EXPECT_TRUE(out.Empty());
    // uneven blocks: 5 columns into 2 -> blocks of 2 and 3
    TBitmap32 row(5, 1);
    for (int x = 0; x < 5; ++x) row.SetPixel(x, 0, Color32(uint8_t(x * 10), 0, 0));
    ShrinkPicture(row, 2, 1, out);
    EXPECT_EQ(RedOf(out.Pixel(0, 0)), 5);  // (0+10)/2
    EXPECT_EQ(RedOf(out.Pixel(1, 0)), 30); // (20+30+40)/3
}

// ---- Cell painting ----

namespace {
TPicCellLook PhotoLook() {
    TPicCellLook l;
    l.Color = 0xFF000000;
    l.BKColor = 0xFF000000;
    l.BorderColor = 0xFFC0C0C0;
    l.SelectBorderColor = 0xFFFF0000;
    l.MouseOverColor = 0xFF00FF00;
    return l;
}
} // namespace

TEST(CellPainting, FramesBoxesAndSelection) {
    TBitmap32 canvas, pic(74, 18);
    pic.Clear(0xFF3366CC);
    pic.DrawMode = TDrawMode::Blend;
    TPicCellLook look = PhotoLook();
    PaintPicCell(canvas, look, &pic, ThumbnailRect(74, 18, 80, 80));
    ASSERT_EQ(canvas.Width(), 80);
    ASSERT_EQ(canvas.Height(), 80);
    EXPECT_EQ(canvas.Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(canvas.Pixel(2, 2), 0xFFC0C0C0u);   // picture frame (2,2)-(W-3,H-3)
    EXPECT_EQ(canvas.Pixel(76, 20), 0xFFC0C0C0u); // its right edge at W-4
    EXPECT_EQ(canvas.Pixel(77, 20), 0xFF000000u);
    EXPECT_EQ(canvas.Pixel(40, 31), 0xFF3366CCu); // the picture, centred at y = 31
    EXPECT_EQ(canvas.Pixel(40, 30), 0xFF000000u);
    EXPECT_EQ(canvas.Pixel(40, 49), 0xFF000000u);

    look.Hovered = true;
    PaintPicCell(canvas, look, &pic, ThumbnailRect(74, 18, 80, 80));
    EXPECT_EQ(canvas.Pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(canvas.Pixel(79, 79), 0xFF00FF00u);
    look.Selected = true; // the selection frame wins over the hover frame
    PaintPicCell(canvas, look, &pic, ThumbnailRect(74, 18, 80, 80));
    for (TPoint p :
         {TPoint{0, 0}, TPoint{1, 1}, TPoint{78, 40}, TPoint{79, 40}, TPoint{40, 78}, TPoint{40, 79}})
        EXPECT_EQ(canvas.Pixel(p.X, p.Y), 0xFFFF0000u) << p.X << "," << p.Y;
    EXPECT_EQ(canvas.Pixel(2, 2), 0xFFC0C0C0u); // the picture frame stays
    EXPECT_EQ(canvas.Pixel(77, 40), 0xFF000000u);
    look.Selected = look.Hovered = false; // deselected: the band is gone
    PaintPicCell(canvas, look, &pic, ThumbnailRect(74, 18, 80, 80));
    EXPECT_EQ(canvas.Pixel(0, 0), 0xFF000000u);
}

TEST(CellPainting, InnerBoxOnlyWhenColoursDifferAndCaptionBackground) {
    TBitmap32 canvas;
    TPicCellLook look;
    look.Width = look.Height = look.PictureHeight = 47;
    look.Color = 0xFFF0F0F0;
    look.BKColor = 0xFFFFFFFF;
    look.BorderColor = 0xFFC0C0C0;
    PaintPicCell(canvas, look, nullptr, {});
    EXPECT_EQ(canvas.Pixel(1, 1), 0xFFF0F0F0u);
    EXPECT_EQ(canvas.Pixel(3, 3), 0xFFFFFFFFu); // inner box [3, W-4)
    EXPECT_EQ(canvas.Pixel(42, 42), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.Pixel(43, 20), 0xFFC0C0C0u); // the frame's right edge, W-4

    // a caption: the picture part ends above it; selected, its rectangle is
    // filled in the selection colour
    TPicCellLook photo = PhotoLook();
    photo.ShowName = true;
    photo.PictureHeight = 67;
    photo.LabelRect = {20, 65, 60, 78};
    photo.Selected = true;
    PaintPicCell(canvas, photo, nullptr, {});
    EXPECT_EQ(canvas.Pixel(40, 63), 0xFFC0C0C0u); // frame bottom at H'-4
    EXPECT_EQ(canvas.Pixel(40, 64), 0xFF000000u);
    EXPECT_EQ(canvas.Pixel(40, 70), 0xFFFF0000u);
    EXPECT_EQ(canvas.Pixel(10, 70), 0xFF000000u);
    EXPECT_EQ(canvas.Pixel(0, 66), 0xFFFF0000u); // band bottom at H'-1
    EXPECT_EQ(canvas.Pixel(0, 67), 0xFF000000u);
}

TEST(CellPainting, TransparentPicturesBlendAndPlaceholderIsQuiet) {
    TBitmap32 canvas, pic(10, 10);
    pic.Clear(0x00FF0000); // fully transparent red
    pic.SetPixel(5, 5, 0xFFFF0000);
    pic.DrawMode = TDrawMode::Blend;
    TPicCellLook look = PhotoLook();
    PaintPicCell(canvas, look, &pic, {35, 35, 45, 45});
    EXPECT_EQ(canvas.Pixel(36, 36), 0xFF000000u);
    EXPECT_EQ(canvas.Pixel(40, 40), 0xFFFF0000u);
    look.Placeholder = true;
    PaintPicCell(canvas, look, nullptr, {});
    const TColor32 tile = canvas.Pixel(40, 40);
    EXPECT_NE(tile, 0xFF000000u);
    EXPECT_EQ(RedOf(tile), GreenOf(tile)); // grey between box and frame
    EXPECT_LT(RedOf(tile), 0xC0);
}

// ---- The background loader ----

TEST(ThumbnailLoader, ReportsEveryRequestThenFinishes) {
    const std::string dir = MakeTempDir();
    WritePicture(dir + "/a.png", SolidPicture(100, 50, qRgb(9, 9, 9)), "PNG");
    WriteBytes(dir + "/b.png", "broken");
    WritePicture(dir + "/c.jpg", SolidPicture(10, 300, qRgb(9, 9, 9)), "JPEG");
    TThumbnailLoader loader;
    std::map<uint64_t, std::pair<bool, int>> got;
    loader.OnLoaded = [&](uint64_t t, bool ok, TBitmap32& p) { got[t] = {ok, p.Width()}; };
    QSignalSpy finished(&loader, &TThumbnailLoader::Finished);
    const uint64_t a = loader.Request(dir + "/a.png", 74, 74);
    const uint64_t b = loader.Request(dir + "/b.png", 74, 74);
    const uint64_t c = loader.Request(dir + "/c.jpg", 74, 74);
    EXPECT_EQ(loader.Pending(), 3);
    ASSERT_TRUE(WaitFor([&] { return loader.Idle(); }));
    EXPECT_EQ(finished.count(), 1);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[a], std::make_pair(true, 74));
    EXPECT_EQ(got[b], std::make_pair(false, 0));
    EXPECT_EQ(got[c], std::make_pair(true, 2)); // 10 x 300 -> 2 x 74
}

TEST(ThumbnailLoader, AbandonedAndCancelledRequestsAreNeverReported) {
    const std::string dir = MakeTempDir();
    for (int i = 0; i < 8; ++i)
        WritePicture(dir + "/p" + std::to_string(i) + ".png", SolidPicture(600, 400, qRgb(i, i, i)), "PNG");
    TThumbnailLoader loader;
    loader.MaxInFlight = 1;
    std::vector<uint64_t> reported;
    loader.OnLoaded = [&](uint64_t t, bool, TBitmap32&) { reported.push_back(t); };
    for (int i = 0; i < 6; ++i) loader.Request(dir + "/p" + std::to_string(i) + ".png", 74, 74);
    loader.Abandon();
    EXPECT_EQ(loader.Pending(), 0);
    const uint64_t kept = loader.Request(dir + "/p6.png", 74, 74);
    const uint64_t cancelled = loader.Request(dir + "/p7.png", 74, 74);
    loader.Cancel(cancelled);
    ASSERT_TRUE(WaitFor([&] { return loader.Idle(); }));
    TThumbnailLoader::Pool()->waitForDone();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(reported, (std::vector<uint64_t>{kept}));
}

TEST(ThumbnailLoader, DestroyedWhileBusyDropsItsResults) {
    const std::string dir = MakeTempDir();
    for (int i = 0; i < 6; ++i)
        WritePicture(dir + "/p" + std::to_string(i) + ".png", SolidPicture(800, 600, qRgb(i, 0, 0)), "PNG");
    int reported = 0;
    {
        TThumbnailLoader loader;
        loader.OnLoaded = [&](uint64_t, bool, TBitmap32&) { ++reported; };
        for (int i = 0; i < 6; ++i) loader.Request(dir + "/p" + std::to_string(i) + ".png", 74, 74);
    }
    TThumbnailLoader::Pool()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(reported, 0);
}
