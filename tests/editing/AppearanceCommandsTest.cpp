// Crop, transparency and shadow: the commands and the live sessions of their
// dialogs, headless.

#include <gtest/gtest.h>

#include "document/EditorTestSupport.h"
#include "editing/AppearanceCommands.h"
#include "editing/CropView.h"

namespace {
int StepRecords(TCollageDocument& doc, THistoryKind kind) {
    const THistoryEntry& e = doc.UndoHistory.Slot(doc.UndoHistory.Current());
    return e.Kind == kind ? int(e.Records.size()) : -1;
}
} // namespace

TEST(Transparency, ConversionsDragStepAndLockedLayers) {
    EXPECT_EQ(AlphaOfTransparency(50), 128); // 127.5 rounds to even
    EXPECT_EQ(AlphaOfTransparency(10), 230);
    EXPECT_EQ(AlphaOfTransparency(0), 255);
    EXPECT_EQ(AlphaOfTransparency(100), 0);
    EXPECT_EQ(TransparencyOfAlpha(128), 50);
    EXPECT_EQ(TransparencyOfAlpha(230), 10);
    for (int t = 0; t <= 100; ++t) EXPECT_EQ(TransparencyOfAlpha(AlphaOfTransparency(t)), t);

    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({10, 10, 210, 110});
    TNewRotLayer* b = f.AddLayer({300, 10, 500, 110});
    TNewRotLayer* locked = f.AddLayer({600, 10, 800, 110});
    locked->Locked = true;
    for (TNewRotLayer* l : {a, b}) f.Editor.SelectLayer(l);
    // a drag from 0 to 40: applied at every step, one step with two records
    const int before = f.Doc.UndoHistory.Current();
    const auto snapshots = TakeOpacitySnapshots(f.Editor);
    for (int t = 0; t <= 40; t += 10) ApplyTransparency(f.Editor, t);
    EXPECT_EQ(f.Doc.UndoHistory.Current(), before); // nothing recorded while moving
    RecordOpacityStep(f.Editor, snapshots);
    EXPECT_EQ(StepRecords(f.Doc, THistoryKind::SetOpacity), 2);
    EXPECT_EQ(a->Picture.MasterAlpha, 153);
    // the canvas shows it at once: the screen source carries the alpha
    EXPECT_NEAR(AlphaOf(a->ScreenSource.Pixel(5, 5)), 153, 1);
    EXPECT_TRUE(f.Doc.Modified);
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(a->Picture.MasterAlpha, 255);
    EXPECT_EQ(b->Picture.MasterAlpha, 255);
    EXPECT_EQ(AlphaOf(b->ScreenSource.Pixel(5, 5)), 255);

    // typing changes the layers without a step; a locked layer keeps its alpha
    f.Editor.SelectLayer(locked);
    const int after = f.Doc.UndoHistory.Current();
    ApplyTransparency(f.Editor, 50);
    EXPECT_EQ(f.Doc.UndoHistory.Current(), after);
    EXPECT_EQ(a->Picture.MasterAlpha, 128);
    EXPECT_EQ(locked->Picture.MasterAlpha, 255);
}

