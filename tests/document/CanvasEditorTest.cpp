#include <gtest/gtest.h>

#include "document/EditorTestSupport.h"
#include <QFile>
#include <QImage>

#include "engine/Errors.h"
#include "history/HistoryRecords.h"

TEST(CanvasEditor, PlainClickReplacesTheSelectionCtrlClickAddsToIt) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200});
    TNewRotLayer* b = f.AddLayer({500, 100, 700, 200});
    f.Click(150, 150);
    EXPECT_NE(a->Handles, nullptr);
    f.Click(550, 150, ssCtrl);
    EXPECT_NE(a->Handles, nullptr);
    EXPECT_NE(b->Handles, nullptr);
    EXPECT_EQ(f.Editor.SelectedLayers().size(), 2u);
    // a plain click on the empty page deselects everything
    f.Click(900, 700);
    EXPECT_EQ(a->Handles, nullptr);
    EXPECT_EQ(b->Handles, nullptr);
    EXPECT_EQ(f.Doc.LayerCount(), 2);
}

TEST(CanvasEditor, DragSelectRectangleSelectsTouchedLayersOnly) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200});
    TNewRotLayer* b = f.AddLayer({500, 100, 700, 200});
    TNewRotLayer* border = f.AddLayer({0, 0, 1024, 768}, itBorderFrame);
    f.Doc.BorderLayer = border;
    std::vector<std::vector<TPoint>> outlines;
    struct THost : TCanvasHost {
        int Toggles = 0;
        void ToggleOutline(const std::vector<TPoint>&, int) override { ++Toggles; }
    } host;
    f.Editor.Host = &host;
    // a rectangle whose right edge just touches a's right edge
    f.Drag(300, 50, 320, 400);
    EXPECT_NE(a->Handles, nullptr);
    EXPECT_EQ(b->Handles, nullptr);
    EXPECT_EQ(border->Handles, nullptr);
    EXPECT_EQ(host.Toggles % 2, 0); // every outline drawn is erased again
    EXPECT_FALSE(f.Editor.SelectBoxActive);
    // zero width selects nothing
    f.Drag(600, 50, 600, 400);
    EXPECT_EQ(b->Handles, nullptr);
}

TEST(CanvasEditor, GroupMoveCommitsAtReleaseAndReportsLockedLayers) {
    TScriptedMessages messages;
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200});
    TNewRotLayer* b = f.AddLayer({400, 100, 600, 200});
    TNewRotLayer* c = f.AddLayer({700, 100, 900, 200});
    c->Locked = true;
    f.Editor.SelectLayer(a);
    f.Editor.SelectLayer(b);
    f.Editor.SelectLayer(c);
    // grab a's move area away from the picture handle in its middle
    f.Drag(120, 120, 150, 170);
    EXPECT_FLOAT_EQ(a->Location.Left, 130);
    EXPECT_FLOAT_EQ(a->Location.Top, 150);
    EXPECT_FLOAT_EQ(b->Location.Left, 430);
    EXPECT_FLOAT_EQ(b->Location.Top, 150);
    EXPECT_FLOAT_EQ(c->Location.Left, 700); // locked: stays
    ASSERT_EQ(messages.Infos.size(), 1u);
    EXPECT_EQ(messages.Infos[0], "Some layers have been locked");
    EXPECT_TRUE(f.Doc.Modified);
    // one step with the two moved layers; undo puts them back
    EXPECT_EQ(f.Doc.UndoHistory.CurrentStep().Kind, THistoryKind::PlaceLayers);
    EXPECT_EQ(f.Doc.UndoHistory.CurrentStep().Records.size(), 2u);
    f.Editor.MenuUnDoClick();
    EXPECT_FLOAT_EQ(a->Location.Left, 100);
    EXPECT_FLOAT_EQ(b->Location.Top, 100);
    EXPECT_FLOAT_EQ(a->Handles->Location().Left, 100); // the handles follow
    f.Editor.MenuReDoClick();
    EXPECT_FLOAT_EQ(a->Location.Left, 130);
}

TEST(CanvasEditor, PressingALockedLayerWithoutMovingSaysItIsLocked) {
    TScriptedMessages messages;
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200});
    a->Locked = true;
    f.Editor.SelectLayer(a);
    f.Drag(120, 120, 160, 160);
    EXPECT_FLOAT_EQ(a->Location.Left, 100);
    ASSERT_EQ(messages.Infos.size(), 1u);
    EXPECT_EQ(messages.Infos[0], "The layer is locked!");
    EXPECT_FALSE(f.Doc.UndoHistory.CanUndo());
}

