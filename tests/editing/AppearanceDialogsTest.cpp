// The crop, transparency and shadow windows driven through their widgets
// (offscreen).

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "document/EditorTestSupport.h"
#include "editing/AppearanceCommands.h"
#include "editing/ui/CropForm.h"
#include "editing/ui/ImageView.h"
#include "editing/ui/ShadowForm.h"
#include "editing/ui/TransForm.h"
#include "platform/ui/ColorBox.h"
#include "platform/ui/TrackBar.h"

namespace {
void Direct(const std::function<void()>& command) {
    command();
}

int StepCount(TCollageDocument& doc) {
    return doc.UndoHistory.Current();
}

void ChooseColor(TColorBox* box, const char* name) {
    const int i = box->findText(name);
    ASSERT_GE(i, 0) << name;
    box->setCurrentIndex(i);
    emit box->activated(i);
}
} // namespace

TEST(CropForm, StartsFittedResetsOnlyTheZoomAndCutsTheDraggedBand) {
    TEditorFixture f;
    TNewRotLayer* layer = f.AddLayer({100, 100, 400, 300}, itPhoto, 3000, 2000, 0xFF4080C0);
    TCropForm form(*layer);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.TrackBarScale->value(), 22);
    EXPECT_EQ(form.LabelScale->text(), "22%");
    form.TrackBarScale->setValue(50);
    EXPECT_EQ(form.LabelScale->text(), "50%");
    EXPECT_EQ(form.View.Screen.Width(), 1500);
    QTest::mouseClick(form.suiButtonReset, Qt::LeftButton);
    EXPECT_EQ(form.TrackBarScale->value(), 22);
    EXPECT_EQ(form.View.Band->Location(), (TFloatRect{0, 0, 3000, 2000}));

    // the picture (660 x 440 at 22 %) is centred in the 723 x 450 view:
    // drag the band's left edge 100 view pixels to the right
    QWidget* view = form.ImgViewScreen->viewport();
    const TRect shown = form.View.Screen.GetBitmapRect();
    const int midY = (shown.Top + shown.Bottom) / 2;
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(shown.Left, midY));
    QTest::mouseMove(view, QPoint(shown.Left + 50, midY));
    QTest::mouseMove(view, QPoint(shown.Left + 100, midY));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(shown.Left + 100, midY));
    const TRect band = form.View.CutRect();
    EXPECT_NEAR(band.Left, 455, 2);
    EXPECT_EQ(band.Right, 3000);
    // the chosen part shows clear, the rest darkened
    view->repaint();
    const TBitmap32& buffer = form.ImgViewScreen->ViewBuffer();
    const TColor32 dark = buffer.Pixel(shown.Left + 50, midY), clear = buffer.Pixel(shown.Left + 300, midY);
    EXPECT_EQ(clear, 0xFF4080C0u);
    EXPECT_LT(RedOf(dark) + GreenOf(dark) + BlueOf(dark),
              (RedOf(clear) + GreenOf(clear) + BlueOf(clear)) / 4);

    QTest::mouseClick(form.suiButtonCut, Qt::LeftButton);
    EXPECT_TRUE(form.Cut);
    EXPECT_EQ(form.Result, band);
}

TEST(TransForm, DragIsOneStepTypingAndKeysNone) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({10, 10, 210, 110});
    TNewRotLayer* b = f.AddLayer({300, 10, 500, 110});
    a->Picture.MasterAlpha = 128;
    for (TNewRotLayer* l : {a, b}) f.Editor.SelectLayer(l);
    TTransForm form(f.Editor, Direct);
    form.ShowFor(f.Editor.TopmostSelectedLayer(), QPoint(0, 0));
    form.SetTarget(a);
    EXPECT_EQ(form.suiTrackBarTrans->value(), 50);
    EXPECT_EQ(form.SpinEditTrans->value(), 50);

    const int steps = StepCount(f.Doc);
    TTrackBar* bar = form.suiTrackBarTrans;
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 2));
    bar->setValue(40); // dragged
    EXPECT_EQ(form.SpinEditTrans->value(), 40);
    EXPECT_EQ(b->Picture.MasterAlpha, 153); // live
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 2));
    EXPECT_EQ(StepCount(f.Doc), steps + 1);
    EXPECT_EQ(f.Doc.UndoHistory.Slot(StepCount(f.Doc)).Records.size(), 2u);

    form.SpinEditTrans->selectAll();
    QTest::keyClicks(form.SpinEditTrans, "70");
    EXPECT_EQ(bar->value(), 70);
    EXPECT_EQ(a->Picture.MasterAlpha, 76); // 76.5 rounds to even
    QTest::keyClick(bar, Qt::Key_PageDown);
    EXPECT_EQ(form.SpinEditTrans->value(), 72);
    EXPECT_EQ(StepCount(f.Doc), steps + 1);
    QTest::mouseClick(form.ImageButtonClose, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST(ShadowForm, ControlsActLiveCancelRestoresApplyRecords) {
    TEditorFixture f;
    std::vector<TNewRotLayer*> layers;
    for (int i = 0; i < 3; ++i) layers.push_back(f.AddLayer({10.0f + 250 * i, 10, 210.0f + 250 * i, 110}));
    for (TNewRotLayer* l : layers) f.Editor.SelectLayer(l);
    std::vector<TShadowValues> own;
    for (TNewRotLayer* l : layers) own.push_back(ShadowValuesOf(*l));
    {
        // a soft red shadow, then Cancel
        TShadowSession session(f.Editor);
        TShadowForm form(session, Direct);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        EXPECT_FALSE(form.CheckBoxSetShadow->isChecked()); // the topmost layer has no shadow
        EXPECT_FALSE(form.SpinEditOpacity->isEnabled());
        form.CheckBoxSetShadow->click();
        EXPECT_TRUE(form.SpinEditOpacity->isEnabled());
        form.suiTrackBarSmoothness->setValue(8);
        EXPECT_EQ(form.SpinEditSmoothness->value(), 8);
        ChooseColor(form.ColorBoxColor, "Red");
        for (TNewRotLayer* l : layers) {
            EXPECT_TRUE(l->ShadowOn);
            EXPECT_EQ(l->ShadowSmooth, 8);
            EXPECT_EQ(l->ShadowColor, 0xFFFF0000u);
        }
        form.close(); // the window's close button
        EXPECT_FALSE(form.Applied);
        for (size_t i = 0; i < layers.size(); ++i) EXPECT_EQ(ShadowValuesOf(*layers[i]), own[i]);
    }
    EXPECT_FALSE(f.Doc.Modified);
    {
        // a grey one, applied
        TShadowSession session(f.Editor);
        TShadowForm form(session, Direct);
        form.show();
        form.CheckBoxSetShadow->click();
        form.SpinEditOffsetX->setValue(-20);
        EXPECT_EQ(form.suiTrackBarOffsetX->value(), -20);
        ChooseColor(form.ColorBoxColor, "Gray");
        QTest::mouseClick(form.ButtonApply, Qt::LeftButton);
        EXPECT_TRUE(form.Applied);
    }
    for (TNewRotLayer* l : layers) {
        EXPECT_TRUE(l->ShadowOn);
        EXPECT_EQ(l->ShadowOffsetX, -20);
        EXPECT_EQ(l->ShadowColor, 0xFF808080u);
    }
    EXPECT_TRUE(f.Doc.Modified);
    f.Editor.MenuUnDoClick();
    for (size_t i = 0; i < layers.size(); ++i) EXPECT_EQ(ShadowValuesOf(*layers[i]), own[i]);
}
