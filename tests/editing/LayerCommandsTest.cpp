#include <gtest/gtest.h>

#include "document/EditorTestSupport.h"
#include "editing/LayerCommands.h"
#include "document/LayerOrder.h"

#include <map>

namespace {
// A named layer per letter, bottom to top; the name lives in Text.
struct TStack : TEditorFixture {
    std::map<char, TNewRotLayer*> L;
    explicit TStack(const std::string& names) {
        int x = 20;
        for (char c : names) {
            L[c] = AddLayer({float(x), 50, float(x + 100), 150}, itClipart, 20, 20, 0xFF000000u | (c * 0x010203));
            L[c]->Text = std::string(1, c);
            x += 120;
        }
    }
    void Select(const std::string& names) {
        for (char c : names) Editor.SelectLayer(L[c]);
    }
    // Content layers bottom to top, by name; '#' for the border, '*' for handles.
    std::string Order() const {
        std::string s;
        for (int i = 0; i < Doc.LayerCount(); ++i) {
            TNewRotLayer* l = Doc.ContentLayerAt(i);
            s += !l ? '*' : l == Doc.BorderLayer ? '#' : l->Text[0];
        }
        return s;
    }
};

TBitmap32 Render(TCollageDocument& doc) {
    TBitmap32 out;
    EXPECT_TRUE(doc.RenderCollage(out));
    return out;
}
bool Same(const TBitmap32& a, const TBitmap32& b) { return MaxChannelDiff(a, b) == 0; }
} // namespace

TEST(StackingCommands, OneStepUpAndToTheTop) {
    {
        TStack s("ABCD");
        s.Select("AC");
        MenuSendtoFrontClick(s.Editor);
        EXPECT_EQ(s.Order(), "BADC**");
        s.Editor.MenuUnDoClick();
        EXPECT_EQ(s.Order(), "ABCD**");
        s.Editor.MenuReDoClick();
        EXPECT_EQ(s.Order(), "BADC**");
    }
    {
        TStack s("ABCD");
        s.Select("AC");
        MenuLayerTopClick(s.Editor);
        EXPECT_EQ(s.Order(), "BDAC**");
        // the handles stay above the content, ordered like their layers
        const auto handles = s.Editor.HandlesLayers();
        ASSERT_EQ(handles.size(), 2u);
        EXPECT_EQ(handles[0]->EditedLayer(), s.L['A']);
        EXPECT_EQ(handles[1]->EditedLayer(), s.L['C']);
        s.Editor.MenuUnDoClick(); // the moves are undone in reverse order
        EXPECT_EQ(s.Order(), "ABCD**");
    }
}

TEST(StackingCommands, OneStepDownAndToTheBottom) {
    {
        TStack s("ABCD");
        s.Select("BD");
        MenuSendtoBackClick(s.Editor);
        EXPECT_EQ(s.Order(), "BADC**");
        s.Editor.MenuUnDoClick();
        EXPECT_EQ(s.Order(), "ABCD**");
    }
    {
        TStack s("ABCD");
        s.Select("BD");
        MenuLayerBottomClick(s.Editor);
        EXPECT_EQ(s.Order(), "BDAC**");
        s.Editor.MenuUnDoClick();
        EXPECT_EQ(s.Order(), "ABCD**");
    }
}

TEST(StackingCommands, LayersAlreadyOnTopOpenNoStep) {
    TStack s("ABC");
    s.Select("BC");
    MenuSendtoFrontClick(s.Editor);
    EXPECT_EQ(s.Order(), "ABC**");
    EXPECT_FALSE(s.Doc.UndoHistory.CanUndo());
    EXPECT_FALSE(s.Doc.Modified);
}

TEST(StackingCommands, LockedLayersStayWhileOthersMovePast) {
    TStack s("ABCD");
    s.L['C']->Locked = true;
    s.Select("AC");
    MenuLayerTopClick(s.Editor);
    EXPECT_EQ(s.Order(), "BCDA**");
}

TEST(StackingCommands, BorderEndsAboveContentAndBelowHandles) {
    TStack s("ABC");
    TNewRotLayer* border = s.AddLayer({0, 0, 1024, 768}, itBorderFrame, 10, 10, 0x80FFFFFF);
    border->Text = "#";
    s.Doc.BorderLayer = border;
    s.Doc.Layers().Move(s.Doc.Layers().IndexOf(border), 1); // below B and C
    s.Select("AB");
    for (auto command : {MenuSendtoFrontClick, MenuLayerTopClick, MenuSendtoBackClick, MenuLayerBottomClick}) {
        command(s.Editor);
        const std::string order = s.Order();
        EXPECT_EQ(order.find('#'), 3u) << order;
        EXPECT_EQ(order.substr(4), "**") << order;
    }
}

