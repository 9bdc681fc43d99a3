#include <gtest/gtest.h>

#include <QImage>

#include "common/TestSupport.h"
#include "document/CollageDocument.h"
#include "engine/RotRubberbandLayer.h"

namespace {
// A picture whose top-left pixel is red and the rest blue, so every place a
// copy starts can be found on the canvas.
std::string MarkerPicture(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(QColor(0, 0, 255));
    img.setPixel(0, 0, qRgb(255, 0, 0));
    const std::string path = MakeTempDir() + "/marker.png";
    EXPECT_TRUE(img.save(QString::fromStdString(path)));
    return path;
}

class TRecordingObserver : public TDocumentObserver {
public:
    void RequestZoom(int percent) override { Zooms.push_back(percent); }
    std::vector<int> Zooms;
};

constexpr TColor32 kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
} // namespace

TEST(CollageDocument, DefaultPageAndLandscapeOrientation) {
    TCollageDocument doc;
    doc.ApplyCanvasSettings();
    EXPECT_EQ(doc.ImageScreen.Bitmap.Width(), 1024);
    EXPECT_EQ(doc.ImageScreen.Bitmap.Height(), 768);
    EXPECT_EQ(doc.SizeLabel(), "Size: 1024 X 768");
    EXPECT_EQ(doc.ImageScreen.Bitmap.Pixel(10, 10), 0xFFFFFFFFu);

    doc.CollageSettings.Orientation = 1;
    doc.ApplyCanvasSettings();
    EXPECT_EQ(doc.ImageScreen.Bitmap.Width(), 768);
    EXPECT_EQ(doc.ImageScreen.Bitmap.Height(), 1024);
    EXPECT_EQ(doc.SizeLabel(), "Size: 768 X 1024");
}

TEST(CollageDocument, ColourAndTransparentBackgrounds) {
    TCollageDocument doc;
    doc.CollageSettings.BKType = 1;
    doc.CollageSettings.BKColor = 0x0000FF; // red in the platform's BGR order
    doc.ApplyCanvasSettings();
    EXPECT_EQ(doc.ImageScreen.Bitmap.Pixel(500, 300), kRed);

    doc.CollageSettings.BKType = 0;
    doc.ApplyCanvasSettings();
    EXPECT_EQ(doc.ImageScreen.Bitmap.Pixel(0, 0), 0x00FFFFFFu);
    TBitmap32 out;
    doc.RenderCollage(out);
    EXPECT_EQ(out.Width(), 1024);
    EXPECT_EQ(AlphaOf(out.Pixel(1023, 767)), 0);
}

TEST(CollageDocument, TiledPictureStartsEveryTileOnItsGrid) {
    TCollageDocument doc;
    doc.CollageSettings.BKType = 2;
    doc.CollageSettings.BKImageFile = MarkerPicture(300, 200);
    doc.CollageSettings.BKImageFillType = 0;
    doc.ApplyCanvasSettings();
    const TBitmap32& c = doc.ImageScreen.Bitmap;
    for (int x : {0, 300, 600, 900})
        for (int y : {0, 200, 400, 600}) EXPECT_EQ(c.Pixel(x, y), kRed) << x << "," << y;
    EXPECT_EQ(c.Pixel(299, 0), kBlue);
    EXPECT_EQ(c.Pixel(1023, 767), kBlue); // the last tiles are cut by the edge
}

