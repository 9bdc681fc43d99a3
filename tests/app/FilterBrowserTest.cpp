// The filter browser through the real window: the thumbnails following the
// selected photo, filters applied at once by a double-click, the parameter
// page's preview with Cancel and Apply, undo and redo, a language switch,
// and "Del Filter".
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <random>

#include "app/ui/ImageScreenWidget.h"
#include "app/ui/MainForm.h"
#include "browser/ui/FilterList.h"
#include "browser/ui/SidePanel.h"
#include "common/TestSupport.h"
#include "engine/PictureUtils.h"
#include "filters/ui/FilterParamPage.h"
#include "language/Language.h"
#include "platform/Paths.h"

namespace {
TStartOptions Quiet() {
    TStartOptions o;
    o.ShowSplash = false;
    o.EnableStartTimer = false;
    return o;
}

void DoubleClick(QWidget* w, QPoint p) {
    QTest::mouseClick(w, Qt::LeftButton, {}, p);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &dbl);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// A photo-like picture: gradients with a little noise.
TBitmap32 PhotoPicture(int w, int h, uint32_t seed) {
    TBitmap32 b(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y,
                       Color32(uint8_t(x * 255 / w + rng() % 9), uint8_t(y * 255 / h),
                               uint8_t((x + y + seed * 40) % 256)));
    return b;
}

TBitmap32 Filtered(const TBitmap32& src, FilterProc f, const FilterParams& params = {}) {
    TBitmap32 out;
    out.Assign(src);
    f(out, params);
    return out;
}

bool Same(const TBitmap32& a, const TBitmap32& b) {
    return MaxChannelDiff(a, b) == 0;
}

struct TFilterBrowser : ::testing::Test {
    void SetUp() override {
        Form = std::make_unique<TMainForm>(Quiet());
        Form->resize(1200, 800);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        SetMessageService(&Messages); // the window installed its own boxes
        Panel = Form->NotebookPanel;
        List = Panel->FilterListPanel;
        Page = Panel->FilterParams;
        // the "Modify" page, then its "Filter" button
        QTest::mouseClick(Form->findChild<QToolButton*>("ImageButtonMod"), Qt::LeftButton);
        QTest::mouseClick(Panel->ImageButtonFilter, Qt::LeftButton);
    }
    void TearDown() override {
        if (Form) Form->Doc.SetModified(false);
    }
    // A photo with its file (PNG) placed on the page, as the adding commands
    // place one.
    TNewRotLayer* AddPhoto(int w, int h, uint32_t seed, const TFloatRect& where, bool withFile = true) {
        TCollageDocument& doc = Form->Doc;
        TBitmap32 picture = PhotoPicture(w, h, seed);
        std::string file;
        if (withFile) {
            file = Dir + "/photo" + std::to_string(seed) + ".png";
            SavePNG32(file, picture, false, 1, 0xFFFFFF, true);
            EXPECT_TRUE(LoadPicture32(file, picture));
        }
        TUpdateScope<TImage32> update(doc.ImageScreen);
        auto* l = doc.Layers().Add<TNewRotLayer>();
        l->Picture.Assign(picture);
        l->Picture.DrawMode = TDrawMode::Blend;
        l->Picture.Resampler = TResamplerKind::Linear;
        l->ImageType = itPhoto;
        l->SourceFile = file;
        l->SetLocation(where);
        l->SetPictureCenter({w / 2.0f, h / 2.0f});
        l->SetScaled(true);
        l->AlphaHit = true;
        l->SetViewedRect({0, 0, w, h});
        l->RebuildScreenCache();
        return l;
    }
    // A click on the canvas in the middle of the layer.
    void Pick(TNewRotLayer* l) {
        QWidget* view = Form->ImageScreen->viewport();
        view->repaint();
        const TRect r = l->ViewRectRounded();
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    }
    void DoubleClickFilter(int index) { DoubleClick(List->Filters()[size_t(index)].Cell->Image, {40, 30}); }
    int Steps() {
        int n = 0;
        TUnReDo& h = Form->Doc.UndoHistory;
        for (int i = h.Oldest(); i != h.Current(); i = (i + 1) % TUnReDo::kSlots) ++n;
        return n;
    }
    std::unique_ptr<TMainForm> Form;
    TSidePanel* Panel = nullptr;
    TFilterList* List = nullptr;
    TFilterParamPage* Page = nullptr;
    std::string Dir = MakeTempDir();
    TScriptedMessages Messages;
};
} // namespace

