#include <gtest/gtest.h>

#include <cmath>

#include "document/EditorTestSupport.h"
#include "editing/LayerCommands.h"
#include "history/HistoryRecords.h"
#include "text/TextCommands.h"

namespace {

struct TTextFixture : TEditorFixture {
    TTextCommands Text{Editor};
    TScriptedMessages Messages;
    TTextPageState Page;
    TTextFixture() {
        Page.FontName = "Liberation Sans";
        Page.SizeText = "60";
        Page.Color = 0x0000FF;
    }
    // Types the text one letter after the other, as the text box reports it.
    void Type(const std::string& text) {
        for (size_t n = 1; n <= text.size(); ++n) {
            Page.Text = text.substr(0, n);
            if (Text.SelectedText())
                Text.RenderModifiedText(Page, TTextSource::TextBox);
            else
                Text.RenderNewText(Page, TTextSource::TextBox);
        }
    }
    int Steps() const {
        int n = 0;
        const TUnReDo& h = Doc.UndoHistory;
        for (int i = h.Current(); i != h.Oldest(); i = (i + TUnReDo::kSlots - 1) % TUnReDo::kSlots) ++n;
        return n;
    }
    THistoryKind LastKind() const { return Doc.UndoHistory.Slot(Doc.UndoHistory.Current()).Kind; }
    // The page position of a point of the layer's box (fractions of its
    // width and height), with its rotation.
    static TFloatPoint OnPage(const TNewRotLayer& l, float fx, float fy) {
        const TFloatRect& r = l.Location;
        const double cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
        const double dx = r.Left + fx * r.Width() - cx, dy = r.Top + fy * r.Height() - cy;
        const double a = l.Angle * M_PI / 180;
        return {float(cx + dx * std::cos(a) + dy * std::sin(a)),
                float(cy - dx * std::sin(a) + dy * std::cos(a))};
    }
};

} // namespace

TEST(TextCommands, TypingIsOneStepThatUndoRemovesAndRedoRestores) {
    TTextFixture f;
    f.Page.HorzAlign = 1; // "Center"
    f.Page.VertAlign = 1; // "Middle"
    f.Type("Hello");
    ASSERT_EQ(f.Doc.LayerCount(), 2); // the text and its handles
    TNewRotLayer* t = f.Text.SelectedText();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Text, "Hello");
    EXPECT_EQ(t->ImageType, itText);
    EXPECT_EQ(t->Font->Font.pixelSize(), 60); // the size box's number is the em size in pixels
    EXPECT_TRUE(f.Doc.Modified);
    // centred on the 1024 x 768 page
    EXPECT_FLOAT_EQ((t->Location.Left + t->Location.Right) / 2, 512.0f);
    EXPECT_FLOAT_EQ((t->Location.Top + t->Location.Bottom) / 2, 384.0f);
    EXPECT_EQ(f.Steps(), 1);
    EXPECT_EQ(f.LastKind(), THistoryKind::InsertLayers);

    // a click elsewhere in between ends the typing: the next letters are a
    // ModifyText step of their own; a discrete change is one more
    f.Text.EndTyping();
    f.Type("Hello!!");
    f.Page.Color = 0xFF0000;
    f.Text.RenderModifiedText(f.Page);
    EXPECT_EQ(f.Steps(), 3);
    EXPECT_EQ(f.LastKind(), THistoryKind::ModifyText);

    f.Editor.MenuUnDoClick(); // colour
    f.Editor.MenuUnDoClick(); // "!!"
    t = f.Doc.ContentLayerAt(0);
    EXPECT_EQ(t->Text, "Hello");
    f.Editor.MenuUnDoClick(); // the whole typing
    EXPECT_EQ(f.Doc.LayerCount(), 0);
    f.Editor.MenuReDoClick();
    ASSERT_EQ(f.Doc.LayerCount(), 2);
    t = f.Doc.ContentLayerAt(0);
    EXPECT_EQ(t->Text, "Hello");
    EXPECT_NE(t->Handles, nullptr);
    ASSERT_TRUE(t->TextStyle);
    EXPECT_EQ(t->TextStyle->HorzAlign, 1);

    // an empty text deletes the layer in one step, which undo takes back
    f.Page.Text = "  \r\n ";
    EXPECT_EQ(f.Text.RenderModifiedText(f.Page, TTextSource::TextBox), TTextResult::Done);
    EXPECT_EQ(f.Doc.LayerCount(), 0);
    EXPECT_EQ(f.LastKind(), THistoryKind::DeleteLayers);
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(f.Doc.ContentLayerAt(0)->Text, "Hello");
}