TEST(CanvasEditor, ResizeByCornerKeepsTheAspectAndRecordsIt) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200});
    f.Editor.SelectLayer(a);
    // bottom-right corner handle at (299, 199) dragged 100 px to the right
    f.Drag(299, 199, 399, 199);
    EXPECT_NEAR(a->Location.Width(), 300, 1.0);
    EXPECT_NEAR(a->Location.Height(), 150, 1.0);
    EXPECT_FLOAT_EQ(a->Location.Left, 100);
    EXPECT_FLOAT_EQ(a->Location.Top, 100);
    f.Editor.MenuUnDoClick();
    EXPECT_FLOAT_EQ(a->Location.Width(), 200);
    EXPECT_FLOAT_EQ(a->Location.Height(), 100);

    // the same drag with the right button moves the outline but is no
    // command: at the release the outline is back on the layer
    f.Paint();
    f.Doc.ImageScreen.MouseDown(TMouseButton::Right, ssRight, 299, 199);
    f.Doc.ImageScreen.MouseMove(ssRight, 349, 199);
    f.Doc.ImageScreen.MouseMove(ssRight, 399, 199);
    EXPECT_GT(a->Handles->Location().Width(), 250);
    f.Doc.ImageScreen.MouseUp(TMouseButton::Right, 0, 399, 199);
    EXPECT_EQ(a->Handles->Location(), a->Location);
    EXPECT_FLOAT_EQ(a->Location.Width(), 200);
    EXPECT_FALSE(a->Handles->HandleFlags() & hfFrame);
    EXPECT_TRUE(f.Doc.UndoHistory.CanRedo()); // nothing recorded over the undone resize
}

TEST(CanvasEditor, RotateByTheHandleCommitsTheAngle) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200});
    f.Editor.SelectLayer(a);
    // the rotation handle sits 20 px above the top edge's middle
    f.Drag(200, 80, 400, 150); // to the right of the centre: 270 degrees
    EXPECT_FLOAT_EQ(a->Angle, 270);
    EXPECT_FLOAT_EQ(a->Handles->Angle(), 270);
    f.Editor.MenuUnDoClick();
    EXPECT_FLOAT_EQ(a->Angle, 0);
}

TEST(CanvasEditor, PanningMovesTheCropInTheRotatedFrame) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200}, itPhoto, 400, 200);
    f.Editor.SelectLayer(a);
    ASSERT_TRUE(a->Handles->HandleFlags() & hfPictureHandle);
    a->Handles->PictureHandle.SetSize(24, 24); // whatever picture the library's cursor.png has
    f.Drag(200, 150, 210, 150); // the picture handle in the middle, 10 px right
    // crop twice the box: 10 view px are 20 picture px, the picture follows the pointer
    EXPECT_EQ(a->ViewedRect, (TRect{-20, 0, 380, 200}));
    EXPECT_EQ(f.Doc.UndoHistory.CurrentStep().Kind, THistoryKind::SetCrop);
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 400, 200}));

    // rotated by 90 degrees, a drag to the right moves the crop along the
    // picture's own vertical axis
    TNewRotLayer* b = f.AddLayer({500, 300, 700, 400}, itPhoto, 200, 100);
    b->SetAngle(90);
    f.Editor.DeselectAll();
    f.Editor.SelectLayer(b);
    b->Handles->PictureHandle.SetSize(24, 24);
    f.Paint();
    f.Drag(600, 350, 610, 350);
    // theta = 90 deg (with 3.1415): du = cos·10 ~ 0, dv = sin·10 ~ 10
    EXPECT_EQ(b->ViewedRect.Left, 0);
    EXPECT_EQ(b->ViewedRect.Top, -10);
}

TEST(CanvasEditor, ContentZoomArithmetic) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 190, 190}, itPhoto, 90, 90);
    f.Editor.SelectLayer(a);
    f.Editor.SpeedButtonZoomInClick();
    EXPECT_EQ(a->ViewedRect, (TRect{2, 2, 88, 88})); // round(2.25) = 2: 86 wide
    EXPECT_FALSE(f.Doc.UndoHistory.CanUndo());      // zoom in records nothing
    a->SetViewedRect({0, 0, 19, 19});
    f.Editor.SpeedButtonZoomInClick();
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 19, 19})); // narrower than 20: d = 0
    a->SetViewedRect({0, 0, 20, 20});
    f.Editor.SpeedButtonZoomInClick();
    EXPECT_EQ(a->ViewedRect, (TRect{1, 1, 19, 19})); // the single-precision 0.05 gives 1 at 20
    a->SetViewedRect({0, 0, 6, 6});
    f.Editor.SpeedButtonZoomInClick();
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 6, 6}));
    a->SetViewedRect({0, 0, 90, 90});
    f.Editor.SpeedButtonZoomOutClick(); // grows past the picture and is recorded
    EXPECT_EQ(a->ViewedRect, (TRect{-2, -2, 92, 92}));
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 90, 90}));
}