TEST_F(TFilterBrowser, ThumbnailsFollowThePhotoAndSixFiltersApplyAtOnce) {
    ASSERT_EQ(Panel->NotebookMod->CurrentPage(), "Filter");
    // thirteen 80 x 80 cells in table order at the grid's placement
    ASSERT_EQ(List->Filters().size(), 13u);
    const int columns = std::max(1, (List->ScrollBox()->width() + 40) / 82);
    for (int k = 0; k < 13; ++k) {
        const TPicPanel* cell = List->Filters()[size_t(k)].Cell;
        EXPECT_EQ(cell->size(), QSize(80, 80));
        EXPECT_EQ(cell->pos(), QPoint(k % columns * 82 + 2, k / columns * 92 + 2)) << k;
        EXPECT_EQ(cell->FileName(), FilterNames()[size_t(k)]);
        EXPECT_EQ(cell->Tag, k + 1);
    }
    EXPECT_EQ(List->Filters()[1].Cell->Caption(), "Brightness\nand Contrast");

    // only a text layer selected: a double-click changes and records nothing
    TNewRotLayer* text = AddPhoto(50, 20, 1, {600, 500, 700, 540}, false);
    text->ImageType = itText;
    const TBitmap32 textBefore = text->Picture;
    Pick(text);
    DoubleClickFilter(fiGray);
    EXPECT_TRUE(Same(text->Picture, textBefore));
    EXPECT_EQ(Steps(), 0);
    EXPECT_FALSE(Form->Doc.Modified);

    // a 4000 x 3000 photo: 80 x 60 thumbnails, a 237 x 178 preview
    TNewRotLayer* big = AddPhoto(4000, 3000, 2, {20, 20, 420, 320}, false);
    Pick(big);
    EXPECT_EQ(List->SourceBmp().Width(), 80);
    EXPECT_EQ(List->SourceBmp().Height(), 60);
    EXPECT_TRUE(Same(List->SourceBmp(), ThumbnailSource(big->Picture)));
    DoubleClickFilter(fiMosaic);
    EXPECT_EQ(Panel->NotebookMod->CurrentPage(), "Filter Parameter");
    EXPECT_EQ(Page->Image32FilterPhoto->Picture().Width(), 237);
    EXPECT_EQ(Page->Image32FilterPhoto->Picture().Height(), 178);
    QTest::mouseClick(Page->suiButtonCancel, Qt::LeftButton);
    Form->Editor.DeselectAll();
    Form->Doc.Layers().Delete(Form->Doc.Layers().IndexOf(big));

    // a 60 x 40 photo keeps its size in both
    TNewRotLayer* photo = AddPhoto(60, 40, 3, {450, 100, 570, 180});
    const TBitmap32 original = photo->Picture;
    Pick(photo);
    EXPECT_EQ(List->SourceBmp().Width(), 60);
    EXPECT_EQ(List->SourceBmp().Height(), 40);

    // Gray at once, with the thumbnails made from the grey photo; undo, redo
    DoubleClickFilter(fiGray);
    EXPECT_EQ(Panel->NotebookMod->CurrentPage(), "Filter");
    const TBitmap32 gray = Filtered(original, GrayFilter);
    EXPECT_TRUE(Same(photo->Picture, gray));
    EXPECT_TRUE(photo->PictureEdited);
    EXPECT_TRUE(Same(List->SourceBmp(), ThumbnailSource(gray)));
    EXPECT_EQ(Steps(), 1);
    EXPECT_TRUE(Form->Doc.Modified);
    EXPECT_TRUE(Form->MenuUnDo->isEnabled());
    Form->Editor.MenuUnDoClick();
    EXPECT_TRUE(Same(photo->Picture, original));
    EXPECT_FALSE(photo->PictureEdited);
    EXPECT_TRUE(Same(List->SourceBmp(), ThumbnailSource(original))); // the thumbnails follow undo
    Form->Editor.MenuReDoClick();
    EXPECT_TRUE(Same(photo->Picture, gray));

    // in German the cells read German and a double-click still runs its filter
    Form->LanguageItemClick(0);
    ASSERT_EQ(Lang("Inverse"), "Negativ");
    EXPECT_EQ(List->Filters()[fiInverse].Cell->Caption(), "Negativ");
    DoubleClickFilter(fiInverse);
    EXPECT_TRUE(Same(photo->Picture, Filtered(gray, InverseFilter)));
    // the step before shares its picture with this one
    TUnReDo& h = Form->Doc.UndoHistory;
    auto* last = dynamic_cast<TPictureRecord*>(h.Slot(h.Current()).Records.at(0).get());
    auto* previous = dynamic_cast<TPictureRecord*>(h.Slot(h.Current() - 1).Records.at(0).get());
    ASSERT_TRUE(last && previous);
    EXPECT_EQ(last->Before.Picture, previous->After.Picture);
    Form->LanguageItemClick(-1);
    EXPECT_EQ(List->Filters()[fiInverse].Cell->Caption(), "Inverse");
}