TEST(TextCommands, RefusedSizesAndLockedLayersChangeNothing) {
    TTextFixture f;
    f.Page.Text = "Hi";
    for (auto [size, message] : {std::pair{"", "Please set font size."},
                                 {"1x", "Please set font size."},
                                 {"0", "Font size must greater than 0."},
                                 {"-5", "Font size must greater than 0."}}) {
        f.Page.SizeText = size;
        EXPECT_EQ(f.Text.RenderNewText(f.Page), TTextResult::FocusSizeBox) << size;
        ASSERT_FALSE(f.Messages.Infos.empty());
        EXPECT_EQ(f.Messages.Infos.back(), message);
    }
    f.Page.SizeText = "8000";
    EXPECT_EQ(f.Text.RenderNewText(f.Page), TTextResult::FocusSizeBox);
    EXPECT_EQ(f.Messages.Infos.back(),
              "The text is too large: its picture would be more than 8000 pixels wide or high.");
    f.Page.SizeText = "60";
    f.Page.AALevel = -1;
    EXPECT_EQ(f.Text.RenderNewText(f.Page), TTextResult::FocusAALevel);
    EXPECT_EQ(f.Messages.Infos.back(), "Please set antialias level");
    EXPECT_EQ(f.Doc.LayerCount(), 0);
    EXPECT_EQ(f.Steps(), 0);

    f.Page.AALevel = 4;
    ASSERT_EQ(f.Text.RenderNewText(f.Page), TTextResult::Done);
    TNewRotLayer* t = f.Text.SelectedText();
    const TFloatRect before = t->Location;
    f.Page.SizeText = "0";
    EXPECT_EQ(f.Text.RenderModifiedText(f.Page), TTextResult::FocusSizeBox);
    t->Locked = true;
    f.Page.SizeText = "90";
    f.Text.RenderModifiedText(f.Page);
    f.Text.PositionBoxChanged(true, 2);
    EXPECT_EQ(f.Messages.Infos.back(), "The layer is locked!");
    EXPECT_EQ(t->Location, before);
    EXPECT_EQ(t->Font->Font.pixelSize(), 60);
    EXPECT_EQ(f.Steps(), 1);
}

