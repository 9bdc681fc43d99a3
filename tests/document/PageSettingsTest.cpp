// Page settings as one undoable step, and the settings dialog's checks and
// unit conversions, headless.

#include <gtest/gtest.h>

#include <fstream>

#include "document/Decorations.h"
#include "document/EditorTestSupport.h"
#include "document/PageSettings.h"
#include "engine/Codecs.h"
#include "platform/Paths.h"
#include "platform/Units.h"

namespace {
// A library with one border frame: transparent, with a companion mask that
// is black (paper) in a 6-pixel rim and white inside.
struct TFrameLibrary {
    std::string Root = MakeTempDir() + "/lib/";
    TFrameLibrary() {
        ForceDirectories(Root + "Frames/Free");
        TBitmap32 frame{40, 30};
        frame.Clear(0x00000000);
        EncodePNGFile(Root + "Frames/Free/rim.frm", frame);
        TBitmap32 mask{40, 30};
        mask.Clear(0xFF000000);
        mask.FillRect(6, 6, 34, 24, 0xFFFFFFFF);
        EncodeGIFFile(Root + "Frames/Free/rim.msk", mask);
        SetResourceRoot(Root);
    }
    ~TFrameLibrary() { SetResourceRoot(""); }
};
} // namespace

TEST(PageSettings, ChangeReplacesLayersRefitsTheBorderAndUndoesExactly) {
    TFrameLibrary library;
    TEditorFixture f;
    f.Doc.CollageSettings.BKColor = 0x0000FF; // red paper
    TNewRotLayer* photo = f.AddLayer({100, 100, 300, 200});
    TNewRotLayer* text = f.AddLayer({400, 300, 600, 350}, itText, 100, 25);
    text->TextStyle = std::make_unique<TTextStyle>();
    text->TextStyle->TextScaleX = 1.5f;
    text->TextStyle->TextScaleY = 0.5f;
    SetBorderByName(f.Doc, "Free\\rim.frm");
    ASSERT_NE(f.Doc.BorderLayer, nullptr);
    EXPECT_EQ(f.Doc.BorderLayer->Picture.Pixel(1, 1), 0xFFFF0000u);
    f.Editor.SelectLayer(photo);
    const TCollageSettings before = f.Doc.CollageSettings;
    const TLayerFit photoBefore = LayerFitOf(*photo), textBefore = LayerFitOf(*text);

    // 768 x 2048 landscape: the page doubles in width, in blue
    TCollageSettings s = before;
    s.Width = 768;
    s.Height = 2048;
    s.Orientation = 1;
    s.BKColor = 0xFF0000;
    ChangeCollageSettings(f.Editor, s);
    EXPECT_EQ(f.Doc.ImageScreen.Bitmap.Width(), 2048);
    EXPECT_EQ(f.Doc.ImageScreen.Bitmap.Pixel(5, 5), 0xFF0000FFu);
    EXPECT_EQ(photo->Location, (TFloatRect{200, 100, 600, 200}));
    EXPECT_EQ(photo->ViewedRect, (TRect{0, 0, 200, 50})); // the photo keeps its proportions
    EXPECT_EQ(photo->Handles->Location(), photo->Location);
    EXPECT_FLOAT_EQ(text->TextStyle->TextScaleX, 3.0f); // the text scale follows its box
    EXPECT_FLOAT_EQ(text->TextStyle->TextScaleY, 0.5f);
    EXPECT_EQ(f.Doc.BorderLayer->Location, (TFloatRect{0, 0, 2048, 768}));
    EXPECT_EQ(f.Doc.BorderLayer->Picture.Pixel(1, 1), 0xFF0000FFu); // re-papered
    EXPECT_EQ(f.Doc.BorderLayer->Picture.Pixel(20, 15), 0x00000000u);
    EXPECT_TRUE(f.Doc.Modified);
    const THistoryEntry& step = f.Doc.UndoHistory.Slot(f.Doc.UndoHistory.Current());
    EXPECT_EQ(step.Kind, THistoryKind::PageSettings);
    const TLayerFit photoAfter = LayerFitOf(*photo), textAfter = LayerFitOf(*text);

    f.Editor.MenuUnDoClick();
    EXPECT_EQ(f.Doc.CollageSettings, before);
    EXPECT_EQ(f.Doc.ImageScreen.Bitmap.Width(), 1024);
    EXPECT_EQ(LayerFitOf(*photo), photoBefore);
    EXPECT_EQ(LayerFitOf(*text), textBefore);
    EXPECT_EQ(photo->Handles->Location(), photoBefore.Location);
    EXPECT_EQ(f.Doc.BorderLayer->Location, (TFloatRect{0, 0, 1024, 768}));
    EXPECT_EQ(f.Doc.BorderLayer->Picture.Pixel(1, 1), 0xFFFF0000u);
    f.Editor.MenuReDoClick();
    EXPECT_EQ(f.Doc.CollageSettings, s);
    EXPECT_EQ(LayerFitOf(*photo), photoAfter);
    EXPECT_EQ(LayerFitOf(*text), textAfter);
    EXPECT_EQ(f.Doc.BorderLayer->Picture.Pixel(1, 1), 0xFF0000FFu);
}