TEST_F(TFilterBrowser, ParameterPagePreviewsLiveAndOnlyApplyTouchesThePhoto) {
    TNewRotLayer* photo = AddPhoto(120, 90, 4, {100, 100, 340, 280});
    const TBitmap32 original = photo->Picture;
    Pick(photo);

    // Mosaic: one range bar from 1, the preview following it
    DoubleClickFilter(fiMosaic);
    ASSERT_EQ(Panel->NotebookMod->CurrentPage(), "Filter Parameter");
    EXPECT_EQ(Page->LabelFilter->text(), "Mosaic");
    QSlider* bar = Page->TrackBarParam[0];
    EXPECT_FALSE(bar->isHidden());
    EXPECT_TRUE(Page->TrackBarParam[1]->isHidden() && Page->TrackBarParam[2]->isHidden());
    EXPECT_TRUE(Page->CheckBoxParam1->isHidden());
    EXPECT_EQ(Page->LabelParam[0]->text(), "Range");
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(bar->pageStep(), 2);
    const TBitmap32 backup = Form->FilterPreview.FilterBackup;
    EXPECT_EQ(backup.Width(), 120); // never enlarged
    EXPECT_TRUE(Same(Page->Image32FilterPhoto->Picture(), backup));
    bar->setValue(10);
    EXPECT_TRUE(Same(Page->Image32FilterPhoto->Picture(), Filtered(backup, MosaicFilter, {{-1, 10, 0, 0}})));
    QTest::mouseClick(Page->suiButtonCancel, Qt::LeftButton);
    EXPECT_EQ(Panel->NotebookMod->CurrentPage(), "Filter");
    EXPECT_TRUE(Same(photo->Picture, original));
    EXPECT_EQ(Steps(), 0);

    // Apply filters the photo itself in blocks of 10 of its own pixels
    DoubleClickFilter(fiMosaic);
    Page->TrackBarParam[0]->setValue(10);
    const int busyBefore = Messages.BusyStarts;
    QTest::mouseClick(Page->suiButtonApply, Qt::LeftButton);
    EXPECT_GT(Messages.BusyStarts, busyBefore); // the busy pointer while it runs
    const TBitmap32 mosaic = Filtered(original, MosaicFilter, {{-1, 10, 0, 0}});
    EXPECT_TRUE(Same(photo->Picture, mosaic));
    EXPECT_EQ(Panel->NotebookMod->CurrentPage(), "Filter");
    EXPECT_EQ(Steps(), 1);
    Form->Editor.MenuUnDoClick();
    EXPECT_TRUE(Same(photo->Picture, original));
    Form->Editor.MenuReDoClick();
    EXPECT_TRUE(Same(photo->Picture, mosaic));

    // brightness 0 and contrast 1 preview the photo unchanged
    DoubleClickFilter(fiBrightnessContrast);
    EXPECT_EQ(Page->TrackBarParam[0]->value(), 0);
    EXPECT_EQ(Page->TrackBarParam[1]->value(), 1);
    EXPECT_EQ(Page->LabelParam[1]->text(), "Contrast");
    EXPECT_TRUE(Same(Page->Image32FilterPhoto->Picture(), Form->FilterPreview.FilterBackup));
    // Saturation starts at 100, labelled with the filter's name
    DoubleClickFilter(fiSaturation);
    EXPECT_EQ(Page->TrackBarParam[0]->value(), 100);
    EXPECT_EQ(Page->LabelParam[0]->text(), "Saturation");
    // the page follows undo: the preview is rebuilt from the photo
    Form->Editor.MenuUnDoClick();
    EXPECT_TRUE(Same(Form->FilterPreview.FilterBackup, original));
    QTest::mouseClick(Page->suiButtonCancel, Qt::LeftButton);
    // Sketch twice in a row shows the sketch both times; unchecked it is gray
    for (int i = 0; i < 2; ++i) {
        DoubleClickFilter(fiSketch);
        EXPECT_FALSE(Page->CheckBoxParam1->isHidden());
        EXPECT_TRUE(Page->CheckBoxParam1->isChecked());
        EXPECT_TRUE(
            Same(Page->Image32FilterPhoto->Picture(), Filtered(original, SketchFilter, {{-1, 0, 0, 0}})));
        QTest::mouseClick(Page->suiButtonCancel, Qt::LeftButton);
    }
    DoubleClickFilter(fiSketch);
    QTest::mouseClick(Page->CheckBoxParam1, Qt::LeftButton, {},
                      QPoint(8, Page->CheckBoxParam1->height() / 2));
    ASSERT_FALSE(Page->CheckBoxParam1->isChecked());
    EXPECT_TRUE(Same(Page->Image32FilterPhoto->Picture(), Filtered(original, SketchFilter)));
    QTest::mouseClick(Page->suiButtonApply, Qt::LeftButton);
    EXPECT_TRUE(Same(photo->Picture, Filtered(original, SketchFilter)));
}