TEST(KeepBorderOnTop, RisesPastContentAndSinksBelowHandles) {
    TStack s("AB");
    TNewRotLayer* border = s.AddLayer({0, 0, 1024, 768}, itBorderFrame);
    border->Text = "#";
    s.Doc.BorderLayer = border;
    s.Select("A");
    s.Doc.Layers().Move(s.Doc.Layers().IndexOf(border), 0);
    KeepBorderOnTop(s.Doc);
    EXPECT_EQ(s.Order(), "AB#*");
    s.Doc.Layers().Move(s.Doc.Layers().IndexOf(border), 3);
    KeepBorderOnTop(s.Doc);
    EXPECT_EQ(s.Order(), "AB#*");
}

TEST(DeleteCommand, KeepsLockedLayersSelectedAndUndoRestoresPositions) {
    TStack s("ABCD");
    s.L['C']->Locked = true;
    s.Select("ABCD");
    const TBitmap32 before = Render(s.Doc);
    MenuDeleteClick(s.Editor);
    EXPECT_EQ(s.Order(), "C*");
    EXPECT_NE(s.L['C']->Handles, nullptr);
    EXPECT_TRUE(s.Doc.Modified);
    s.Editor.MenuUnDoClick();
    EXPECT_EQ(s.Order(), "ABCD****");
    EXPECT_TRUE(Same(Render(s.Doc), before));
    s.Editor.MenuReDoClick();
    EXPECT_EQ(s.Order(), "C*");
}

TEST(ClipboardCommands, CopyDeletePasteBringsTheLayersBackOffset) {
    TStack s("ABC");
    TNewRotLayer* border = s.AddLayer({0, 0, 1024, 768}, itBorderFrame, 10, 10, 0x40FFFFFF);
    border->Text = "#";
    s.Doc.BorderLayer = border;
    s.Select("CA");
    TLayerClipboard clip;
    MenuCopyClick(s.Editor, clip);
    ASSERT_EQ(clip.Entries.size(), 2u);
    EXPECT_EQ(clip.Entries[0].Text, "A"); // lowest first
    MenuDeleteClick(s.Editor);
    EXPECT_EQ(s.Order(), "B#");
    MenuPasteClick(s.Editor, clip);
    EXPECT_EQ(s.Order(), "BAC#**");
    const auto sel = s.Editor.SelectedLayers();
    ASSERT_EQ(sel.size(), 2u);
    EXPECT_EQ(sel[0]->Text, "A");
    EXPECT_FLOAT_EQ(sel[0]->Location.Left, 25);
    EXPECT_FLOAT_EQ(sel[0]->Location.Top, 55);
    EXPECT_FLOAT_EQ(sel[1]->Location.Left, 265);
    // pasting again starts from the copied places
    MenuPasteClick(s.Editor, clip);
    EXPECT_FLOAT_EQ(s.Editor.SelectedLayers()[0]->Location.Left, 25);
    // undo of a paste removes the pasted layers and their handles
    s.Editor.MenuUnDoClick();
    EXPECT_EQ(s.Order(), "BAC#");
}

TEST(ClipboardCommands, PasteNearTheFarEdgeKeepsTheCopiedPlace) {
    TStack s("A");
    // the control is the page and a margin of 32 on each side: 1088 wide
    s.L['A']->SetLocation({1035, 100, 1060, 120}); // 1035 + 5 = 1040 >= 1088 - 50
    s.Select("A");
    TLayerClipboard clip;
    MenuCopyClick(s.Editor, clip);
    MenuPasteClick(s.Editor, clip);
    EXPECT_FLOAT_EQ(s.Editor.SelectedLayers()[0]->Location.Left, 1035);
}

TEST(ClipboardCommands, FlippedPhotoPastesMirroredWithFlipOff) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200}, itPhoto, 4, 2);
    a->Picture.SetPixel(0, 0, 0xFFFF0000);
    f.Editor.SelectLayer(a);
    SpeedButtonFlipHClick(f.Editor);
    EXPECT_TRUE(a->FlipH);
    EXPECT_EQ(a->Picture.Pixel(3, 0), 0xFFFF0000u);
    TLayerClipboard clip;
    MenuCopyClick(f.Editor, clip);
    MenuPasteClick(f.Editor, clip);
    TNewRotLayer* copy = f.Editor.SelectedLayers()[0];
    ASSERT_NE(copy, a);
    EXPECT_FALSE(copy->FlipH);
    EXPECT_EQ(copy->Picture.Pixel(3, 0), 0xFFFF0000u);
}