TEST(ShadowSession, LiveChangesCancelAndApply) {
    TEditorFixture f;
    TNewRotLayer* plain = f.AddLayer({10, 10, 210, 110});
    TNewRotLayer* locked = f.AddLayer({300, 10, 500, 110});
    TNewRotLayer* top = f.AddLayer({600, 10, 800, 110}); // shadowless
    for (TNewRotLayer* l : {plain, locked}) {
        l->SetShadowOffsetX(12);
        l->SetShadowSmooth(2);
        l->SetShadowColor(0xFF0000FF);
        l->SetShadowEnabled(true);
    }
    locked->Locked = true;
    top->SetShadowOffsetX(-30);
    for (TNewRotLayer* l : {plain, locked, top}) f.Editor.SelectLayer(l);
    const TShadowValues plainOwn = ShadowValuesOf(*plain), lockedOwn = ShadowValuesOf(*locked);
    const TShadowValues topOwn = ShadowValuesOf(*top);

    {
        // opened on a shadowless topmost layer: the unlocked shadows go off,
        // the locked layer keeps its shadow but takes the numbers
        TShadowSession s(f.Editor);
        ASSERT_FALSE(s.Empty());
        EXPECT_EQ(s.Initial(), topOwn);
        s.Begin();
        EXPECT_FALSE(plain->ShadowOn);
        EXPECT_TRUE(locked->ShadowOn);
        EXPECT_EQ(locked->ShadowOffsetX, -30);
        s.SetShadowShown(true);
        s.SetSmoothness(5);
        s.SetColor(0x0000FF); // red
        EXPECT_TRUE(plain->ShadowOn);
        EXPECT_EQ(plain->ShadowColor, 0xFFFF0000u);
        EXPECT_EQ(locked->ShadowColor, 0xFFFF0000u);
        EXPECT_EQ(locked->ShadowPicture->Width(), 200 + 5 * 6 + 20); // rebuilt with the new smoothness
        // meanwhile another way in locks one layer and deletes another; a
        // new layer takes the deleted one's place
        plain->Locked = true;
        f.Doc.Layers().Delete(f.Doc.Layers().IndexOf(top->Handles));
        const int topIndex = f.Doc.Layers().IndexOf(top);
        f.Doc.Layers().Delete(topIndex);
        TNewRotLayer* newcomer = f.AddLayer({600, 200, 800, 300});
        newcomer->SetIndex(topIndex);
        const TShadowValues newcomerOwn = ShadowValuesOf(*newcomer);
        s.Cancel();
        EXPECT_EQ(ShadowValuesOf(*plain), plainOwn);
        EXPECT_EQ(ShadowValuesOf(*locked), lockedOwn);
        EXPECT_EQ(ShadowValuesOf(*newcomer), newcomerOwn);
        EXPECT_EQ(locked->ShadowPicture->Width(), 200 + 2 * 3 + 20);
        plain->Locked = false;
        f.Doc.Layers().Delete(f.Doc.Layers().IndexOf(newcomer));
    }
    EXPECT_FALSE(f.Doc.Modified);

    // a soft grey shadow applied: one step, undone and redone exactly
    f.Editor.SelectLayer(plain);
    {
        TShadowSession s(f.Editor);
        s.Begin();
        s.SetShadowShown(true);
        s.SetOpacity(40);
        s.SetColor(0x808080);
        s.Apply();
    }
    EXPECT_EQ(StepRecords(f.Doc, THistoryKind::SetShadow), 2);
    EXPECT_TRUE(f.Doc.Modified);
    const TShadowValues plainAfter = ShadowValuesOf(*plain), lockedAfter = ShadowValuesOf(*locked);
    EXPECT_EQ(plainAfter.Opacity, 40);
    EXPECT_EQ(plain->ShadowColor, 0xFF808080u);
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(ShadowValuesOf(*plain), plainOwn);
    EXPECT_EQ(ShadowValuesOf(*locked), lockedOwn);
    f.Editor.MenuReDoClick();
    EXPECT_EQ(ShadowValuesOf(*plain), plainAfter);
    EXPECT_EQ(ShadowValuesOf(*locked), lockedAfter);

    // "&Del Shadow" is a step of its own; the locked shadow stays
    f.Doc.SetModified(false);
    MenuDelShadowClick(f.Editor);
    EXPECT_EQ(StepRecords(f.Doc, THistoryKind::SetShadow), 1);
    EXPECT_FALSE(plain->ShadowOn);
    EXPECT_TRUE(locked->ShadowOn);
    EXPECT_TRUE(f.Doc.Modified);
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(ShadowValuesOf(*plain), plainAfter);
}