TEST(CollageDocument, CentredPictureUsesTruncatingHalves) {
    TCollageDocument doc;
    doc.CollageSettings.BKType = 2;
    doc.CollageSettings.BKImageFile = MarkerPicture(301, 201);
    doc.CollageSettings.BKImageFillType = 1;
    doc.ApplyCanvasSettings();
    const TBitmap32& c = doc.ImageScreen.Bitmap;
    // (1024 - 301) div 2 = 361, (768 - 201) div 2 = 283
    EXPECT_EQ(c.Pixel(361, 283), kRed);
    EXPECT_EQ(c.Pixel(362, 283), kBlue);
    EXPECT_EQ(c.Pixel(360, 283), 0xFFFFFFFFu); // white around the picture
    EXPECT_EQ(c.Pixel(361 + 301, 283), 0xFFFFFFFFu);

    // a picture larger than the page starts at a negative offset, rounded
    // toward zero: (1024 - 1501) div 2 = -238
    doc.CollageSettings.BKImageFile = MarkerPicture(1501, 901);
    doc.ApplyCanvasSettings();
    EXPECT_EQ(doc.ImageScreen.Bitmap.Pixel(0, 0), kBlue);
}

TEST(CollageDocument, StretchedPictureCoversThePageWithNearestSampling) {
    TCollageDocument doc;
    doc.CollageSettings.BKType = 2;
    doc.CollageSettings.BKImageFile = MarkerPicture(4, 4);
    doc.CollageSettings.BKImageFillType = 2;
    doc.ApplyCanvasSettings();
    const TBitmap32& c = doc.ImageScreen.Bitmap;
    // the red source pixel covers the top-left quarter block of 256 x 192
    EXPECT_EQ(c.Pixel(0, 0), kRed);
    EXPECT_EQ(c.Pixel(255, 191), kRed);
    EXPECT_EQ(c.Pixel(256, 191), kBlue);
    EXPECT_EQ(c.Pixel(255, 192), kBlue);
}