TEST(PageSettingsInput, UnitsChecksAndPictures) {
    SetPixelsPerInch(96);
    EXPECT_EQ(ToPixels(TLengthUnit::Inch, 4), 384);
    EXPECT_EQ(PixelsAsText(TLengthUnit::Centimetre, 384), "10.16");
    EXPECT_EQ(PixelsAsText(TLengthUnit::Inch, 1024), "10.67");
    EXPECT_EQ(PixelsAsText(TLengthUnit::Pixel, ToPixels(TLengthUnit::Inch, 10.67)), "1024");
    EXPECT_EQ(ToPixels(TLengthUnit::Millimetre, 25.4), 96);
    EXPECT_EQ(ParseLength(" 12 "), 12.0);
    EXPECT_EQ(ParseLength("3."), 3.0);
    EXPECT_EQ(ParseLength(".5"), 0.5);
    for (const char* bad : {"", "  ", "1.2.3", "1e3", "12px", ".", "-"})
        EXPECT_FALSE(ParseLength(bad)) << bad;

    TScriptedMessages messages;
    auto check = [](const TPageSettingsInput& in, TCollageSettings& s) {
        return CheckPageSettingsInput(in, s);
    };
    TPageSettingsInput in;
    in.WidthText = "10";
    in.HeightText = "10";
    TCollageSettings s;
    EXPECT_TRUE(check(in, s).Ok);
    EXPECT_EQ(s.Width, 10);
    for (auto [w, h, message] : {std::tuple{"9", "10", "Width must be range from 10 to 10000."},
                                 {"10001", "10", "Width must be range from 10 to 10000."},
                                 {"10", "10001", "Height must be range from 10 to 10000."},
                                 {"1.2.3", "10", "Width is invalid."},
                                 {"", "10", "Please input width value."},
                                 {"10", " ", "Please input height value."}}) {
        in.WidthText = w;
        in.HeightText = h;
        const TPageInputCheck c = check(in, s);
        EXPECT_FALSE(c.Ok);
        EXPECT_EQ(c.Message, message);
    }
    // 4 inches wide is 384 pixels
    in.WidthText = "4";
    in.HeightText = "3";
    in.WidthUnit = in.HeightUnit = 1;
    ASSERT_TRUE(check(in, s).Ok);
    EXPECT_EQ(s.Width, 384);
    EXPECT_EQ(s.HeightUnit, 1);
    // a predefined size replaces the custom one
    in.Predefined = true;
    in.PredefinedIndex = -1;
    EXPECT_EQ(check(in, s).Message, "Please choose a collage size.");
    in.PredefinedIndex = 1;
    ASSERT_TRUE(check(in, s).Ok);
    EXPECT_EQ(s.SizeType, 0);
    EXPECT_EQ(s.Width, 1050);
    EXPECT_EQ(s.Height, 750);

    // a picture background needs a picture that exists and decodes
    in.BKType = 2;
    in.BKImageFile = "/nonexistent/bk.jpg";
    EXPECT_EQ(check(in, s).Message, "Please load an image for background.");
    const std::string bad = MakeTempDir() + "/bk.jpg";
    std::ofstream(bad) << "not a picture at all";
    in.BKImageFile = bad;
    TPageInputCheck c = check(in, s);
    EXPECT_FALSE(c.Ok);
    EXPECT_TRUE(c.Error);
    EXPECT_FALSE(c.Message.empty());
    EXPECT_NE(c.Message, "Please load an image for background.");
    const std::string good = MakeTempDir() + "/bk.png";
    TBitmap32 picture{8, 8};
    EncodePNGFile(good, picture);
    in.BKImageFile = good;
    ASSERT_TRUE(check(in, s).Ok);
    EXPECT_EQ(s.BKType, 2);
    EXPECT_EQ(s.BKImageFile, good);
}