TEST(TextCommands, RedrawKeepsScaleCornerFlipAndLettersUnderTheGlow) {
    TTextFixture f;
    f.Page.Text = "Scale";
    f.Page.HorzAlign = f.Page.VertAlign = 3; // "Custom"
    f.Text.RenderNewText(f.Page);
    TNewRotLayer* t = f.Text.SelectedText();
    // resized to twice its width by the user
    TFloatRect r = t->Location;
    t->SetLocation({r.Left, r.Top, r.Left + 2 * r.Width(), r.Bottom});
    t->TextStyle->TextScaleX = 2.0f;
    f.Page.Text = "Scale me";
    f.Text.RenderModifiedText(f.Page);
    EXPECT_FLOAT_EQ(t->Location.Width(), 2.0f * t->Picture.Width());
    EXPECT_FLOAT_EQ(t->Location.Height(), float(t->Picture.Height()));

    // rotated: the rotated top-left corner stays where it was
    t->SetAngle(30);
    const TFloatPoint corner = TTextFixture::OnPage(*t, 0, 0);
    f.Page.Text = "Scale me further";
    f.Text.RenderModifiedText(f.Page);
    const TFloatPoint after = TTextFixture::OnPage(*t, 0, 0);
    EXPECT_NEAR(after.X, corner.X, 0.01);
    EXPECT_NEAR(after.Y, corner.Y, 0.01);

    // turning the glow on grows the box around the letters, which stay put
    const TFloatPoint letters = TTextFixture::OnPage(*t, 0, 0);
    f.Page.Halation = true;
    f.Page.HalationSize = 30;
    f.Text.RenderModifiedText(f.Page);
    const int m = 16; // half of 30, plus the rim
    const TFloatPoint grown =
        TTextFixture::OnPage(*t, 2.0f * m / t->Location.Width() * 1.0f, float(m) / t->Location.Height());
    EXPECT_NEAR(grown.X, letters.X, 0.05);
    EXPECT_NEAR(grown.Y, letters.Y, 0.05);

    // flipped, then recoloured: still flipped
    t->SetAngle(0);
    f.Page.Halation = false;
    f.Page.Text = "Ab";
    f.Text.RenderModifiedText(f.Page);
    TBitmap32 upright;
    upright.Assign(t->Picture);
    t->SetFlipH(true);
    f.Page.Color = 0xFF0000;
    f.Text.RenderModifiedText(f.Page);
    EXPECT_TRUE(t->FlipH);
    upright.FlipHorz();
    int same = 0, inked = 0;
    for (size_t i = 0; i < upright.PixelCount(); ++i) {
        if (AlphaOf(upright.Bits()[i]) == 0) continue;
        ++inked;
        same += AlphaOf(upright.Bits()[i]) == AlphaOf(t->Picture.Bits()[i]);
    }
    EXPECT_GT(inked, 100);
    EXPECT_EQ(same, inked);
    // undo puts back the picture in the old colour, mirrored as it was
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(MaxChannelDiff(t->Picture, upright), 0);
    EXPECT_TRUE(t->FlipH);

    // a pasted copy is a text with the same style, mirrored the same way
    TLayerClipboard clipboard;
    MenuCopyClick(f.Editor, clipboard);
    MenuPasteClick(f.Editor, clipboard);
    TNewRotLayer* copy = f.Text.SelectedText();
    ASSERT_NE(copy, t);
    EXPECT_EQ(copy->Text, "Ab");
    EXPECT_TRUE(copy->FlipH);
    ASSERT_TRUE(copy->TextStyle);
    EXPECT_FLOAT_EQ(copy->TextStyle->TextScaleX, 2.0f);
    f.Page.Color = 0x0000FF; // drawn anew as the original was
    f.Text.RenderModifiedText(f.Page);
    EXPECT_EQ(MaxChannelDiff(copy->Picture, t->Picture), 0);
}

TEST(TextCommands, PositionBoxesMoveWithoutRedrawingAndShadowIsAStep) {
    TTextFixture f;
    f.Page.Text = "Place";
    f.Text.RenderNewText(f.Page);
    TNewRotLayer* t = f.Text.SelectedText();
    const TFloatRect start = t->Location;
    const TColor32* pixels = t->Picture.Bits();
    f.Doc.SetModified(false);
    f.Text.PositionBoxChanged(true, 2); // "Right"
    EXPECT_FLOAT_EQ(t->Location.Right, 1024.0f);
    EXPECT_FLOAT_EQ(t->Location.Width(), start.Width());
    EXPECT_EQ(t->Location.Top, start.Top);
    EXPECT_EQ(t->Picture.Bits(), pixels); // not drawn again
    EXPECT_EQ(t->TextStyle->HorzAlign, 2);
    EXPECT_TRUE(f.Doc.Modified);
    EXPECT_EQ(f.LastKind(), THistoryKind::PlaceLayers);
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(t->Location, start);
    EXPECT_EQ(t->TextStyle->HorzAlign, 1);
    // "Custom" records a step that changes nothing
    f.Text.PositionBoxChanged(false, 3);
    EXPECT_EQ(t->Location, start);
    EXPECT_EQ(f.LastKind(), THistoryKind::PlaceLayers);

    // the shadow box: checked gives the text shadow, unchecked removes it,
    // each one step
    f.Text.ApplyTextShadow();
    EXPECT_TRUE(t->ShadowOn);
    EXPECT_EQ(t->ShadowOffsetX, 7);
    EXPECT_EQ(t->ShadowTransparent, 100);
    f.Text.ShadowBoxUnchecked();
    EXPECT_FALSE(t->ShadowOn);
    EXPECT_EQ(f.LastKind(), THistoryKind::SetShadow);
    f.Editor.MenuUnDoClick();
    EXPECT_TRUE(t->ShadowOn);
}