TEST(CollageDocument, MissingBackgroundLeavesWhitePageAndZoom) {
    TScriptedMessages messages;
    TCollageDocument doc;
    TRecordingObserver obs;
    doc.Observer = &obs;
    doc.CollageSettings.BKType = 2;
    doc.CollageSettings.BKImageFile = "/nonexistent/bk.jpg";
    doc.ApplyCanvasSettings();
    ASSERT_EQ(messages.Errors.size(), 1u);
    EXPECT_EQ(messages.Errors[0], "Picture does not exists!\r/nonexistent/bk.jpg: No such file or directory");
    EXPECT_EQ(doc.ImageScreen.Bitmap.Pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_TRUE(obs.Zooms.empty());
}

TEST(CollageDocument, FittingZoom) {
    TCollageDocument doc;
    TRecordingObserver obs;
    doc.Observer = &obs;
    doc.SetScrollBoxSize(800, 600);
    doc.ApplyCanvasSettings();
    // box 728 x 528 (the scroll box less the control's border and the page
    // margin): height decides, round(52800 / 768) = 69
    ASSERT_EQ(obs.Zooms.size(), 1u);
    EXPECT_EQ(obs.Zooms[0], 69);
    // there the handles of a layer at the page's edge, the rotation handle
    // above the top edge included, lie inside the control
    doc.SetZoom(69);
    TLayerCollection handles;
    const auto* h = handles.Add<TRotRubberbandLayer>();
    const TRect page = doc.ImageScreen.GetBitmapRect();
    EXPECT_GT(page.Top - h->RotateHandleDistance - h->RotateHandleRadius, 0);
    EXPECT_GT(page.Left - h->HandleSize, 0);
    EXPECT_LE(doc.ImageScreen.Width(), 792); // without scroll bars
    // a page that already fits gives 100
    doc.SetScrollBoxSize(2000, 1500);
    doc.ApplyCanvasSettings();
    EXPECT_EQ(obs.Zooms.back(), 100);
    // width decides for a wide page: 3000 x 500 in 728 x 528 -> 728 wide, round(72800 / 3000) = 24
    doc.SetScrollBoxSize(800, 600);
    doc.CollageSettings.Width = 3000;
    doc.CollageSettings.Height = 500;
    doc.ApplyCanvasSettings();
    EXPECT_EQ(obs.Zooms.back(), 24);
}

TEST(CollageDocument, ZoomSizesTheControlToCoverTheScrollBox) {
    TCollageDocument doc;
    doc.SetScrollBoxSize(800, 600);
    doc.ApplyCanvasSettings();
    doc.SetZoom(3);
    EXPECT_EQ(doc.ImageScreen.Width(), 792);
    EXPECT_EQ(doc.ImageScreen.Height(), 592);
    doc.SetZoom(200); // the page and a margin around it
    EXPECT_EQ(doc.ImageScreen.Width(), 2048 + 64);
    EXPECT_EQ(doc.ImageScreen.Height(), 1536 + 64);
    EXPECT_FLOAT_EQ(doc.ImageScreen.Layers.ScaleX(), 2.0f);

    // Zooming keeps the page point at the centre of the view in place, the
    // wheel the one under the pointer, as far as the control reaches.
    TImage32& screen = doc.ImageScreen;
    screen.SetViewport(300, 200, 792, 592);
    auto pageX = [&](int x) { return (x - screen.Layers.ShiftX()) / screen.Layers.ScaleX(); };
    auto pageY = [&](int y) { return (y - screen.Layers.ShiftY()) / screen.Layers.ScaleY(); };
    const float cx = pageX(396), cy = pageY(296);
    doc.SetZoom(350);
    EXPECT_NEAR(pageX(396), cx, 0.5 / 3.5);
    EXPECT_NEAR(pageY(296), cy, 0.5 / 3.5);
    const float px = pageX(40), py = pageY(150);
    doc.SetZoomAt(120, 40, 150);
    EXPECT_NEAR(pageX(40), px, 0.5 / 1.2);
    EXPECT_NEAR(pageY(150), py, 0.5 / 1.2);
    doc.SetZoom(20); // the page fits: nothing left to scroll
    EXPECT_EQ(screen.ScrollX(), 0);
    EXPECT_EQ(screen.ScrollY(), 0);
}

TEST(CollageDocument, BackgroundStageCheckerboardAndOutline) {
    TCollageDocument doc;
    doc.CollageSettings.BKType = 0;
    doc.CollageSettings.Width = 100;
    doc.CollageSettings.Height = 60;
    doc.SetScrollBoxSize(208, 132); // control 200 x 124, page centred at (50, 32)
    doc.ApplyCanvasSettings();
    doc.SetZoom(100);
    TBitmap32 buffer(200, 124);
    doc.PaintBackgroundStage(buffer);
    EXPECT_EQ(buffer.Pixel(5, 5), 0xFF808080u);     // grey surround
    EXPECT_EQ(buffer.Pixel(49, 31), 0xFF0000FFu);   // blue outline at (hx - 1, hy - 1)
    EXPECT_EQ(buffer.Pixel(150, 92), 0xFF0000FFu);  // outline right and bottom: round(hx + w + 1) - 1
    EXPECT_EQ(buffer.Pixel(151, 93), 0xFF808080u);
    EXPECT_EQ(buffer.Pixel(50, 32), 0xFFB0B0B0u);      // first square grey
    EXPECT_EQ(buffer.Pixel(49 + 13, 32), 0xFFFFFFFFu); // second square white
    EXPECT_EQ(buffer.Pixel(49 + 13, 31 + 13), 0xFFB0B0B0u);
}

TEST(CollageDocument, CaptionRules) {
    TCollageDocument doc;
    EXPECT_EQ(doc.Caption(), "Velmora 2011.5.02");
    doc.CaptionTitle = TCaptionTitle::Untitled;
    EXPECT_EQ(doc.Caption(), "Velmora 2011.5.02 - Untitled");
    doc.CaptionTitle = TCaptionTitle::Project;
    doc.ProjectFile = "/home/u//collages//trip.clv";
    EXPECT_EQ(doc.Caption(), "Velmora 2011.5.02 - /home/u/collages/trip.clv");
    doc.SetModified(true);
    EXPECT_EQ(doc.SavedLabel(), "Unsaved");
    doc.SetModified(false);
    EXPECT_EQ(doc.SavedLabel(), "Saved");
}