TEST_F(TFilterBrowser, DelFilterReloadsTheFilesKeepsFlipsAndReportsAFailureOnce) {
    TNewRotLayer* a = AddPhoto(64, 48, 5, {100, 100, 228, 196});
    TNewRotLayer* b = AddPhoto(50, 50, 6, {400, 100, 500, 200});
    a->SetFlipH(true);
    a->RebuildScreenCache();
    const TBitmap32 fileA = a->Picture, fileB = b->Picture;
    const TBitmap32 shownA = a->ScreenPicture, shownB = b->ScreenPicture;

    // two filters on each photo
    for (TNewRotLayer* l : {a, b}) {
        Pick(l);
        DoubleClickFilter(fiGray);
        DoubleClickFilter(fiBlur);
        QTest::mouseClick(Page->suiButtonApply, Qt::LeftButton);
    }
    EXPECT_FALSE(Same(a->Picture, fileA));
    Form->Editor.SelectLayer(a); // both selected
    const int steps = Steps();
    ASSERT_TRUE(Form->findChild<QAction*>("PMenuDelFilter")->isEnabled());
    Form->findChild<QAction*>("PMenuDelFilter")->trigger();
    EXPECT_TRUE(Same(a->Picture, fileA)); // still mirrored
    EXPECT_TRUE(a->FlipH);
    EXPECT_TRUE(Same(b->Picture, fileB));
    EXPECT_FALSE(a->PictureEdited || b->PictureEdited);
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_TRUE(
        Same(List->SourceBmp(), ThumbnailSource(Form->Editor.TopmostSelectedLayer(itPhoto)->Picture)));
    // the canvas shows it at once
    EXPECT_TRUE(Same(a->ScreenPicture, shownA));
    EXPECT_TRUE(Same(b->ScreenPicture, shownB));
    Form->Editor.MenuUnDoClick();
    const TBitmap32 blurred = b->Picture;
    EXPECT_FALSE(Same(blurred, fileB));
    EXPECT_TRUE(a->PictureEdited);

    // b's file is gone: b keeps its picture, a is restored, one message
    ASSERT_TRUE(QFile::remove(QString::fromStdString(b->SourceFile)));
    Messages.Errors.clear();
    Form->findChild<QAction*>("PMenuDelFilter")->trigger();
    EXPECT_EQ(Messages.Errors.size(), 1u);
    EXPECT_NE(Messages.Errors.at(0).find(b->SourceFile), std::string::npos);
    EXPECT_TRUE(Same(b->Picture, blurred));
    EXPECT_TRUE(Same(a->Picture, fileA));
    TUnReDo& h = Form->Doc.UndoHistory;
    ASSERT_EQ(h.Slot(h.Current()).Records.size(), 1u); // only the photo that changed
    EXPECT_EQ(h.Slot(h.Current()).Records[0]->Position, Form->Editor.PositionOf(a));
}