TEST(LayerCommands, FourQuarterTurnsAndUndo) {
    TStack s("AB");
    s.Select("A");
    for (int i = 0; i < 4; ++i) PMenuRotate90Click(s.Editor);
    EXPECT_FLOAT_EQ(s.L['A']->Angle, -360);
    EXPECT_FLOAT_EQ(s.L['B']->Angle, 0);
    EXPECT_FLOAT_EQ(s.L['A']->Handles->Angle(), 0); // the handles keep [0, 360)
    s.Editor.MenuUnDoClick();
    EXPECT_FLOAT_EQ(s.L['A']->Angle, -270);
    // a turn or a delete that changes nothing (no selection, only locked
    // layers) records nothing: no empty Undo, and the Redo stays
    s.Editor.DeselectAll();
    PMenuRotate90Click(s.Editor);
    s.L['B']->Locked = true;
    s.Select("B");
    PMenuRotate90Click(s.Editor);
    MenuDeleteClick(s.Editor);
    EXPECT_FLOAT_EQ(s.L['B']->Angle, 0);
    EXPECT_EQ(s.Order(), "AB*");
    ASSERT_TRUE(s.Doc.UndoHistory.CanRedo());
    s.Editor.MenuReDoClick();
    EXPECT_FLOAT_EQ(s.L['A']->Angle, -360);
}

TEST(LayerCommands, FlipUndoRedoRoundTripsThePixels) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200}, itPhoto, 4, 2);
    a->Picture.SetPixel(1, 1, 0xFF00FF00);
    a->SetViewedRect({1, 0, 3, 2});
    f.Editor.SelectLayer(a);
    const TBitmap32 before = Render(f.Doc);
    SpeedButtonFlipVClick(f.Editor);
    EXPECT_EQ(a->Picture.Pixel(1, 0), 0xFF00FF00u);
    const TBitmap32 after = Render(f.Doc);
    EXPECT_FALSE(Same(after, before));
    f.Editor.MenuUnDoClick();
    EXPECT_FALSE(a->FlipV);
    EXPECT_EQ(a->ViewedRect, (TRect{1, 0, 3, 2}));
    EXPECT_TRUE(Same(Render(f.Doc), before));
    f.Editor.MenuReDoClick();
    EXPECT_TRUE(Same(Render(f.Doc), after));
}

TEST(LayerCommands, ARunOfNudgesIsOneUndoableStep) {
    TStack s("ABC");
    s.L['A']->SetViewedRect({2, 3, 12, 13});
    s.Select("AB");
    NudgeSelection(s.Editor, 1, 0);
    NudgeSelection(s.Editor, 0, -1);
    NudgeSelection(s.Editor, 1, 0);
    EXPECT_FLOAT_EQ(s.L['A']->Location.Left, 22);
    EXPECT_FLOAT_EQ(s.L['A']->Location.Top, 49);
    EXPECT_FLOAT_EQ(s.L['A']->Handles->Location().Left, 22);
    EXPECT_EQ(s.L['A']->ViewedRect, (TRect{2, 3, 12, 13})); // moved as it is
    EXPECT_FLOAT_EQ(s.L['C']->Location.Left, 260);
    EXPECT_TRUE(s.Doc.Modified);
    // the run is one placement step of the two layers: one Undo takes it back
    EXPECT_EQ(s.Doc.UndoHistory.CurrentStep().Kind, THistoryKind::PlaceLayers);
    EXPECT_EQ(s.Doc.UndoHistory.CurrentStep().Records.size(), 2u);
    s.Editor.MenuUnDoClick();
    EXPECT_FLOAT_EQ(s.L['A']->Location.Left, 20);
    EXPECT_FLOAT_EQ(s.L['B']->Location.Top, 50);
    EXPECT_FALSE(s.Doc.UndoHistory.CanUndo());
    s.Editor.MenuReDoClick();
    EXPECT_FLOAT_EQ(s.L['B']->Location.Left, 142);
    // after the redo, another selection or another command, a nudge starts a new step
    NudgeSelection(s.Editor, 0, 1);
    s.Editor.DeselectAll();
    s.Select("C");
    NudgeSelection(s.Editor, -1, 0);
    SpeedButtonFlipHClick(s.Editor);
    NudgeSelection(s.Editor, -1, 0);
    s.Editor.MenuUnDoClick(); // the last nudge
    s.Editor.MenuUnDoClick(); // the flip
    EXPECT_FLOAT_EQ(s.L['C']->Location.Left, 259);
    s.Editor.MenuUnDoClick();
    EXPECT_FLOAT_EQ(s.L['C']->Location.Left, 260);
    EXPECT_FLOAT_EQ(s.L['A']->Location.Top, 50);
    s.Editor.MenuUnDoClick();
    EXPECT_FLOAT_EQ(s.L['A']->Location.Top, 49);
    EXPECT_FLOAT_EQ(s.L['A']->Location.Left, 22);
    // nothing selected: nothing moves and nothing is recorded
    s.Editor.DeselectAll();
    s.Doc.SetModified(false);
    NudgeSelection(s.Editor, 1, 0);
    EXPECT_FALSE(s.Doc.Modified);
    EXPECT_TRUE(s.Doc.UndoHistory.CanRedo());
}