TEST(Crop, ViewZoomVeilAndCut) {
    EXPECT_EQ(TCropView::FitZoom(3000, 2000, 723, 450), 22); // 645 x 430, Round(21.5)
    EXPECT_EQ(TCropView::FitZoom(400, 300, 723, 450), 100);
    EXPECT_EQ(TCropView::FitZoom(300, 6000, 723, 450), 7);

    TBitmap32 picture{300, 200};
    picture.Clear(0xFF336699);
    TCropView v;
    v.Open(picture, {250, 150, 400, 260}, 723, 450);
    EXPECT_EQ(v.Zoom(), 100);
    // the band reaches past the picture: only its part on the picture clears
    EXPECT_EQ(v.ClearRect(), (TRect{250, 150, 300, 200}));
    const TBitmap32& veil = v.VeilLayer->Veil;
    auto alpha = [&](int x, int y) { return AlphaOf(veil.Pixel(x, y)); };
    EXPECT_EQ(alpha(250, 150), 0);
    EXPECT_EQ(alpha(299, 199), 0);
    EXPECT_EQ(alpha(249, 150), 220);
    // moves and resizes keep the veil exactly what a fresh one would be
    for (const TFloatRect r :
         {TFloatRect{10, 20, 120, 90}, TFloatRect{60.4f, 40.6f, 130, 95}, TFloatRect{-50, -50, 30, 20},
          TFloatRect{400, 10, 500, 20}, TFloatRect{0, 0, 300, 200}}) {
        v.Band->SetLocation(r);
        v.UpdateVeil();
        const TRect clear = Intersect(RoundRect(r), {0, 0, 300, 200});
        int wrong = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x) wrong += alpha(x, y) != (clear.Contains(x, y) ? 0 : 220);
        EXPECT_EQ(wrong, 0) << r.Left << "," << r.Top;
    }
    // the zoom track bar's positions size the view; the cut is the band
    v.SetZoom(250); // 200 at most
    EXPECT_EQ(v.Zoom(), 200);
    EXPECT_EQ(v.Screen.Width(), 723); // smaller than the view area: the control fills it
    EXPECT_EQ(v.Screen.Height(), 450);
    v.SetViewSize(500, 300);
    EXPECT_EQ(v.Screen.Width(), 600);
    EXPECT_EQ(v.Screen.Height(), 400);
    v.Band->SetLocation({-20.4f, 10, 150.6f, 90});
    EXPECT_EQ(v.CutRect(), (TRect{-20, 10, 151, 90}));
}

TEST(Crop, TargetAndTheCutAsOneStep) {
    TEditorFixture f;
    TNewRotLayer* below = f.AddLayer({100, 100, 300, 200});
    TNewRotLayer* over = f.AddLayer({400, 100, 600, 200}, itPhoto, 200, 100, 0xFFCC3333);
    f.Editor.SelectLayer(below);
    EXPECT_EQ(CropTarget(f.Editor, nullptr), below);
    f.Paint();
    const TPoint onOver{500, 150}, onNothing{50, 600};
    EXPECT_EQ(CropTarget(f.Editor, &onOver), over);
    EXPECT_EQ(CropTarget(f.Editor, &onNothing), below);

    // a crop reaching left of the picture: a transparent band on the canvas
    over->SetShadowEnabled(true);
    ApplyCrop(f.Editor, *over, {-100, 0, 100, 100});
    EXPECT_EQ(StepRecords(f.Doc, THistoryKind::SetCrop), 1);
    EXPECT_TRUE(f.Doc.Modified);
    TBitmap32 page;
    ASSERT_TRUE(f.Doc.RenderCollage(page));
    EXPECT_EQ(page.Pixel(420, 150), 0xFFFFFFFFu); // left half: the page shows through
    EXPECT_EQ(page.Pixel(580, 150), 0xFFCC3333u); // right half: the picture
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(over->ViewedRect, (TRect{0, 0, 200, 100}));
    ASSERT_TRUE(f.Doc.RenderCollage(page));
    EXPECT_EQ(page.Pixel(420, 150), 0xFFCC3333u);
}
