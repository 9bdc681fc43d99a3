// A user's road through the real main window: thumbnails double-clicked and
// dragged onto the canvas, masks, frames and borders, the keyboard
// shortcuts, undo and redo -- with the generated resource library.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDrag>
#include <QElapsedTimer>
#include <QLabel>
#include <QToolButton>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>

#include "app/ui/ImageScreenWidget.h"
#include "app/ui/MainForm.h"
#include "browser/ui/CategorySelector.h"
#include "browser/ui/PicFileList.h"
#include "browser/ui/PicPanel.h"
#include "browser/ui/SidePanel.h"
#include "common/TestSupport.h"
#include "editing/AddPictures.h"
#include "platform/Paths.h"

namespace {
template <class F> bool WaitFor(F done, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
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

// Drags the first cell of a list and drops it on the canvas at a view point;
// the drag moves across the canvas first so the drop target is outlined.
void DragToCanvas(TMainForm& form, TPicPanel* cell, QPoint at) {
    QWidget* target = form.ImageScreen->viewport();
    TPicPanel::DragRunner = [&](QDrag* drag) {
        QDragEnterEvent enter(at, Qt::CopyAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(at), Qt::CopyAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return Qt::CopyAction;
    };
    const QPoint p(20, 20);
    QTest::mousePress(cell->Image, Qt::LeftButton, {}, p);
    QMouseEvent move(QEvent::MouseMove, QPointF(p + QPoint(30, 30)), cell->Image->mapToGlobal(QPointF(p + QPoint(30, 30))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(cell->Image, &move);
    QTest::mouseRelease(cell->Image, Qt::LeftButton, {}, p + QPoint(30, 30));
    TPicPanel::DragRunner = nullptr;
}

TStartOptions Quiet() {
    TStartOptions o;
    o.ShowSplash = false;
    o.EnableStartTimer = false;
    return o;
}

struct TWorkflow : ::testing::Test {
    void SetUp() override {
        if (!FileExists(ResourceRoot() + "Masks/Circle/yuan13.msk")) GTEST_SKIP() << "no generated library";
        Form = std::make_unique<TMainForm>(Quiet());
        Form->resize(1200, 800);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Panel = Form->NotebookPanel;
        ASSERT_TRUE(WaitFor([&] { return Panel->PicFileListPhoto->Count() >= 3 && !Panel->PicFileListPhoto->Loading(); }));
    }
    void TearDown() override {
        if (Form) Form->Doc.SetModified(false);
    }
    std::vector<TNewRotLayer*> Content() {
        std::vector<TNewRotLayer*> out;
        for (int i = 0; i < Form->Doc.LayerCount(); ++i)
            if (TNewRotLayer* l = Form->Doc.ContentLayerAt(i)) out.push_back(l);
        return out;
    }
    void Key(int key, Qt::KeyboardModifiers m = {}) {
        QTest::keyClick(Form->ImageScreen->viewport(), Qt::Key(key), m);
    }
    std::unique_ptr<TMainForm> Form;
    TSidePanel* Panel = nullptr;
    TScriptedMessages Messages;
};
} // namespace

TEST_F(TWorkflow, PhotosByDoubleClickAndDragThenUndoAndRedo) {
    TPicFileList* photos = Panel->PicFileListPhoto;
    DoubleClick(photos->Cell(0)->Image, {20, 20});
    ASSERT_EQ(Content().size(), 1u);
    TNewRotLayer* first = Content()[0];
    EXPECT_EQ(first->ImageType, itPhoto);
    EXPECT_EQ(first->SourceFile, photos->Cell(0)->FileName());
    EXPECT_EQ(first->MaskName, kDefaultPhotoMask);
    ASSERT_NE(first->MaskPicture, nullptr);
    EXPECT_NE(first->Handles, nullptr); // the new layer is the selected one
    // it fits the page, never enlarged
    EXPECT_LE(first->Location.Width(), 1024.0f);
    EXPECT_LE(first->Location.Height(), 768.0f);
    EXPECT_TRUE(Form->MenuUnDo->isEnabled());
    EXPECT_EQ(Form->LabelSaved->text(), "Unsaved");

    // a photo dropped on the empty grey beside nothing: it is dropped where
    // the page starts, so place the first one out of the way first
    first->SetLocation({600, 400, 900, 600});
    first->RebuildScreenCache();
    Form->Doc.SyncHandles(*first);
    Form->Doc.ImageScreen.PaintTo(Form->ImageScreen->ViewBuffer()); // hit tests follow what is shown
    const TRect page = Form->Doc.ImageScreen.GetBitmapRect();
    DragToCanvas(*Form, photos->Cell(1), QPoint(page.Left + 10, page.Top + 10));
    ASSERT_EQ(Content().size(), 2u);
    TNewRotLayer* dropped = Content()[1];
    EXPECT_EQ(dropped->SourceFile, photos->Cell(1)->FileName());
    EXPECT_NEAR(dropped->Location.Left, 10 / Form->Doc.ImageScreen.Scale(), 1.0);

    // a photo dropped onto a photo replaces its picture and keeps its place
    Form->Doc.ImageScreen.PaintTo(Form->ImageScreen->ViewBuffer());
    const TFloatRect v = dropped->LocationToView(dropped->Location);
    const TFloatRect before = dropped->Location;
    DragToCanvas(*Form, photos->Cell(2), QPoint(int((v.Left + v.Right) / 2), int((v.Top + v.Bottom) / 2)));
    EXPECT_EQ(Content().size(), 2u);
    EXPECT_EQ(dropped->SourceFile, photos->Cell(2)->FileName());
    EXPECT_EQ(dropped->Location, before);
    EXPECT_TRUE(Form->ImageScreen->Outlines().empty()); // the drop outline is gone again

    // Ctrl+Z three times through the keyboard, then Ctrl+Shift+Z and Ctrl+Y
    Form->ImageScreen->viewport()->setFocus();
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(dropped->SourceFile, photos->Cell(1)->FileName());
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Content().size(), 1u);
    Key(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_EQ(Content().size(), 2u);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Content()[1]->SourceFile, photos->Cell(2)->FileName());
    EXPECT_NE(Content()[1]->MaskPicture, nullptr); // redo brings the default mask back
}

TEST_F(TWorkflow, MasksFramesBordersAndClipart) {
    DoubleClick(Panel->PicFileListPhoto->Cell(0)->Image, {20, 20});
    ASSERT_EQ(Content().size(), 1u);
    TNewRotLayer* photo = Content()[0];

    // a mask from the Mask page
    Form->findChild<QAbstractButton*>("ImageButtonMod")->click();
    ASSERT_TRUE(WaitFor([&] { return Panel->PicFileListMask->Count() > 1 && !Panel->PicFileListMask->Loading(); }));
    TPicPanel* mask = Panel->PicFileListMask->Cell(1);
    DoubleClick(mask->Image, {20, 20});
    const std::string expected = Panel->MaskTypeSelector->CurrentCategory() + "\\" + ExtractFileName(mask->FileName());
    EXPECT_EQ(photo->MaskName, expected);

    // a border frame, then a second one, and undo brings the first back
    Form->findChild<QAbstractButton*>("ImageButtonBorder")->click();
    TPicFileList* frames = Panel->PicFileListFrame;
    ASSERT_TRUE(WaitFor([&] { return frames->Count() > 1 && !frames->Loading(); }));
    DoubleClick(frames->Cell(0)->Image, {20, 20});
    ASSERT_NE(Form->Doc.BorderLayer, nullptr);
    const std::string firstBorder = Form->Doc.BorderLayer->SourceFile;
    DoubleClick(frames->Cell(1)->Image, {20, 20});
    EXPECT_NE(Form->Doc.BorderLayer->SourceFile, firstBorder);
    EXPECT_EQ(Content().back(), Form->Doc.BorderLayer); // kept above the content
    EXPECT_EQ(Form->Doc.BorderLayer->Location, (TFloatRect{0, 0, 1024, 768}));
    Form->MenuUnDo->trigger();
    EXPECT_EQ(Form->Doc.BorderLayer->SourceFile, firstBorder);

    // clipart goes below the border
    Form->findChild<QAbstractButton*>("ImageButtonAddClipart")->click();
    TPicFileList* cliparts = Panel->PicFileListClipart;
    ASSERT_TRUE(WaitFor([&] { return cliparts->Count() > 0 && !cliparts->Loading(); }));
    DoubleClick(cliparts->Cell(0)->Image, {20, 20});
    const auto layers = Content();
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers[1]->ImageType, itClipart);
    EXPECT_EQ(layers[2], Form->Doc.BorderLayer);

    // Ctrl+A, Delete: the border stays, everything else goes; undo restores
    Form->ImageScreen->viewport()->setFocus();
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Content().size(), 1u);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Content().size(), 3u);
    EXPECT_EQ(Content()[2], Form->Doc.BorderLayer);
    EXPECT_TRUE(Messages.Errors.empty());
}