TEST(LayerCommands, SelectAllSkipsTheBorder) {
    TStack s("AB");
    s.L['B']->Locked = true;
    TNewRotLayer* border = s.AddLayer({0, 0, 1024, 768}, itBorderFrame);
    s.Doc.BorderLayer = border;
    MenuSelectAllClick(s.Editor);
    EXPECT_NE(s.L['A']->Handles, nullptr);
    EXPECT_NE(s.L['B']->Handles, nullptr);
    EXPECT_EQ(border->Handles, nullptr);
}

TEST(History, LongStringsComeBackWhole) {
    TEditorFixture f;
    TNewRotLayer* a = f.AddLayer({100, 100, 300, 200}, itText);
    const std::string text = std::string(300, 'x') + "end";
    const std::string source = "/" + std::string(280, 'd') + "/photo.jpg";
    a->Text = text;
    a->SourceFile = source;
    f.Editor.SelectLayer(a);
    MenuDeleteClick(f.Editor);
    f.Editor.MenuUnDoClick();
    // the layer comes back as a new object (perhaps at the old address)
    const TNewRotLayer* back = f.Editor.SelectedLayers().at(0);
    EXPECT_EQ(back->Text, text);
    EXPECT_EQ(back->SourceFile, source);
}

TEST(PopupMenu, ItemsFollowTheSelectionAndTheLayerUnderThePointer) {
    TStack s("AB");
    TLayerClipboard clip;
    s.Paint();
    TPopupItems none = PopupMenuMainPopup(s.Editor, clip, 500, 500);
    EXPECT_EQ(none, TPopupItems{});
    s.L['A']->ImageType = itPhoto;
    s.L['B']->Locked = true;
    s.Select("AB");
    s.Paint();
    TPopupItems overA = PopupMenuMainPopup(s.Editor, clip, 60, 100);
    EXPECT_TRUE(overA.Cut && overA.Copy && overA.Crop && overA.ChangePhoto && overA.Rotate90 && overA.Layer);
    EXPECT_TRUE(overA.DelFilter);
    EXPECT_FALSE(overA.Paste || overA.DelMask || overA.DelBorder || overA.SetShadow);
    TPopupItems overLocked = PopupMenuMainPopup(s.Editor, clip, 180, 100);
    EXPECT_FALSE(overLocked.Crop || overLocked.ChangePhoto);
    EXPECT_TRUE(overLocked.Delete);
    MenuCopyClick(s.Editor, clip);
    TPopupItems empty = PopupMenuMainPopup(s.Editor, clip, 900, 700);
    EXPECT_TRUE(empty.Paste && empty.Cut);
    EXPECT_FALSE(empty.Rotate90);
}

TEST(DeleteCommand, UndoRestoresTheStackWhateverOrderTheLayersWereSelectedIn) {
    TStack s("ABC");
    TNewRotLayer* border = s.AddLayer({0, 0, 1024, 768}, itBorderFrame, 10, 10, 0x40FFFFFF);
    border->Text = "#";
    s.Doc.BorderLayer = border;
    s.Select("CA"); // C's handles below A's
    MenuDeleteClick(s.Editor);
    EXPECT_EQ(s.Order(), "B#");
    s.Editor.MenuUnDoClick();
    EXPECT_EQ(s.Order(), "ABC#**");
    s.Editor.MenuReDoClick();
    EXPECT_EQ(s.Order(), "B#");
}
