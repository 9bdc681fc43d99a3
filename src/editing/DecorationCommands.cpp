#include "editing/DecorationCommands.h"

#include "document/CanvasEditor.h"
#include "document/Decorations.h"

// Each command decodes its library file before it changes anything, so that
// a damaged file leaves the collage and the history as they were.

void ApplyMaskToSelection(TCanvasEditor& ed, const std::string& category, const std::string& fileName) {
    const std::string name = LibraryName(category, fileName);
    auto mask = LoadMaskByName(name);
    ed.OpenStep(THistoryKind::SetMask);
    {
        TUpdateScope<TImage32> update(ed.Doc.ImageScreen);
        for (TRotRubberbandLayer* h : ed.HandlesLayers()) {
            TNewRotLayer* l = h->EditedLayer();
            if (!l) continue;
            h->SetHandleFlags(h->HandleFlags() & ~hfFrame);
            TUpdateScope<TCustomLayer> layerUpdate(*l);
            auto& r = ed.Doc.UndoHistory.Add<TNameRecord>(ed.PositionOf(l));
            r.Before = l->MaskName;
            r.After = name;
            l->AssignMask(mask.get());
            l->MaskName = name;
            ed.Doc.SetModified(true);
        }
    }
    ed.Doc.ImageScreen.Changed();
}

void ApplyMaskToDropTarget(TCanvasEditor& ed, const std::string& category, const std::string& fileName) {
    const std::string name = LibraryName(category, fileName);
    TNewRotLayer* l = ed.DropTargetLayer;
    auto mask = l ? LoadMaskByName(name) : nullptr;
    ed.OpenStep(THistoryKind::SetMask);
    if (l) {
        auto& r = ed.Doc.UndoHistory.Add<TNameRecord>(ed.PositionOf(l));
        r.Before = l->MaskName;
        r.After = name;
        l->AssignMask(mask.get());
        l->MaskName = name;
        ed.Doc.SetModified(true);
        ed.DropTargetLayer = nullptr;
    }
    if (ed.Host) ed.Host->FocusCanvas();
}

void ApplySubFrameToSelection(TCanvasEditor& ed, const std::string& category, const std::string& fileName) {
    const std::string name = LibraryName(category, fileName);
    const auto handles = ed.HandlesLayers();
    if (handles.empty()) return;
    TSubFramePictures frame = LoadSubFrameByName(name);
    {
        TUpdateScope<TImage32> update(ed.Doc.ImageScreen);
        ed.OpenStep(THistoryKind::SetSubFrame);
        for (TRotRubberbandLayer* h : handles) {
            TNewRotLayer* l = h->EditedLayer();
            if (!l) continue;
            TUpdateScope<TCustomLayer> layerUpdate(*l);
            auto& r = ed.Doc.UndoHistory.Add<TNameRecord>(ed.PositionOf(l));
            r.Before = l->SubFrameName;
            r.After = name;
            l->SubFrameName = name;
            l->AssignSubFrame(frame.Frame.get(), frame.Mask.get());
            ed.Doc.SetModified(true);
        }
    }
    ed.Doc.ImageScreen.Changed();
}

void ApplySubFrameToDropTarget(TCanvasEditor& ed, const std::string& category, const std::string& fileName) {
    TNewRotLayer* l = ed.DropTargetLayer;
    if (!l) return;
    const std::string name = LibraryName(category, fileName);
    TSubFramePictures frame = LoadSubFrameByName(name);
    ed.OpenStep(THistoryKind::SetSubFrame);
    auto& r = ed.Doc.UndoHistory.Add<TNameRecord>(ed.PositionOf(l));
    r.Before = l->SubFrameName;
    r.After = name;
    l->SubFrameName = name;
    l->AssignSubFrame(frame.Frame.get(), frame.Mask.get());
    ed.Doc.SetModified(true);
    ed.DropTargetLayer = nullptr;
    if (ed.Host) ed.Host->FocusCanvas();
}

void SetBorderFrame(TCanvasEditor& ed, const std::string& category, const std::string& fileName) {
    const std::string name = LibraryName(category, fileName);
    const std::string before = ed.Doc.BorderLayer ? ed.Doc.BorderLayer->SourceFile : "";
    SetBorderByName(ed.Doc, name);
    ed.DropTargetLayer = nullptr;
    if (!ed.Doc.BorderLayer || ed.Doc.BorderLayer->SourceFile != name) return; // the file could not be read
    ed.Doc.ImageScreen.Changed();
    ed.Doc.SetModified(true);
    if (ed.Host) ed.Host->FocusCanvas();
    ed.OpenStep(THistoryKind::SetBorder);
    auto& r = ed.Doc.UndoHistory.Add<TBorderRecord>(-1);
    r.After = name;
    r.Before = before;
}

void MenuDelMaskClick(TCanvasEditor& ed) {
    bool opened = false;
    for (TRotRubberbandLayer* h : ed.HandlesLayers()) {
        if (!opened) {
            ed.OpenStep(THistoryKind::SetMask);
            opened = true;
        }
        TNewRotLayer* l = h->EditedLayer();
        if (!l) continue;
        h->SetHandleFlags(h->HandleFlags() & ~hfFrame);
        if (!l->MaskPicture || l->Locked) continue;
        auto& r = ed.Doc.UndoHistory.Add<TNameRecord>(ed.PositionOf(l));
        r.Before = l->MaskName;
        r.After = "";
        l->ClearMask();
        ed.Doc.SetModified(true);
    }
}

void SpeedButtonDelSubFrameClick(TCanvasEditor& ed) {
    bool opened = false;
    for (TRotRubberbandLayer* h : ed.HandlesLayers()) {
        if (!opened) {
            ed.OpenStep(THistoryKind::SetSubFrame);
            opened = true;
        }
        TNewRotLayer* l = h->EditedLayer();
        if (!l || !l->SubFramePicture || l->Locked) continue;
        auto& r = ed.Doc.UndoHistory.Add<TNameRecord>(ed.PositionOf(l));
        r.Before = l->SubFrameName;
        r.After = "";
        l->ClearSubFrame();
        ed.Doc.SetModified(true);
    }
}

void BitBtnDelFrameClick(TCanvasEditor& ed) {
    if (!ed.Doc.BorderLayer) return;
    ed.OpenStep(THistoryKind::SetBorder);
    auto& r = ed.Doc.UndoHistory.Add<TBorderRecord>(-1);
    r.After = "";
    r.Before = ed.Doc.BorderLayer->SourceFile;
    if (ed.DropTargetLayer == ed.Doc.BorderLayer) ed.DropTargetLayer = nullptr;
    SetBorderByName(ed.Doc, "");
    ed.Doc.SetModified(true);
}