TEST(CanvasEditor, DoubleClickReplacesAPlaceholderPicture) {
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    TEditorFixture f;
    TNewRotLayer* p = f.AddLayer({100, 100, 400, 200}, itPlaceholder, 10, 10, 0xFFFFFFFF);
    p->PlaceholderLine1 = "Double Click or";
    QImage photo(600, 400, QImage::Format_ARGB32);
    photo.fill(QColor(10, 200, 30));
    const std::string file = MakeTempDir() + "/green.png";
    ASSERT_TRUE(photo.save(QString::fromStdString(file)));
    dialogs.Results = {TFileDialogResult{file, 1}};
    f.Editor.SelectLayer(p);
    f.Editor.HandleDblClick(p->Handles);
    EXPECT_EQ(p->ImageType, itPhoto);
    EXPECT_EQ(p->SourceFile, file);
    EXPECT_EQ(p->Picture.Width(), 600);
    // AspectCut(600, 400, 300, 100): 600 x 200 -> crop (0, 0, 599, 199)
    EXPECT_EQ(p->ViewedRect, (TRect{0, 0, 599, 199}));
    EXPECT_EQ(p->Handles->LayerOptions, unsigned(loVisible));
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(p->ImageType, itPlaceholder);
    EXPECT_EQ(p->Picture.Width(), 10);
    EXPECT_EQ(p->SourceFile, "");
    f.Editor.MenuReDoClick();
    EXPECT_EQ(p->ImageType, itPhoto);
    EXPECT_EQ(p->Picture.Width(), 600);
    EXPECT_EQ(p->Picture.Pixel(5, 5), 0xFF0AC81Eu);
}

TEST(CanvasEditor, UnreadableReplacementLeavesTheLayerAsItWas) {
    TScriptedMessages messages;
    TScriptedDialogs dialogs;
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200});
    const std::string bad = MakeTempDir() + "/broken.png";
    {
        QFile q(QString::fromStdString(bad));
        ASSERT_TRUE(q.open(QIODevice::WriteOnly));
        q.write("\x89PNG\r\n\x1a\n garbage");
    }
    dialogs.Results = {TFileDialogResult{bad, 1}, TFileDialogResult{bad, 1}};
    f.Editor.SelectLayer(a);
    EXPECT_THROW(f.Editor.HandleDblClick(a->Handles), EUserError);
    EXPECT_EQ(a->Picture.Pixel(0, 0), 0xFF3366CCu);
    EXPECT_FALSE(f.Doc.UndoHistory.CanUndo());
    EXPECT_FALSE(f.Doc.ImageScreen.Layers.Updating());
    // as the canvas delivers it, through the handles' callback, the failure
    // ends in the error box (the file and the reason on the second line)
    // and nothing escapes into the pointer routing
    EXPECT_NO_THROW(a->Handles->DblClick());
    ASSERT_EQ(messages.Errors.size(), 1u);
    const std::string head = std::string(kPictureReadFailed) + "\r" + bad + ": ";
    EXPECT_EQ(messages.Errors[0].substr(0, head.size()), head);
    EXPECT_EQ(a->Picture.Pixel(0, 0), 0xFF3366CCu);
}

TEST(History, RecordsForMissingLayersAreSkippedAndTheUpdateIsClosed) {
    TScriptedMessages messages;
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200});
    // a crop record for a position that holds nothing, and a mask whose file is gone
    f.Editor.OpenStep(THistoryKind::SetCrop);
    auto& crop = f.Doc.UndoHistory.Add<TCropRecord>(7);
    crop.Before = {1, 2, 3, 4};
    f.Editor.MenuUnDoClick();
    EXPECT_EQ(a->ViewedRect, (TRect{0, 0, 200, 100}));
    f.Editor.OpenStep(THistoryKind::SetMask);
    auto& mask = f.Doc.UndoHistory.Add<TNameRecord>(0);
    mask.Before = "Nowhere\\gone.msk";
    int repaints = 0;
    f.Doc.ImageScreen.Layers.OnChange = [&] { ++repaints; };
    f.Editor.MenuUnDoClick();
    EXPECT_FALSE(f.Doc.ImageScreen.Layers.Updating());
    EXPECT_GT(repaints, 0);
    EXPECT_EQ(messages.Errors.size(), 1u);
    EXPECT_EQ(a->MaskPicture, nullptr);
}
